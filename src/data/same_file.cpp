#include "data/same_file.h"

#include <sys/stat.h>

#include <system_error>

#include "data/record_file.h"

namespace memro {
namespace {

// The file a symbolic link points to; a dangling link gives the name it holds.
std::filesystem::path FollowLink(const std::filesystem::path& link) {
  std::error_code ec;
  const auto resolved = std::filesystem::canonical(link, ec);
  if (!ec) return resolved;
  const auto destination = std::filesystem::read_symlink(link, ec);
  if (ec) throw FileError(ec.value(), link.string());
  return destination.is_absolute() ? destination : link.parent_path() / destination;
}

}  // namespace

std::filesystem::path RealPath(const std::filesystem::path& name) {
  // As many links as the system itself follows before it gives up.
  constexpr int kMaxLinks = 40;
  std::filesystem::path path = name;
  std::error_code ec;
  for (int hop = 0; hop < kMaxLinks && std::filesystem::is_symlink(path, ec); ++hop) {
    path = FollowLink(path);
  }
  path = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
  if (ec) throw FileError(ec.value(), name.string());
  return path;
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  try {
    if (RealPath(a) == RealPath(b)) return true;
  } catch (const FileError&) {
    // A link that cannot be read is compared by what it reaches, below.
  }
  struct stat sa {
  }, sb{};
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace memro

#include "data/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace memro {

std::filesystem::path RewriteCopyName(const std::filesystem::path& file) {
  std::string name = file.string();
  if (name.empty() || name.back() == '~') return name + "~";
  name.back() = '~';
  return name;
}

std::filesystem::path FollowLink(const std::filesystem::path& target) {
  std::error_code ec;
  if (!std::filesystem::is_symlink(target, ec)) return target;
  const auto resolved = std::filesystem::canonical(target, ec);
  if (!ec) return resolved;
  const auto destination = std::filesystem::read_symlink(target, ec);
  if (ec) throw FileError(ec.value(), target.string());
  return destination.is_absolute() ? destination : target.parent_path() / destination;
}

ReplacementFile::ReplacementFile(const std::filesystem::path& target,
                                 const std::filesystem::path& copy, std::size_t recordSize)
    : target_(target), copy_(copy), file_(copy, recordSize, RecordFile::Mode::kCreate) {}

ReplacementFile::~ReplacementFile() {
  if (committed_) return;
  try {
    file_.Close();
  } catch (const FileError&) {
    // Only the copy is affected, and it is removed next.
  }
  std::error_code ignored;
  std::filesystem::remove(copy_, ignored);
}

void ReplacementFile::Commit(std::optional<mode_t> mode) {
  // Keep the permissions the user gave the file.
  struct stat st {};
  if (!mode && ::stat(target_.c_str(), &st) == 0) mode = st.st_mode & 07777;
  if (mode && ::chmod(copy_.c_str(), *mode) != 0) throw FileError(errno, copy_.string());
  file_.Sync();
  file_.Close();
  std::error_code ec;
  std::filesystem::rename(copy_, target_, ec);
  if (ec) throw FileError(ec.value(), target_.string());
  committed_ = true;
  // Make the rename itself durable.
  const auto dir = target_.has_parent_path() ? target_.parent_path() : std::filesystem::path(".");
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace memro

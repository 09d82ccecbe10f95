#include "data/same_file.h"

#include <sys/stat.h>

#include <system_error>

namespace memro {

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  const auto left = std::filesystem::weakly_canonical(std::filesystem::absolute(a, ec), ec);
  const auto right = std::filesystem::weakly_canonical(std::filesystem::absolute(b, ec), ec);
  if (!left.empty() && left == right) return true;
  struct stat sa {}, sb {};
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace memro

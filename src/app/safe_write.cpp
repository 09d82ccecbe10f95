#include "app/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <optional>
#include <string>
#include <system_error>

namespace memro {
namespace {

namespace fs = std::filesystem;

std::atomic<unsigned> copyCounter{0};

// A fresh file beside target, opened for writing; gives -1 on failure.
int CreateCopy(const fs::path& target, mode_t createMode, fs::path& copy) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    copy = target;
    copy += ".new-" + std::to_string(::getpid()) + "-" + std::to_string(copyCounter++);
    const int fd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Makes the rename itself durable.
void SyncDirectory(const fs::path& directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// A symbolic link stays a link: the file it points to is the one replaced.
fs::path ResolveLink(const fs::path& target) {
  std::error_code ec;
  if (!fs::is_symlink(target, ec)) return target;
  fs::path resolved = fs::weakly_canonical(target, ec);
  return ec ? target : resolved;
}

bool Replace(const fs::path& requested, std::string_view bytes, std::optional<mode_t> mode) {
  const fs::path target = ResolveLink(requested);
  std::optional<mode_t> keptMode;
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return false;
    const bool readOnly = (st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0;
    if (!mode && readOnly) return false;
    keptMode = st.st_mode & 07777;
  } else if (errno != ENOENT) {
    return false;
  }
  const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::error_code ec;
  fs::create_directories(directory, ec);
  if (ec) return false;

  fs::path copy;
  const int fd = CreateCopy(target, mode ? 0600 : 0666, copy);
  if (fd < 0) return false;
  const std::optional<mode_t> finalMode = mode ? mode : keptMode;
  bool ok =
      WriteAll(fd, bytes) && (!finalMode || ::fchmod(fd, *finalMode) == 0) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = ::rename(copy.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(copy.c_str());
    return false;
  }
  SyncDirectory(directory);
  return true;
}

}  // namespace

bool WriteFileSafely(const fs::path& target, std::string_view bytes) {
  return Replace(target, bytes, std::nullopt);
}

bool WriteFileSafely(const fs::path& target, std::string_view bytes, mode_t mode) {
  return Replace(target, bytes, mode);
}

}  // namespace memro

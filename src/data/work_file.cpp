#include "data/work_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "data/event_record.h"

namespace memro {
namespace {

constexpr std::string_view kPrefix = "~mr";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kUniqueLength = 6;  // the XXXXXX of mkstemps

bool IsWorkFileName(const std::string& name) {
  return name.size() == kPrefix.size() + kUniqueLength + kSuffix.size() &&
         name.starts_with(kPrefix) && name.ends_with(kSuffix);
}

// True when fd is still the file that path names. Between a file's creation and its
// lock, a starting copy may have taken it for a left-over one and removed it.
bool StillNamed(int fd, const std::filesystem::path& path) {
  struct stat held {
  }, named{};
  return ::fstat(fd, &held) == 0 && held.st_nlink > 0 && ::lstat(path.c_str(), &named) == 0 &&
         held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

struct Created {
  std::filesystem::path path;
  int fd;
};

// Creates a unique empty file "~mrXXXXXX.tmp" in dir and locks it before anything else
// is done with it. A file system without flock gives an unlocked file, as before.
Created MakeLockedFile(const std::filesystem::path& dir) {
  const std::string pattern = (dir / "~mrXXXXXX.tmp").string();
  for (int attempt = 0; attempt < 10; ++attempt) {
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkostemps(buffer.data(), static_cast<int>(kSuffix.size()), O_CLOEXEC);
    if (fd < 0) throw FileError(errno, pattern);
    const std::filesystem::path path(buffer.data());
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (locked ? StillNamed(fd, path) : errno != EWOULDBLOCK) return {path, fd};
    ::close(fd);  // being removed as left over: take another name
  }
  throw FileError(EAGAIN, pattern);
}

int OpenAndLock(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0) ::flock(fd, LOCK_EX | LOCK_NB);
  return fd;
}

// Removes path when it is a work file of ours that nobody holds locked.
bool RemoveIfAbandoned(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool removed = false;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
      ::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(fd, path)) {
    removed = ::unlink(path.c_str()) == 0;
  }
  ::close(fd);
  return removed;
}

}  // namespace

WorkFile::Lock::~Lock() {
  if (fd >= 0) ::close(fd);
}

WorkFile::WorkFile(const std::filesystem::path& path, std::size_t recordSize, int heldFd)
    : lock_(heldFd >= 0 ? heldFd : OpenAndLock(path)),
      file_(path, recordSize, RecordFile::Mode::kReadWrite) {}

WorkFile::~WorkFile() {
  std::error_code ignored;
  const auto path = file_.path();
  try {
    file_.Close();
  } catch (const FileError&) {
    // The file is deleted next; a failed close cannot lose anything of the user's.
  }
  // Removed while still locked, so that no starting copy takes the name for its own.
  std::filesystem::remove(path, ignored);
}

std::unique_ptr<WorkFile> MakeWorkFile(const std::filesystem::path& dir, bool isMain) {
  std::error_code ignored;
  std::filesystem::create_directories(dir, ignored);
  const Created created = MakeLockedFile(dir);
  try {
    auto work =
        std::make_unique<WorkFile>(created.path, isMain ? kDueEntrySize : kRecordSize, created.fd);
    if (!isMain) work->file().Write(1, HeaderRecord().ToBytes());
    return work;
  } catch (const FileError&) {
    std::filesystem::remove(created.path, ignored);
    throw;
  }
}

std::unique_ptr<WorkFile> CreateWorkFile(Platform& platform, bool isMain) {
  BusyPointer busy(platform);
  try {
    return MakeWorkFile(platform.TempDirectory(), isMain);
  } catch (const FileError& e) {
    platform.MessageBox(e.description() + "\nUnable to initialize Virtual Memory.", Icon::kCritical,
                        Buttons::kOk, "");
    return nullptr;
  }
}

int RemoveAbandonedWorkFiles(const std::filesystem::path& dir) {
  int removed = 0;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (IsWorkFileName(it->path().filename().string()) && RemoveIfAbandoned(it->path())) {
      ++removed;
    }
  }
  return removed;
}

}  // namespace memro

#include "data/writer_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "data/same_file.h"

namespace memro {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

LockWaitHook lockWaitHook = nullptr;

// FNV-1a: the same name gives the same lock file in every build of the program.
std::uint64_t NameHash(const std::string& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string Hex(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

fs::path LockFileOfRealPath(const fs::path& real) {
  const std::string hash = Hex(NameHash(real.string()));
  std::error_code ec;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0' && fs::is_directory(runtime, ec)) {
    const fs::path dir = fs::path(runtime) / "memro";
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) throw FileError(errno, dir.string());
    return dir / (hash + ".lock");
  }
  const fs::path temp = fs::temp_directory_path(ec);
  if (ec) throw FileError(ec.value(), "the temp directory");
  return temp / ("memro-" + std::to_string(::getuid()) + "-" + hash + ".lock");
}

}  // namespace

FileBusyError::FileBusyError(const std::filesystem::path& file)
    : FileError(EWOULDBLOCK, file.string()),
      message_(file.string() +
               " is being changed by another program. Try again when it has "
               "finished.") {}

fs::path WriterLockFile(const fs::path& eventFile) {
  return LockFileOfRealPath(RealPath(eventFile));
}

void SetLockWaitHook(LockWaitHook hook) { lockWaitHook = hook; }

WriterLock::WriterLock(const fs::path& eventFile, std::chrono::milliseconds wait)
    : file_(RealPath(eventFile)), lockFile_(LockFileOfRealPath(file_)) {
  const auto deadline = Clock::now() + wait;
  auto pause = std::chrono::milliseconds(1);
  bool waiting = false;
  for (;;) {
    const Attempt attempt = TryOnce();
    if (attempt == Attempt::kHeld) return;
    if (attempt == Attempt::kStale) continue;  // the holder let go: try the new file at once
    if (!waiting && lockWaitHook != nullptr) lockWaitHook();
    waiting = true;
    const auto now = Clock::now();
    if (now >= deadline) throw FileBusyError(eventFile);
    std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
  }
}

// The holder removes the lock file before it lets go (so that none is left behind), and
// a lock won on a file that is no longer there guards nothing: such a win is stale.
WriterLock::Attempt WriterLock::TryOnce() {
  const int fd = ::open(lockFile_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) throw FileError(errno, lockFile_.string());
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK || error == EINTR) return Attempt::kBusy;
    throw FileError(error, lockFile_.string());
  }
  struct stat held {
  }, named{};
  if (::fstat(fd, &held) == 0 && ::stat(lockFile_.c_str(), &named) == 0 &&
      held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
    fd_ = fd;
    return Attempt::kHeld;
  }
  ::close(fd);
  return Attempt::kStale;
}

WriterLock::~WriterLock() {
  ::unlink(lockFile_.c_str());
  ::close(fd_);
}

bool WriterLock::Covers(const fs::path& name) const {
  try {
    return RealPath(name) == file_;
  } catch (const FileError&) {
    return false;
  }
}

}  // namespace memro

#include "data/writer_lock.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "data/interrupted_rewrite.h"

namespace memro {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

LockWaitHook lockWaitHook = nullptr;

}  // namespace

FileBusyError::FileBusyError(const std::filesystem::path& file)
    : FileError(EWOULDBLOCK, file.string()),
      message_(file.string() +
               " is being changed by another program. Try again when it has "
               "finished.") {}

FileAppearedError::FileAppearedError(const std::filesystem::path& file)
    : FileError(EEXIST, file.string()) {}

void SetLockWaitHook(LockWaitHook hook) { lockWaitHook = hook; }

WriterLock::WriterLock(const fs::path& eventFile, std::chrono::milliseconds wait,
                       const Pause& pauseFor) {
  const auto deadline = Clock::now() + wait;
  auto pause = std::chrono::milliseconds(1);
  bool waiting = false;
  for (;;) {
    target_.emplace(eventFile);
    const Attempt attempt = TryOnce();
    if (attempt == Attempt::kHeld) {
      RestoreInterruptedRewrite(*target_);
      return;
    }
    if (attempt == Attempt::kStale) continue;  // the holder replaced the file: lock the new one
    if (!waiting && lockWaitHook != nullptr) lockWaitHook();
    waiting = true;
    const auto now = Clock::now();
    if (now >= deadline) throw FileBusyError(eventFile);
    const auto step = std::chrono::ceil<std::chrono::milliseconds>(
        std::min<Clock::duration>(pause, deadline - now));
    if (pauseFor) {
      pauseFor(step);
    } else {
      std::this_thread::sleep_for(step);
    }
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
  }
}

// The holder renames the new file over the name before it lets go, so a lock won on
// a file that the name no longer reaches guards nothing: such a win is stale.
WriterLock::Attempt WriterLock::TryOnce() {
  if (!target_->exists()) return Attempt::kHeld;
  struct flock whole {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  if (::fcntl(target_->fd(), F_OFD_SETLK, &whole) != 0) {
    if (errno == EAGAIN || errno == EACCES || errno == EINTR) return Attempt::kBusy;
    throw FileError(errno, target_->name().string());
  }
  return target_->StillNamed() ? Attempt::kHeld : Attempt::kStale;
}

}  // namespace memro

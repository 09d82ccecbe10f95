#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "data/replace_file.h"
#include "data/writer_lock.h"

namespace memro::testing {

// Another process that takes the writer lock of a file and holds it until it is let
// go; then it replaces the file with `bytes` (when there are any) and ends. Another
// process, because the test must meet the lock as a second program would.
class LockHolder {
 public:
  LockHolder(const std::filesystem::path& file, const std::string& bytes = "") {
    if (::pipe(ready_) != 0 || ::pipe(go_) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready_[0]);
      ::close(go_[1]);
      ::_exit(HoldAndReplace(file, bytes));
    }
    ::close(ready_[1]);
    ::close(go_[0]);
    char c = 0;
    held_ = pid_ > 0 && ::read(ready_[0], &c, 1) == 1;
  }
  ~LockHolder() {
    Finish();
    ::close(ready_[0]);
  }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

  // True once the other process holds the lock.
  bool held() const { return held_; }

  // Lets the holder go on: it replaces the file and lets go of the lock.
  void LetGo() {
    if (go_[1] < 0) return;
    (void)!::write(go_[1], "g", 1);
    ::close(go_[1]);
    go_[1] = -1;
  }

  // Lets the holder go on and waits for its end; its exit status (0: all done).
  int Finish() {
    LetGo();
    if (pid_ <= 0) return status_;
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = 0;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return status_;
  }

 private:
  int HoldAndReplace(const std::filesystem::path& file, const std::string& bytes) {
    try {
      const WriterLock lock(file);
      if (::write(ready_[1], "h", 1) != 1) return 2;
      char c = 0;
      (void)!::read(go_[0], &c, 1);
      if (!bytes.empty()) {
        ReplacementFile copy(lock, 1);
        copy.file().WriteAt(0, bytes);
        copy.Commit();
      }
      return 0;
    } catch (const FileError&) {
      return 3;
    }
  }

  int ready_[2] = {-1, -1};
  int go_[2] = {-1, -1};
  pid_t pid_ = -1;
  bool held_ = false;
  int status_ = -1;
};

// While it lives, a WriterLock that finds the lock held lets `holder` go on at once,
// and waitedFor() tells that one did: the second writer is then known to have waited.
class LetGoWhenWaitedFor {
 public:
  explicit LetGoWhenWaitedFor(LockHolder& holder) {
    current_ = &holder;
    waited_ = false;
    SetLockWaitHook([] {
      waited_ = true;
      current_->LetGo();
    });
  }
  ~LetGoWhenWaitedFor() {
    SetLockWaitHook(nullptr);
    current_ = nullptr;
  }
  LetGoWhenWaitedFor(const LetGoWhenWaitedFor&) = delete;
  LetGoWhenWaitedFor& operator=(const LetGoWhenWaitedFor&) = delete;
  bool waitedFor() const { return waited_; }

 private:
  static inline LockHolder* current_ = nullptr;
  static inline bool waited_ = false;
};

}  // namespace memro::testing

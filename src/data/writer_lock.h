#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "data/record_file.h"

namespace memro {

// Another program holds the writer lock of an event file and did not let it go in time.
class FileBusyError : public FileError {
 public:
  explicit FileBusyError(const std::filesystem::path& file);
  // A whole sentence that names the file and says another program is changing it.
  const std::string& message() const { return message_; }

 private:
  std::string message_;
};

// The advisory lock every read-change-replace of an event file holds over the whole of
// it, so that two writers never meet. It lives apart from the event file (which a
// rename replaces), in the runtime or temp directory, named from the file's real path.
//
// The lock is an flock on its own open file: a second WriterLock on the same file in
// the same process waits for the first like another program would, so no path of a
// program may take it twice.
class WriterLock {
 public:
  static constexpr std::chrono::milliseconds kDefaultWait{10000};

  // Waits up to `wait` for the lock of `eventFile`. Throws FileBusyError when another
  // writer still holds it then, FileError when the lock cannot be made at all.
  explicit WriterLock(const std::filesystem::path& eventFile,
                      std::chrono::milliseconds wait = kDefaultWait);
  ~WriterLock();
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

  // The real path of the event file the lock is held for.
  const std::filesystem::path& file() const { return file_; }
  // True when name reaches the file this lock is held for.
  bool Covers(const std::filesystem::path& name) const;

 private:
  enum class Attempt { kHeld, kBusy, kStale };
  Attempt TryOnce();

  std::filesystem::path file_;
  std::filesystem::path lockFile_;
  int fd_ = -1;
};

// The lock file of an event file: in $XDG_RUNTIME_DIR/memro when XDG_RUNTIME_DIR names
// a directory (memro is created, mode 0700), else in the temp directory with the user
// id in its name. It exists only while a writer holds the lock.
std::filesystem::path WriterLockFile(const std::filesystem::path& eventFile);

// Called once by a WriterLock that finds the lock held and starts to wait, so that a
// test can let the holder go exactly then. Null: nothing is called.
using LockWaitHook = void (*)();
void SetLockWaitHook(LockWaitHook hook);

}  // namespace memro

#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "data/file_target.h"
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

// A file that did not exist when its writer started was made by another program before
// the writer could make it. The writer starts again and then meets that file's lock.
class FileAppearedError : public FileError {
 public:
  explicit FileAppearedError(const std::filesystem::path& file);
};

// The advisory lock every read-change-replace of an event file holds over the whole of
// it, so that two writers never meet, whoever and wherever they are: a write lock of
// the file itself (an open-file-description lock, which only a user who may write the
// file can take), won on the file the name still names. Nothing of it lies beside the
// file, and it ends with its holder, also when the holder is killed.
//
// A second WriterLock on the same file in the same process waits for the first like
// another program would, so no path of a program may take it twice. A file that does
// not exist yet has nothing to lock: it is made only if its name is still free then
// (FileAppearedError otherwise, see RunLocked).
class WriterLock {
 public:
  static constexpr std::chrono::milliseconds kDefaultWait{10000};
  // Spends the time between two tries; unset: the thread sleeps.
  using Pause = std::function<void(std::chrono::milliseconds)>;

  // Waits up to `wait` for the lock of `eventFile`. Throws FileBusyError when another
  // writer still holds it then, FileError when the file cannot be written at all.
  explicit WriterLock(const std::filesystem::path& eventFile,
                      std::chrono::milliseconds wait = kDefaultWait, const Pause& pause = {});
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

  // The file the lock is held for, as found once.
  const FileTarget& target() const { return *target_; }

 private:
  enum class Attempt { kHeld, kBusy, kStale };
  Attempt TryOnce();

  std::optional<FileTarget> target_;
};

// Runs work(lock) under the writer lock of file, again from the start when a file that
// was missing appeared meanwhile.
template <typename Work>
auto RunLocked(const std::filesystem::path& file, std::chrono::milliseconds wait, Work work) {
  for (int attempt = 0;; ++attempt) {
    try {
      const WriterLock lock(file, wait);
      return work(lock);
    } catch (const FileAppearedError&) {
      if (attempt >= 3) throw;
    }
  }
}

// Called once by a WriterLock that finds the lock held and starts to wait, so that a
// test can let the holder go exactly then. Null: nothing is called.
using LockWaitHook = void (*)();
void SetLockWaitHook(LockWaitHook hook);

}  // namespace memro

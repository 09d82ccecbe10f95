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

 private:
  int fd_ = -1;
};

}  // namespace memro

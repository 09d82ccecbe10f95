#pragma once

#include <filesystem>
#include <memory>

#include "data/record_file.h"
#include "platform/platform.h"

namespace memro {

// A temporary random-access work file in the temp directory ("~mr….tmp"). While the
// object lives, the file is locked (flock), so that a later start can tell it from the
// work file of a run that was killed. It is closed and deleted when the object goes away.
class WorkFile {
 public:
  // heldFd: a descriptor of the file, already locked, which the object keeps; without
  // one the file is opened and locked here.
  WorkFile(const std::filesystem::path& path, std::size_t recordSize, int heldFd = -1);
  ~WorkFile();
  WorkFile(const WorkFile&) = delete;
  WorkFile& operator=(const WorkFile&) = delete;

  RecordFile& file() { return file_; }
  const std::filesystem::path& path() const { return file_.path(); }

 private:
  // The descriptor that holds the lock; closing it releases the lock.
  struct Lock {
    explicit Lock(int descriptor) : fd(descriptor) {}
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    int fd;
  };

  Lock lock_;
  RecordFile file_;
};

// A new work file in dir, which is made when missing: the main window's due list
// (1022-byte DueEntry records, no header) when isMain, otherwise the editor's record
// store (1019-byte records, header written as record 1). Throws FileError.
std::unique_ptr<WorkFile> MakeWorkFile(const std::filesystem::path& dir, bool isMain);

// MakeWorkFile in the platform's temp directory. On failure the user is told in the
// window's words and nullptr comes back; the caller then ends the program.
std::unique_ptr<WorkFile> CreateWorkFile(Platform& platform, bool isMain);

// Removes the work files in dir that no running program holds: those left by a run that
// was killed or crashed. Files of other users and files that cannot be locked stay.
// Returns how many were removed.
int RemoveAbandonedWorkFiles(const std::filesystem::path& dir);

}  // namespace memro

#pragma once

#include <filesystem>
#include <memory>

#include "data/record_file.h"
#include "platform/platform.h"

namespace memro {

// A temporary random-access work file in the temp directory ("~mr….tmp"). It is
// closed and deleted when the object goes away.
class WorkFile {
 public:
  WorkFile(const std::filesystem::path& path, std::size_t recordSize);
  ~WorkFile();
  WorkFile(const WorkFile&) = delete;
  WorkFile& operator=(const WorkFile&) = delete;

  RecordFile& file() { return file_; }
  const std::filesystem::path& path() const { return file_.path(); }

 private:
  RecordFile file_;
};

// The main window's due list (1022-byte DueEntry records, no header) when isMain,
// otherwise the editor's record store (1019-byte records, header written as record 1).
// On failure the user is told and nullptr comes back; the caller then ends the program.
std::unique_ptr<WorkFile> CreateWorkFile(Platform& platform, bool isMain);

}  // namespace memro

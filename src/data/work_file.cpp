#include "data/work_file.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <vector>

#include "data/event_record.h"

namespace memro {

WorkFile::WorkFile(const std::filesystem::path& path, std::size_t recordSize)
    : file_(path, recordSize, RecordFile::Mode::kReadWrite) {}

WorkFile::~WorkFile() {
  std::error_code ignored;
  const auto path = file_.path();
  try {
    file_.Close();
  } catch (const FileError&) {
    // The file is deleted next; a failed close cannot lose anything of the user's.
  }
  std::filesystem::remove(path, ignored);
}

namespace {

// Creates a unique empty file "~mrXXXXXX.tmp" in dir and returns its path.
std::filesystem::path MakeTempName(const std::filesystem::path& dir) {
  std::string pattern = (dir / "~mrXXXXXX.tmp").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = ::mkstemps(buffer.data(), 4);
  if (fd < 0) throw FileError(errno, pattern);
  ::close(fd);
  return std::filesystem::path(buffer.data());
}

}  // namespace

std::unique_ptr<WorkFile> CreateWorkFile(Platform& platform, bool isMain) {
  BusyPointer busy(platform);
  std::filesystem::path name;
  try {
    std::error_code ignored;
    const auto dir = platform.TempDirectory();
    std::filesystem::create_directories(dir, ignored);
    name = MakeTempName(dir);
    auto work = std::make_unique<WorkFile>(name, isMain ? kDueEntrySize : kRecordSize);
    if (!isMain) work->file().Write(1, HeaderRecord().ToBytes());
    return work;
  } catch (const FileError& e) {
    std::error_code ignored;
    if (!name.empty()) std::filesystem::remove(name, ignored);
    platform.MessageBox(e.description() + "\nUnable to initialize Virtual Memory.", Icon::kCritical,
                        Buttons::kOk, "");
    return nullptr;
  }
}

}  // namespace memro

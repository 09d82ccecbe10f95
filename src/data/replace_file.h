#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>

#include "data/record_file.h"
#include "data/writer_lock.h"

namespace memro {

// The name of the copy that a rewrite of `file` is written to: the last character
// replaced by '~', or '~' appended when the name already ends in '~' (replacing it
// would make the copy the file itself).
std::filesystem::path RewriteCopyName(const std::filesystem::path& file);

// The file a rewrite of `target` must replace: the file a symbolic link points to, so
// that the user's link stays a link. A dangling link gives the file it names.
std::filesystem::path FollowLink(const std::filesystem::path& target);

// 0 when the user may write file or it does not exist yet; else the system's reason
// (EACCES, EROFS). A file without any write permission counts as read-only even to a
// user who could override that. A file the user may not write is never replaced by a
// rename, although the directory would allow it.
int WriteRefusal(const std::filesystem::path& file);

// New content for a file, written beside it and then renamed over it in one step, so
// that a crash leaves either the old or the new file, never neither. An object that
// is destroyed without Commit removes its copy and leaves the file as it was.
//
// Only the holder of the target's writer lock may make the copy or remove one left
// over, since every writer uses the same copy name: the lock must be held from before
// the target is read until after this object is gone. A lock held for another file
// is refused with FileError (ENOLCK).
class ReplacementFile {
 public:
  ReplacementFile(const WriterLock& lock, const std::filesystem::path& target,
                  const std::filesystem::path& copy, std::size_t recordSize);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  RecordFile& file() { return file_; }
  const std::filesystem::path& copyPath() const { return copy_; }

  // Flushes the copy to disk and renames it over the target. The new file gets mode
  // when one is given, else the target's own permissions. Throws FileError.
  void Commit(std::optional<mode_t> mode = std::nullopt);

 private:
  std::filesystem::path target_;
  std::filesystem::path copy_;
  RecordFile file_;
  bool committed_ = false;
};

}  // namespace memro

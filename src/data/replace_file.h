#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

#include "data/record_file.h"
#include "data/writer_lock.h"

namespace memro {

// 0 when the user may write file or it does not exist yet; else the system's reason
// (EACCES, EROFS). A file without any write permission counts as read-only even to a
// user who could override that. A file the user may not write is never replaced by a
// rename, although the directory would allow it.
int WriteRefusal(const std::filesystem::path& file);
// The same for the file a writer lock was won on (which the user may write, or the
// lock could not have been taken).
int WriteRefusal(const FileTarget& target);

// New content for the file a writer lock is held for. It is written to a copy in the
// directory the file really lives in, which then takes the file's place in one rename,
// so that a crash leaves either the old or the new file, never neither; the new file
// keeps the owner, group, mode, access list and extended attributes of the old one.
// Where the copy cannot keep them (another user's file) or the file has further hard
// links, the new content is written into the file itself instead, its old content kept
// beside it until the new one is complete (see interrupted_rewrite.h).
//
// The copy has no name until it is complete (or a name no other file's copy can have,
// marked as this program's), so no two writers ever share one, and only the holder of
// the lock makes or removes it. An object destroyed without Commit leaves the file as
// it was and no copy.
class ReplacementFile {
 public:
  ReplacementFile(const WriterLock& lock, std::size_t recordSize);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  RecordFile& file() { return file_; }

  // Flushes the copy to disk and puts it in the file's place, locked until this object
  // goes (destroy it before the WriterLock). The new file gets mode
  // when one is given, else the file's own permissions. Throws FileError;
  // FileAppearedError when the file was missing and another program made it meanwhile.
  void Commit(std::optional<mode_t> mode = std::nullopt);

 private:
  void Create(std::size_t recordSize);
  void Publish();
  void PublishNew();
  void LinkUnder(const std::string& name);

  const FileTarget& target_;
  RecordFile file_;
  std::string named_;  // the copy's name while it has one
  bool committed_ = false;
};

// The name of the copy of the file named leaf that a writer may give it before its
// rename: the nth free one (the user may have a file of that name).
std::string CopyName(const std::string& leaf, int n);

}  // namespace memro

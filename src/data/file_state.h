#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>

#include "data/file_target.h"

namespace memro {

// What tells whether a file changed since it was last seen: which file the name leads
// to (a rename over it gives another inode), its size and its modification time.
struct FileState {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modifiedSeconds = 0;
  std::int64_t modifiedNanoseconds = 0;
  bool operator==(const FileState&) const = default;
};

// The state of the file a name leads to (symbolic links followed); nothing when there
// is no such file.
std::optional<FileState> FileStateOf(const std::filesystem::path& file);

// The error number that reading `file` would meet, 0 when it may be read. A file
// without any read permission counts as unreadable even to a user who could override
// that, as a file without any write permission counts as read-only (WriteRefusal).
int ReadDenied(const std::filesystem::path& file);

// The file open for reading when the name leads to a regular file; an invalid
// descriptor otherwise. Opened without waiting, so a FIFO put in its place never blocks.
Descriptor OpenRegularForReading(const std::filesystem::path& file);

}  // namespace memro

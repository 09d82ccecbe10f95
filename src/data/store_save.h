#pragma once

#include <cstdint>
#include <filesystem>

#include "data/record_file.h"
#include "data/writer_lock.h"

namespace memro {

enum class SaveTarget { kReplaced, kCreated };

// Writes records 1 to count + 1 of a record store (the header and count events)
// verbatim as the event file `target`. The records go to a copy beside the file that
// is flushed and then renamed over it in one step, so a failure at any point leaves
// the old file as it was and no copy behind. A target that is a symbolic link has
// the file it points to replaced, and the link stays. A target the user may not
// write is refused with the system's reason. Throws FileError; tells whether a file
// was there before.
//
// This form holds the target's writer lock while it saves (FileBusyError when another
// program keeps it longer than WriterLock::kDefaultWait).
SaveTarget SaveStore(RecordFile& store, std::int64_t count, const std::filesystem::path& target);
// For a caller that already holds the target's writer lock, for example to compare the
// file with what it read before it replaces it.
SaveTarget SaveStore(const WriterLock& lock, RecordFile& store, std::int64_t count,
                     const std::filesystem::path& target);

}  // namespace memro

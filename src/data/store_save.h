#pragma once

#include <cstdint>
#include <filesystem>

#include "data/record_file.h"

namespace memro {

enum class SaveTarget { kReplaced, kCreated };

// Writes records 1 to count + 1 of a record store (the header and count events)
// verbatim as the event file `target`. The records go to a copy beside the file that
// is flushed and then renamed over it in one step, so a failure at any point leaves
// the old file as it was and no copy behind. A target that is a symbolic link has
// the file it points to replaced, and the link stays. Throws FileError; tells
// whether a file was there before.
SaveTarget SaveStore(RecordFile& store, std::int64_t count, const std::filesystem::path& target);

}  // namespace memro

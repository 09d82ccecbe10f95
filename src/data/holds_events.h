#pragma once

#include <filesystem>

namespace memro {

// True when file is an event file that holds at least one event, in any format the
// program reads (current, 2.01/3.0, the older product's text format), told by its
// content, not its name: what a report or a calendar must never be written over. A
// file without events (a header alone, an empty file) is none. Reads only as far as
// the first event; anything but a regular file is none, and a FIFO is never waited on.
bool FileHoldsEvents(const std::filesystem::path& file);

}  // namespace memro

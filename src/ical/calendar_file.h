#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "data/event_record.h"
#include "data/record_file.h"

namespace memro::ical {

// The events of a record store: records 2 to count + 1.
std::vector<EventRecord> StoreEvents(RecordFile& store, std::int64_t count);

// The DTSTAMP of an export: SOURCE_DATE_EPOCH when it holds a number of seconds (for
// exports that must be the same byte for byte), else the time now.
std::int64_t ExportStamp();

// The whole of a calendar file. Throws FileError.
std::string ReadCalendarFile(const std::filesystem::path& file);

// Writes text as file as every event file is written: under the file's writer lock,
// into a copy beside it that is renamed over it in one step; a link stays a link and
// a file the user may not write is refused. Throws FileError (FileBusyError).
void WriteCalendarFile(const std::filesystem::path& file, std::string_view text);

}  // namespace memro::ical

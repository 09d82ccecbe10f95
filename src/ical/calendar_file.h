#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
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

// The largest calendar file read: more than the largest that Memro writes (a full event
// file of 1000-character messages of euro signs exports to some 320 MB). Reading one
// takes its size for its text, one event at a time of the reader's structures, at most
// kMaxEvents + 1 events of 1 KB (34 MiB) and the UIDs of the events that change single
// occurrences: measured, at most kReadFactor times the file's size, and those 34 MiB.
constexpr std::uint64_t kMaxCalendarBytes = std::uint64_t{384} << 20;
constexpr int kReadFactor = 3;

// A calendar file that is not read: not a regular file, or larger than
// kMaxCalendarBytes. what() says so, naming the file, as a sentence without its end.
class CalendarRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The whole of a calendar file. Throws FileError, or CalendarRefused.
std::string ReadCalendarFile(const std::filesystem::path& file);

// Writes text as file as every event file is written: under the file's writer lock,
// into a copy beside it that is renamed over it in one step; a link stays a link and
// a file the user may not write is refused. Throws FileError (FileBusyError).
void WriteCalendarFile(const std::filesystem::path& file, std::string_view text);

}  // namespace memro::ical

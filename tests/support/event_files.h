#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "data/event_record.h"

namespace memro::testing {

// An event as tests write it: plain texts, the stored fields filled in.
EventRecord Event(const std::string& date, const std::string& message, std::int16_t frequency,
                  std::int16_t warnDays = 7, std::int16_t backdated = 0, std::int16_t cleanUp = 0,
                  std::int16_t enabled = 1);

// The bytes of a current-format event file: the header record, then the events.
std::string EventFileBytes(const std::vector<EventRecord>& events);
void WriteEventFile(const std::filesystem::path& file, const std::vector<EventRecord>& events);

// An enabled event with the editor's defaults: 7 days' warning, backdated.
EventRecord MakeEvent(const std::string& date, const std::string& message,
                      std::int16_t frequency = kYearly);

// One 1017-byte record of the 2.01/3.0 format, and that format's header record.
std::string OldRecordBytes(const std::string& date, const std::string& message, std::int16_t warn,
                           std::int16_t second, std::int16_t enabled, std::int16_t backdated);
std::string OldHeaderBytes();

// Lines joined with CR LF, the last one ended too.
std::string TextLines(const std::vector<std::string>& lines);

// The events of a current-format file (header skipped, whole records only).
std::vector<EventRecord> ReadEvents(const std::filesystem::path& file);

}  // namespace memro::testing

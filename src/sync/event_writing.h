#pragma once

#include <cstdint>
#include <string>

#include "data/event_record.h"

namespace memro::sync {

// When the texts are written: DTSTAMP, and the year of a stored date without one.
struct Writing {
  std::int64_t stamp = 0;  // seconds since 1970, UTC
  int currentYear = 0;
};

// A calendar object resource holding one event as Memro exports it.
std::string NewEventText(const EventRecord& record, const std::string& uid, const Writing& w);

// The server's own text of an event with Memro's fields of record put into its VEVENT
// in place of the old ones: the properties another client set (categories, its own
// alarms, attendees) stay. serverWarnDays: the warning days Memro read from it; only
// when the record's differ is the alarm that said them replaced. Empty when the text
// holds no event.
std::string PatchedEventText(const std::string& serverIcs, const EventRecord& record,
                             std::int16_t serverWarnDays, const Writing& w);

}  // namespace memro::sync

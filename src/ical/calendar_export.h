#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/event_record.h"

namespace memro::ical {

struct ExportOptions {
  // DTSTAMP of every event: seconds since 1970-01-01 UTC. Its day in the local zone is
  // the day of the export (see ExportedStart).
  std::int64_t stamp = 0;
  int currentYear = 0;  // the year of a stored date written without one
};

// One VCALENDAR with a VEVENT per event, in order, as iCalendar text (CR LF line ends,
// folded lines). An all-day DTSTART with the repeat rule of its frequency, SUMMARY the
// message's first line and DESCRIPTION all of it, an alarm the warning days before;
// whatever iCalendar cannot say is kept in X-MEMRO- properties, so that the import of
// the text gives every event back byte for byte.
std::string ExportCalendar(const std::vector<EventRecord>& events, const ExportOptions& options);

}  // namespace memro::ical

#pragma once

#include <libical/ical.h>

#include <optional>
#include <string>
#include <vector>

#include "data/calendar.h"
#include "data/event_record.h"
#include "ical/time_zones.h"

namespace memro::ical {

// What one VEVENT becomes: an event, or the reason it cannot be one; and what was
// changed on the way (a message cut or characters replaced).
struct EventOutcome {
  std::string summary;
  // One event; for a series whose dates end or have exceptions, one once event per
  // date from today on; none when it is skipped.
  std::vector<EventRecord> records;
  std::string skipReason;
  std::vector<std::string> warnings;
  int seriesDates = -1;          // for such a series: how many dates lie on or after today
  std::string seriesWithoutEnd;  // for one without end: what made it one of dates
};

// An event Memro exported (it carries X-MEMRO- properties) comes back as it was; any
// other gets its fields from the iCalendar ones and the user's defaults.
// zones: those its times may name. today: a series' dates before it are past.
// changed: the occurrences of it that other VEVENTs of its UID change; its dates are
// taken without them (they are events of their own).
EventOutcome ImportEvent(icalcomponent* event, const RecordDefaults& defaults,
                         const TimeZones& zones, const Date& today,
                         const std::vector<icaltimetype>& changed);

}  // namespace memro::ical

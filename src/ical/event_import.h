#pragma once

#include <libical/ical.h>

#include <optional>
#include <string>
#include <vector>

#include "data/event_record.h"
#include "ical/time_zones.h"

namespace memro::ical {

// What one VEVENT becomes: an event, or the reason it cannot be one; and what was
// changed on the way (a message cut or characters replaced).
struct EventOutcome {
  std::string summary;
  std::optional<EventRecord> record;
  std::string skipReason;
  std::vector<std::string> warnings;
};

// An event Memro exported (it carries X-MEMRO- properties) comes back as it was; any
// other gets its fields from the iCalendar ones and the user's defaults.
// zones: those its times may name. changedOccurrences: other VEVENTs of its UID change
// single occurrences of it.
EventOutcome ImportEvent(icalcomponent* event, const RecordDefaults& defaults,
                         const TimeZones& zones, bool changedOccurrences);

}  // namespace memro::ical

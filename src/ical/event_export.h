#pragma once

#include <libical/ical.h>

#include <string>

#include "data/calendar.h"
#include "data/event_record.h"

namespace memro::ical {

// One event as the VEVENT an export writes for it (see ExportCalendar), with that UID
// and DTSTAMP; exportDay as ExportedStart takes it. The caller owns the component.
icalcomponent* EventComponent(const EventRecord& e, const std::string& uid,
                              const icaltimetype& stamp, int currentYear, const Date& exportDay);

}  // namespace memro::ical

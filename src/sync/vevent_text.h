#pragma once

#include <libical/ical.h>

#include <string>

#include "ical/time_zones.h"

// Small helpers over one calendar object resource's VEVENT.
namespace memro::sync {

// The first VEVENT of a VCALENDAR (or the component itself when it is one).
icalcomponent* FirstEvent(icalcomponent* calendar);

// The first property of that kind as its content line, "" when there is none.
std::string PropertyLine(icalcomponent* component, icalproperty_kind kind);

void RemoveProperties(icalcomponent* component, icalproperty_kind kind);
// Every X- property of that name (any letter case).
void RemoveX(icalcomponent* component, const char* name);

// Hands the calendar's VTIMEZONEs over to zones.
void TakeZones(icalcomponent* calendar, ical::TimeZones& zones);

}  // namespace memro::sync

#pragma once

#include <libical/ical.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/calendar.h"
#include "ical/time_zones.h"

// The parts of one VEVENT that become the fields of an event, for the import.
namespace memro::ical {

// When an event starts, as a person reading it in its own calendar sees it.
struct EventStart {
  Date date;                       // in the user's local time zone
  std::optional<int> minuteOfDay;  // there; none for an all-day event
  icaltimetype written{};          // DTSTART as the file gives it
  Date ownDate;                    // in the event's own zone, where its rule is reckoned
  std::string unknownZone;         // a TZID nobody knows: the time was taken as written
  icaltimezone* zone = nullptr;    // the event's own; none for a floating time or a date
};

// A wall time in zone (none: floating) as a start in the user's local zone.
std::optional<EventStart> StartAt(icaltimetype t, icaltimezone* zone);

// DTSTART as a date and time in the user's local zone: a time in UTC or in a named
// zone is moved into it, a floating time and a date are taken as written. Nothing
// when the event has no start that names a real day.
std::optional<EventStart> StartOf(icalcomponent* event, const TimeZones& zones);

// The frequency code for the event's repeat rules, or why Memro cannot hold them (an
// interval above 1, COUNT or UNTIL, several weekdays, extra or excluded dates, any
// rule part that the start does not already imply). changed: the occurrences of it that
// other VEVENTs of the same UID change. Exceptions and extra dates before today change
// nothing from today on and do not count.
struct Recurrence {
  std::int16_t frequency = 4;
  std::string problem;  // empty when the rules fit
};
Recurrence RecurrenceOf(icalcomponent* event, const EventStart& start,
                        const std::vector<icaltimetype>& changed, const Date& today);

// Whole days before the start of the earliest alarm that goes off at or before it,
// rounded up; nothing when no alarm does. Without a start only alarms set relative to
// the start count.
std::optional<std::int16_t> WarnDaysOf(icalcomponent* event,
                                       const std::optional<EventStart>& start);

}  // namespace memro::ical

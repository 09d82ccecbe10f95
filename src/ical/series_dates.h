#pragma once

#include <libical/ical.h>

#include <optional>
#include <vector>

#include "ical/event_parts.h"

namespace memro::ical {

// The most once events one series becomes: enough for a year of weekly dates, and a
// bound on what a calendar of many series adds to an event file.
constexpr int kMaxSeriesEvents = 60;

struct SeriesDates {
  std::vector<EventStart> starts;  // from today on, in order, at most kMaxSeriesEvents
  int fromToday = 0;               // how many dates lie on or after today
};

// The dates of an event whose repeats end: those of its rule when it has a COUNT or an
// UNTIL within a hundred years of its start (or of DTSTART alone without a rule) and
// its RDATEs, less its EXDATEs, each in the user's local zone. Nothing when they do
// not end, or there are too many to count.
// changed: occurrences other events change, left out like EXDATEs.
std::optional<SeriesDates> FiniteDates(icalcomponent* event, const EventStart& start,
                                       const Date& today,
                                       const std::vector<icaltimetype>& changed = {});

// True when the event's dates end: no rule, or one rule with a COUNT or an UNTIL within
// a hundred years of DTSTART, and no EXRULE.
bool DatesEnd(icalcomponent* event);

}  // namespace memro::ical

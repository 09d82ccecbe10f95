#pragma once

#include <libical/ical.h>

#include <optional>
#include <string>
#include <vector>

#include "ical/event_parts.h"

namespace memro::ical {

// The most once events one series becomes: enough for a year of weekly dates, and a
// bound on what a calendar of many series adds to an event file.
constexpr int kMaxSeriesEvents = 60;

struct SeriesDates {
  std::vector<EventStart> starts;  // from today on, in order, at most kMaxSeriesEvents
  int fromToday = 0;               // how many dates lie on or after today
  // For a series without end, what made it one of dates ("exceptions (EXDATE)"); its
  // dates are followed only as far as the bound, so fromToday counts only those.
  std::string withoutEnd;
};

// The dates of a series, each in the user's local zone, from its rule (or DTSTART alone
// without a rule) and its RDATEs, less its EXDATEs: all of them when its rule has a
// COUNT or an UNTIL within a hundred years of its start; the first from today on when it
// has none but has exceptions or extra dates, which no frequency of Memro can hold.
// Nothing for a plain series without end, or when there are too many to count.
// changed: occurrences other events change, left out like EXDATEs.
std::optional<SeriesDates> ListedDates(icalcomponent* event, const EventStart& start,
                                       const Date& today,
                                       const std::vector<icaltimetype>& changed = {});

// True when the event's dates can be listed one by one: at most one rule and no EXRULE.
bool DatesListable(icalcomponent* event);

// True when the event's dates end: listable, with no rule, or one with a COUNT or an
// UNTIL within a hundred years of DTSTART.
bool DatesEnd(icalcomponent* event);

}  // namespace memro::ical

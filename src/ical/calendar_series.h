#pragma once

#include <libical/ical.h>

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace memro::ical {

std::string Uid(icalcomponent* event);
// True for an event that changes one occurrence of another (RECURRENCE-ID).
bool ChangesOccurrence(icalcomponent* event);

// Events of one UID: the one with the repeat rule, and those that change single
// occurrences of it (RECURRENCE-ID), which are part of it and not events of their own.
struct Series {
  // UIDs with changed occurrences, and the occurrences (RECURRENCE-ID) they change.
  std::map<std::string, std::vector<icaltimetype>> changed;
  std::set<std::string> masters;  // of those, UIDs with an event that is no changed occurrence
  std::set<std::string> listed;   // of the masters, those taken as their dates (DatesListable)
};

// Only the UIDs with changed occurrences matter, and few calendars have any: one look
// at them keeps the sets small, whatever the number of events.
Series SeriesOf(std::string_view input, int complete);

}  // namespace memro::ical

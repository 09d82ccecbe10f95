#pragma once

#include <libical/ical.h>

// Repeat rules written in other words than Memro's frequencies that mean the same days.
namespace memro::ical {

// How many entries a BY list of a rule holds.
int ListSize(const short* list, int size);

// The rule with what changes none of its days said the plain way: an UNTIL past the
// year 3000 is no end; every one weekday of a month or year is every week on it;
// all seven weekdays of a week are every day.
icalrecurrencetype PlainRule(icalrecurrencetype rule);

// True when the rule, from start, gives start and no other date (COUNT=1, or an UNTIL
// before the second date).
bool OnlyTheStart(const icalrecurrencetype& rule, const icaltimetype& start);

}  // namespace memro::ical

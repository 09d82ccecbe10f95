#pragma once

#include <cstdint>

#include "data/calendar.h"

namespace memro::ical {

// The day an exported event starts on. Memro lists a yearly, monthly, weekly or daily
// event by its month and day, day of the month or weekday alone, whatever its stored
// year: one stored after the export day starts at its latest day by that rule on or
// before the export day, so that a reader of the repeat rule lists it from then on.
// Any other event, and one stored on or before that day, starts on its stored date.
Date ExportedStart(const Date& stored, std::int16_t frequency, const Date& exportDay);

// The day of the export: the day of stamp (seconds since 1970) in the local time zone.
Date ExportDay(std::int64_t stamp);

}  // namespace memro::ical

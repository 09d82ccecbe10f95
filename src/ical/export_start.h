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

// The day of a moment (seconds since 1970) in the local time zone: that of an export's
// stamp is the day of the export.
Date LocalDayOf(std::int64_t moment);

}  // namespace memro::ical

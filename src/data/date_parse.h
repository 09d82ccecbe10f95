#pragma once

#include <optional>
#include <string_view>

#include "data/calendar.h"

namespace memro {

// Reads a date as a person types it: "Jan 5, 1999", "Jan 5 1999", "January 5, 1999",
// "5 January 1999", "5 Jan 1999", "1/5/1999" (month first) or "1999-01-05". Month
// names are English, full or three letters, in any letter case. Without a year the
// date is in currentYear; a two-digit year means 1930 to 2029. Blanks around the
// text are ignored; anything else that does not fit, or a day the calendar does not
// have, gives no date.
std::optional<Date> ParseDate(std::string_view text, int currentYear);

}  // namespace memro

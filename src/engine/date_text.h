#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "data/calendar.h"

namespace memro {

// Reads a stored date ("Mmmddyyyy", or the short "Mmmdd" that means the current
// year). The only reader of stored dates: it gives no date for anything malformed.
std::optional<Date> StoredDate(std::string_view stored, int currentYear);

// The stored date as "Mmm dd, yyyy", or the empty text when it is no valid date.
std::string DateText(std::string_view stored, int currentYear);

}  // namespace memro

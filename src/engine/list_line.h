#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/calendar.h"
#include "data/event_record.h"

namespace memro {

// The due list's line for an entry: when it recurs or when it falls.
std::string ListLine(const DueEntry& entry, int currentYear);
// The same line added to out, for an entry whose stored date is already read: date is
// StoredDate(storedDate), no value when that is no valid date.
void AppendListLine(std::string& out, std::int16_t frequency, std::string_view storedDate,
                    const std::optional<Date>& date);

// "Date: Tue, Dec 08, 2026", the date label of the main window and the report.
std::string DateLabel(const Date& today);

}  // namespace memro

#pragma once

#include <string>

#include "data/calendar.h"
#include "data/event_record.h"

namespace memro {

// The due list's line for an entry: when it recurs or when it falls.
std::string ListLine(const DueEntry& entry, int currentYear);

// "Date: Tue, Dec 08, 2026", the date label of the main window and the report.
std::string DateLabel(const Date& today);

}  // namespace memro

#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "data/calendar.h"
#include "data/event_record.h"

namespace memro {

// The status line of a due entry: "Today!!", "3 days more!", "Every Tuesday", ... with
// the date it speaks of in brackets. Empty when the entry's date is no valid date.
std::string StatusText(const DueEntry& entry, const Date& today, bool rangeOn);
// The same text added to out, for an entry whose date is already read: date is
// StoredDate of its stored date, no value when that is no valid date.
void AppendStatusText(std::string& out, std::int16_t frequency, const std::optional<Date>& date,
                      const Date& today, bool rangeOn);

// How many days ago the day lies that the entry's status speaks of (negative: ahead): 0
// today, -1 tomorrow; the next occurrence of a past yearly or monthly entry; for a weekly
// entry, its day of this week. date is StoredDate of the entry's stored date.
std::int64_t StatusDays(std::int16_t frequency, const Date& date, const Date& today);

// The entry's message as the message box shows it: trimmed of blanks, still in the
// file's code page.
std::string ShownMessage(const DueEntry& entry);

}  // namespace memro

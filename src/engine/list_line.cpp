#include "engine/list_line.h"

#include "data/text_util.h"
#include "engine/date_text.h"

namespace memro {
namespace {

std::string OrdinalSuffix(unsigned day) {
  if (day == 1 || day == 21 || day == 31) return "st";
  if (day == 2 || day == 22) return "nd";
  if (day == 3 || day == 23) return "rd";
  return "th";
}

}  // namespace

std::string ListLine(const DueEntry& entry, int currentYear) {
  if (entry.frequency == kDaily) return "Daily";
  const auto date = StoredDate(entry.date, currentYear);
  // No date to show: the stored text itself tells the user most.
  if (!date) return TrimBlanks(entry.date);
  switch (entry.frequency) {
    case kMonthly: {
      const auto day = static_cast<unsigned>(date->day());
      return std::to_string(day) + OrdinalSuffix(day) + " day of every month";
    }
    case kWeekly:
      return "Every " + std::string(WeekdayName(WeekdayNumber(*date)));
    default:
      return FormatWithWeekday(*date);
  }
}

std::string DateLabel(const Date& today) { return "Date: " + FormatWithWeekday(today); }

}  // namespace memro

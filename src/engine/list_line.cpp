#include "engine/list_line.h"

#include "data/text_util.h"
#include "engine/date_text.h"

namespace memro {
namespace {

std::string_view OrdinalSuffix(unsigned day) {
  if (day == 1 || day == 21 || day == 31) return "st";
  if (day == 2 || day == 22) return "nd";
  if (day == 3 || day == 23) return "rd";
  return "th";
}

}  // namespace

std::string ListLine(const DueEntry& entry, int currentYear) {
  std::string line;
  AppendListLine(line, entry.frequency, entry.date, StoredDate(entry.date, currentYear));
  return line;
}

void AppendListLine(std::string& out, std::int16_t frequency, std::string_view storedDate,
                    const std::optional<Date>& date) {
  if (frequency == kDaily) {
    out += "Daily";
    return;
  }
  // No date to show: the stored text itself tells the user most.
  if (!date) {
    out += TrimBlanksView(storedDate);
    return;
  }
  switch (frequency) {
    case kMonthly: {
      const auto day = static_cast<unsigned>(date->day());
      AppendNumber(out, day);
      out += OrdinalSuffix(day);
      out += " day of every month";
      return;
    }
    case kWeekly:
      out += "Every ";
      out += WeekdayName(WeekdayNumber(*date));
      return;
    default:
      AppendWithWeekday(out, *date);
  }
}

std::string DateLabel(const Date& today) { return "Date: " + FormatWithWeekday(today); }

}  // namespace memro

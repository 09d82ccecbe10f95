#include "engine/status.h"

#include "data/text_util.h"
#include "engine/date_text.h"

namespace memro {
namespace {

std::string DaysMore(std::int64_t n) { return std::to_string(n) + " days more!"; }

// The phrase for a day count that needs no frequency rule (d <= 3).
std::string PlainPhrase(std::int64_t d) {
  if (d == 0) return "Today!!";
  if (d == -1) return "Tomorrow!";
  if (d < -1) return DaysMore(-d);
  if (d == 1) return "Yesterday!";
  return std::to_string(d) + " days ago!";
}

// d > 3: the entry is past; speak of its next occurrence. Changes d to match.
std::string NextOccurrencePhrase(const DueEntry& entry, const Date& date, const Date& today,
                                 std::int64_t& d) {
  if (entry.frequency == kMonthly) {
    const int dd = static_cast<int>(static_cast<unsigned>(date.day()));
    const int td = static_cast<int>(static_cast<unsigned>(today.day()));
    d = -(dd + RuleMonthLength(today) - td);
    return PlainPhrase(d);
  }
  d -= RuleLeapYear(int(today.year())) ? 366 : 365;
  return DaysMore(-d);
}

}  // namespace

std::string StatusText(const DueEntry& entry, const Date& today, bool rangeOn) {
  const auto date = StoredDate(entry.date, int(today.year()));
  if (!date) return {};
  std::int64_t d = DayNumber(today) - DayNumber(*date);
  switch (entry.frequency) {
    case kDaily:
      d = 0;
      break;
    case kWeekly:
      d %= 7;
      break;
    case kMonthly:
      d = static_cast<int>(static_cast<unsigned>(today.day())) -
          static_cast<int>(static_cast<unsigned>(date->day()));
      break;
    default:
      break;
  }
  std::string text = d > 3 ? NextOccurrencePhrase(entry, *date, today, d) : PlainPhrase(d);
  if (entry.frequency == kWeekly) {
    return "Every " + std::string(WeekdayName(WeekdayNumber(*date)));
  }
  const Date shown =
      entry.frequency == kOnce && rangeOn ? *date : FromDayNumber(DayNumber(today) - d);
  return text + " [" + FormatShort(shown) + "]";
}

std::string ShownMessage(const DueEntry& entry) { return TrimBlanks(entry.message); }

}  // namespace memro

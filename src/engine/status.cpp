#include "engine/status.h"

#include "data/text_util.h"
#include "engine/date_text.h"

namespace memro {
namespace {

void AppendDaysMore(std::string& out, std::int64_t n) {
  AppendNumber(out, n);
  out += " days more!";
}

// The phrase for a day count that needs no frequency rule (d <= 3).
void AppendPlainPhrase(std::string& out, std::int64_t d) {
  if (d == 0) {
    out += "Today!!";
  } else if (d == -1) {
    out += "Tomorrow!";
  } else if (d < -1) {
    AppendDaysMore(out, -d);
  } else if (d == 1) {
    out += "Yesterday!";
  } else {
    AppendNumber(out, d);
    out += " days ago!";
  }
}

// d > 3: the entry is past; speak of its next occurrence. Changes d to match.
void AppendNextOccurrencePhrase(std::string& out, std::int16_t frequency, const Date& date,
                                const Date& today, std::int64_t& d) {
  if (frequency == kMonthly) {
    const int dd = static_cast<int>(static_cast<unsigned>(date.day()));
    const int td = static_cast<int>(static_cast<unsigned>(today.day()));
    d = -(dd + RuleMonthLength(today) - td);
    AppendPlainPhrase(out, d);
    return;
  }
  d -= RuleLeapYear(int(today.year())) ? 366 : 365;
  AppendDaysMore(out, -d);
}

}  // namespace

std::string StatusText(const DueEntry& entry, const Date& today, bool rangeOn) {
  std::string text;
  AppendStatusText(text, entry.frequency, StoredDate(entry.date, int(today.year())), today,
                   rangeOn);
  return text;
}

void AppendStatusText(std::string& out, std::int16_t frequency, const std::optional<Date>& date,
                      const Date& today, bool rangeOn) {
  if (!date) return;
  if (frequency == kWeekly) {
    out += "Every ";
    out += WeekdayName(WeekdayNumber(*date));
    return;
  }
  std::int64_t d = DayNumber(today) - DayNumber(*date);
  switch (frequency) {
    case kDaily:
      d = 0;
      break;
    case kMonthly:
      d = static_cast<int>(static_cast<unsigned>(today.day())) -
          static_cast<int>(static_cast<unsigned>(date->day()));
      break;
    default:
      break;
  }
  if (d > 3) {
    AppendNextOccurrencePhrase(out, frequency, *date, today, d);
  } else {
    AppendPlainPhrase(out, d);
  }
  const Date shown = frequency == kOnce && rangeOn ? *date : FromDayNumber(DayNumber(today) - d);
  out += " [";
  AppendShort(out, shown);
  out += ']';
}

std::string ShownMessage(const DueEntry& entry) { return TrimBlanks(entry.message); }

}  // namespace memro

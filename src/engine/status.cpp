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

// d > 3: the entry is past; the day count of its next occurrence.
std::int64_t NextOccurrenceDays(std::int16_t frequency, const Date& date, const Date& today,
                                std::int64_t d) {
  if (frequency == kMonthly) {
    const int dd = static_cast<int>(static_cast<unsigned>(date.day()));
    const int td = static_cast<int>(static_cast<unsigned>(today.day()));
    return -(dd + RuleMonthLength(today) - td);
  }
  return d - (RuleLeapYear(int(today.year())) ? 366 : 365);
}

// The day count before a past entry is moved to its next occurrence.
std::int64_t PlainDays(std::int16_t frequency, const Date& date, const Date& today) {
  switch (frequency) {
    case kDaily:
      return 0;
    case kMonthly:
      return static_cast<int>(static_cast<unsigned>(today.day())) -
             static_cast<int>(static_cast<unsigned>(date.day()));
    default:
      return DayNumber(today) - DayNumber(date);
  }
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
  std::int64_t d = PlainDays(frequency, *date, today);
  if (d > 3) {
    d = NextOccurrenceDays(frequency, *date, today, d);
    // A yearly entry speaks of its next year's day in days, whatever their number.
    if (frequency == kMonthly) {
      AppendPlainPhrase(out, d);
    } else {
      AppendDaysMore(out, -d);
    }
  } else {
    AppendPlainPhrase(out, d);
  }
  const Date shown = frequency == kOnce && rangeOn ? *date : FromDayNumber(DayNumber(today) - d);
  out += " [";
  AppendShort(out, shown);
  out += ']';
}

std::int64_t StatusDays(std::int16_t frequency, const Date& date, const Date& today) {
  // A weekly entry is filed under its day of this week.
  if (frequency == kWeekly) return DayNumber(today) - DayNumber(date);
  const std::int64_t d = PlainDays(frequency, date, today);
  return d > 3 ? NextOccurrenceDays(frequency, date, today, d) : d;
}

std::string ShownMessage(const DueEntry& entry) { return TrimBlanks(entry.message); }

}  // namespace memro

#include "data/calendar.h"

#include <array>

#include "data/text_util.h"

namespace memro {
namespace {

constexpr std::array<std::string_view, 12> kMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};

std::string TwoDigits(unsigned n) {
  return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10);
}

std::string FourDigits(int year) {
  std::string digits = std::to_string(year);
  return std::string(digits.size() < 4 ? 4 - digits.size() : 0, '0') + digits;
}

}  // namespace

std::int64_t DayNumber(const Date& date) {
  return std::chrono::sys_days(date).time_since_epoch().count();
}

Date FromDayNumber(std::int64_t days) {
  return Date(std::chrono::sys_days(std::chrono::days(days)));
}

int WeekdayNumber(const Date& date) {
  return static_cast<int>(std::chrono::weekday(std::chrono::sys_days(date)).c_encoding()) + 1;
}

std::string_view MonthAbbreviation(unsigned month) { return kMonths.at(month - 1).substr(0, 3); }
std::string_view MonthName(unsigned month) { return kMonths.at(month - 1); }
std::string_view WeekdayName(int weekday) { return kWeekdays.at(weekday - 1); }
std::string_view WeekdayAbbreviation(int weekday) { return kWeekdays.at(weekday - 1).substr(0, 3); }

namespace {

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLowerChar(a[i]) != AsciiLowerChar(b[i])) return false;
  }
  return true;
}

}  // namespace

// Every stored date of a scan passes through here, so it compares without copying.
unsigned MonthFromName(std::string_view name) {
  if (name.size() == 3) {
    for (unsigned m = 1; m <= 12; ++m) {
      if (SameLetters(name, kMonths[m - 1].substr(0, 3))) return m;
    }
    return 0;
  }
  for (unsigned m = 1; m <= 12; ++m) {
    const std::string_view full = kMonths[m - 1];
    if (SameLetters(name, full) || SameLetters(name, full.substr(0, 3))) return m;
  }
  return 0;
}

std::string FormatStored(const Date& date) {
  return std::string(MonthAbbreviation(static_cast<unsigned>(date.month()))) +
         TwoDigits(static_cast<unsigned>(date.day())) + FourDigits(int(date.year()));
}

std::string FormatLong(const Date& date) {
  return std::string(MonthAbbreviation(static_cast<unsigned>(date.month()))) + " " +
         TwoDigits(static_cast<unsigned>(date.day())) + ", " + FourDigits(int(date.year()));
}

std::string FormatWithWeekday(const Date& date) {
  return std::string(WeekdayAbbreviation(WeekdayNumber(date))) + ", " + FormatLong(date);
}

std::string FormatShort(const Date& date) {
  return std::to_string(static_cast<unsigned>(date.month())) + "/" +
         std::to_string(static_cast<unsigned>(date.day())) + "/" + std::to_string(int(date.year()));
}

bool RuleLeapYear(int year) { return year % 4 == 0; }

int RuleMonthLength(const Date& date) {
  switch (static_cast<unsigned>(date.month())) {
    case 2:
      return RuleLeapYear(int(date.year())) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
      return 30;
    default:
      return 31;
  }
}

}  // namespace memro

#include "data/calendar.h"

#include <array>
#include <charconv>
#include <iterator>

#include "data/text_util.h"

namespace memro {
namespace {

constexpr std::array<std::string_view, 12> kMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};

void AppendTwoDigits(std::string& out, unsigned n) {
  out += static_cast<char>('0' + n / 10);
  out += static_cast<char>('0' + n % 10);
}

void AppendFourDigits(std::string& out, int year) {
  const std::size_t start = out.size();
  AppendNumber(out, year);
  const std::size_t digits = out.size() - start;
  if (digits < 4) out.insert(start, 4 - digits, '0');
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

// Three letters, lower-cased, in one number: a month abbreviation is one comparison.
constexpr std::uint32_t PackedLower(std::string_view three) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(AsciiLowerChar(three[0]))) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(AsciiLowerChar(three[1]))) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(AsciiLowerChar(three[2]))) << 16;
}

constexpr std::array<std::uint32_t, 12> kPackedAbbreviations = [] {
  std::array<std::uint32_t, 12> packed{};
  for (std::size_t m = 0; m < 12; ++m) packed[m] = PackedLower(kMonths[m]);
  return packed;
}();

}  // namespace

// Every stored date of a scan passes through here, so it compares without copying.
unsigned MonthFromName(std::string_view name) {
  if (name.size() == 3) {
    const std::uint32_t packed = PackedLower(name);
    for (unsigned m = 1; m <= 12; ++m) {
      if (packed == kPackedAbbreviations[m - 1]) return m;
    }
    return 0;
  }
  for (unsigned m = 1; m <= 12; ++m) {
    const std::string_view full = kMonths[m - 1];
    if (SameLetters(name, full) || SameLetters(name, full.substr(0, 3))) return m;
  }
  return 0;
}

void AppendNumber(std::string& out, std::int64_t n) {
  char digits[24];
  const auto end = std::to_chars(std::begin(digits), std::end(digits), n).ptr;
  out.append(digits, end);
}

std::string FormatStored(const Date& date) {
  std::string out(MonthAbbreviation(static_cast<unsigned>(date.month())));
  AppendTwoDigits(out, static_cast<unsigned>(date.day()));
  AppendFourDigits(out, int(date.year()));
  return out;
}

void AppendLong(std::string& out, const Date& date) {
  out += MonthAbbreviation(static_cast<unsigned>(date.month()));
  out += ' ';
  AppendTwoDigits(out, static_cast<unsigned>(date.day()));
  out += ", ";
  AppendFourDigits(out, int(date.year()));
}

void AppendWithWeekday(std::string& out, const Date& date) {
  out += WeekdayAbbreviation(WeekdayNumber(date));
  out += ", ";
  AppendLong(out, date);
}

void AppendShort(std::string& out, const Date& date) {
  AppendNumber(out, static_cast<unsigned>(date.month()));
  out += '/';
  AppendNumber(out, static_cast<unsigned>(date.day()));
  out += '/';
  AppendNumber(out, int(date.year()));
}

std::string FormatLong(const Date& date) {
  std::string out;
  AppendLong(out, date);
  return out;
}

std::string FormatWithWeekday(const Date& date) {
  std::string out;
  AppendWithWeekday(out, date);
  return out;
}

std::string FormatShort(const Date& date) {
  std::string out;
  AppendShort(out, date);
  return out;
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

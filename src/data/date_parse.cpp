#include "data/date_parse.h"

#include <regex>
#include <string>

#include "data/text_util.h"

namespace memro {
namespace {

// The pieces of a date as written; year is empty when the text named none.
struct DateParts {
  std::string month;  // digits or a month name
  std::string day;
  std::string year;
};

// An optional year after the day: parted from it by a comma with optional blanks, or
// by blanks alone.
constexpr std::string_view kYearPart = "(?:(?: *, *| +)(\\d{4}|\\d{2}))?";

std::regex WithYear(std::string_view dayAndMonth) {
  return std::regex(std::string(dayAndMonth) + std::string(kYearPart));
}

std::optional<DateParts> SplitDate(const std::string& text) {
  static const std::regex kMonthFirst = WithYear("([A-Za-z]+) +(\\d{1,2})");
  static const std::regex kDayFirst = WithYear("(\\d{1,2}) +([A-Za-z]+)");
  static const std::regex kSlashes("(\\d{1,2})/(\\d{1,2})(?:/(\\d{4}|\\d{2}))?");
  static const std::regex kIso("(\\d{4})-(\\d{1,2})-(\\d{1,2})");
  std::smatch m;
  if (std::regex_match(text, m, kMonthFirst)) return DateParts{m[1], m[2], m[3]};
  if (std::regex_match(text, m, kDayFirst)) return DateParts{m[2], m[1], m[3]};
  if (std::regex_match(text, m, kSlashes)) return DateParts{m[1], m[2], m[3]};
  if (std::regex_match(text, m, kIso)) return DateParts{m[2], m[3], m[1]};
  return std::nullopt;
}

// Two-digit years follow the usual desktop window: 30..99 in the 1900s, 00..29 in the
// 2000s, so an old birthday like "12/8/60" stays in the last century.
int YearOf(const std::string& year, int currentYear) {
  if (year.empty()) return currentYear;
  const int value = std::stoi(year);
  if (year.size() == 2) return value < 30 ? 2000 + value : 1900 + value;
  return value;
}

unsigned MonthOf(const std::string& month) {
  if (month[0] >= '0' && month[0] <= '9') return static_cast<unsigned>(std::stoi(month));
  return MonthFromName(month);
}

}  // namespace

std::optional<Date> ParseDate(std::string_view text, int currentYear) {
  const auto parts = SplitDate(TrimBlanks(text));
  if (!parts) return std::nullopt;
  const int year = YearOf(parts->year, currentYear);
  // Four-digit stored years: nothing before year 1 or after 9999 can be kept.
  if (year < 1 || year > 9999) return std::nullopt;
  const Date date{std::chrono::year{year}, std::chrono::month{MonthOf(parts->month)},
                  std::chrono::day{static_cast<unsigned>(std::stoi(parts->day))}};
  if (!date.ok()) return std::nullopt;
  return date;
}

}  // namespace memro

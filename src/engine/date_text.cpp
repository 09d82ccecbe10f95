#include "engine/date_text.h"

#include "data/text_util.h"

namespace memro {
namespace {

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The stored form is rearranged into "Mmm dd" or "Mmm dd,yyyy" before it is read, so
// the day is taken from the fourth and fifth characters and the year from the rest.
std::string Rearranged(std::string_view s) {
  std::string t(s.substr(0, 3));
  t += ' ';
  if (s.size() > 3) t += s.substr(3, 2);
  if (TrimBlanks(s).size() > 5 && s.size() > 5) {
    t += ',';
    t += s.substr(5);
  }
  return t;
}

std::optional<Date> ParseRearranged(std::string_view t, int currentYear) {
  if (t.size() < 5) return std::nullopt;
  const unsigned month = MonthFromName(t.substr(0, 3));
  if (month == 0) return std::nullopt;
  const auto comma = t.find(',', 4);
  const std::string day =
      TrimBlanks(t.substr(4, comma == std::string_view::npos ? t.npos : comma - 4));
  if (day.size() > 2 || !AllDigits(day)) return std::nullopt;
  int year = currentYear;
  if (comma != std::string_view::npos) {
    const std::string digits = TrimBlanks(t.substr(comma + 1));
    if (digits.size() != 4 || !AllDigits(digits)) return std::nullopt;
    year = std::stoi(digits);
    if (year < 1) return std::nullopt;
  }
  const Date date{std::chrono::year{year}, std::chrono::month{month},
                  std::chrono::day{static_cast<unsigned>(std::stoi(day))}};
  if (!date.ok()) return std::nullopt;
  return date;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The full form "Mmmddyyyy" that nearly every stored date has, read without building the
// rearranged text: the result is the one the general reader gives.
std::optional<std::optional<Date>> FullForm(std::string_view s) {
  if (s.size() != 9) return std::nullopt;
  for (std::size_t i = 3; i < 9; ++i) {
    if (!IsDigit(s[i])) return std::nullopt;
  }
  const unsigned month = MonthFromName(s.substr(0, 3));
  const unsigned day = unsigned(s[3] - '0') * 10 + unsigned(s[4] - '0');
  const int year = ((s[5] - '0') * 10 + (s[6] - '0')) * 100 + (s[7] - '0') * 10 + (s[8] - '0');
  const Date date{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}};
  if (month == 0 || year < 1 || !date.ok()) return std::optional<Date>();
  return std::optional<Date>(date);
}

}  // namespace

std::optional<Date> StoredDate(std::string_view stored, int currentYear) {
  if (const auto full = FullForm(stored)) return *full;
  // Only full three-letter abbreviations count, so "May" but not "Ma ".
  if (stored.size() < 3 || MonthFromName(stored.substr(0, 3)) == 0) return std::nullopt;
  return ParseRearranged(Rearranged(stored), currentYear);
}

std::string DateText(std::string_view stored, int currentYear) {
  const auto date = StoredDate(stored, currentYear);
  return date ? FormatLong(*date) : std::string();
}

}  // namespace memro

#include "settings/setting_number.h"

#include <limits>

namespace memro {
namespace {

// Far beyond every width in use, and far from overflowing while digits are added.
constexpr std::int64_t kBeyondAnyWidth = std::int64_t{1} << 40;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The fraction decides the rounding only through its first digit and whether anything
// non-zero follows it, so no precision is lost to floating point.
std::optional<std::int64_t> ToWholeNumber(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t whole = 0;
  bool anyDigit = false;
  for (; i < text.size() && IsDigit(text[i]); ++i, anyDigit = true) {
    whole = whole * 10 + (text[i] - '0');
    if (whole > kBeyondAnyWidth) return std::nullopt;
  }
  int firstFraction = 0;
  bool restNonZero = false;
  if (i < text.size() && text[i] == '.') {
    for (std::size_t start = ++i; i < text.size() && IsDigit(text[i]); ++i, anyDigit = true) {
      if (i == start) {
        firstFraction = text[i] - '0';
      } else if (text[i] != '0') {
        restNonZero = true;
      }
    }
  }
  if (!anyDigit || i != text.size()) return std::nullopt;
  const bool half = firstFraction == 5 && !restNonZero;
  if (firstFraction > 5 || (firstFraction == 5 && restNonZero) || (half && whole % 2 == 1)) {
    ++whole;
  }
  return negative ? -whole : whole;
}

template <typename T>
std::optional<T> ToWidth(std::string_view text) {
  const auto value = ToWholeNumber(text);
  if (!value || *value < std::numeric_limits<T>::min() || *value > std::numeric_limits<T>::max()) {
    return std::nullopt;
  }
  return static_cast<T>(*value);
}

}  // namespace

std::optional<std::int16_t> ToInt16(std::string_view text) { return ToWidth<std::int16_t>(text); }

std::optional<std::int32_t> ToInt32(std::string_view text) { return ToWidth<std::int32_t>(text); }

}  // namespace memro

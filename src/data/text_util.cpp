#include "data/text_util.h"

#include <cstdint>
#include <cstring>

namespace memro {

std::string_view TrimTrailingBlanksView(std::string_view text) {
  std::size_t end = text.size();
  // Stored fields are padded with blanks to their full width, so most texts end in a
  // long run of them: skip it 32 bytes at a time.
  constexpr std::uint64_t kEightBlanks = 0x2020202020202020;
  while (end >= 32) {
    std::uint64_t words[4];
    std::memcpy(words, text.data() + end - 32, sizeof words);
    if (((words[0] ^ kEightBlanks) | (words[1] ^ kEightBlanks) | (words[2] ^ kEightBlanks) |
         (words[3] ^ kEightBlanks)) != 0) {
      break;
    }
    end -= 32;
  }
  while (end > 0 && text[end - 1] == ' ') --end;
  return text.substr(0, end);
}

std::string_view TrimBlanksView(std::string_view text) {
  text = TrimTrailingBlanksView(text);
  std::size_t begin = 0;
  while (begin < text.size() && text[begin] == ' ') ++begin;
  return text.substr(begin);
}

std::string TrimBlanks(std::string_view text) { return std::string(TrimBlanksView(text)); }

std::string TextBeforeNul(std::string_view text) {
  return TrimBlanks(text.substr(0, text.find('\0')));
}

std::string PadTo(std::string_view text, std::size_t width) {
  std::string out(text.substr(0, width));
  out.resize(width, ' ');
  return out;
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace memro

namespace memro {

double NumericValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  double sign = 1;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) sign = text[i++] == '-' ? -1 : 1;
  double value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9')
    value = value * 10 + (text[i++] - '0');
  if (i < text.size() && text[i] == '.') {
    double scale = 0.1;
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10) {
      value += (text[i] - '0') * scale;
    }
  }
  return sign * value;
}

}  // namespace memro

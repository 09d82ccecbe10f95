#include "ical/calendar_lines.h"

#include <algorithm>

#include "data/text_util.h"

namespace memro::ical {
namespace {

// A line cut inside a UTF-8 sequence loses the incomplete sequence.
void CutToCharacter(std::string& line) {
  std::size_t end = line.size();
  while (end > 0 && (static_cast<unsigned char>(line[end - 1]) & 0xC0) == 0x80) --end;
  if (end > 0 && static_cast<unsigned char>(line[end - 1]) >= 0xC0) --end;
  if (end < line.size()) line.resize(end);
}

}  // namespace

ContentLines::ContentLines(std::string_view input) : rest_(input) {
  if (rest_.starts_with("\xEF\xBB\xBF")) rest_.remove_prefix(3);
}

std::string_view ContentLines::NextPhysical() {
  const std::size_t end = std::min(rest_.find('\n'), rest_.size());
  std::string_view line = rest_.substr(0, end);
  rest_.remove_prefix(std::min(end + 1, rest_.size()));
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

// Empty lines between a line and its continuation are passed over, as everywhere.
bool ContentLines::AtFold() {
  while (rest_.starts_with('\n') || rest_.starts_with("\r\n")) {
    rest_.remove_prefix(rest_.find('\n') + 1);
  }
  return !rest_.empty() && (rest_.front() == ' ' || rest_.front() == '\t');
}

bool ContentLines::Next(std::string& line) {
  std::string_view first;
  // A fold before the first line has nothing to continue: a line of its own.
  while (!rest_.empty() && first.empty()) first = NextPhysical();
  if (first.empty()) return false;
  line.assign(first.substr(0, kMaxLineBytes));
  bool cut = first.size() > kMaxLineBytes;
  while (AtFold()) {
    const std::string_view part = NextPhysical().substr(1);
    const std::size_t room = kMaxLineBytes - line.size();
    if (part.size() > room) cut = true;
    line.append(part.substr(0, room));
  }
  if (cut) CutToCharacter(line);
  return true;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLowerChar(a[i]) != AsciiLowerChar(b[i])) return false;
  }
  return true;
}

bool IsLine(std::string_view line, std::string_view expected) {
  std::size_t end = line.size();
  while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
  return SameName(line.substr(0, end), expected);
}

std::string_view PropertyName(std::string_view line) {
  return line.substr(0, line.find_first_of(";:"));
}

}  // namespace memro::ical

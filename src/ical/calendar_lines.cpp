#include "ical/calendar_lines.h"

#include <algorithm>
#include <vector>

#include "data/text_util.h"

namespace memro::ical {
namespace {

bool IsFold(std::string_view line) { return !line.empty() && (line[0] == ' ' || line[0] == '\t'); }

// A line cut inside a UTF-8 sequence loses the incomplete sequence.
void CutToCharacter(std::string& line) {
  std::size_t end = line.size();
  while (end > 0 && (static_cast<unsigned char>(line[end - 1]) & 0xC0) == 0x80) --end;
  if (end > 0 && static_cast<unsigned char>(line[end - 1]) >= 0xC0) --end;
  if (end < line.size()) line.resize(end);
}

bool IsLine(std::string_view line, std::string_view expected) {
  std::size_t end = line.size();
  while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
  return AsciiLower(line.substr(0, end)) == AsciiLower(expected);
}

// The physical lines of input, each without its line end.
std::vector<std::string_view> PhysicalLines(std::string_view input) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < input.size()) {
    std::size_t end = input.find('\n', start);
    if (end == std::string_view::npos) end = input.size();
    std::string_view line = input.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> ContentLines(const std::vector<std::string_view>& physical) {
  std::vector<std::string> lines;
  bool cut = false;
  for (std::string_view line : physical) {
    if (IsFold(line) && !lines.empty()) {
      line.remove_prefix(1);
    } else {
      if (cut) CutToCharacter(lines.back());
      if (line.empty()) continue;
      lines.emplace_back();
      cut = false;
    }
    std::string& content = lines.back();
    const std::size_t room = kMaxLineBytes - content.size();
    if (line.size() > room) cut = true;
    content.append(line.substr(0, std::min(room, line.size())));
  }
  if (cut) CutToCharacter(lines.back());
  return lines;
}

}  // namespace

std::optional<std::string> PrepareCalendarText(std::string_view input, std::string& out) {
  out.clear();
  if (input.starts_with("\xEF\xBB\xBF")) input.remove_prefix(3);
  const std::vector<std::string_view> physical = PhysicalLines(input);
  const auto first = std::find_if(physical.begin(), physical.end(),
                                  [](std::string_view line) { return !line.empty(); });
  if (first == physical.end() || !IsLine(*first, "BEGIN:VCALENDAR")) {
    return "is not an iCalendar file: it does not begin with BEGIN:VCALENDAR";
  }
  if (input.find('\0') != std::string_view::npos) {
    return "is not an iCalendar file: it holds NUL bytes";
  }
  const std::vector<std::string> lines = ContentLines(physical);
  if (lines.empty() || !IsLine(lines.back(), "END:VCALENDAR")) {
    return "is cut short: it does not end with END:VCALENDAR";
  }
  for (const std::string& line : lines) {
    out += line;
    out += "\r\n";
  }
  return std::nullopt;
}

}  // namespace memro::ical

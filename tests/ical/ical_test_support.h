#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "data/env_guard.h"

namespace memro::testing {

// The local time zone of the user for a test: a zone name or a POSIX TZ rule.
class LocalZone {
 public:
  explicit LocalZone(const char* rule) : env_("TZ", rule) { ::tzset(); }
  ~LocalZone() { ::tzset(); }

 private:
  EnvGuard env_;
};

// An iCalendar object around the given content lines, with CR LF line ends.
inline std::string Calendar(const std::vector<std::string>& lines) {
  std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\n";
  for (const std::string& line : lines) text += line + "\r\n";
  return text + "END:VCALENDAR\r\n";
}

// One VEVENT of the given content lines, with a UID and DTSTAMP of its own.
inline std::vector<std::string> VEvent(const std::string& uid, std::vector<std::string> lines) {
  lines.insert(lines.begin(), {"BEGIN:VEVENT", "UID:" + uid, "DTSTAMP:20260101T000000Z"});
  lines.push_back("END:VEVENT");
  return lines;
}

// The content lines of exported text with the folding undone.
inline std::vector<std::string> Unfolded(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    if (!line.empty() && line[0] == ' ' && !lines.empty()) {
      lines.back() += line.substr(1);
    } else {
      lines.push_back(line);
    }
    start = end + 2;
  }
  return lines;
}

}  // namespace memro::testing

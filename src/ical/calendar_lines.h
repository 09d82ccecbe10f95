#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace memro::ical {

// Longest content line handed to the iCalendar reader. Its time grows with the square
// of a line's length; no property Memro reads needs more, and longer ones (an
// attachment written inline) are cut.
constexpr std::size_t kMaxLineBytes = 64 * 1024;

// Checks that input is one iCalendar object from its first line (BEGIN:VCALENDAR) to
// its last (END:VCALENDAR) and writes to out its content lines with the folding
// undone, each cut to kMaxLineBytes, ended by CR LF. A UTF-8 byte order mark is
// skipped. Returns what is wrong when input is no iCalendar object, as the end of a
// sentence that starts with the file's name ("is not an iCalendar file: ...").
std::optional<std::string> PrepareCalendarText(std::string_view input, std::string& out);

}  // namespace memro::ical

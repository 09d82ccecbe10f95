#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace memro::ical {

// Longest content line handed to the iCalendar reader. Its time grows with the square
// of a line's length; no property Memro reads needs more, and longer ones (an
// attachment written inline) are cut.
constexpr std::size_t kMaxLineBytes = 64 * 1024;

// The content lines of a calendar text one at a time, with the folding undone, each
// cut to kMaxLineBytes on a character and without its line end; empty lines are passed
// over and a UTF-8 byte order mark is skipped. Only the line in hand is held, so that
// reading a file takes no memory beyond the file's own text.
class ContentLines {
 public:
  explicit ContentLines(std::string_view input);
  // The next line into line; false at the end.
  bool Next(std::string& line);

 private:
  std::string_view NextPhysical();
  bool AtFold();

  std::string_view rest_;
};

// True when the two are the same but for ASCII letter case.
bool SameName(std::string_view a, std::string_view b);
// True when line is `expected` but for ASCII letter case and blanks after it.
bool IsLine(std::string_view line, std::string_view expected);
// The name of a content line: what comes before its parameters and its value.
std::string_view PropertyName(std::string_view line);

}  // namespace memro::ical

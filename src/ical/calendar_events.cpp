#include "ical/calendar_events.h"

#include <algorithm>

#include "ical/calendar_lines.h"

namespace memro::ical {
namespace {

enum class Marker { kNone, kBegin, kEnd };

// A BEGIN:NAME or END:NAME line, and its NAME, told apart as the reader does.
Marker MarkerOf(std::string_view line, std::string_view& name) {
  const std::string_view word = PropertyName(line);
  const Marker marker = SameName(word, "BEGIN") ? Marker::kBegin
                        : SameName(word, "END") ? Marker::kEnd
                                                : Marker::kNone;
  if (marker != Marker::kNone) name = line.substr(std::min(line.find(':') + 1, line.size()));
  return marker;
}

// The text of one event as it is read, held to kMaxEventBytes: past that only its
// title is kept, for the note that names it.
class EventText {
 public:
  void Start() {
    text_.clear();
    title_.clear();
    whole_ = true;
  }

  void Add(std::string_view line, bool own) {
    if (own && title_.empty() && SameName(PropertyName(line), "SUMMARY")) title_ = line;
    if (whole_ && text_.size() + line.size() + 2 > kMaxEventBytes) {
      whole_ = false;
      std::string().swap(text_);
    }
    if (whole_) text_.append(line).append("\r\n");
  }

  // The event's text with its END line; for an event too large, a VEVENT of its title.
  const std::string& Finish(std::string_view end) {
    if (!whole_) {
      text_ = "BEGIN:VEVENT\r\n";
      if (!title_.empty()) text_.append(title_).append("\r\n");
    }
    text_.append(end).append("\r\n");
    return text_;
  }

  bool whole() const { return whole_; }

 private:
  std::string text_;
  std::string title_;
  bool whole_ = true;
};

std::string Capitals(std::string_view name) {
  std::string text(name);
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

}  // namespace

CalendarOutline OutlineOf(std::string_view input) {
  CalendarOutline outline;
  ContentLines lines(input);
  std::string line;
  if (!lines.Next(line) || !IsLine(line, "BEGIN:VCALENDAR")) {
    outline.error = "is not an iCalendar file: it does not begin with BEGIN:VCALENDAR";
    return outline;
  }
  if (input.find('\0') != std::string_view::npos) {
    outline.error = "is not an iCalendar file: it holds NUL bytes";
    return outline;
  }
  int depth = 0;
  bool calendar = false;  // the outermost component in hand is a VCALENDAR
  bool lost = false;      // an END closed nothing: the reader gives nothing after it
  int calendars = 0;
  bool ended = false;
  do {
    std::string_view name;
    const Marker marker = MarkerOf(line, name);
    ended = IsLine(line, "END:VCALENDAR");
    if (marker == Marker::kBegin && depth == 1 && calendar) ++outline.components[Capitals(name)];
    if (marker == Marker::kBegin && depth++ == 0) {
      calendar = SameName(name, "VCALENDAR");
    } else if (marker == Marker::kEnd && !lost) {
      if (depth == 0) lost = true;
      if (depth > 0 && --depth == 0) {
        ++outline.complete;
        calendars += calendar ? 1 : 0;
      }
    }
  } while (lines.Next(line));
  if (!ended) {
    outline.error = "is cut short: it does not end with END:VCALENDAR";
  } else if (calendars == 0) {
    outline.error = "is not an iCalendar file: it holds no readable VCALENDAR";
  }
  return outline;
}

void WalkEvents(std::string_view input, int complete, const Visit& visit,
                const std::function<bool(std::string_view line)>& ownLine, std::string_view kind) {
  ContentLines lines(input);
  std::string line;
  EventText event;
  int depth = 0;
  int outer = 0;  // outermost components begun
  bool calendar = false;
  bool inEvent = false;
  const auto keep = [&](bool own) {
    if (inEvent && (own || !ownLine)) event.Add(line, own);
  };
  while (lines.Next(line)) {
    std::string_view name;
    const Marker marker = MarkerOf(line, name);
    if (marker == Marker::kBegin) {
      if (depth == 0) {
        if (++outer > complete) return;
        calendar = SameName(name, "VCALENDAR");
      } else if (depth == 1 && calendar && SameName(name, kind)) {
        inEvent = true;
        event.Start();
      }
      keep(depth++ == 1);
    } else if (marker == Marker::kEnd) {
      if (depth == 0) return;  // see OutlineOf: nothing after it is read
      if (--depth == 1 && inEvent) {
        inEvent = false;
        if (visit(event.Finish(line), event.whole()) == Walk::kStop) return;
      }
      keep(false);
    } else {
      keep(depth == 2 && (!ownLine || ownLine(line)));
    }
  }
}

}  // namespace memro::ical

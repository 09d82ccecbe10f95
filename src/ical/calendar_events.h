#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace memro::ical {

// The outline of a calendar text, found without the iCalendar reader.
struct CalendarOutline {
  // Set when the text is no iCalendar object; ends a sentence that starts with the
  // file's name ("is not an iCalendar file: ...").
  std::optional<std::string> error;
  // How many of the outermost components end: the reader gives only those, so their
  // VEVENTs alone are taken in.
  int complete = 0;
  // How many components of each kind (VEVENT, VTODO, ...) the VCALENDARs hold, by
  // their names in capitals.
  std::map<std::string, int> components;
};

// Checks that input is one iCalendar object from its first line (BEGIN:VCALENDAR) to
// its last (END:VCALENDAR), holding at least one whole VCALENDAR.
CalendarOutline OutlineOf(std::string_view input);

// The most of one VEVENT's text handed to the reader, whose structures take some 50
// times the text they are made from. An event larger than this (tens of thousands of
// lines; an attachment's line is cut at kMaxLineBytes) is not read.
constexpr std::size_t kMaxEventBytes = 1 << 20;

// Whether the walk goes on to the next VEVENT.
enum class Walk { kGoOn, kStop };

// event: a VEVENT's text (its content lines, each ended by CR LF). whole: false for an
// event larger than kMaxEventBytes, whose text is then its SUMMARY line alone.
using Visit = std::function<Walk(const std::string& event, bool whole)>;

// Hands each VEVENT (or each component named kind) of the first `complete` outermost
// VCALENDARs, in order, to visit, so that the reader holds one event at a time, never
// the whole calendar. With ownLine set, the event's text keeps only the lines of the
// event itself (not of its VALARMs) that ownLine accepts. BEGIN and END lines nest as
// the reader nests them, whatever they name.
void WalkEvents(std::string_view input, int complete, const Visit& visit,
                const std::function<bool(std::string_view line)>& ownLine = {},
                std::string_view kind = "VEVENT");

}  // namespace memro::ical

#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/calendar.h"
#include "data/event_record.h"

namespace memro::ical {

// Something the user should hear about one VEVENT: that it was left out, and why, or
// what had to change to take it in.
struct ImportNote {
  // kSeries: a series whose dates end became once events, as text tells.
  enum class Kind { kSkipped, kWarning, kSeries };
  Kind kind = Kind::kSkipped;
  std::string summary;  // the VEVENT's SUMMARY, UTF-8
  std::string text;
};

// The most notes an import keeps.
constexpr std::size_t kMaxNotes = 1000;

struct ImportResult {
  // Set when the input is no iCalendar object; ends a sentence that starts with the
  // file's name. Nothing else is then set.
  std::optional<std::string> error;
  std::vector<EventRecord> events;
  std::vector<ImportNote> notes;  // in the order of the file, the first kMaxNotes
  int notesLeftOut = 0;           // the notes past those
  int skipped = 0;
  int series = 0;        // series that became once events
  int seriesEvents = 0;  // the once events they became
  // More events than one event file holds (kMaxEvents): the import stopped at the
  // first one too many, so events holds kMaxEvents + 1.
  bool overLimit = false;
  // The input was no UTF-8 and was read as Windows-1252, which holds the printable
  // characters of Latin-1 too (see EncodingWarning).
  bool readAsWindows1252 = false;
};

// The VEVENTs of every VCALENDAR in input as events, in order. An event exported by
// Memro comes back as it was; a foreign one takes its date, time of day, repeat rule,
// alarm and texts, and the defaults for the rest. An event whose repeats Memro cannot
// hold is skipped. Bounded in time for any input: long lines are cut first. Its memory
// is input's size plus one event's, the events and the notes (see kReadFactor).
// A series whose repeats end becomes one once event per date from today on (the
// user's local date now when not given), at most kMaxSeriesEvents.
ImportResult ImportCalendar(std::string_view input, const RecordDefaults& defaults,
                            std::optional<Date> today = std::nullopt);

// The line that tells a note: 'skipped "Title": why' or 'warning: "Title": what'.
std::string NoteLine(const ImportNote& note);
// The warning line for a file read as Windows-1252, naming file; "" for UTF-8.
std::string EncodingWarning(const std::string& file, const ImportResult& result);
// "imported 3 events, skipped 1", and "(2 of them once events from 1 series)"
std::string CountLine(const ImportResult& result);

}  // namespace memro::ical

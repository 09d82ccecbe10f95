#include "ical/calendar_import.h"

#include <ctime>
#include <map>
#include <set>

#include "data/codepage.h"
#include "engine/date_text.h"
#include "ical/calendar_encoding.h"
#include "ical/calendar_events.h"
#include "ical/calendar_lines.h"
#include "ical/calendar_series.h"
#include "ical/event_import.h"
#include "ical/export_start.h"
#include "ical/ical_handles.h"
#include "ical/series_dates.h"

namespace memro::ical {
namespace {

std::string Counted(int n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

// "holds 3 to-dos and no events: nothing was imported": a calendar of something else
// than events, named so the user sees it was the wrong file (a task list, a journal).
std::string NoEventsError(const std::map<std::string, int>& components) {
  std::string held;
  for (const auto& [name, n] : components) {
    std::string what;
    if (name == "VTODO") {
      what = Counted(n, "to-do", "to-dos");
    } else if (name == "VJOURNAL") {
      what = Counted(n, "journal entry", "journal entries");
    } else if (name == "VFREEBUSY") {
      what = Counted(n, "free/busy list", "free/busy lists");
    } else {
      continue;  // time zones and the like say nothing by themselves
    }
    held.append(held.empty() ? "" : ", ").append(what);
  }
  return "holds " + held + (held.empty() ? "" : " and ") + "no events: nothing was imported";
}

// The calendar's own time zones; few calendars hold more than a handful.
void ReadZones(std::string_view input, int complete, TimeZones& zones) {
  WalkEvents(
      input, complete,
      [&](const std::string& text, bool whole) {
        if (!whole) return Walk::kGoOn;
        if (Component zone{icalparser_parse_string(text.c_str())}) zones.Add(zone.release());
        return Walk::kGoOn;
      },
      {}, "VTIMEZONE");
}

std::string TooLargeReason() {
  return "it is larger than " + std::to_string(kMaxEventBytes >> 20) +
         " MiB, more than Memro reads of one event";
}

// A calendar of many thousands of events Memro cannot hold would otherwise keep a note
// for each; past kMaxNotes they are only counted.
void Note(ImportResult& result, ImportNote&& note) {
  if (result.notes.size() < kMaxNotes) {
    result.notes.push_back(std::move(note));
  } else {
    ++result.notesLeftOut;
  }
}

std::string SeriesText(const EventOutcome& outcome) {
  const std::size_t n = outcome.records.size();
  const bool endless = !outcome.seriesWithoutEnd.empty();
  std::string text = endless ? "it has no end but " : "its dates end";
  text.append(outcome.seriesWithoutEnd).append(": it became ").append(std::to_string(n));
  text.append(n == 1 ? " once event" : " once events").append(", one for each date from today");
  if (endless && n == static_cast<std::size_t>(kMaxSeriesEvents)) {
    text += " up to the most a series becomes";
  } else if (static_cast<int>(n) < outcome.seriesDates) {
    text += " up to the most a series becomes (of " + std::to_string(outcome.seriesDates) + ")";
  }
  return text;
}

void Take(EventOutcome&& outcome, ImportResult& result) {
  if (outcome.records.empty()) {
    ++result.skipped;
    Note(result, {ImportNote::Kind::kSkipped, outcome.summary, outcome.skipReason});
    return;
  }
  if (outcome.seriesDates >= 0) {
    ++result.series;
    result.seriesEvents += static_cast<int>(outcome.records.size());
    Note(result, {ImportNote::Kind::kSeries, outcome.summary, SeriesText(outcome)});
  }
  for (std::string& warning : outcome.warnings) {
    Note(result, {ImportNote::Kind::kWarning, outcome.summary, std::move(warning)});
  }
  result.events.insert(result.events.end(), outcome.records.begin(), outcome.records.end());
}

const std::vector<icaltimetype>& ChangedDates(const Series& series, const std::string& uid,
                                              bool changes) {
  static const std::vector<icaltimetype> kNone;
  const auto found = series.changed.find(uid);
  return uid.empty() || changes || found == series.changed.end() ? kNone : found->second;
}

// A changed date of a series, taken as its other dates are: from today on.
void TakeChangedDate(EventOutcome&& outcome, const Date& today, ImportResult& result) {
  std::erase_if(outcome.records, [&](const EventRecord& e) {
    const auto date = StoredDate(e.date, 0);
    return date && std::chrono::sys_days{*date} < std::chrono::sys_days{today};
  });
  if (!outcome.records.empty() || !outcome.skipReason.empty()) Take(std::move(outcome), result);
}

}  // namespace

// Each VEVENT is read on its own and let go before the next: the reader's structures
// take some 50 times the text they are made from, and only one event's are held.
ImportResult ImportCalendar(std::string_view input, const RecordDefaults& defaults,
                            std::optional<Date> today) {
  ImportResult result;
  std::string decoded;
  if (!IsUtf8(input)) {
    // Older programs write their own code page; every byte is a character in this one.
    decoded = Cp1252ToUtf8(input);
    input = decoded;
    result.readAsWindows1252 = true;
  }
  const CalendarOutline outline = OutlineOf(input);
  if (outline.error) {
    result.error = *outline.error;
    return result;
  }
  if (!outline.components.count("VEVENT")) {
    result.error = NoEventsError(outline.components);
    return result;
  }
  icalerror_set_errors_are_fatal(0);
  const Series series = SeriesOf(input, outline.complete);
  TimeZones zones;
  ReadZones(input, outline.complete, zones);
  if (!today) today = LocalDayOf(std::time(nullptr));
  WalkEvents(input, outline.complete, [&](const std::string& text, bool whole) {
    const Component event(icalparser_parse_string(text.c_str()));
    if (!event) return Walk::kGoOn;
    if (!whole) {
      EventOutcome tooLarge;
      tooLarge.summary = PropertyText(event.get(), ICAL_SUMMARY_PROPERTY);
      tooLarge.skipReason = TooLargeReason();
      Take(std::move(tooLarge), result);
      return Walk::kGoOn;
    }
    const std::string uid = Uid(event.get());
    // Without a UID nothing says which event an occurrence belongs to.
    const bool changes = !uid.empty() && ChangesOccurrence(event.get());
    if (changes && series.masters.count(uid)) {
      // A changed date of a series taken as its dates is one of them; of any other series
      // (skipped whole) it is nothing more.
      if (series.listed.count(uid)) {
        TakeChangedDate(ImportEvent(event.get(), defaults, zones, *today, {}), *today, result);
      }
    } else {
      Take(ImportEvent(event.get(), defaults, zones, *today, ChangedDates(series, uid, changes)),
           result);
    }
    // One more than a file holds is enough to refuse it; the rest is not converted.
    result.overLimit = result.events.size() > static_cast<std::size_t>(kMaxEvents);
    return result.overLimit ? Walk::kStop : Walk::kGoOn;
  });
  return result;
}

// A title or a zone's name from the file goes to a terminal: shown without controls.
std::string NoteLine(const ImportNote& note) {
  const std::string title = "\"" + (note.summary.empty() ? "(no title)" : note.summary) + "\"";
  const char* kind = note.kind == ImportNote::Kind::kSkipped  ? "skipped "
                     : note.kind == ImportNote::Kind::kSeries ? "series "
                                                              : "warning: ";
  return PrintableText(kind + title + ": " + note.text);
}

std::string EncodingWarning(const std::string& file, const ImportResult& result) {
  if (!result.readAsWindows1252) return {};
  return "warning: " + file +
         " is not UTF-8 text; it was read as Windows-1252: check the accented letters of the "
         "imported events";
}

std::string CountLine(const ImportResult& result) {
  const std::size_t n = result.events.size();
  std::string line = "imported " + std::to_string(n) + (n == 1 ? " event" : " events");
  if (result.series > 0) {
    line += " (" + std::to_string(result.seriesEvents) + " of them once events from " +
            std::to_string(result.series) + " series)";
  }
  return line + ", skipped " + std::to_string(result.skipped);
}

}  // namespace memro::ical

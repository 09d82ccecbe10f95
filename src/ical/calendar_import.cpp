#include "ical/calendar_import.h"

#include <set>

#include "ical/calendar_lines.h"
#include "ical/event_import.h"
#include "ical/ical_handles.h"

namespace memro::ical {
namespace {

std::vector<icalcomponent*> Children(icalcomponent* parent, icalcomponent_kind kind) {
  std::vector<icalcomponent*> children;
  for (icalcomponent* c = icalcomponent_get_first_component(parent, kind); c;
       c = icalcomponent_get_next_component(parent, kind)) {
    children.push_back(c);
  }
  return children;
}

std::vector<icalcomponent*> Calendars(icalcomponent* root) {
  if (icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT) return {root};
  if (icalcomponent_isa(root) == ICAL_XROOT_COMPONENT) {
    return Children(root, ICAL_VCALENDAR_COMPONENT);
  }
  return {};
}

std::string Uid(icalcomponent* event) { return PropertyText(event, ICAL_UID_PROPERTY); }

bool ChangesOccurrence(icalcomponent* event) {
  return icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY) != nullptr;
}

// Events of one UID: the one with the repeat rule, and those that change single
// occurrences of it (RECURRENCE-ID), which are part of it and not events of their own.
struct Series {
  std::set<std::string> changed;  // UIDs with changed occurrences
  std::set<std::string> masters;  // UIDs with an event that is no changed occurrence
};

Series SeriesOf(const std::vector<icalcomponent*>& events) {
  Series series;
  for (icalcomponent* event : events) {
    (ChangesOccurrence(event) ? series.changed : series.masters).insert(Uid(event));
  }
  return series;
}

void Take(EventOutcome&& outcome, ImportResult& result) {
  if (!outcome.record) {
    ++result.skipped;
    result.notes.push_back({ImportNote::Kind::kSkipped, outcome.summary, outcome.skipReason});
    return;
  }
  for (std::string& warning : outcome.warnings) {
    result.notes.push_back({ImportNote::Kind::kWarning, outcome.summary, std::move(warning)});
  }
  result.events.push_back(*outcome.record);
}

}  // namespace

ImportResult ImportCalendar(std::string_view input, const RecordDefaults& defaults) {
  ImportResult result;
  std::string text;
  if (auto error = PrepareCalendarText(input, text)) {
    result.error = *error;
    return result;
  }
  icalerror_set_errors_are_fatal(0);
  const Component root(icalparser_parse_string(text.c_str()));
  const std::vector<icalcomponent*> calendars =
      root ? Calendars(root.get()) : std::vector<icalcomponent*>{};
  if (calendars.empty()) {
    result.error = "is not an iCalendar file: it holds no readable VCALENDAR";
    return result;
  }
  for (icalcomponent* calendar : calendars) {
    const std::vector<icalcomponent*> events = Children(calendar, ICAL_VEVENT_COMPONENT);
    const Series series = SeriesOf(events);
    for (icalcomponent* event : events) {
      const std::string uid = Uid(event);
      // Without a UID nothing says which event an occurrence belongs to.
      const bool known = !uid.empty();
      if (known && ChangesOccurrence(event) && series.masters.count(uid)) continue;
      const bool changed = known && !ChangesOccurrence(event) && series.changed.count(uid) > 0;
      Take(ImportEvent(event, defaults, changed), result);
    }
  }
  return result;
}

std::string NoteLine(const ImportNote& note) {
  const std::string title = "\"" + (note.summary.empty() ? "(no title)" : note.summary) + "\"";
  if (note.kind == ImportNote::Kind::kSkipped) return "skipped " + title + ": " + note.text;
  return "warning: " + title + ": " + note.text;
}

std::string CountLine(const ImportResult& result) {
  const std::size_t n = result.events.size();
  return "imported " + std::to_string(n) + (n == 1 ? " event" : " events") + ", skipped " +
         std::to_string(result.skipped);
}

}  // namespace memro::ical

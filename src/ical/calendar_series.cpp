#include "ical/calendar_series.h"

#include <functional>

#include "ical/calendar_events.h"
#include "ical/calendar_lines.h"
#include "ical/ical_handles.h"
#include "ical/series_dates.h"

namespace memro::ical {
namespace {

// The lines a series is told by; the rest of each event is not read for it.
bool SeriesLine(std::string_view line) {
  const std::string_view name = PropertyName(line);
  for (const char* told : {"UID", "RECURRENCE-ID", "DTSTART", "RRULE", "EXRULE"}) {
    if (SameName(name, told)) return true;
  }
  return false;
}

// Each event read on its own from the lines that tell its series.
void WalkSeries(std::string_view input, int complete,
                const std::function<void(icalcomponent* event)>& take) {
  WalkEvents(
      input, complete,
      [&](const std::string& text, bool) {
        if (const Component event{icalparser_parse_string(text.c_str())}) take(event.get());
        return Walk::kGoOn;
      },
      SeriesLine);
}

}  // namespace

std::string Uid(icalcomponent* event) { return PropertyText(event, ICAL_UID_PROPERTY); }

bool ChangesOccurrence(icalcomponent* event) {
  return icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY) != nullptr;
}

Series SeriesOf(std::string_view input, int complete) {
  Series series;
  WalkSeries(input, complete, [&](icalcomponent* event) {
    if (ChangesOccurrence(event)) {
      series.changed[Uid(event)].push_back(icalcomponent_get_recurrenceid(event));
    }
  });
  if (series.changed.empty()) return series;
  WalkSeries(input, complete, [&](icalcomponent* event) {
    const std::string uid = Uid(event);
    if (ChangesOccurrence(event) || !series.changed.count(uid)) return;
    series.masters.insert(uid);
    if (DatesListable(event)) series.listed.insert(uid);
  });
  return series;
}

}  // namespace memro::ical

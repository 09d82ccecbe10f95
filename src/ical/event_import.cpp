#include "ical/event_import.h"

#include <cstring>

#include "data/text_util.h"
#include "ical/event_parts.h"
#include "ical/event_texts.h"
#include "ical/ical_handles.h"
#include "ical/ical_names.h"
#include "ical/series_dates.h"

namespace memro::ical {
namespace {

bool IsMemroEvent(icalcomponent* event) {
  for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_X_PROPERTY); p;
       p = icalcomponent_get_next_property(event, ICAL_X_PROPERTY)) {
    const char* name = icalproperty_get_x_name(p);
    if (name && ::strncasecmp(name, kMemroPrefix, std::strlen(kMemroPrefix)) == 0) return true;
  }
  return false;
}

// A property the event's dates depend on that the reader had to drop as unreadable.
std::optional<std::string> UnreadableProperty(icalcomponent* event) {
  static const char* const kNames[] = {"DTSTART", "RRULE", "EXRULE", "EXDATE", "RDATE"};
  for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_XLICERROR_PROPERTY); p;
       p = icalcomponent_get_next_property(event, ICAL_XLICERROR_PROPERTY)) {
    const char* text = icalproperty_get_xlicerror(p);
    for (const char* name : kNames) {
      if (text && std::strstr(text, (std::string(" in ") + name + " property").c_str())) {
        return name;
      }
    }
  }
  return std::nullopt;
}

std::optional<std::int16_t> XNumber(icalcomponent* event, const char* name) {
  const auto text = XText(event, name);
  if (!text) return std::nullopt;
  try {
    std::size_t used = 0;
    const long value = std::stol(*text, &used);
    if (used == text->size() && value >= -32768 && value <= 32767) {
      return static_cast<std::int16_t>(value);
    }
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

// The stored date text an export kept because DTSTART does not give it back.
std::optional<std::string> ExactDate(icalcomponent* event) {
  if (const auto hex = XText(event, kDateBytes)) {
    if (auto bytes = BytesFromHex(*hex)) return bytes;
  }
  if (const auto text = XText(event, kDate)) return Utf8ToCp1252(*text).bytes;
  return std::nullopt;
}

std::string TimePrefix(int minuteOfDay) {
  const int hour = minuteOfDay / 60;
  const int minute = minuteOfDay % 60;
  return std::string{char('0' + hour / 10),   char('0' + hour % 10),   ':',
                     char('0' + minute / 10), char('0' + minute % 10), ' '};
}

std::string_view TrimmedText(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n";
  const std::size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

// What a description adds to the title. Many calendars repeat the title as the
// description's first line; only what follows that line is new.
std::string_view AddedText(std::string_view description, std::string_view summary) {
  const std::string_view text = TrimmedText(description);
  const std::string_view title = TrimmedText(summary);
  if (text.empty()) return {};
  if (title.empty() || !text.starts_with(title)) return description;
  const std::string_view rest = text.substr(title.size());
  const std::size_t next = rest.find_first_not_of(" \t");
  if (next != std::string_view::npos && rest[next] != '\r' && rest[next] != '\n') {
    return description;
  }
  return TrimmedText(rest);
}

// A foreign event's message: its title, then its description where that says more.
std::string ForeignText(icalcomponent* event, const std::string& summary) {
  const std::string description = PropertyText(event, ICAL_DESCRIPTION_PROPERTY);
  const std::string_view added = AddedText(description, summary);
  if (added.empty()) return summary;
  if (TrimmedText(summary).empty()) return std::string(added);
  return summary + "\n" + std::string(added);
}

std::string MessageBytes(icalcomponent* event, bool memro, const std::string& summary,
                         const std::optional<EventStart>& start, EventOutcome& out) {
  std::string bytes;
  std::optional<std::string> exact;
  if (memro) {
    if (const auto hex = XText(event, kMessageBytes)) exact = BytesFromHex(*hex);
  }
  if (exact) {
    bytes = *exact;
  } else {
    const Cp1252Text text = StoredText(memro ? PropertyText(event, ICAL_DESCRIPTION_PROPERTY)
                                             : ForeignText(event, summary));
    if (!text.lossless) {
      out.warnings.push_back("characters the event file cannot hold were stored as '?'");
    }
    bytes = text.bytes;
  }
  if (start && start->minuteOfDay) bytes = TimePrefix(*start->minuteOfDay) + bytes;
  if (CutToMessageSize(bytes)) out.warnings.push_back("its message was cut to 1000 bytes");
  return bytes;
}

void SetFlags(icalcomponent* event, const RecordDefaults& defaults, EventRecord& r) {
  r.enabled = XNumber(event, kEnabled).value_or(defaults.enabled);
  r.backdated = XNumber(event, kBackdated).value_or(defaults.backdated);
  r.cleanUp = XNumber(event, kCleanUp).value_or(defaults.cleanUp);
  icalproperty* status = icalcomponent_get_first_property(event, ICAL_STATUS_PROPERTY);
  if (status && icalproperty_get_status(status) == ICAL_STATUS_CANCELLED) r.enabled = 0;
}

// A series whose dates end or have exceptions, as one once event per date from today on.
void TakeSeries(icalcomponent* event, const RecordDefaults& defaults, const SeriesDates& dates,
                EventOutcome& out) {
  out.seriesDates = dates.fromToday;
  out.seriesWithoutEnd = dates.withoutEnd;
  EventOutcome discarded;  // a message cut once is told once
  for (const EventStart& start : dates.starts) {
    EventRecord r;
    r.SetDate(FormatStored(start.date));
    r.frequency = kOnce;
    r.SetMessage(
        MessageBytes(event, false, out.summary, start, out.records.empty() ? out : discarded));
    r.warnDays = WarnDaysOf(event, start).value_or(defaults.warnDays);
    SetFlags(event, defaults, r);
    out.records.push_back(r);
  }
}

}  // namespace

EventOutcome ImportEvent(icalcomponent* event, const RecordDefaults& defaults,
                         const TimeZones& zones, const Date& today,
                         const std::vector<icaltimetype>& changed) {
  EventOutcome out;
  out.summary = PropertyText(event, ICAL_SUMMARY_PROPERTY);
  if (const auto name = UnreadableProperty(event)) {
    out.skipReason = "its " + *name + " cannot be read";
    return out;
  }
  const bool memro = IsMemroEvent(event);
  if (!memro && TrimmedText(ForeignText(event, out.summary)).empty()) {
    out.skipReason = "it has no text (no SUMMARY or DESCRIPTION)";
    return out;
  }
  const std::optional<EventStart> start = StartOf(event, zones);
  if (start && !start->unknownZone.empty()) {
    out.warnings.push_back("its time zone " + start->unknownZone +
                           " is not known; its time was taken as written");
  }
  const std::optional<std::string> exactDate = memro ? ExactDate(event) : std::nullopt;
  if (!start && !exactDate) {
    out.skipReason = "it has no start date";
    return out;
  }
  EventRecord r;
  r.SetDate(exactDate ? *exactDate : FormatStored(start->date));
  if (const auto code = memro ? XNumber(event, kFrequency) : std::nullopt) {
    r.frequency = *code;
  } else if (start) {
    const Recurrence recurrence = RecurrenceOf(event, *start, changed, today);
    if (!recurrence.problem.empty()) {
      const auto dates = ListedDates(event, *start, today, changed);
      if (!dates || dates->starts.empty()) {
        out.skipReason = recurrence.problem + (dates ? ", and all its dates lie before today" : "");
      } else {
        TakeSeries(event, defaults, *dates, out);
      }
      return out;
    }
    r.frequency = recurrence.frequency;
  } else {
    r.frequency = kOnce;
  }
  r.SetMessage(MessageBytes(event, memro, out.summary, start, out));
  const auto ownWarning = memro ? XNumber(event, kWarnDays) : std::nullopt;
  r.warnDays = ownWarning ? *ownWarning : WarnDaysOf(event, start).value_or(defaults.warnDays);
  SetFlags(event, defaults, r);
  out.records.push_back(r);
  return out;
}

}  // namespace memro::ical

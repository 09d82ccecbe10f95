#include "sync/remote_event.h"

#include <cstring>
#include <vector>

#include "ical/event_import.h"
#include "ical/ical_handles.h"
#include "ical/ical_names.h"
#include "sync/vevent_text.h"

namespace memro::sync {
namespace {

using ical::Component;

// The X-MEMRO- properties that repeat each standard property another client may edit.
struct Repeated {
  std::vector<icalproperty_kind> kinds;
  std::vector<const char*> names;
};
const Repeated kRepeated[] = {
    {{ICAL_DTSTART_PROPERTY, ICAL_RRULE_PROPERTY},
     {ical::kDate, ical::kDateBytes, ical::kFrequency}},
    {{ICAL_SUMMARY_PROPERTY, ICAL_DESCRIPTION_PROPERTY}, {ical::kMessageBytes}},
    {{ICAL_STATUS_PROPERTY}, {ical::kEnabled}},
};

bool SameProperties(icalcomponent* a, icalcomponent* b,
                    const std::vector<icalproperty_kind>& kinds) {
  for (const icalproperty_kind kind : kinds) {
    if (PropertyLine(a, kind) != PropertyLine(b, kind)) return false;
  }
  return true;
}

// A title changed where the description was left: the description's first line was the
// title (Memro writes it so) and becomes the new one.
void FollowTitle(icalcomponent* event, icalcomponent* base) {
  if (SameProperties(event, base, {ICAL_SUMMARY_PROPERTY}) ||
      !SameProperties(event, base, {ICAL_DESCRIPTION_PROPERTY})) {
    return;
  }
  const std::string description = ical::PropertyText(event, ICAL_DESCRIPTION_PROPERTY);
  const std::size_t lineEnd = description.find('\n');
  const std::string rest = lineEnd == std::string::npos ? "" : description.substr(lineEnd);
  const std::string text = ical::PropertyText(event, ICAL_SUMMARY_PROPERTY) + rest;
  RemoveProperties(event, ICAL_DESCRIPTION_PROPERTY);
  icalcomponent_add_property(event, icalproperty_new_description(text.c_str()));
}

void DropStale(icalcomponent* event, const std::string& baseIcs) {
  const Component baseCalendar(icalparser_parse_string(baseIcs.c_str()));
  icalcomponent* base = baseCalendar ? FirstEvent(baseCalendar.get()) : nullptr;
  if (!base) return;
  for (const Repeated& r : kRepeated) {
    if (SameProperties(event, base, r.kinds)) continue;
    for (const char* name : r.names) RemoveX(event, name);
  }
  FollowTitle(event, base);
}

void Refuse(RemoteEvent& out, std::string reason) {
  out.record.reset();
  out.reason = std::move(reason);
}

}  // namespace

RemoteEvent ReadRemote(const RemoteResource& resource, const std::string& baseIcs,
                       const RecordDefaults& defaults, const Date& today) {
  RemoteEvent out{resource, {}, {}, std::nullopt, {}, false};
  icalerror_set_errors_are_fatal(0);
  const Component calendar(icalparser_parse_string(resource.ics.c_str()));
  const int events =
      calendar ? icalcomponent_count_components(calendar.get(), ICAL_VEVENT_COMPONENT) : 0;
  icalcomponent* event = calendar ? FirstEvent(calendar.get()) : nullptr;
  if (!event) {
    Refuse(out, "it holds no event");
    return out;
  }
  out.uid = ical::PropertyText(event, ICAL_UID_PROPERTY);
  out.summary = ical::PropertyText(event, ICAL_SUMMARY_PROPERTY);
  if (events > 1) {
    Refuse(out, "it changes single dates of a series, which one event of Memro cannot hold");
    return out;
  }
  out.memro = ical::XProperty(event, ical::kEnabled) != nullptr;
  if (!baseIcs.empty()) DropStale(event, baseIcs);
  ical::TimeZones zones;
  TakeZones(calendar.get(), zones);
  ical::EventOutcome outcome = ical::ImportEvent(event, defaults, zones, today, {});
  if (outcome.records.empty()) {
    Refuse(out, outcome.skipReason);
  } else if (outcome.seriesDates >= 0) {
    Refuse(out, "its dates end or have exceptions, which one event of Memro cannot hold");
  } else if (!outcome.warnings.empty()) {
    // It would not come back unchanged: a sync must never rewrite what it cannot hold.
    Refuse(out, outcome.warnings.front());
  } else {
    out.record = outcome.records.front();
  }
  return out;
}

}  // namespace memro::sync

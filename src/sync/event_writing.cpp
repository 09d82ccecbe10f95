#include "sync/event_writing.h"

#include <strings.h>

#include <cstring>
#include <vector>

#include "ical/event_export.h"
#include "ical/export_start.h"
#include "ical/ical_handles.h"
#include "ical/ical_names.h"
#include "sync/vevent_text.h"

namespace memro::sync {
namespace {

using ical::Component;

// What Memro's fields are written as; another client's value of these gives way.
constexpr icalproperty_kind kOwned[] = {ICAL_DTSTART_PROPERTY,  ICAL_DTEND_PROPERTY,
                                        ICAL_DURATION_PROPERTY, ICAL_RRULE_PROPERTY,
                                        ICAL_SUMMARY_PROPERTY,  ICAL_DESCRIPTION_PROPERTY,
                                        ICAL_STATUS_PROPERTY,   ICAL_DTSTAMP_PROPERTY};

icalcomponent* MemroEvent(const EventRecord& record, const std::string& uid, const Writing& w) {
  const icaltimetype stamp = icaltime_from_timet_with_zone(static_cast<time_t>(w.stamp), 0,
                                                           icaltimezone_get_utc_timezone());
  return ical::EventComponent(record, uid, stamp, w.currentYear, ical::LocalDayOf(w.stamp));
}

void DropMemroProperties(icalcomponent* event) {
  std::vector<std::string> names;
  for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_X_PROPERTY); p;
       p = icalcomponent_get_next_property(event, ICAL_X_PROPERTY)) {
    const char* name = icalproperty_get_x_name(p);
    if (name && ::strncasecmp(name, ical::kMemroPrefix, std::strlen(ical::kMemroPrefix)) == 0) {
      names.push_back(name);
    }
  }
  for (const std::string& name : names) RemoveX(event, name.c_str());
}

bool SaysDaysBefore(icalcomponent* alarm, std::int16_t days) {
  icalproperty* p = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
  if (!p) return false;
  const icaltriggertype t = icalproperty_get_trigger(p);
  if (!icaltime_is_null_time(t.time)) return false;
  const int seconds = icaldurationtype_as_int(t.duration);
  return seconds == -days * 86400;
}

// The alarm that said the old warning days goes; Memro's new one comes.
void ReplaceAlarm(icalcomponent* event, icalcomponent* memro, std::int16_t oldDays) {
  std::vector<icalcomponent*> old;
  for (icalcomponent* a = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT); a;
       a = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT)) {
    if (SaysDaysBefore(a, oldDays)) old.push_back(a);
  }
  for (icalcomponent* a : old) {
    icalcomponent_remove_component(event, a);
    icalcomponent_free(a);
  }
  if (icalcomponent* a = icalcomponent_get_first_component(memro, ICAL_VALARM_COMPONENT)) {
    icalcomponent_add_component(event, icalcomponent_new_clone(a));
  }
}

void NextSequence(icalcomponent* event) {
  if (icalproperty* p = icalcomponent_get_first_property(event, ICAL_SEQUENCE_PROPERTY)) {
    icalproperty_set_sequence(p, icalproperty_get_sequence(p) + 1);
  }
}

}  // namespace

std::string NewEventText(const EventRecord& record, const std::string& uid, const Writing& w) {
  const Component calendar(icalcomponent_new_vcalendar());
  icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
  icalcomponent_add_property(calendar.get(), icalproperty_new_prodid(ical::kProductId));
  icalcomponent_add_component(calendar.get(), MemroEvent(record, uid, w));
  return ical::Owned(icalcomponent_as_ical_string_r(calendar.get()));
}

std::string PatchedEventText(const std::string& serverIcs, const EventRecord& record,
                             std::int16_t serverWarnDays, const Writing& w) {
  const Component calendar(icalparser_parse_string(serverIcs.c_str()));
  icalcomponent* event = calendar ? FirstEvent(calendar.get()) : nullptr;
  if (!event) return {};
  const Component memro(MemroEvent(record, ical::PropertyText(event, ICAL_UID_PROPERTY), w));
  for (const icalproperty_kind kind : kOwned) RemoveProperties(event, kind);
  DropMemroProperties(event);
  for (icalproperty* p = icalcomponent_get_first_property(memro.get(), ICAL_ANY_PROPERTY); p;
       p = icalcomponent_get_next_property(memro.get(), ICAL_ANY_PROPERTY)) {
    if (icalproperty_isa(p) == ICAL_UID_PROPERTY) continue;
    icalcomponent_add_property(event, icalproperty_new_clone(p));
  }
  if (record.warnDays != serverWarnDays) ReplaceAlarm(event, memro.get(), serverWarnDays);
  NextSequence(event);
  return ical::Owned(icalcomponent_as_ical_string_r(calendar.get()));
}

}  // namespace memro::sync

// The warning days of an event from its alarms.
#include <algorithm>
#include <limits>

#include "ical/event_parts.h"

namespace memro::ical {
namespace {

constexpr std::int64_t kDay = 24 * 60 * 60;

// libical's own sum is an int, which long alarms (32767 days) overflow.
std::int64_t Seconds(const icaldurationtype& d) {
  const std::int64_t seconds =
      ((std::int64_t{d.weeks} * 7 + d.days) * 24 + d.hours) * 3600 + d.minutes * 60LL + d.seconds;
  return d.is_neg ? -seconds : seconds;
}

// The event's length in seconds, for an alarm set relative to its end.
std::int64_t LengthOf(icalcomponent* event, const EventStart& start) {
  icalproperty* end = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY);
  icalproperty* duration = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY);
  if (end) {
    const icaltimetype t = icalproperty_get_dtend(end);
    if (!icaltime_is_null_time(t)) {
      return static_cast<std::int64_t>(icaltime_as_timet(t)) - icaltime_as_timet(start.written);
    }
  }
  if (duration) return Seconds(icalproperty_get_duration(duration));
  return start.minuteOfDay ? 0 : kDay;
}

// Seconds the trigger lies before the start; negative after it, nothing when unreadable.
std::optional<std::int64_t> SecondsBefore(icalcomponent* event, icalproperty* trigger,
                                          const std::optional<EventStart>& start) {
  const icaltriggertype t = icalproperty_get_trigger(trigger);
  if (!icaltime_is_null_time(t.time)) {
    if (!start) return std::nullopt;
    // An absolute trigger is in UTC; the start is compared in its own zone.
    const icaltimetype begin = icalcomponent_get_dtstart(event);
    return static_cast<std::int64_t>(icaltime_as_timet_with_zone(begin, begin.zone)) -
           icaltime_as_timet(t.time);
  }
  const std::int64_t offset = Seconds(t.duration);
  icalparameter* related = icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
  if (related && icalparameter_get_related(related) == ICAL_RELATED_END) {
    if (!start) return std::nullopt;
    return -offset - LengthOf(event, *start);
  }
  return -offset;
}

}  // namespace

std::optional<std::int16_t> WarnDaysOf(icalcomponent* event,
                                       const std::optional<EventStart>& start) {
  std::optional<std::int64_t> earliest;
  for (icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT);
       alarm; alarm = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT)) {
    icalproperty* trigger = icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY);
    if (!trigger) continue;
    const auto before = SecondsBefore(event, trigger, start);
    if (before && *before >= 0) earliest = std::max(earliest.value_or(0), *before);
  }
  if (!earliest) return std::nullopt;
  const std::int64_t days = (*earliest + kDay - 1) / kDay;
  return static_cast<std::int16_t>(std::min<std::int64_t>(days, 32767));
}

}  // namespace memro::ical

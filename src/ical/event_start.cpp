// When an event starts, in the user's own time zone.
#include <ctime>

#include "ical/event_parts.h"

namespace memro::ical {
namespace {

std::optional<Date> DateOf(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) {
    return std::nullopt;
  }
  const Date date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                  std::chrono::day{static_cast<unsigned>(day)}};
  return date.ok() ? std::optional(date) : std::nullopt;
}

std::string ZoneName(icalproperty* start) {
  icalparameter* tzid = icalproperty_get_first_parameter(start, ICAL_TZID_PARAMETER);
  const char* name = tzid ? icalparameter_get_tzid(tzid) : nullptr;
  return name ? name : "";
}

// The zone a DATE-TIME is written in: UTC, the named one, or none for a floating time
// (the same wall time everywhere) and for a name nobody knows.
icaltimezone* ZoneOf(icalproperty* p, const icaltimetype& t, const TimeZones& zones,
                     std::string& unknown) {
  if (icaltime_is_utc(t)) return icaltimezone_get_utc_timezone();
  const std::string name = ZoneName(p);
  if (name.empty()) return nullptr;
  icaltimezone* zone = zones.Find(name);
  if (!zone) unknown = name;
  return zone;
}

}  // namespace

std::optional<EventStart> StartAt(icaltimetype t, icaltimezone* zone) {
  if (icaltime_is_null_time(t)) return std::nullopt;
  EventStart start;
  start.written = t;
  start.zone = zone;
  const auto own = DateOf(t.year, t.month, t.day);
  if (!own) return std::nullopt;
  start.ownDate = start.date = *own;
  if (t.is_date) return start;
  start.minuteOfDay = t.hour * 60 + t.minute;
  if (*start.minuteOfDay < 0 || *start.minuteOfDay >= 24 * 60) return std::nullopt;
  if (zone) {
    t.zone = nullptr;  // the wall time as written, in the zone found for it
    const std::time_t seconds = icaltime_as_timet_with_zone(t, zone);
    std::tm local{};
    if (!::localtime_r(&seconds, &local)) return std::nullopt;
    const auto date = DateOf(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    if (!date) return std::nullopt;
    start.date = *date;
    start.minuteOfDay = local.tm_hour * 60 + local.tm_min;
  }
  return start;
}

std::optional<EventStart> StartOf(icalcomponent* event, const TimeZones& zones) {
  icalproperty* p = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
  if (!p) return std::nullopt;
  const icaltimetype t = icalproperty_get_dtstart(p);
  std::string unknown;
  icaltimezone* zone = t.is_date ? nullptr : ZoneOf(p, t, zones, unknown);
  auto start = StartAt(t, zone);
  if (start) start->unknownZone = unknown;
  return start;
}

}  // namespace memro::ical

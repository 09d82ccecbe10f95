#include "ical/time_zones.h"

namespace memro::ical {

TimeZones::~TimeZones() {
  for (auto& [name, zone] : own_) icaltimezone_free(zone, 1);
}

void TimeZones::Add(icalcomponent* vtimezone) {
  icalproperty* id = icalcomponent_get_first_property(vtimezone, ICAL_TZID_PROPERTY);
  const char* name = id ? icalproperty_get_tzid(id) : nullptr;
  if (!name || own_.count(name)) {
    icalcomponent_free(vtimezone);
    return;
  }
  icaltimezone* zone = icaltimezone_new();
  if (!icaltimezone_set_component(zone, vtimezone)) {
    icaltimezone_free(zone, 1);
    icalcomponent_free(vtimezone);
    return;
  }
  own_.emplace(name, zone);
}

icaltimezone* TimeZones::Find(const std::string& tzid) const {
  if (const auto own = own_.find(tzid); own != own_.end()) return own->second;
  if (icaltimezone* zone = icaltimezone_get_builtin_timezone(tzid.c_str())) return zone;
  // A name with the prefix libical itself writes before an Olson name.
  return icaltimezone_get_builtin_timezone_from_tzid(tzid.c_str());
}

}  // namespace memro::ical

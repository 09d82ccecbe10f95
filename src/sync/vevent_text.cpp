#include "sync/vevent_text.h"

#include <strings.h>

#include <vector>

#include "ical/ical_handles.h"

namespace memro::sync {

icalcomponent* FirstEvent(icalcomponent* calendar) {
  if (icalcomponent_isa(calendar) == ICAL_VEVENT_COMPONENT) return calendar;
  return icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
}

std::string PropertyLine(icalcomponent* component, icalproperty_kind kind) {
  icalproperty* p = icalcomponent_get_first_property(component, kind);
  return p ? ical::Owned(icalproperty_as_ical_string_r(p)) : std::string();
}

void RemoveProperties(icalcomponent* component, icalproperty_kind kind) {
  while (icalproperty* p = icalcomponent_get_first_property(component, kind)) {
    icalcomponent_remove_property(component, p);
    icalproperty_free(p);
  }
}

void RemoveX(icalcomponent* component, const char* name) {
  std::vector<icalproperty*> found;
  for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_X_PROPERTY); p;
       p = icalcomponent_get_next_property(component, ICAL_X_PROPERTY)) {
    const char* own = icalproperty_get_x_name(p);
    if (own && ::strcasecmp(own, name) == 0) found.push_back(p);
  }
  for (icalproperty* p : found) {
    icalcomponent_remove_property(component, p);
    icalproperty_free(p);
  }
}

void TakeZones(icalcomponent* calendar, ical::TimeZones& zones) {
  std::vector<icalcomponent*> found;
  for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT); c;
       c = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT)) {
    found.push_back(c);
  }
  for (icalcomponent* c : found) {
    icalcomponent_remove_component(calendar, c);
    zones.Add(c);
  }
}

}  // namespace memro::sync

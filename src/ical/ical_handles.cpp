#include "ical/ical_handles.h"

#include <cstdlib>
#include <cstring>

namespace memro::ical {
namespace {

struct PropertyFree {
  void operator()(icalproperty* p) const { icalproperty_free(p); }
};
using Property = std::unique_ptr<icalproperty, PropertyFree>;

std::string OrEmpty(const char* text) { return text ? text : ""; }

// The property as libical writes it into a file, read back by libical's reader.
Property Reread(icalproperty* written) {
  const std::string line = Owned(icalproperty_as_ical_string_r(written));
  return Property(icalproperty_new_from_string(line.c_str()));
}

}  // namespace

std::string Owned(char* text) {
  std::string out = OrEmpty(text);
  std::free(text);
  return out;
}

std::string PropertyText(icalcomponent* component, icalproperty_kind kind) {
  icalproperty* p = icalcomponent_get_first_property(component, kind);
  if (!p) return {};
  icalvalue* value = icalproperty_get_value(p);
  if (!value) return {};
  return OrEmpty(icalvalue_get_text(value));
}

icalproperty* XProperty(icalcomponent* component, const char* name) {
  for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_X_PROPERTY); p;
       p = icalcomponent_get_next_property(component, ICAL_X_PROPERTY)) {
    const char* x = icalproperty_get_x_name(p);
    if (x && ::strcasecmp(x, name) == 0) return p;
  }
  return nullptr;
}

std::optional<std::string> XText(icalcomponent* component, const char* name) {
  icalproperty* p = XProperty(component, name);
  if (!p) return std::nullopt;
  return OrEmpty(icalproperty_get_x(p));
}

void AddX(icalcomponent* component, const char* name, const std::string& value) {
  icalproperty* p = icalproperty_new_x(value.c_str());
  icalproperty_set_x_name(p, name);
  icalcomponent_add_property(component, p);
}

bool SurvivesAsDescription(const std::string& value) {
  const Property written(icalproperty_new_description(value.c_str()));
  const Property read = Reread(written.get());
  return read && OrEmpty(icalproperty_get_description(read.get())) == value;
}

bool SurvivesAsX(const std::string& value) {
  const Property written(icalproperty_new_x(value.c_str()));
  icalproperty_set_x_name(written.get(), "X-MEMRO-CHECK");
  const Property read = Reread(written.get());
  return read && OrEmpty(icalproperty_get_x(read.get())) == value;
}

}  // namespace memro::ical

#pragma once

#include <libical/ical.h>

#include <memory>
#include <optional>
#include <string>

// Small helpers over libical's C interface, for the files of this library only.
namespace memro::ical {

struct ComponentFree {
  void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

// A text libical allocated, taken over and freed.
std::string Owned(char* text);

// The text of the first property of that kind, "" when there is none.
std::string PropertyText(icalcomponent* component, icalproperty_kind kind);

// The first X- property of that name, and its value.
icalproperty* XProperty(icalcomponent* component, const char* name);
std::optional<std::string> XText(icalcomponent* component, const char* name);
void AddX(icalcomponent* component, const char* name, const std::string& value);

// True when libical writes the value and reads it back unchanged, as DESCRIPTION or
// as an X- property (it drops blanks around a value, for one).
bool SurvivesAsDescription(const std::string& value);
bool SurvivesAsX(const std::string& value);

}  // namespace memro::ical

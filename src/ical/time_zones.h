#pragma once

#include <libical/ical.h>

#include <map>
#include <string>

namespace memro::ical {

// The time zones that an event's times name by TZID: the calendar's own VTIMEZONEs
// first (they say what the writer meant, and Windows programs use names of their
// own), then the system's zone database.
class TimeZones {
 public:
  TimeZones() = default;
  TimeZones(const TimeZones&) = delete;
  TimeZones& operator=(const TimeZones&) = delete;
  ~TimeZones();

  // Takes over a VTIMEZONE component; one without a TZID is freed.
  void Add(icalcomponent* vtimezone);
  // The zone named tzid; nullptr when neither the calendar nor the system knows it.
  icaltimezone* Find(const std::string& tzid) const;

 private:
  std::map<std::string, icaltimezone*> own_;
};

}  // namespace memro::ical

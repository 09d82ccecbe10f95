#pragma once

#include <string>
#include <vector>

#include "data/event_record.h"

namespace memro::ical {

// A UID for each event, in order: the same for an unchanged file at every export, so a
// calendar that imports the file again updates its events instead of doubling them.
// It is made from the event's stored bytes and, for events that are byte for byte the
// same, from its place among them (the second copy gets another UID than the first).
std::vector<std::string> EventUids(const std::vector<EventRecord>& events);

}  // namespace memro::ical

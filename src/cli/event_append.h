#pragma once

#include <string>
#include <vector>

#include "cli/console_platform.h"
#include "data/event_record.h"

namespace memro::cli {

// Appends events to an event file of the current format under its writer lock, in one
// atomic replace, creating the file with its header record when it does not exist.
// A file of an older format, one that does not end with a whole event, or one that
// would hold more events than record numbers reach, is refused. doing names the work
// in a failure ("adding to"). True when written; otherwise the user has been told.
bool AppendEvents(ConsolePlatform& platform, const std::string& file,
                  const std::vector<EventRecord>& events, const std::string& doing);

}  // namespace memro::cli

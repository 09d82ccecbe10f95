#pragma once

#include <filesystem>

#include "data/calendar.h"

namespace memro::bench {

// The day every benchmark treats as today.
Date BenchToday();

// A current-format file of `events` yearly events spread over the year. allDue: each
// has a year's warning, so every one is listed; otherwise none has any warning and none
// falls on BenchToday(), so none is.
void WriteBenchFile(const std::filesystem::path& file, int events, bool allDue);

// The 32,766 events, all due, written by a child process: a forked child starts out with
// its parent's resident memory, so the generator's would count in every later run's peak.
void WriteBenchFileApart(const std::filesystem::path& file);

}  // namespace memro::bench

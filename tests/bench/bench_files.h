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

}  // namespace memro::bench

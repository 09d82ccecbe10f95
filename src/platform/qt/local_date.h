#pragma once

#include <chrono>
#include <ctime>

namespace memro {

// The calendar date of a moment in the local time zone (TZ and the system's zone).
std::chrono::year_month_day LocalDate(std::time_t moment);

}  // namespace memro

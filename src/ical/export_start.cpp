#include "ical/export_start.h"

#include <ctime>

#include "data/event_record.h"

namespace memro::ical {
namespace {

using std::chrono::months;
using std::chrono::sys_days;
using std::chrono::years;

// The latest valid date on or before day of the form next(0), next(1), ... tried in
// turn; nothing after tries.
template <typename Step>
std::optional<Date> Latest(const Date& day, int tries, Step next) {
  for (int i = 0; i < tries; ++i) {
    const Date candidate = next(i);
    if (candidate.ok() && sys_days{candidate} <= sys_days{day}) return candidate;
  }
  return std::nullopt;
}

}  // namespace

Date ExportedStart(const Date& stored, std::int16_t frequency, const Date& exportDay) {
  if (sys_days{stored} <= sys_days{exportDay}) return stored;
  std::optional<Date> start;
  const std::chrono::year_month thisMonth{exportDay.year(), exportDay.month()};
  switch (frequency) {
    case kYearly:  // Feb 29 only in leap years, which come at least every 8 years
      start = Latest(exportDay, 9, [&](int i) {
        return Date{exportDay.year() - years{i}, stored.month(), stored.day()};
      });
      break;
    case kMonthly:  // a day past a month's end only in the months that have it
      start = Latest(exportDay, 13, [&](int i) {
        const auto month = thisMonth - months{i};
        return Date{month.year(), month.month(), stored.day()};
      });
      break;
    case kWeekly:
      start = sys_days{exportDay} -
              (std::chrono::weekday{sys_days{exportDay}} - std::chrono::weekday{sys_days{stored}});
      break;
    case kDaily:
      start = exportDay;
      break;
    default:
      break;
  }
  return start.value_or(stored);
}

Date LocalDayOf(std::int64_t moment) {
  const auto seconds = static_cast<std::time_t>(moment);
  std::tm local{};
  if (!::localtime_r(&seconds, &local))
    return Date{std::chrono::year{1970}, std::chrono::January, std::chrono::day{1}};
  return Date{std::chrono::year{local.tm_year + 1900},
              std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
              std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
}

}  // namespace memro::ical

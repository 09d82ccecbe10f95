// Which repeat rules Memro's frequencies hold: every year, month, week or day from the
// start date, with nothing more.
#include <string>

#include "ical/event_parts.h"
#include "ical/ical_handles.h"

namespace memro::ical {
namespace {

constexpr std::int16_t kOnceCode = 4;

int Entries(const short* list, int size) {
  int n = 0;
  while (n < size && list[n] != ICAL_RECURRENCE_ARRAY_MAX) ++n;
  return n;
}

// A BY list that names only the start's own value, or is empty.
bool OnlyValue(const short* list, int size, int value) {
  const int n = Entries(list, size);
  return n == 0 || (n == 1 && list[0] == value);
}

std::string Unit(icalrecurrencetype_frequency freq) {
  switch (freq) {
    case ICAL_YEARLY_RECURRENCE:
      return "years";
    case ICAL_MONTHLY_RECURRENCE:
      return "months";
    case ICAL_WEEKLY_RECURRENCE:
      return "weeks";
    default:
      return "days";
  }
}

std::string RuleText(icalrecurrencetype rule) {
  return "its repeat rule " + Owned(icalrecurrencetype_as_string_r(&rule)) +
         " is none of every year, month, week or day";
}

bool OnlyImpliedParts(const icalrecurrencetype& r, const EventStart& start) {
  const auto month = static_cast<int>(static_cast<unsigned>(start.date.month()));
  const auto day = static_cast<int>(static_cast<unsigned>(start.date.day()));
  const int weekday = WeekdayNumber(start.date);
  const bool yearly = r.freq == ICAL_YEARLY_RECURRENCE;
  const bool monthly = r.freq == ICAL_MONTHLY_RECURRENCE;
  const bool weekly = r.freq == ICAL_WEEKLY_RECURRENCE;
  const int days = Entries(r.by_day, ICAL_BY_DAY_SIZE);
  const bool dayFits =
      days == 0 || (weekly && days == 1 && icalrecurrencetype_day_position(r.by_day[0]) == 0 &&
                    icalrecurrencetype_day_day_of_week(r.by_day[0]) == weekday);
  const int hour = start.minuteOfDay ? *start.minuteOfDay / 60 : 0;
  const int minute = start.minuteOfDay ? *start.minuteOfDay % 60 : 0;
  return dayFits && r.rscale == nullptr &&
         OnlyValue(r.by_month, ICAL_BY_MONTH_SIZE, yearly ? month : -1) &&
         OnlyValue(r.by_month_day, ICAL_BY_MONTHDAY_SIZE, yearly || monthly ? day : -1) &&
         Entries(r.by_year_day, ICAL_BY_YEARDAY_SIZE) == 0 &&
         Entries(r.by_week_no, ICAL_BY_WEEKNO_SIZE) == 0 &&
         Entries(r.by_set_pos, ICAL_BY_SETPOS_SIZE) == 0 &&
         OnlyValue(r.by_hour, ICAL_BY_HOUR_SIZE, hour) &&
         OnlyValue(r.by_minute, ICAL_BY_MINUTE_SIZE, minute) &&
         OnlyValue(r.by_second, ICAL_BY_SECOND_SIZE, start.written.second);
}

std::string RuleProblem(const icalrecurrencetype& r, const EventStart& start) {
  switch (r.freq) {
    case ICAL_YEARLY_RECURRENCE:
    case ICAL_MONTHLY_RECURRENCE:
    case ICAL_WEEKLY_RECURRENCE:
    case ICAL_DAILY_RECURRENCE:
      break;
    default:
      return RuleText(r);
  }
  if (r.interval > 1) return "it repeats every " + std::to_string(r.interval) + " " + Unit(r.freq);
  if (r.count > 0) return "it repeats only " + std::to_string(r.count) + " times (COUNT)";
  if (!icaltime_is_null_time(r.until)) return "it stops repeating at a date (UNTIL)";
  if (r.freq == ICAL_WEEKLY_RECURRENCE && Entries(r.by_day, ICAL_BY_DAY_SIZE) > 1) {
    return "it repeats on several weekdays";
  }
  return OnlyImpliedParts(r, start) ? std::string() : RuleText(r);
}

std::int16_t FrequencyCode(icalrecurrencetype_frequency freq) {
  switch (freq) {
    case ICAL_YEARLY_RECURRENCE:
      return 0;
    case ICAL_MONTHLY_RECURRENCE:
      return 1;
    case ICAL_WEEKLY_RECURRENCE:
      return 2;
    default:
      return 3;
  }
}

}  // namespace

Recurrence RecurrenceOf(icalcomponent* event, const EventStart& start, bool changedOccurrences) {
  const int rules = icalcomponent_count_properties(event, ICAL_RRULE_PROPERTY);
  if (rules > 1) return {kOnceCode, "it has more than one repeat rule"};
  if (icalcomponent_count_properties(event, ICAL_EXRULE_PROPERTY) > 0 ||
      icalcomponent_count_properties(event, ICAL_EXDATE_PROPERTY) > 0) {
    return {kOnceCode, "it has exceptions (dates left out of its repeats)"};
  }
  if (icalcomponent_count_properties(event, ICAL_RDATE_PROPERTY) > 0) {
    return {kOnceCode, "it has extra dates (RDATE)"};
  }
  if (changedOccurrences) return {kOnceCode, "it has exceptions (single occurrences changed)"};
  if (rules == 0) return {kOnceCode, {}};
  const icalrecurrencetype rule =
      icalproperty_get_rrule(icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY));
  const std::string problem = RuleProblem(rule, start);
  return {problem.empty() ? FrequencyCode(rule.freq) : kOnceCode, problem};
}

}  // namespace memro::ical

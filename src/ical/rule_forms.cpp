#include "ical/rule_forms.h"

namespace memro::ical {
namespace {

// Past this year an end date is taken to mean none; some programs write one for ever.
constexpr int kNoEndAfterYear = 3000;

// Only the weekday list names days: no month, day, week or time narrows them.
bool OnlyWeekdays(const icalrecurrencetype& r) {
  return r.rscale == nullptr && r.interval <= 1 && ListSize(r.by_month, ICAL_BY_MONTH_SIZE) == 0 &&
         ListSize(r.by_month_day, ICAL_BY_MONTHDAY_SIZE) == 0 &&
         ListSize(r.by_year_day, ICAL_BY_YEARDAY_SIZE) == 0 &&
         ListSize(r.by_week_no, ICAL_BY_WEEKNO_SIZE) == 0 &&
         ListSize(r.by_set_pos, ICAL_BY_SETPOS_SIZE) == 0 &&
         ListSize(r.by_hour, ICAL_BY_HOUR_SIZE) == 0 &&
         ListSize(r.by_minute, ICAL_BY_MINUTE_SIZE) == 0 &&
         ListSize(r.by_second, ICAL_BY_SECOND_SIZE) == 0;
}

// The weekdays of the list as bits (Sunday = bit 1), or -1 when one has a position
// ("1MO", "-1FR").
int WeekdayBits(const icalrecurrencetype& r) {
  int bits = 0;
  for (int i = 0; i < ListSize(r.by_day, ICAL_BY_DAY_SIZE); ++i) {
    if (icalrecurrencetype_day_position(r.by_day[i]) != 0) return -1;
    bits |= 1 << static_cast<int>(icalrecurrencetype_day_day_of_week(r.by_day[i]));
  }
  return bits;
}

}  // namespace

int ListSize(const short* list, int size) {
  int n = 0;
  while (n < size && list[n] != ICAL_RECURRENCE_ARRAY_MAX) ++n;
  return n;
}

icalrecurrencetype PlainRule(icalrecurrencetype rule) {
  if (!icaltime_is_null_time(rule.until) && rule.until.year > kNoEndAfterYear) {
    rule.until = icaltime_null_time();
  }
  if (!OnlyWeekdays(rule)) return rule;
  const int days = ListSize(rule.by_day, ICAL_BY_DAY_SIZE);
  const int bits = WeekdayBits(rule);
  const bool monthOrYear =
      rule.freq == ICAL_MONTHLY_RECURRENCE || rule.freq == ICAL_YEARLY_RECURRENCE;
  const bool weekOrDay = rule.freq == ICAL_WEEKLY_RECURRENCE || rule.freq == ICAL_DAILY_RECURRENCE;
  if (monthOrYear && days == 1 && bits > 0) {
    rule.freq = ICAL_WEEKLY_RECURRENCE;
  } else if ((monthOrYear || weekOrDay) && bits == 0xFE) {
    rule.freq = ICAL_DAILY_RECURRENCE;
    rule.by_day[0] = ICAL_RECURRENCE_ARRAY_MAX;
  }
  return rule;
}

bool OnlyTheStart(const icalrecurrencetype& rule, const icaltimetype& start) {
  if (rule.count == 1) return true;
  if (rule.count == 0 && icaltime_is_null_time(rule.until)) return false;
  icalrecur_iterator* dates = icalrecur_iterator_new(rule, start);
  if (!dates) return false;
  const icaltimetype first = icalrecur_iterator_next(dates);
  const icaltimetype second = icalrecur_iterator_next(dates);
  icalrecur_iterator_free(dates);
  return icaltime_compare(first, start) == 0 && icaltime_is_null_time(second);
}

}  // namespace memro::ical

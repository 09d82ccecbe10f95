// Which repeat rules Memro's frequencies hold: every year, month, week or day from the
// start date, with nothing more.
#include <algorithm>
#include <string>
#include <string_view>

#include "ical/event_parts.h"
#include "ical/ical_handles.h"
#include "ical/rule_forms.h"

namespace memro::ical {
namespace {

constexpr std::int16_t kOnceCode = 4;

// A BY list that names only the start's own value, or is empty.
bool OnlyValue(const short* list, int size, int value) {
  const int n = ListSize(list, size);
  return n == 0 || (n == 1 && list[0] == value);
}

std::string Unit(icalrecurrencetype_frequency freq) {
  switch (freq) {
    case ICAL_YEARLY_RECURRENCE:
      return "year";
    case ICAL_MONTHLY_RECURRENCE:
      return "month";
    case ICAL_WEEKLY_RECURRENCE:
      return "week";
    default:
      return "day";
  }
}

// The rule part named name as the rule is written ("BYDAY=1TU"), for the reason that
// names it; the user finds it in the file as it stands.
std::string Part(icalrecurrencetype rule, std::string_view name) {
  const std::string text = Owned(icalrecurrencetype_as_string_r(&rule));
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find(';', start), text.size());
    const std::string_view part = std::string_view(text).substr(start, end - start);
    if (part.starts_with(name) && part.size() > name.size() && part[name.size()] == '=') {
      return std::string(part);
    }
    start = end + 1;
  }
  return std::string(name);
}

// A weekly rule on one weekday that is not the start's: Memro's weekly events repeat on
// their own date's weekday.
std::string OtherWeekday(const icalrecurrencetype& r, const EventStart& start) {
  if (r.freq != ICAL_WEEKLY_RECURRENCE || ListSize(r.by_day, ICAL_BY_DAY_SIZE) != 1 ||
      icalrecurrencetype_day_position(r.by_day[0]) != 0) {
    return {};
  }
  const int day = icalrecurrencetype_day_day_of_week(r.by_day[0]);
  if (day == WeekdayNumber(start.ownDate)) return {};
  return "it starts on a " + std::string(WeekdayName(WeekdayNumber(start.ownDate))) +
         " but repeats on " + std::string(WeekdayName(day)) + "s (" + Part(r, "BYDAY") + ")";
}

// The first rule part that picks other days or times than the start's own, or "".
std::string ExtraPart(const icalrecurrencetype& r, const EventStart& start) {
  const auto month = static_cast<int>(static_cast<unsigned>(start.ownDate.month()));
  const auto day = static_cast<int>(static_cast<unsigned>(start.ownDate.day()));
  const bool yearly = r.freq == ICAL_YEARLY_RECURRENCE;
  const bool monthly = r.freq == ICAL_MONTHLY_RECURRENCE;
  const bool weekly = r.freq == ICAL_WEEKLY_RECURRENCE;
  const int days = ListSize(r.by_day, ICAL_BY_DAY_SIZE);
  const bool dayFits =
      days == 0 ||
      (weekly && days == 1 && icalrecurrencetype_day_position(r.by_day[0]) == 0 &&
       icalrecurrencetype_day_day_of_week(r.by_day[0]) == WeekdayNumber(start.ownDate));
  const int hour = start.written.is_date ? 0 : start.written.hour;
  const int minute = start.written.is_date ? 0 : start.written.minute;
  if (!dayFits) return "BYDAY";
  if (!OnlyValue(r.by_month, ICAL_BY_MONTH_SIZE, yearly ? month : -1)) return "BYMONTH";
  if (!OnlyValue(r.by_month_day, ICAL_BY_MONTHDAY_SIZE, yearly || monthly ? day : -1)) {
    return "BYMONTHDAY";
  }
  if (ListSize(r.by_year_day, ICAL_BY_YEARDAY_SIZE) != 0) return "BYYEARDAY";
  if (ListSize(r.by_week_no, ICAL_BY_WEEKNO_SIZE) != 0) return "BYWEEKNO";
  if (ListSize(r.by_set_pos, ICAL_BY_SETPOS_SIZE) != 0) return "BYSETPOS";
  if (!OnlyValue(r.by_hour, ICAL_BY_HOUR_SIZE, hour)) return "BYHOUR";
  if (!OnlyValue(r.by_minute, ICAL_BY_MINUTE_SIZE, minute)) return "BYMINUTE";
  if (!OnlyValue(r.by_second, ICAL_BY_SECOND_SIZE, start.written.second)) return "BYSECOND";
  return {};
}

std::string RuleProblem(const icalrecurrencetype& r, const EventStart& start) {
  switch (r.freq) {
    case ICAL_YEARLY_RECURRENCE:
    case ICAL_MONTHLY_RECURRENCE:
    case ICAL_WEEKLY_RECURRENCE:
    case ICAL_DAILY_RECURRENCE:
      break;
    default:
      return "it repeats more often than daily (" + Part(r, "FREQ") + ")";
  }
  if (r.rscale != nullptr) return "it follows another calendar (" + Part(r, "RSCALE") + ")";
  if (r.interval > 1) {
    return "it repeats every " + std::to_string(r.interval) + " " + Unit(r.freq) + "s (" +
           Part(r, "INTERVAL") + ")";
  }
  if (r.count > 0) {
    return "it repeats only " + std::to_string(r.count) + " times (" + Part(r, "COUNT") + ")";
  }
  if (!icaltime_is_null_time(r.until)) {
    return "it stops repeating at a date (" + Part(r, "UNTIL") + ")";
  }
  if (r.freq == ICAL_WEEKLY_RECURRENCE && ListSize(r.by_day, ICAL_BY_DAY_SIZE) > 1) {
    return "it repeats on several weekdays (" + Part(r, "BYDAY") + ")";
  }
  if (std::string reason = OtherWeekday(r, start); !reason.empty()) return reason;
  const std::string part = ExtraPart(r, start);
  if (part.empty()) return {};
  return "it repeats on other days than every " + Unit(r.freq) + " from its start (" +
         Part(r, part) + ")";
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

namespace {

// A date of the file on or after yesterday: one that may still lie ahead in the user's
// zone, which can be a day from the event's.
bool FromYesterday(const icaltimetype& t, const Date& today) {
  if (icaltime_is_null_time(t)) return true;
  const Date date{std::chrono::year{t.year}, std::chrono::month{static_cast<unsigned>(t.month)},
                  std::chrono::day{static_cast<unsigned>(t.day)}};
  return std::chrono::sys_days{date} >= std::chrono::sys_days{today} - std::chrono::days{1};
}

// Whether an EXDATE or RDATE of the event names such a date.
bool AnyDateFrom(icalcomponent* event, icalproperty_kind kind, const Date& today) {
  for (icalproperty* p = icalcomponent_get_first_property(event, kind); p;
       p = icalcomponent_get_next_property(event, kind)) {
    icaltimetype t;
    if (kind == ICAL_EXDATE_PROPERTY) {
      t = icalproperty_get_exdate(p);
    } else {
      const icaldatetimeperiodtype rdate = icalproperty_get_rdate(p);
      t = icaltime_is_null_time(rdate.time) ? rdate.period.start : rdate.time;
    }
    if (FromYesterday(t, today)) return true;
  }
  return false;
}

}  // namespace

Recurrence RecurrenceOf(icalcomponent* event, const EventStart& start,
                        const std::vector<icaltimetype>& changed, const Date& today) {
  const int rules = icalcomponent_count_properties(event, ICAL_RRULE_PROPERTY);
  if (rules > 1) return {kOnceCode, "it has more than one repeat rule (RRULE)"};
  if (icalcomponent_count_properties(event, ICAL_EXRULE_PROPERTY) > 0) {
    return {kOnceCode, "it has exceptions (EXRULE)"};
  }
  if (AnyDateFrom(event, ICAL_EXDATE_PROPERTY, today)) {
    return {kOnceCode, "it has exceptions (EXDATE)"};
  }
  if (AnyDateFrom(event, ICAL_RDATE_PROPERTY, today)) {
    return {kOnceCode, "it has extra dates (RDATE)"};
  }
  if (std::any_of(changed.begin(), changed.end(),
                  [&](const icaltimetype& t) { return FromYesterday(t, today); })) {
    return {kOnceCode, "it has exceptions (single occurrences changed by RECURRENCE-ID)"};
  }
  if (rules == 0) return {kOnceCode, {}};
  const icalrecurrencetype rule = PlainRule(
      icalproperty_get_rrule(icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY)));
  if (OnlyTheStart(rule, start.written)) return {kOnceCode, {}};
  const std::string problem = RuleProblem(rule, start);
  return {problem.empty() ? FrequencyCode(rule.freq) : kOnceCode, problem};
}

}  // namespace memro::ical

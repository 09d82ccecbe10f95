#include "ical/series_dates.h"

#include <algorithm>

namespace memro::ical {
namespace {

// A rule whose end lies further away is taken as one that does not end.
constexpr int kFiniteYears = 100;
// The most dates a rule is followed for; a COUNT of a million days is no calendar.
constexpr int kMaxSteps = 100000;

bool Finite(const icalrecurrencetype& rule, const icaltimetype& start) {
  if (rule.count > 0) return true;
  return !icaltime_is_null_time(rule.until) && rule.until.year <= start.year + kFiniteYears;
}

// How far a rule without end is followed: until it has given `wanted` dates on or
// after `from`.
struct Reach {
  icaltimetype from;
  std::size_t wanted = 0;
};

// The rule's dates from the start; false when they are too many.
bool RuleDates(const icalrecurrencetype& rule, const icaltimetype& start,
               const std::optional<Reach>& reach, std::vector<icaltimetype>& dates) {
  icalrecur_iterator* it = icalrecur_iterator_new(rule, start);
  if (!it) return false;
  int steps = 0;
  std::size_t reached = 0;
  for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t);
       t = icalrecur_iterator_next(it)) {
    if (++steps > kMaxSteps) break;
    dates.push_back(t);
    if (reach && icaltime_compare_date_only(t, reach->from) >= 0 && ++reached == reach->wanted) {
      break;
    }
  }
  icalrecur_iterator_free(it);
  return steps <= kMaxSteps;
}

void ExtraDates(icalcomponent* event, std::vector<icaltimetype>& dates) {
  for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); p;
       p = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
    const icaldatetimeperiodtype value = icalproperty_get_rdate(p);
    dates.push_back(icaltime_is_null_time(value.time) ? value.period.start : value.time);
  }
}

// An EXDATE as a date leaves out every time of its day.
bool LeftOut(const icaltimetype& t, const std::vector<icaltimetype>& excluded) {
  return std::any_of(excluded.begin(), excluded.end(), [&](const icaltimetype& x) {
    return x.is_date ? icaltime_compare_date_only(t, x) == 0 : icaltime_compare(t, x) == 0;
  });
}

std::vector<icaltimetype> ExcludedDates(icalcomponent* event) {
  std::vector<icaltimetype> excluded;
  for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY); p;
       p = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY)) {
    excluded.push_back(icalproperty_get_exdate(p));
  }
  return excluded;
}

// What makes a series without end one of single dates: "exceptions (EXDATE)", "extra
// dates (RDATE)", both, or nothing.
std::string WhyListed(icalcomponent* event, const std::vector<icaltimetype>& changed) {
  std::string exceptions;
  if (icalcomponent_count_properties(event, ICAL_EXDATE_PROPERTY) > 0) exceptions = "EXDATE";
  if (!changed.empty()) exceptions.append(exceptions.empty() ? "" : ", ").append("RECURRENCE-ID");
  std::string why;
  if (!exceptions.empty()) why.append("exceptions (").append(exceptions).append(")");
  if (icalcomponent_count_properties(event, ICAL_RDATE_PROPERTY) > 0) {
    why.append(why.empty() ? "" : " and ").append("extra dates (RDATE)");
  }
  return why;
}

// Enough dates from the day before today (a zone may move a date back by one) for the
// bound to be filled after every excluded date is left out.
Reach ReachFrom(const Date& today, std::size_t excluded) {
  icaltimetype from = icaltime_null_date();
  from.year = static_cast<int>(today.year());
  from.month = static_cast<int>(static_cast<unsigned>(today.month()));
  from.day = static_cast<int>(static_cast<unsigned>(today.day()));
  icaltime_adjust(&from, -1, 0, 0, 0);
  return {from, kMaxSeriesEvents + excluded + 2};
}

}  // namespace

bool DatesListable(icalcomponent* event) {
  return icalcomponent_count_properties(event, ICAL_EXRULE_PROPERTY) == 0 &&
         icalcomponent_count_properties(event, ICAL_RRULE_PROPERTY) <= 1;
}

bool DatesEnd(icalcomponent* event) {
  if (!DatesListable(event)) return false;
  icalproperty* rule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
  return !rule || Finite(icalproperty_get_rrule(rule), icalcomponent_get_dtstart(event));
}

std::optional<SeriesDates> ListedDates(icalcomponent* event, const EventStart& start,
                                       const Date& today,
                                       const std::vector<icaltimetype>& changed) {
  if (!DatesListable(event)) return std::nullopt;
  std::vector<icaltimetype> excluded = ExcludedDates(event);
  excluded.insert(excluded.end(), changed.begin(), changed.end());
  SeriesDates series;
  std::optional<Reach> reach;
  if (!DatesEnd(event)) {
    series.withoutEnd = WhyListed(event, changed);
    if (series.withoutEnd.empty()) return std::nullopt;
    reach = ReachFrom(today, excluded.size());
  }
  std::vector<icaltimetype> dates;
  if (icalproperty* rule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY)) {
    if (!RuleDates(icalproperty_get_rrule(rule), start.written, reach, dates)) {
      return std::nullopt;
    }
  } else {
    dates.push_back(start.written);
  }
  ExtraDates(event, dates);
  std::sort(dates.begin(), dates.end(), [](const icaltimetype& a, const icaltimetype& b) {
    return icaltime_compare(a, b) < 0;
  });
  const auto after = std::chrono::sys_days{today};
  for (std::size_t i = 0; i < dates.size(); ++i) {
    if (i > 0 && icaltime_compare(dates[i], dates[i - 1]) == 0) continue;
    if (LeftOut(dates[i], excluded)) continue;
    const auto local =
        StartAt(dates[i], icaltime_is_utc(dates[i]) ? icaltimezone_get_utc_timezone() : start.zone);
    if (!local || std::chrono::sys_days{local->date} < after) continue;
    ++series.fromToday;
    if (series.starts.size() < kMaxSeriesEvents) series.starts.push_back(*local);
  }
  return series;
}

}  // namespace memro::ical

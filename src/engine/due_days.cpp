#include "engine/due_days.h"

#include <utility>

#include "engine/date_text.h"

namespace memro {
namespace {

int DayOfMonth(const Date& d) { return static_cast<int>(static_cast<unsigned>(d.day())); }

std::int64_t MonthlyDays(const EventFields& event, const Date& date, const Date& today) {
  const int dim = RuleMonthLength(today);
  const int dd = DayOfMonth(date);
  const int td = DayOfMonth(today);
  if (event.backdated != 0 && td - dd >= 0 && td - dd <= 3) return 0;
  if (dd < td) return dd + dim - td;
  std::int64_t days = dd - td;
  // An event at the end of a month still counts as today in the first days of the next.
  if (days > event.warnDays && td < 4 && td + dim - dd < 4) days = 0;
  return days;
}

// The event's month and day (the first five characters of its date) followed by a year.
std::string MonthAndDayIn(const EventFields& event, int year) {
  std::string text(event.date.substr(0, 5));
  AppendNumber(text, year);
  return text;
}

}  // namespace

std::optional<Trial> TryEvent(const EventFields& event, int pass, const Date& today) {
  const int year = int(today.year());
  Trial trial;
  if (event.frequency == kYearly) {
    trial.trialText = MonthAndDayIn(event, year + pass);
  } else {
    if (pass > 0) return std::nullopt;
    trial.trialText = event.date;
  }
  const auto date = StoredDate(trial.trialText, year);
  if (!date) return std::nullopt;
  trial.date = *date;
  switch (event.frequency) {
    case kYearly:
    case kOnce:
      trial.days = DayNumber(*date) - DayNumber(today);
      break;
    case kMonthly:
      trial.days = MonthlyDays(event, *date, today);
      break;
    case kWeekly:
      trial.days = WeekdayNumber(*date) - WeekdayNumber(today);
      break;
    case kDaily:
      trial.days = 0;
      break;
    default:
      return std::nullopt;  // unknown frequency: never listed, kept as it is
  }
  return trial;
}

bool IsDue(const EventFields& event, std::int64_t days, std::int64_t rangeDays) {
  if (rangeDays >= 0) return days >= 0 && days <= rangeDays;
  if (days >= 0 && days <= event.warnDays) return true;
  return event.backdated != 0 && (days == -1 || days == -2);
}

FiledDate EntryDate(const EventFields& event, const Trial& trial, const Date& today, bool rangeOn) {
  const int year = int(today.year());
  // Every other frequency tried the event's own date, so trial.date is that read.
  FiledDate own{std::string(event.date), trial.date};
  switch (event.frequency) {
    case kYearly:
      return {trial.trialText, trial.date};
    case kWeekly: {
      std::string text = FormatStored(FromDayNumber(DayNumber(today) + trial.days));
      const auto date = StoredDate(text, year);
      return {std::move(text), date};
    }
    case kOnce:
      if (rangeOn) return own;
      [[fallthrough]];
    default: {
      std::string text = MonthAndDayIn(event, year);
      const auto date = StoredDate(text, year);
      // Feb 29 outside a leap year: file the entry under the event's own date instead.
      if (!date) return own;
      return {std::move(text), date};
    }
  }
}

}  // namespace memro

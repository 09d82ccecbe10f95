#pragma once

#include <cstdint>
#include <optional>

#include "data/calendar.h"
#include "data/event_record.h"

namespace memro {

// One trial of an event against today: the date tried and how many days ahead it
// lies (0 today, 1 tomorrow, -1 yesterday).
struct Trial {
  std::string trialText;  // the stored-form text tried ("Dec082027" for a yearly pass 1)
  Date date;
  std::int64_t days = 0;
};

// The event's day count for pass 0 or 1 (only yearly events have a pass 1). No value
// when the trial date is no valid date, or for a pass that does not exist.
std::optional<Trial> TryEvent(const EventFields& event, int pass, const Date& today);

// Whether a day count makes the event due. rangeDays < 0 means range scanning is off.
bool IsDue(const EventFields& event, std::int64_t days, std::int64_t rangeDays);

// The date a due entry is filed under: in stored form, and that text as StoredDate
// reads it (no value when it is no valid date), so that nobody has to read it again.
struct FiledDate {
  std::string text;
  std::optional<Date> date;
};
FiledDate EntryDate(const EventFields& event, const Trial& trial, const Date& today, bool rangeOn);

}  // namespace memro

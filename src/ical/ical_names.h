#pragma once

// The properties that keep what iCalendar has no word for, so that an event exported
// by Memro comes back exactly as it was.
namespace memro::ical {

inline constexpr const char* kProductId = "-//Memro//Memro 4.0//EN";
inline constexpr const char* kMemroPrefix = "X-MEMRO-";
inline constexpr const char* kEnabled = "X-MEMRO-ENABLED";
inline constexpr const char* kBackdated = "X-MEMRO-BACKDATED";
inline constexpr const char* kCleanUp = "X-MEMRO-CLEAN-UP";
// A frequency the repeat rule does not express: a code outside 0 to 4, or any code of
// an event without a start date.
inline constexpr const char* kFrequency = "X-MEMRO-FREQUENCY";
// Negative warning days, which no alarm can say.
inline constexpr const char* kWarnDays = "X-MEMRO-WARN-DAYS";
// The stored date text when DTSTART does not give it back exactly (no valid date, or
// another spelling of one): as text, or as hex bytes when the text cannot carry it.
inline constexpr const char* kDate = "X-MEMRO-DATE";
inline constexpr const char* kDateBytes = "X-MEMRO-DATE-BYTES";
// The message bytes in hex when DESCRIPTION cannot carry them exactly (blanks around
// the text, lone CR or LF, control characters).
inline constexpr const char* kMessageBytes = "X-MEMRO-MESSAGE-BYTES";

}  // namespace memro::ical

#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "data/codepage.h"

// The texts of an event between its stored form (Windows-1252 bytes, lines ended by CR
// LF) and iCalendar's (Unicode, lines ended by LF).
namespace memro::ical {

// A stored message as DESCRIPTION text: every line end (CR LF, or a lone CR or LF)
// becomes LF, and the control characters iCalendar text cannot carry become '?'.
std::string DescriptionText(std::string_view stored);

// The first line of a stored message that is not blank, trimmed of blanks: the title
// other calendars show.
std::string SummaryText(std::string_view stored);

// iCalendar text as stored bytes: each LF, CR LF or lone CR becomes CR LF.
Cp1252Text StoredText(std::string_view text);

// Cuts stored bytes to what the message field holds, never between a CR and its LF.
// True when anything was cut.
bool CutToMessageSize(std::string& bytes);

std::string HexBytes(std::string_view bytes);
// Nothing when hex is not an even number of hex digits.
std::optional<std::string> BytesFromHex(std::string_view hex);

}  // namespace memro::ical

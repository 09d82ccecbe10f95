#pragma once

#include <string>
#include <string_view>

// The character encoding of a calendar file as read.
namespace memro::ical {

// True when text is well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF), which RFC 5545 asks of every calendar.
bool IsUtf8(std::string_view text);

// The text with every control character but tab, C1 controls included, shown as '?':
// a title from a file goes to a terminal on one line, where such characters would be
// taken as commands.
std::string PrintableText(std::string_view utf8);

}  // namespace memro::ical

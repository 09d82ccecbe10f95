#pragma once

#include <string>
#include <string_view>

namespace memro {

// Removes leading and trailing spaces (0x20) only; tabs and other white space stay.
std::string TrimBlanks(std::string_view text);
std::string_view TrimBlanksView(std::string_view text);
// Trailing spaces only: what a fixed field holds without its padding.
std::string_view TrimTrailingBlanksView(std::string_view text);

// The part before the first NUL, trimmed of blanks. Platform calls hand back
// NUL-terminated buffers, so everything after the terminator is noise.
std::string TextBeforeNul(std::string_view text);

// Cuts text to width or pads it on the right with blanks: the shape of a fixed field.
std::string PadTo(std::string_view text, std::size_t width);

// Lower-cases ASCII letters only.
std::string AsciiLower(std::string_view text);
constexpr char AsciiLowerChar(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace memro

namespace memro {

// The number a text starts with, as a user typing into a box means it: leading
// blanks, an optional sign, digits and an optional fraction; 0 when there is none.
double NumericValue(std::string_view text);

}  // namespace memro

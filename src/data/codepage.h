#pragma once

#include <string>
#include <string_view>

namespace memro {

// Event files hold Windows-1252 bytes; everything else the program writes is UTF-8.
// The five bytes Windows-1252 leaves undefined map to the C1 controls of the same
// value, so any byte string survives a decode followed by an encode.
std::string Cp1252ToUtf8(std::string_view bytes);
// The same, added to the end of out.
void AppendCp1252AsUtf8(std::string& out, std::string_view bytes);

struct Cp1252Text {
  std::string bytes;
  bool lossless = true;  // false when a character had to become '?'
};

// Characters Windows-1252 cannot hold (and invalid UTF-8 sequences) become '?'.
Cp1252Text Utf8ToCp1252(std::string_view utf8);

}  // namespace memro

#include "cli/terminal_text.h"

#include <nlohmann/json.hpp>

namespace memro::cli {
namespace {

// A one-byte control: C0 or DEL. Bytes from 0x80 on belong to longer characters.
bool IsAsciiControl(unsigned byte) {
  return (byte < 0x20 && byte != '\n' && byte != '\t') || byte == 0x7F;
}

// The escape of one character as dump's JSON writer spells it.
std::string Escaped(unsigned code) {
  if (code < 0x20) {
    const std::string quoted = nlohmann::json(std::string(1, static_cast<char>(code))).dump();
    return quoted.substr(1, quoted.size() - 2);
  }
  // JSON leaves DEL and C1 as they are; here they are written the same way.
  static const char kHex[] = "0123456789abcdef";
  return std::string("\\u00") + kHex[code >> 4] + kHex[code & 0xF];
}

}  // namespace

std::string TerminalSafe(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    // C1 characters are two bytes in UTF-8: C2 80 to C2 9F.
    if (byte == 0xC2 && i + 1 < text.size()) {
      const auto next = static_cast<unsigned char>(text[i + 1]);
      if (next >= 0x80 && next < 0xA0) {
        out += Escaped(next);
        ++i;
        continue;
      }
    }
    if (IsAsciiControl(byte)) {
      out += Escaped(byte);
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace memro::cli

#include "ical/event_texts.h"

#include "data/event_record.h"
#include "data/text_util.h"

namespace memro::ical {
namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// iCalendar text holds no control characters except the tab (RFC 5545, 3.3.11).
bool IsControl(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b < 0x20 && c != '\t') || b == 0x7F;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string DescriptionText(std::string_view stored) {
  std::string bytes;
  bytes.reserve(stored.size());
  for (std::size_t i = 0; i < stored.size(); ++i) {
    const char c = stored[i];
    if (c == '\r' && i + 1 < stored.size() && stored[i + 1] == '\n') continue;
    if (IsLineEnd(c)) {
      bytes += '\n';
    } else {
      bytes += IsControl(c) ? '?' : c;
    }
  }
  return Cp1252ToUtf8(bytes);
}

std::string SummaryText(std::string_view stored) {
  std::size_t start = 0;
  while (start < stored.size()) {
    std::size_t end = start;
    while (end < stored.size() && !IsLineEnd(stored[end])) ++end;
    const std::string line = TrimBlanks(stored.substr(start, end - start));
    if (!line.empty()) return DescriptionText(line);
    start = end + 1;
  }
  return {};
}

Cp1252Text StoredText(std::string_view text) {
  std::string lines;
  lines.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (IsLineEnd(text[i])) {
      lines += "\r\n";
    } else {
      lines += text[i];
    }
  }
  return Utf8ToCp1252(lines);
}

bool CutToMessageSize(std::string& bytes) {
  if (bytes.size() <= kMessageSize) return false;
  std::size_t keep = kMessageSize;
  if (bytes[keep - 1] == '\r' && bytes[keep] == '\n') --keep;
  bytes.resize(keep);
  return true;
}

std::string HexBytes(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0x0F];
  }
  return hex;
}

std::optional<std::string> BytesFromHex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]);
    const int low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
  }
  return bytes;
}

}  // namespace memro::ical

#include "editor/editor_texts.h"

#include "data/calendar.h"
#include "data/date_parse.h"
#include "data/fixed_texts.h"
#include "data/text_util.h"

namespace memro {

// Appended, not " " + std::to_string(n): GCC 12 at -O3 reports that falsely (-Wrestrict).
std::string SignedNumber(int n) {
  std::string text = n < 0 ? "" : " ";
  return text.append(std::to_string(n));
}

std::string WarnCaption(int days) {
  return "&3. Warn in advance:" + SignedNumber(days) + (days >= 2 ? " days" : " day");
}

std::string RecordCaption(int position, int count) {
  if (count <= 0) return "Current Record:";
  return "Current Record:" + SignedNumber(position) + " of" + SignedNumber(count);
}

std::string NameWithoutDirectory(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string OfferedSaveName(const std::string& path) {
  for (std::size_t i = path.size(); i-- > 0;) {
    if (path[i] == '/') break;
    if (path[i] == '.') return path.substr(0, i + 1) + "MMO";
  }
  return path;
}

std::string OpenFilter() {
  const std::string& t = Texts().productTitle;
  const std::string& l = Texts().legacyTitle;
  return t.substr(0, 5) + " Files (*.mmo)|*.mmo|" + t.substr(0, 6) + "3.0, 2.01" +
         " Files (*.mmo)|*.mmo|" + l + "21 Files (*.bnk)|*.bnk|" + l.substr(0, 12) +
         "0 Files (*.bnk)|*.bnk|All Files (*.*)|*.*";
}

std::string SaveFilter() {
  return Texts().productTitle.substr(0, 5) + " Files (*.mmo)|*.mmo|All Files (*.*)|*.*";
}

std::optional<std::string> StoredDateOf(std::string_view typed, int currentYear) {
  const auto date = ParseDate(typed, currentYear);
  if (!date) return std::nullopt;
  return FormatStored(*date);
}

std::string ShownMessage(std::string_view storedBytes) {
  const std::string text = Cp1252ToUtf8(TrimBlanksView(storedBytes));
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    shown += text[i];
  }
  return shown;
}

Cp1252Text MessageBytes(std::string_view shown) {
  std::string withCrLf;
  withCrLf.reserve(shown.size() + 16);
  for (char c : shown) {
    if (c == '\n') withCrLf += '\r';
    withCrLf += c;
  }
  return Utf8ToCp1252(withCrLf);
}

std::size_t StoredLength(std::string_view shown) {
  std::size_t length = 0;
  for (unsigned char c : shown) {
    if ((c & 0xC0) != 0x80) ++length;  // every character is one byte in the file
    if (c == '\n') ++length;           // and a line end two
  }
  return length;
}

}  // namespace memro

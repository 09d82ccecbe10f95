#include "engine/due_notification.h"

#include <algorithm>

#include "data/codepage.h"
#include "engine/date_text.h"
#include "engine/list_line.h"
#include "engine/status.h"

namespace memro {
namespace {

// A notification bubble holds a few lines; the rest are counted.
constexpr std::size_t kShownEntries = 5;
constexpr std::size_t kMessageStart = 80;

// The phrase without the date in brackets that the status line adds: the list line
// already names the date.
std::string Phrase(std::string status) {
  const auto bracket = status.rfind(" [");
  if (bracket != std::string::npos && status.ends_with(']')) status.erase(bracket);
  return status;
}

// The first line of the message that holds more than blanks (a message may start with a
// line break), cut at a character boundary of its UTF-8 text; the mark says there is more.
std::string MessageStart(std::string_view message) {
  constexpr std::string_view kBlank = " \t\r\n";
  const auto begin = message.find_first_not_of(kBlank);
  if (begin == std::string_view::npos) return {};
  const auto end = message.find_first_of("\r\n", begin);
  const std::string_view line =
      message.substr(begin, end == std::string_view::npos ? end : end - begin);
  bool cut = end != std::string_view::npos &&
             message.find_first_not_of(kBlank, end) != std::string_view::npos;
  std::string text = Cp1252ToUtf8(line.substr(0, line.find_last_not_of(" \t") + 1));
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (++chars > kMessageStart) {
      text.erase(i);
      cut = true;
      break;
    }
  }
  if (cut) text += "\u2026";
  return text;
}

}  // namespace

Notification DueNotification(const DueEntries& entries, const Date& today, bool rangeOn) {
  Notification n;
  if (entries.size() == 0) return n;
  const int year = int(today.year());
  n.summary = "Memro: ";
  n.summary += std::to_string(entries.size());
  n.summary += entries.size() == 1 ? " event due" : " events due";
  const std::size_t shown = std::min(entries.size(), kShownEntries);
  for (std::size_t k = 0; k < shown; ++k) {
    const DueItem& item = entries[k];
    const std::string_view stored = entries.DateField(item);
    const auto date = entries.year() == year ? item.dateRead : StoredDate(stored, year);
    if (k > 0) n.body += '\n';
    std::string line;
    AppendListLine(line, item.frequency, stored, date);
    line = Cp1252ToUtf8(line);
    n.body += line;
    std::string status;
    AppendStatusText(status, item.frequency, date, today, rangeOn);
    status = Phrase(status);
    // A weekly entry's phrase ("Every Tuesday") is its list line already.
    if (!status.empty() && status != line) {
      n.body += " \u2014 ";
      n.body += status;
    }
    const std::string message = MessageStart(entries.Message(item));
    if (!message.empty()) {
      n.body += '\n';
      n.body += message;
    }
  }
  if (entries.size() > shown) {
    n.body += "\nand ";
    n.body += std::to_string(entries.size() - shown);
    n.body += " more";
  }
  return n;
}

}  // namespace memro

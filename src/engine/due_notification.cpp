#include "engine/due_notification.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "data/codepage.h"
#include "engine/date_text.h"
#include "engine/list_line.h"
#include "engine/status.h"

namespace memro {
namespace {

// A notification bubble holds a few lines; the rest are counted.
constexpr std::size_t kShownEntries = 5;
constexpr std::size_t kMessageStart = 80;

// The heading of a group: the status texts' day counts, in words that lead a line.
std::string DayHeading(std::int64_t daysAgo) {
  if (daysAgo == 0) return "Today:";
  if (daysAgo == -1) return "Tomorrow:";
  if (daysAgo == 1) return "Yesterday:";
  if (daysAgo < 0) return "In " + std::to_string(-daysAgo) + " days:";
  return std::to_string(daysAgo) + " days ago:";
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

// An entry's line under its day's heading: the start of its message; a weekly or daily
// entry also says how often it comes ("every Tuesday"), from its list line.
std::string EntryLine(const DueEntries& entries, const DueItem& item,
                      const std::optional<Date>& date) {
  std::string how;
  AppendListLine(how, item.frequency, entries.DateField(item), date);
  how = Cp1252ToUtf8(how);
  std::string line = MessageStart(entries.Message(item));
  if (line.empty() || how.empty()) return line.empty() ? how : line;
  if (item.frequency == kWeekly || item.frequency == kDaily) {
    how[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(how[0])));
    line += " (" + how + ")";
  }
  return line;
}

}  // namespace

Notification DueNotification(const DueEntries& entries, const Date& today, bool rangeOn) {
  Notification n;
  if (entries.size() == 0) return n;
  const int year = int(today.year());
  n.summary = "Memro: ";
  n.summary += std::to_string(entries.size());
  n.summary += entries.size() == 1 ? " event due" : " events due";
  // The shown entries grouped by the day they speak of, the groups in list order.
  const std::size_t shown = std::min(entries.size(), kShownEntries);
  std::vector<std::pair<std::string, std::string>> groups;
  for (std::size_t k = 0; k < shown; ++k) {
    const DueItem& item = entries[k];
    const auto date =
        entries.year() == year ? item.dateRead : StoredDate(entries.DateField(item), year);
    // An entry without a valid date has no day: it goes under its list line.
    std::string heading;
    if (date) {
      const bool ownDate = item.frequency == kOnce && rangeOn;
      heading = DayHeading(ownDate ? DayNumber(today) - DayNumber(*date)
                                   : StatusDays(item.frequency, *date, today));
    }
    const std::string line = EntryLine(entries, item, date);
    auto group = std::find_if(groups.begin(), groups.end(),
                              [&](const auto& g) { return g.first == heading; });
    if (group == groups.end()) group = groups.insert(groups.end(), {heading, ""});
    if (!group->second.empty()) group->second += '\n';
    group->second += line;
  }
  for (const auto& [heading, lines] : groups) {
    if (!n.body.empty()) n.body += '\n';
    if (!heading.empty()) n.body += heading + '\n';
    n.body += lines;
  }
  if (entries.size() > shown) {
    n.body += "\nand ";
    n.body += std::to_string(entries.size() - shown);
    n.body += " more";
  }
  return n;
}

}  // namespace memro

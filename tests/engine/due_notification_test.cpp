#include "engine/due_notification.h"

#include <gtest/gtest.h>

#include "engine/date_text.h"

namespace memro {
namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

const Date kToday{year{2026}, month{12}, day{8}};  // a Tuesday

void Add(DueEntries& entries, const std::string& date, const std::string& message,
         std::int16_t frequency = kOnce) {
  entries.Add(date, StoredDate(date, 2026), date, message, frequency,
              static_cast<std::int16_t>(entries.size() + 2));
}

TEST(DueNotification, NamesTheCountAndGroupsTheEntriesByTheirDay) {
  DueEntries none(2026);
  const Notification empty = DueNotification(none, kToday, false);
  EXPECT_EQ(empty.summary, "");
  EXPECT_EQ(empty.body, "");

  DueEntries one(2026);
  Add(one, "Dec082026", "  Dentist 10:30  ");
  const Notification single = DueNotification(one, kToday, false);
  EXPECT_EQ(single.summary, "Memro: 1 event due");
  EXPECT_EQ(single.body, "Today:\nDentist 10:30");

  DueEntries several(2026);
  Add(several, "Dec082026", "Dentist");
  Add(several, "Dec092026", "Swimming", kWeekly);
  Add(several, "Dec112026", "Anna's birthday", kYearly);
  Add(several, "Jan011990", "Water the plants", kDaily);
  Add(several, "Dec102026", "", kWeekly);
  const Notification plural = DueNotification(several, kToday, false);
  EXPECT_EQ(plural.summary, "Memro: 5 events due");
  // A weekly entry due tomorrow is tomorrow's, and says it is weekly; without a message
  // its list line stands in.
  EXPECT_EQ(plural.body,
            "Today:\nDentist\nWater the plants (daily)\n"
            "Tomorrow:\nSwimming (every Wednesday)\n"
            "In 3 days:\nAnna's birthday\n"
            "In 2 days:\nEvery Thursday");
}

TEST(DueNotification, ShowsFiveEntriesAndCountsTheRest) {
  DueEntries entries(2026);
  for (int k = 0; k < 7; ++k) Add(entries, "Dec082026", "Event " + std::to_string(k));
  const Notification n = DueNotification(entries, kToday, false);
  EXPECT_EQ(n.summary, "Memro: 7 events due");
  EXPECT_NE(n.body.find("Event 4"), std::string::npos);
  EXPECT_EQ(n.body.find("Event 5"), std::string::npos);
  EXPECT_TRUE(n.body.ends_with("\nEvent 4\nand 2 more")) << n.body;
}

TEST(DueNotification, MessageStartIsTheFirstLineInUtf8CutAtACharacter) {
  const auto bodyOf = [](const std::string& message) {
    DueEntries entries(2026);
    Add(entries, "Dec082026", message);
    const std::string body = DueNotification(entries, kToday, false).body;
    return body.substr(body.find('\n') + 1);  // after the heading
  };
  // Windows-1252 in the file, UTF-8 on the desktop.
  EXPECT_EQ(bodyOf("Caf\xE9 \x80 5 \x96 \x93quoted\x94"), "Café € 5 – “quoted”");
  // 90 two-byte characters: 80 kept whole, then the mark that there is more.
  const std::string cut = bodyOf(std::string(90, '\xE9'));
  std::string eighty;
  for (int k = 0; k < 80; ++k) eighty += "é";
  EXPECT_EQ(cut, eighty + "\u2026");
  EXPECT_EQ(bodyOf(std::string(80, 'x')), std::string(80, 'x'));
  // Only the first line; a message may start with a line break or end its line in blanks.
  EXPECT_EQ(bodyOf("Dentist  \r\nbring the card"), "Dentist\u2026");
  EXPECT_EQ(bodyOf("\r\n  \r\nDentist"), "Dentist");
  EXPECT_EQ(bodyOf("Dentist\r\n   \r\n"), "Dentist");
}

}  // namespace
}  // namespace memro

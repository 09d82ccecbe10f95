#include "scan_fixture.h"

namespace memro::testing {
namespace {

TEST_F(ScanTest, CleanUpWithoutConfirmationDeletesButStillLists) {
  settings.confirmCleanUp = false;
  const auto r = Scan({Event("Dec082026", "Dentist", kOnce, 7, 0, -1),
                       Event("Dec252026", "Christmas", kYearly, 30)});
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(r.loadedCount, 2);
  EXPECT_EQ(r.cleanedCount, 0);
  EXPECT_TRUE(platform.messages.empty());
  const auto left = ReadEvents(file);
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].date, "Dec252026");
}

TEST_F(ScanTest, CleanUpQuestionNoKeepsTheEventAndIsNotAskedAgainNextDay) {
  platform.answers = {Answer::kNo};
  const auto r = Scan({Event("Dec082026", "  Dentist 10:30  ", kOnce, 7, 0, 1)});
  EXPECT_EQ(r.loadedCount, 1);
  ASSERT_EQ(platform.messages.size(), 1u);
  const auto& q = platform.messages[0];
  EXPECT_EQ(q.title, "Confirm Clean Up");
  EXPECT_EQ(q.icon, Icon::kQuestion);
  EXPECT_EQ(q.buttons, Buttons::kYesNo);
  EXPECT_EQ(q.prompt, "Delete Record 1 from " + file.string() +
                          " ?\r\n\r\nContents:\r\nDec 08, 2026\r\nDentist 10:30\r\n\r\n"
                          "Press F1 for help.");
  EXPECT_EQ(ReadEvents(file).size(), 1u);

  SetToday(2026, 12, 9);
  Rescan();
  EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(ScanTest, CleanUpQuestionYesCountsAndShowsProgress) {
  platform.answers = {Answer::kYes};
  const auto r = Scan({Event("Dec092026", "a", kYearly), Event("Dec082026", "b", kOnce, 0, 0, 1)});
  EXPECT_EQ(r.cleanedCount, 1);
  EXPECT_EQ(r.loadedCount, 2);
  EXPECT_EQ(ReadEvents(file).size(), 1u);
  const std::string name = file.string();
  EXPECT_EQ(view.captions.front(), "Loading " + name + "...");
  EXPECT_EQ(view.captions.back(), "Loading " + name + "...Active: 2...Cleaned: 1");
  EXPECT_EQ(view.dateLabel, "Date: Tue, Dec 08, 2026");
}

TEST_F(ScanTest, WarnDaysAndBackdatedDecideWhatIsListed) {
  const auto r =
      Scan({Event("Dec102026", "warn 2", kOnce, 2), Event("Dec102026", "warn 1", kOnce, 1),
            Event("Dec062026", "back 2", kOnce, 7, 1), Event("Dec052026", "back 3", kOnce, 7, 1),
            Event("Dec062026", "not back", kOnce, 7, 0)});
  std::vector<std::string> listed;
  for (const auto& e : Entries(r)) listed.push_back(e.message.substr(0, 8));
  EXPECT_EQ(listed, (std::vector<std::string>{"back 2  ", "warn 2  "}));
}

TEST_F(ScanTest, YearlyEventsLookIntoNextYear) {
  SetToday(2026, 12, 30);
  const auto r = Scan({Event("Jan032001", "y", kYearly, 7), Event("Jan022027", "o", kOnce, 5),
                       Event("Feb292000", "leap", kYearly, 400)});
  const auto entries = Entries(r);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].date, "Jan022026");  // one-off filed under the current year
  EXPECT_EQ(entries[1].date, "Jan032027");
  EXPECT_EQ(entries[1].recordNo, 2);
  EXPECT_EQ(entries[1].sourceDate, "Jan032001");
  EXPECT_EQ(ReadEvents(file).size(), 3u);  // the Feb 29 event stays in the file

  settings.rangeDays = "10";
  const auto ranged = Entries(Rescan());
  EXPECT_EQ(ranged[0].date, "Jan022027");
}

TEST_F(ScanTest, MonthlyRules) {
  SetToday(2026, 12, 2);
  EXPECT_EQ(Scan({Event("Jan302026", "end of month", kMonthly, 5)}).loadedCount, 1);
  SetToday(2026, 12, 8);
  EXPECT_EQ(Scan({Event("Jan062026", "back", kMonthly, 7, 1)}).loadedCount, 1);
  EXPECT_EQ(Scan({Event("Jan062026", "no back", kMonthly, 28)}).loadedCount, 0);
  EXPECT_EQ(Scan({Event("Jan062026", "no back", kMonthly, 29)}).loadedCount, 1);
}

TEST_F(ScanTest, WeeklyDailyDisabledAndUnknownFrequencies) {
  const auto r =
      Scan({Event("Dec072026", "monday", kWeekly, 7, 0),
            Event("Nov302026", "monday back", kWeekly, 7, 1),
            Event("Dec102026", "thursday", kWeekly, 2), Event("Jan011990", "daily", kDaily, 0),
            Event("Dec082026", "disabled", kOnce, 7, 0, 0, 0), Event("Dec082026", "unknown", 9)});
  const auto entries = Entries(r);
  ASSERT_EQ(entries.size(), 3u);
  // The daily entry is filed under its own month and day of this year: January.
  EXPECT_EQ(view.lines, (std::vector<std::string>{"Daily", "Every Monday", "Every Thursday"}));
  EXPECT_EQ(entries[1].date, "Dec072026");  // weekly: filed under this week's day
  EXPECT_EQ(ReadEvents(file).size(), 6u);
}

TEST_F(ScanTest, RangeListsDaysAheadWhateverTheWarnDays) {
  settings.rangeDays = "10";
  const auto r = Scan({Event("Dec182026", "10 days", kOnce, 0), Event("Dec192026", "11", kOnce, 30),
                       Event("Dec072026", "back", kOnce, 7, 1)});
  ASSERT_EQ(r.loadedCount, 1);
  EXPECT_EQ(Entries(r)[0].date, "Dec182026");
}

TEST_F(ScanTest, SortsByDateAndSelectsTheFirstEntryFromToday) {
  const auto r = Scan({Event("Dec112026", "c", kOnce), Event("Dec062026", "a", kOnce, 7, 1),
                       Event("Dec082026", "b", kYearly)});
  EXPECT_EQ(view.lines, (std::vector<std::string>{"Sun, Dec 06, 2026", "Tue, Dec 08, 2026",
                                                  "Fri, Dec 11, 2026"}));
  EXPECT_EQ(r.firstLine, 1);
  EXPECT_EQ(view.selected, 1);
  EXPECT_EQ(view.alerts, 1);
  EXPECT_TRUE(view.enabled);
}

TEST_F(ScanTest, EmptyFileGivesAnEmptyListWithoutAlert) {
  const auto r = Scan({});
  EXPECT_EQ(r.result, 1);
  EXPECT_EQ(r.loadedCount, 0);
  EXPECT_EQ(view.alerts, 0);
  EXPECT_EQ(view.selected, -1);
  EXPECT_EQ(ReadFileBytes(file), EventFileBytes({}));
}

TEST_F(ScanTest, FebruaryTwentyNinthOutsideLeapYearsKeepsTheStoredDate) {
  const auto r = Scan({Event("Feb082024", "x", kDaily), Event("Feb292024", "leap", kDaily)});
  const auto entries = Entries(r);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].date, "Feb292024");
  EXPECT_EQ(entries[1].date, "Feb082026");
}

}  // namespace
}  // namespace memro::testing

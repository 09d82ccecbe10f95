#include <sstream>

#include "engine/report.h"
#include "scan_fixture.h"

namespace memro::testing {
namespace {

using namespace std::string_literals;

std::string Report(const DueEntries& entries, const Date& today, bool unixLineEnds) {
  std::ostringstream out;
  WriteReport(out, entries, today, true, unixLineEnds);
  return out.str();
}

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

// The command line writes the report from the scan's entries, the main window from the
// due list file; both must give the same bytes whatever the messages and dates hold.
TEST_F(ScanTest, ReportFromTheScansEntriesMatchesTheReportFromTheDueList) {
  SetToday(2026, 12, 31);
  settings.rangeDays = "400";  // a one-off entry keeps its own (here short) date
  WriteEventFile(file, {Event("Dec31    ", "  short date, leading blanks", kOnce),
                        Event("Jan012001", "Line one\r\nline two\rlone CR", kYearly),
                        Event("Jan022027", "caf\xe9 \x80 d\0j\xe0  "s, kOnce),
                        Event("Feb292024", std::string(kMessageSize, 'x'), kMonthly),
                        Event("Jan012027", "weekly", kWeekly), Event("Jan152020", "", kDaily)});
  DueEntries entries;
  const ScanResult r =
      LoadEventFile(platform, file.string(), dueList->file(), settings, view, &entries);
  ASSERT_EQ(r.loadedCount, 6);
  ASSERT_EQ(entries.size(), 6u);

  // The day after the scan lies in another year, which the short date follows.
  const Date newYear{std::chrono::year{2027}, std::chrono::January, std::chrono::day{1}};
  for (const Date& today : {platform.today, newYear}) {
    for (const bool unixLineEnds : {false, true}) {
      std::ostringstream fromFile;
      WriteReport(fromFile, dueList->file(), r.loadedCount, today, true, unixLineEnds);
      EXPECT_EQ(Report(entries, today, unixLineEnds), fromFile.str()) << unixLineEnds;
    }
  }
  EXPECT_NE(Report(entries, platform.today, false).find("Line one\r\nline two\rlone CR\r\n"),
            std::string::npos);
  EXPECT_NE(Report(entries, platform.today, true).find("Line one\nline two\rlone CR\n"),
            std::string::npos);
  EXPECT_NE(Report(entries, newYear, true).find("Fri, Dec 31, 2027\n"), std::string::npos);
}

TEST_F(ScanTest, WithoutTheDueListFileTheEntriesComeBackAsTheFileWouldHoldThem) {
  Scan({Event("Dec112026", "c", kOnce), Event("Dec062026", "  a", kOnce, 7, 1),
        Event("Dec08    ", std::string(kMessageSize, 'b'), kYearly)});
  const std::string written = ReadFileBytes(dueList->path());
  ASSERT_EQ(written.size(), 3 * kDueEntrySize);

  settings.writeDueList = false;
  DueEntries entries;
  const ScanResult r =
      LoadEventFile(platform, file.string(), dueList->file(), settings, view, &entries);
  EXPECT_EQ(r.loadedCount, 3);
  EXPECT_EQ(std::filesystem::file_size(dueList->path()), 0u);  // the last scan's list is gone
  std::string bytes;
  for (std::size_t k = 0; k < entries.size(); ++k) entries.AppendBytes(k, bytes);
  EXPECT_EQ(bytes, written);
}

}  // namespace
}  // namespace memro::testing

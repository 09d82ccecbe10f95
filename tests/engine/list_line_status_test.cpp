#include <gtest/gtest.h>

#include "engine/list_line.h"
#include "engine/status.h"

namespace memro {
namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;

Date D(int y, unsigned m, unsigned d) { return Date{year{y}, month{m}, day{d}}; }
const Date kToday = D(2026, 12, 8);  // a Tuesday

DueEntry Entry(const std::string& date, std::int16_t frequency) {
  DueEntry e;
  e.date = date;
  e.frequency = frequency;
  e.message = "  Dentist 10:30  ";
  return e;
}

TEST(ListLine, NamesHowTheEntryRecurs) {
  const std::pair<const char*, const char*> monthly[] = {
      {"Dec012026", "1st"},  {"Dec022026", "2nd"},  {"Dec032026", "3rd"},  {"Dec112026", "11th"},
      {"Dec122026", "12th"}, {"Dec132026", "13th"}, {"Dec212026", "21st"}, {"Dec222026", "22nd"},
      {"Dec232026", "23rd"}, {"Dec302026", "30th"}, {"Dec312026", "31st"}};
  for (const auto& [date, ordinal] : monthly) {
    EXPECT_EQ(ListLine(Entry(date, kMonthly), 2026), std::string(ordinal) + " day of every month");
  }
  EXPECT_EQ(ListLine(Entry("Jan012000", kDaily), 2026), "Daily");
  EXPECT_EQ(ListLine(Entry("Dec082026", kWeekly), 2026), "Every Tuesday");
  EXPECT_EQ(ListLine(Entry("Dec252026", kYearly), 2026), "Fri, Dec 25, 2026");
  EXPECT_EQ(ListLine(Entry("Jan032027", kOnce), 2026), "Sun, Jan 03, 2027");
  // No valid date: the stored text, trimmed, is all there is to show.
  EXPECT_EQ(ListLine(Entry("Feb30    ", kOnce), 2026), "Feb30");
  EXPECT_EQ(DateLabel(kToday), "Date: Tue, Dec 08, 2026");
}

TEST(Status, WorkedExamples) {
  EXPECT_EQ(StatusText(Entry("Dec082026", kOnce), kToday, false), "Today!! [12/8/2026]");
  EXPECT_EQ(StatusText(Entry("Dec112026", kOnce), kToday, false), "3 days more! [12/11/2026]");
  EXPECT_EQ(StatusText(Entry("Dec092026", kOnce), kToday, false), "Tomorrow! [12/9/2026]");
  EXPECT_EQ(StatusText(Entry("Dec072026", kOnce), kToday, false), "Yesterday! [12/7/2026]");
  EXPECT_EQ(StatusText(Entry("Dec062026", kYearly), kToday, false), "2 days ago! [12/6/2026]");
  EXPECT_EQ(StatusText(Entry("Dec012026", kWeekly), kToday, false), "Every Tuesday");
  EXPECT_EQ(StatusText(Entry("Mar031999", kWeekly), kToday, false), "Every Wednesday");
  EXPECT_EQ(StatusText(Entry("Jan011990", kDaily), kToday, false), "Today!! [12/8/2026]");
}

TEST(Status, MonthlyComparesOnlyTheDayOfMonth) {
  EXPECT_EQ(StatusText(Entry("Dec202026", kMonthly), D(2026, 12, 15), false),
            "5 days more! [12/20/2026]");
  EXPECT_EQ(StatusText(Entry("Dec202026", kMonthly), D(2026, 12, 21), false),
            "Yesterday! [12/20/2026]");
  EXPECT_EQ(StatusText(Entry("Jan312027", kMonthly), D(2027, 1, 30), false),
            "Tomorrow! [1/31/2027]");
  EXPECT_EQ(StatusText(Entry("Jan312027", kMonthly), D(2027, 1, 1), false),
            "30 days more! [1/31/2027]");
  // More than three days past: the next month's occurrence, 2 + 31 - 8 days ahead.
  EXPECT_EQ(StatusText(Entry("Dec022026", kMonthly), kToday, false), "25 days more! [1/2/2027]");
}

TEST(Status, PastOneOffEntriesSpeakOfNextYear) {
  EXPECT_EQ(StatusText(Entry("Jan022026", kOnce), D(2026, 12, 28), false),
            "5 days more! [1/2/2027]");
  // Years divisible by 4 count 366 days, century or not.
  EXPECT_EQ(StatusText(Entry("Jan022100", kOnce), D(2100, 12, 28), false),
            "6 days more! [1/3/2101]");
  // More than a year past: the count turns negative.
  EXPECT_EQ(StatusText(Entry("Nov012025", kOnce), kToday, false), "-37 days more! [11/1/2026]");
  EXPECT_EQ(StatusText(Entry("Nov012026", kYearly), kToday, false), "328 days more! [11/1/2027]");
}

TEST(Status, RangeShowsAOneOffEntrysOwnDate) {
  EXPECT_EQ(StatusText(Entry("Jan022027", kOnce), D(2026, 12, 30), true),
            "3 days more! [1/2/2027]");
  EXPECT_EQ(StatusText(Entry("Dec112026", kYearly), kToday, true), "3 days more! [12/11/2026]");
}

TEST(Status, InvalidDateEmptiesTheStatusButKeepsTheMessage) {
  const DueEntry e = Entry("Feb292026", kOnce);
  EXPECT_EQ(StatusText(e, kToday, false), "");
  EXPECT_EQ(ShownMessage(e), "Dentist 10:30");
}

}  // namespace
}  // namespace memro

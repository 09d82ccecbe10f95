#include "data/date_parse.h"

#include <gtest/gtest.h>

namespace memro {
namespace {

using std::chrono::year;
using std::chrono::year_month_day;

constexpr int kThisYear = 2026;

std::string Parsed(std::string_view text) {
  const auto date = ParseDate(text, kThisYear);
  return date ? FormatStored(*date) : "none";
}

TEST(ParseDate, ReadsEveryWrittenForm) {
  for (const char* text : {"Jan 5, 1999", "Jan 5 1999", "January 5, 1999", "5 January 1999",
                           "5 Jan 1999", "1/5/1999", "1999-01-05", "01/05/1999", "1999-1-5",
                           "JANUARY 5,1999", "jAn 05 , 1999", "  Jan 5, 1999  ", "5 jan, 1999"}) {
    EXPECT_EQ(Parsed(text), "Jan051999") << text;
  }
  EXPECT_EQ(Parsed("Dec 08, 1960"), "Dec081960");
  EXPECT_EQ(Parsed("12/31/2099"), "Dec312099");
}

TEST(ParseDate, DateWithoutYearIsInTheGivenYear) {
  EXPECT_EQ(Parsed("Mar 3"), "Mar032026");
  EXPECT_EQ(Parsed("3 March"), "Mar032026");
  EXPECT_EQ(Parsed("3/4"), "Mar042026");
  EXPECT_EQ(ParseDate("Feb 29", 2028).value(), year_month_day(year(2028) / 2 / 29));
  EXPECT_FALSE(ParseDate("Feb 29", 2027));
}

TEST(ParseDate, TwoDigitYearsFallBetween1930And2029) {
  EXPECT_EQ(Parsed("12/8/60"), "Dec081960");
  EXPECT_EQ(Parsed("Dec 8, 29"), "Dec082029");
  EXPECT_EQ(Parsed("8 Dec 30"), "Dec081930");
}

TEST(ParseDate, RefusesDaysTheCalendarLacks) {
  for (const char* text : {"Feb 29, 2023", "Feb 29, 1900", "Jan 32, 1999", "13/1/1999", "0/5/1999",
                           "Jan 0, 1999", "Apr 31, 2026", "1999-02-30", "Jan 1, 0000"}) {
    EXPECT_EQ(Parsed(text), "none") << text;
  }
  EXPECT_EQ(Parsed("Feb 29, 2000"), "Feb292000");
}

TEST(ParseDate, RefusesAnythingElse) {
  for (const char* text : {"",
                           "   ",
                           "Jan",
                           "1999",
                           "Jan 5, 1999 x",
                           "Jan 5,",
                           "Janu 5 1999",
                           "Sept 5 1999",
                           "5/1999",
                           "1/5/199",
                           "1/5/19999",
                           "99-01-05",
                           "Jan 5, 1999\t",
                           "Jan 123",
                           "Jan\t5 1999",
                           "Jan 5 1999 12:00",
                           "Smith",
                           "555-0100",
                           "\xD8",
                           "5 \xC9t\xE9 1999"}) {
    EXPECT_EQ(Parsed(text), "none") << text;
  }
}

}  // namespace
}  // namespace memro

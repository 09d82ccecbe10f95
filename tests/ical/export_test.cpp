// The VEVENTs an export writes: dates, rules, texts, alarms, UIDs, and the X-MEMRO-
// properties for what iCalendar cannot say.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "ical/calendar_export.h"
#include "ical/calendar_import.h"
#include "ical_test_support.h"
#include "support/event_files.h"

namespace memro::testing {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

// The content lines of the n-th VEVENT (from 0) of an export.
std::vector<std::string> EventLines(const std::string& text, int n) {
  const std::vector<std::string> lines = Unfolded(text);
  auto begin = lines.begin();
  for (int i = 0; i <= n; ++i) begin = std::find(begin + (i > 0), lines.end(), "BEGIN:VEVENT");
  const auto end = std::find(begin, lines.end(), "END:VEVENT");
  return {begin, end};
}

std::string Export(const std::vector<EventRecord>& events) {
  return ical::ExportCalendar(events, {1796731200, 2026});  // 2026-12-08 12:00 UTC
}

// Memro lists a repeating event by its day of the week, month or year whatever its
// stored year, so one dated after the export day starts in the calendar at its latest
// day on or before it; the stored date goes with it for the way back.
TEST(IcalExport, StartsAFutureRepeatingEventAtItsLatestDayByTheExportDay) {
  struct Case {
    const char* stored;
    std::int16_t frequency;
    std::string start;  // empty: the stored date
  };
  const std::vector<Case> cases = {
      {"Sep012027", kWeekly, "20261230"},   // a Wednesday
      {"Mar312027", kMonthly, "20261231"},  // the export day itself
      {"Apr302027", kMonthly, "20261230"}, {"Jan312027", kMonthly, "20261231"},
      {"Jun152027", kYearly, "20260615"},  {"Feb292028", kYearly, "20240229"},  // the last Feb 29
      {"Jan052027", kDaily, "20261231"},   {"Sep012027", kOnce, ""},            // its own day
      {"Dec012026", kWeekly, ""},                                               // already started
      {"Dec312026", kYearly, ""},
  };
  std::vector<EventRecord> events;
  for (const Case& c : cases) events.push_back(Event(c.stored, "Plan", c.frequency, 3));
  const LocalZone zone("UTC");
  const std::string text = ical::ExportCalendar(events, {1798718400, 2026});  // 12-31 12:00
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto lines = EventLines(text, static_cast<int>(i));
    const std::string stored = cases[i].stored;
    if (cases[i].start.empty()) {
      EXPECT_THAT(lines, Not(Contains(HasSubstr("X-MEMRO-DATE")))) << stored;
    } else {
      EXPECT_THAT(lines, Contains("DTSTART;VALUE=DATE:" + cases[i].start)) << stored;
      EXPECT_THAT(lines, Contains("X-MEMRO-DATE:" + stored));
    }
  }
  EXPECT_EQ(ical::ImportCalendar(text, {}).events, events);
}

TEST(IcalExport, WritesOneCalendarWithAnAllDayEventPerEvent) {
  std::vector<EventRecord> events;
  for (std::int16_t f = 0; f <= 4; ++f) {
    events.push_back(Event("Dec082026", "  Dentist 10:30  \r\nroom 4; floor 2, \\east", f, 7));
  }
  const std::string text = Export(events);
  EXPECT_TRUE(text.starts_with("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Memro//Memro 4.0//EN"));
  EXPECT_TRUE(text.ends_with("END:VEVENT\r\nEND:VCALENDAR\r\n"));
  const char* const rules[] = {"RRULE:FREQ=YEARLY", "RRULE:FREQ=MONTHLY", "RRULE:FREQ=WEEKLY",
                               "RRULE:FREQ=DAILY"};
  for (int f = 0; f <= 4; ++f) {
    const auto lines = EventLines(text, f);
    EXPECT_THAT(lines, Contains("DTSTART;VALUE=DATE:20261208"));
    EXPECT_THAT(lines, Contains("DTEND;VALUE=DATE:20261209"));  // one whole day
    EXPECT_THAT(lines, Contains("DTSTAMP:20261208T120000Z"));
    EXPECT_THAT(lines, Contains("SUMMARY:Dentist 10:30"));
    EXPECT_THAT(lines, Contains("DESCRIPTION:  Dentist 10:30  \\nroom 4\\; floor 2\\, \\\\east"));
    EXPECT_THAT(lines, Contains("TRIGGER:-P7D"));
    EXPECT_THAT(lines, Contains("ACTION:DISPLAY"));
    EXPECT_THAT(lines, Contains("X-MEMRO-ENABLED:1"));
    EXPECT_THAT(lines, Not(Contains("STATUS:CANCELLED")));
    EXPECT_THAT(lines, Not(Contains(HasSubstr("X-MEMRO-FREQUENCY"))));
    EXPECT_THAT(lines, Not(Contains(HasSubstr("X-MEMRO-DATE"))));
    if (f < 4) {
      EXPECT_THAT(lines, Contains(rules[f]));
    } else {
      EXPECT_THAT(lines, Not(Contains(HasSubstr("RRULE"))));
    }
  }
}

TEST(IcalExport, TurnsWindows1252IntoUnicodeAndFoldsLongLines) {
  const std::string text = Export(
      {Event("Jan012027", "Caf\xE9 \x80 5 \x93quoted\x94 " + std::string(120, 'x'), kOnce, 0)});
  EXPECT_THAT(EventLines(text, 0), Contains("SUMMARY:Café € 5 “quoted” " + std::string(120, 'x')));
  for (const std::string& line : Unfolded(text)) EXPECT_EQ(line.find('\r'), std::string::npos);
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_LE(end - start, 75u) << "an unfolded line of more than 75 octets";
    start = end + 2;
  }
  EXPECT_THAT(EventLines(text, 0), Contains("TRIGGER:PT0S"));  // no warning days: at the start
}

TEST(IcalExport, UidsStayTheSameAndCopiesOfAnEventDiffer) {
  const EventRecord a = Event("Dec082026", "a", kYearly);
  const EventRecord b = Event("Dec092026", "b", kYearly);
  const std::string first = Export({a, b, a});
  const std::string again = ical::ExportCalendar({a, b, a}, {0, 2031});
  auto uid = [](const std::string& text, int n) {
    for (const std::string& line : EventLines(text, n)) {
      if (line.starts_with("UID:")) return line;
    }
    return std::string();
  };
  EXPECT_EQ(uid(first, 0), uid(again, 0));
  EXPECT_EQ(uid(first, 1), uid(again, 1));
  EXPECT_NE(uid(first, 0), uid(first, 2));
  EXPECT_NE(uid(first, 0), uid(first, 1));
  EXPECT_EQ(uid(Export({b, a}), 1), uid(first, 0));  // its place among others does not count
}

TEST(IcalExport, KeepsWhatICalendarCannotSayInMemroProperties) {
  const std::string text = Export({
      Event("Feb292026", "no such day", kYearly, 3, 0, 1, 0),
      Event("dec8 2026", "another spelling", 9, -2, 5, 2, 7),
      Event("Dec08", "short form", kOnce, 1),
      Event("Jan012027", "lone\rCR", kDaily, 1),
  });
  const auto invalid = EventLines(text, 0);
  EXPECT_THAT(invalid, Not(Contains(HasSubstr("DTSTART"))));
  EXPECT_THAT(invalid, Not(Contains(HasSubstr("RRULE"))));
  EXPECT_THAT(invalid, Contains("X-MEMRO-DATE:Feb292026"));
  EXPECT_THAT(invalid, Contains("X-MEMRO-FREQUENCY:0"));
  EXPECT_THAT(invalid, Contains("STATUS:CANCELLED"));
  EXPECT_THAT(invalid, Contains("X-MEMRO-ENABLED:0"));
  EXPECT_THAT(invalid, Contains("X-MEMRO-BACKDATED:0"));
  EXPECT_THAT(invalid, Contains("X-MEMRO-CLEAN-UP:1"));

  const auto odd = EventLines(text, 1);
  EXPECT_THAT(odd, Contains("DTSTART;VALUE=DATE:20261208"));
  EXPECT_THAT(odd, Contains("X-MEMRO-DATE:dec8 2026"));
  EXPECT_THAT(odd, Contains("X-MEMRO-FREQUENCY:9"));
  EXPECT_THAT(odd, Contains("X-MEMRO-WARN-DAYS:-2"));
  EXPECT_THAT(odd, Not(Contains("BEGIN:VALARM")));
  EXPECT_THAT(odd, Contains("X-MEMRO-ENABLED:7"));
  EXPECT_THAT(odd, Not(Contains("STATUS:CANCELLED")));

  EXPECT_THAT(EventLines(text, 2), Contains("DTSTART;VALUE=DATE:20261208"));  // the current year
  EXPECT_THAT(EventLines(text, 2), Contains("X-MEMRO-DATE:Dec08"));
  const auto cr = EventLines(text, 3);
  EXPECT_THAT(cr, Contains("DESCRIPTION:lone\\nCR"));
  EXPECT_THAT(cr, Contains("X-MEMRO-MESSAGE-BYTES:6c6f6e650d4352"));
}

}  // namespace
}  // namespace memro::testing

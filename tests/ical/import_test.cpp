// Foreign events taken in: dates and times, repeat rules Memro can and cannot hold,
// alarms, texts, and input that is no iCalendar.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <set>

#include "data/env_guard.h"
#include "data/text_util.h"
#include "ical/calendar_import.h"
#include "ical/calendar_lines.h"
#include "ical/series_dates.h"
#include "ical_test_support.h"
#include "support/fake_platform.h"

namespace memro::testing {
namespace {

using ::testing::HasSubstr;

const RecordDefaults kDefaults{kYearly, 1, 0, 5, 1};

// Long after every date the cases name: a series whose dates end is told, not taken.
const Date kToday{std::chrono::year{2100}, std::chrono::January, std::chrono::day{1}};

ical::ImportResult Import(const std::vector<std::string>& lines, const Date& today = kToday) {
  return ical::ImportCalendar(Calendar(lines), kDefaults, today);
}

std::string Message(const EventRecord& e) { return std::string(TrimTrailingBlanksView(e.message)); }

TEST(IcalImport, TakesInADesktopCalendarProgramsFile) {
  const LocalZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
  const auto result = ical::ImportCalendar(
      ReadFileBytes(std::filesystem::path(MEMRO_ICAL_DATA_DIR) / "desktop-calendar.ics"),
      kDefaults);
  ASSERT_FALSE(result.error);
  ASSERT_EQ(result.events.size(), 5u);
  const auto& e = result.events;
  EXPECT_EQ(e[0].date, "Dec082026");  // in its own zone, Europe/Berlin
  EXPECT_EQ(Message(e[0]), "10:30 Dentist\r\nBring the insurance card.\r\nAsk about the bill.");
  EXPECT_EQ(e[0].frequency, kOnce);
  EXPECT_EQ(e[0].warnDays, 1);  // 15 minutes, rounded up to a day

  EXPECT_EQ(e[1].date, "Jul142027");
  EXPECT_EQ(Message(e[1]), "Holiday at the lake");
  EXPECT_EQ(e[1].warnDays, kDefaults.warnDays);  // no alarm

  EXPECT_EQ(e[2].date, "Jan062026");
  EXPECT_EQ(Message(e[2]), "19:30 Choir rehearsal");
  EXPECT_EQ(e[2].frequency, kWeekly);

  EXPECT_EQ(e[3].date, "Mar221985");
  EXPECT_EQ(Message(e[3]), "Anna's birthday");
  EXPECT_EQ(e[3].frequency, kYearly);
  EXPECT_EQ(e[3].warnDays, 1);

  EXPECT_EQ(e[4].date, "Dec152026");  // 09:00 UTC is 10:00 here
  EXPECT_EQ(Message(e[4]), "10:00 Call with the Tokyo office ?");
  EXPECT_EQ(e[4].warnDays, 3);  // two and a half days
  for (const EventRecord& r : e) {
    EXPECT_EQ(r.enabled, kDefaults.enabled);
    EXPECT_EQ(r.backdated, kDefaults.backdated);
    EXPECT_EQ(r.cleanUp, kDefaults.cleanUp);
  }

  ASSERT_EQ(result.notes.size(), 2u);
  EXPECT_EQ(ical::NoteLine(result.notes[0]),
            "skipped \"Paper recycling collection\": it repeats every 2 weeks (INTERVAL=2)");
  EXPECT_EQ(ical::NoteLine(result.notes[1]),
            "warning: \"Call with the Tokyo office \U0001F4DE\": characters the event file "
            "cannot hold were stored as '?'");
  EXPECT_EQ(ical::CountLine(result), "imported 5 events, skipped 1");
}

// One calendar read in five zones: every time is the instant it names, moved into the
// user's zone; a date and a floating time stay as written; the rule is reckoned in the
// event's own zone, so no zone skips what another takes.
TEST(IcalImport, TakesEachTimeAsItsInstantInTheUsersZone) {
  const std::vector<std::pair<const char*, std::vector<std::string>>> zones = {
      {"UTC",
       {"Jan052027 21:00 Team call", "Jan062027 04:00 Late show", "Jan102027 02:30 Office opens",
        "Jan122027 09:30 Breakfast", "Feb152027 Anniversary", "Feb012027 01:00 Rent"}},
      {"Europe/Berlin",
       {"Jan052027 22:00 Team call", "Jan062027 05:00 Late show", "Jan102027 03:30 Office opens",
        "Jan122027 09:30 Breakfast", "Feb152027 Anniversary", "Feb012027 02:00 Rent"}},
      {"America/New_York",
       {"Jan052027 16:00 Team call", "Jan052027 23:00 Late show", "Jan092027 21:30 Office opens",
        "Jan122027 09:30 Breakfast", "Feb152027 Anniversary", "Jan312027 20:00 Rent"}},
      {"Asia/Tokyo",
       {"Jan062027 06:00 Team call", "Jan062027 13:00 Late show", "Jan102027 11:30 Office opens",
        "Jan122027 09:30 Breakfast", "Feb152027 Anniversary", "Feb012027 10:00 Rent"}},
      {"Pacific/Kiritimati",
       {"Jan062027 11:00 Team call", "Jan062027 18:00 Late show", "Jan102027 16:30 Office opens",
        "Jan122027 09:30 Breakfast", "Feb152027 Anniversary", "Feb012027 15:00 Rent"}},
  };
  const std::string calendar =
      ReadFileBytes(std::filesystem::path(MEMRO_ICAL_DATA_DIR) / "time-zones.ics");
  for (const auto& [name, expected] : zones) {
    const LocalZone zone(name);
    const auto result = ical::ImportCalendar(calendar, kDefaults);
    EXPECT_TRUE(result.notes.empty()) << name << ": " << ical::NoteLine(result.notes.at(0));
    std::vector<std::string> starts;
    std::vector<std::int16_t> frequencies;
    for (const EventRecord& e : result.events) {
      starts.push_back(e.date + " " + Message(e));
      frequencies.push_back(e.frequency);
    }
    EXPECT_EQ(starts, expected) << name;
    EXPECT_EQ(frequencies,
              (std::vector<std::int16_t>{kWeekly, kOnce, kOnce, kOnce, kYearly, kMonthly}))
        << name;
  }
  const auto unknown =
      Import(VEvent("u", {"SUMMARY:Far", "DTSTART;TZID=Atlantis/Capital:20270105T100000"}));
  EXPECT_EQ(Message(unknown.events.at(0)), "10:00 Far");
  EXPECT_EQ(ical::NoteLine(unknown.notes.at(0)),
            "warning: \"Far\": its time zone Atlantis/Capital is not known; its time was taken "
            "as written");
}

// Holiday calendars write their days as series that end, extra dates, exceptions and
// dates changed by events of their own (RECURRENCE-ID): each date from today on
// becomes a once event, up to a bound per series. So does a series without end that
// has exceptions (a birthday skipped one year and moved the next).
TEST(IcalImport, TakesSeriesWhoseDatesEndAsOnceEventsFromToday) {
  const Date today{std::chrono::year{2026}, std::chrono::December, std::chrono::day{10}};
  const auto result = ical::ImportCalendar(
      ReadFileBytes(std::filesystem::path(MEMRO_ICAL_DATA_DIR) / "holidays.ics"), kDefaults, today);
  std::vector<std::string> dates;
  std::vector<std::string> birthdays;
  for (const EventRecord& e : result.events) {
    EXPECT_EQ(e.frequency, kOnce);
    if (Message(e).starts_with("Sam's")) {
      birthdays.push_back(e.date + " " + Message(e));
    } else if (!Message(e).ends_with("Evening class")) {
      dates.push_back(e.date + " " + Message(e));
    }
  }
  ASSERT_EQ(birthdays.size(), ical::kMaxSeriesEvents + 1u);
  EXPECT_EQ(birthdays.front(), "Jun142029 Sam's birthday");  // 2027 left out, 2028 moved
  EXPECT_EQ(birthdays[ical::kMaxSeriesEvents - 1], "Jun142088 Sam's birthday");
  EXPECT_EQ(birthdays.back(), "Jun172028 Sam's birthday (party on Saturday)");
  EXPECT_EQ(dates, (std::vector<std::string>{
                       "Jan012027 New Year's Day", "Jan012028 New Year's Day",
                       "Jan012029 New Year's Day", "May312027 Spring bank holiday",
                       "May292028 Spring bank holiday", "Mar292027 Easter Monday",
                       "Apr172028 Easter Monday", "Dec262026 Boxing Day", "Dec262028 Boxing Day",
                       "May032027 Bank holiday", "May012028 Bank holiday (moved)"}));
  EXPECT_EQ(result.events.at(0).warnDays, 1);  // the series' alarm on each
  const std::size_t classes = result.events.size() - dates.size() - birthdays.size();
  EXPECT_EQ(classes, ical::kMaxSeriesEvents);
  EXPECT_EQ(Message(result.events[dates.size()]), "18:00 Evening class");
  EXPECT_EQ(result.events[dates.size() + 1].date, "Dec292026");  // every second week
  ASSERT_EQ(result.notes.size(), 8u);  // one for each series, one for the skipped
  EXPECT_EQ(ical::NoteLine(result.notes[0]),
            "series \"New Year's Day\": its dates end: it became 3 once events, one for each "
            "date from today");
  EXPECT_EQ(ical::NoteLine(result.notes[3]),
            "skipped \"Thanksgiving\": it repeats on other days than every year from its start "
            "(BYDAY=4TH)");
  EXPECT_THAT(ical::NoteLine(result.notes[6]),
              HasSubstr("became 60 once events, one for each date from today up to the most a "
                        "series becomes (of 100)"));
  EXPECT_EQ(ical::NoteLine(result.notes[7]),
            "series \"Sam's birthday\": it has no end but exceptions (EXDATE, RECURRENCE-ID): "
            "it became 60 once events, one for each date from today up to the most a series "
            "becomes");
  EXPECT_EQ(ical::CountLine(result),
            "imported 132 events (130 of them once events from 7 series), skipped 1");
}

// A public holiday calendar as users subscribe to it (the bank holidays of England and
// Wales, written as single events, series with COUNT, UNTIL and RDATE, and substitute
// days moved by RECURRENCE-ID): at least 90 % of its days of the coming two years, each
// on its day, in any zone. All of them, in fact: each one missing is told by name.
TEST(IcalImport, AHolidayCalendarGivesItsDaysOfTheComingTwoYears) {
  const std::set<std::string> published = {"Jan012027 New Year's Day",
                                           "Mar262027 Good Friday",
                                           "Mar292027 Easter Monday",
                                           "May032027 Early May bank holiday",
                                           "May312027 Spring bank holiday",
                                           "Aug302027 Summer bank holiday",
                                           "Dec272027 Christmas Day (substitute day)",
                                           "Dec282027 Boxing Day (substitute day)",
                                           "Jan032028 New Year's Day (substitute day)",
                                           "Apr142028 Good Friday",
                                           "Apr172028 Easter Monday",
                                           "May012028 Early May bank holiday",
                                           "May292028 Spring bank holiday",
                                           "Aug282028 Summer bank holiday",
                                           "Dec252028 Christmas Day",
                                           "Dec262028 Boxing Day"};
  const Date today{std::chrono::year{2026}, std::chrono::December, std::chrono::day{10}};
  for (const char* zone : {"UTC", "Pacific/Kiritimati", "America/Los_Angeles"}) {
    const LocalZone local(zone);
    const auto result = ical::ImportCalendar(
        ReadFileBytes(std::filesystem::path(MEMRO_ICAL_DATA_DIR) / "bank-holidays.ics"), kDefaults,
        today);
    std::set<std::string> taken;
    for (const EventRecord& e : result.events) {
      if (e.date.ends_with("2027") || e.date.ends_with("2028")) {
        taken.insert(e.date + " " + Message(e));
      }
    }
    std::vector<std::string> missing;
    std::set_difference(published.begin(), published.end(), taken.begin(), taken.end(),
                        std::back_inserter(missing));
    EXPECT_GE(10 * (published.size() - missing.size()), 9 * published.size()) << zone;
    EXPECT_THAT(missing, ::testing::IsEmpty()) << zone;
    EXPECT_EQ(taken.size(), published.size()) << zone;  // and no day that is none
    EXPECT_EQ(result.skipped, 0) << zone;
  }
}

TEST(IcalImport, SkipsRepeatsMemroCannotHoldAndNamesWhy) {
  struct Case {
    std::string rule;
    std::string reason;  // empty: imported with frequency
    std::int16_t frequency = kOnce;
  };
  // The start, Tuesday 6 January 2026, implies BYDAY=TU, BYMONTHDAY=6 and BYMONTH=1.
  const std::vector<Case> cases = {
      {"RRULE:FREQ=WEEKLY;INTERVAL=2", "it repeats every 2 weeks (INTERVAL=2)"},
      {"RRULE:FREQ=MONTHLY;INTERVAL=3", "it repeats every 3 months (INTERVAL=3)"},
      {"RRULE:FREQ=DAILY;COUNT=10", "it repeats only 10 times (COUNT=10)"},
      {"RRULE:FREQ=YEARLY;UNTIL=20300101", "it stops repeating at a date (UNTIL=20300101)"},
      {"RRULE:FREQ=WEEKLY;BYDAY=TU,TH", "it repeats on several weekdays (BYDAY=TU,TH)"},
      {"RRULE:FREQ=MONTHLY;BYDAY=1TU",
       "it repeats on other days than every month from its start (BYDAY=1TU)"},
      {"RRULE:FREQ=WEEKLY;BYDAY=WE", "it starts on a Tuesday but repeats on Wednesdays (BYDAY=WE)"},
      {"RRULE:FREQ=YEARLY;BYMONTH=1,7", "than every year from its start (BYMONTH=1,7)"},
      {"RRULE:FREQ=HOURLY", "it repeats more often than daily (FREQ=HOURLY)"},
      {"RRULE:FREQ=MONTHLY;BYMONTHDAY=-1", "than every month from its start (BYMONTHDAY=-1)"},
      {"RRULE:FREQ=DAILY;BYHOUR=9,17", "than every day from its start (BYHOUR=9,17)"},
      {"RRULE:FREQ=YEARLY;BYMONTH=1;BYMONTHDAY=6", "", kYearly},
      {"RRULE:FREQ=MONTHLY;BYMONTHDAY=6;INTERVAL=1", "", kMonthly},
      {"RRULE:FREQ=WEEKLY;BYDAY=TU;WKST=MO", "", kWeekly},
      {"RRULE:FREQ=DAILY", "", kDaily},
      // Rules that say a frequency Memro has in other words, or only one date.
      {"RRULE:FREQ=MONTHLY;BYDAY=TU", "", kWeekly},
      {"RRULE:FREQ=YEARLY;BYDAY=TU", "", kWeekly},
      {"RRULE:FREQ=WEEKLY;BYDAY=SU,MO,TU,WE,TH,FR,SA", "", kDaily},
      {"RRULE:FREQ=WEEKLY;UNTIL=70260101", "", kWeekly},
      {"RRULE:FREQ=DAILY;COUNT=1", "", kOnce},
      {"RRULE:FREQ=WEEKLY;UNTIL=20260112", "", kOnce},
      {"RRULE:FREQ=MONTHLY;BYDAY=WE", "it starts on a Tuesday but repeats on Wednesdays"},
      {"RRULE:FREQ=WEEKLY;UNTIL=20260113", "it stops repeating at a date (UNTIL=20260113)"},
  };
  for (const Case& c : cases) {
    const auto result =
        Import(VEvent("u", {"SUMMARY:Rule", "DTSTART;VALUE=DATE:20260106", c.rule}));
    if (c.reason.empty()) {
      ASSERT_EQ(result.events.size(), 1u) << c.rule;
      EXPECT_EQ(result.events[0].frequency, c.frequency) << c.rule;
    } else {
      EXPECT_TRUE(result.events.empty()) << c.rule;
      ASSERT_EQ(result.notes.size(), 1u) << c.rule;
      EXPECT_THAT(result.notes[0].text, HasSubstr(c.reason)) << c.rule;
    }
  }
  const auto twoRules = Import(
      VEvent("u", {"DTSTART;VALUE=DATE:20260106", "RRULE:FREQ=YEARLY", "RRULE:FREQ=MONTHLY"}));
  EXPECT_EQ(twoRules.skipped, 1);
  const std::vector<std::string> withExdate = {"SUMMARY:a", "DTSTART;VALUE=DATE:20260106",
                                               "RRULE:FREQ=WEEKLY", "EXDATE;VALUE=DATE:20260113"};
  const Date jan6{std::chrono::year{2026}, std::chrono::January, std::chrono::day{6}};
  const auto exdate = Import(VEvent("u", withExdate), jan6);
  EXPECT_THAT(exdate.notes.at(0).text, HasSubstr("no end but exceptions (EXDATE)"));
  EXPECT_EQ(exdate.events.size(), ical::kMaxSeriesEvents + 0u);
  // An exception long past changes nothing ahead: the series is one weekly event.
  const auto pastExdate = Import(VEvent("u", withExdate));
  ASSERT_EQ(pastExdate.events.size(), 1u);
  EXPECT_EQ(pastExdate.events[0].frequency, kWeekly);
  const auto everyOther = Import(
      VEvent("u", {"SUMMARY:a", "DTSTART;VALUE=DATE:20260106", "RRULE:FREQ=WEEKLY;INTERVAL=2",
                   "RDATE;VALUE=DATE:21000101", "EXDATE;VALUE=DATE:21000112"}));
  ASSERT_EQ(everyOther.events.size(), ical::kMaxSeriesEvents + 0u);
  EXPECT_EQ(everyOther.events[0].date, "Jan012100");  // the extra date
  EXPECT_EQ(everyOther.events[1].date, "Jan262100");  // every second Tuesday, the 12th left out
  EXPECT_THAT(everyOther.notes.at(0).text,
              HasSubstr("no end but exceptions (EXDATE) and extra dates (RDATE)"));
  const auto rdate = Import(
      VEvent("u", {"SUMMARY:a", "DTSTART;VALUE=DATE:20260106", "RDATE;VALUE=DATE:20260120"}), jan6);
  EXPECT_THAT(rdate.notes.at(0).text, HasSubstr("it became 2 once events"));
  const auto broken = Import(VEvent("u", {"DTSTART;VALUE=DATE:20260106", "RRULE:FREQ=OFTEN"}));
  EXPECT_THAT(broken.notes.at(0).text, HasSubstr("its RRULE cannot be read"));
  const auto noStart = Import(VEvent("u", {"SUMMARY:Sometime"}));
  EXPECT_EQ(ical::NoteLine(noStart.notes.at(0)), "skipped \"Sometime\": it has no start date");
}

// A daily series without end whose one day is moved: its days from today on, each a
// once event, and the moved day on its new time with its own text.
TEST(IcalImport, AnOccurrenceChangedElsewhereIsTakenOnItsNewDate) {
  const Date today{std::chrono::year{2026}, std::chrono::January, std::chrono::day{6}};
  const auto result = Import(
      {
          "BEGIN:VEVENT",
          "UID:series",
          "SUMMARY:Standup",
          "DTSTART:20260105T090000",
          "RRULE:FREQ=DAILY",
          "END:VEVENT",  //
          "BEGIN:VEVENT",
          "UID:series",
          "SUMMARY:Standup (moved)",
          "RECURRENCE-ID:20260107T090000",
          "DTSTART:20260107T100000",
          "END:VEVENT",  //
          "BEGIN:VEVENT",
          "UID:alone",
          "SUMMARY:Lunch",
          "DTSTART:20260108T120000",
          "END:VEVENT",
      },
      today);
  ASSERT_EQ(result.events.size(), ical::kMaxSeriesEvents + 2u);
  const auto& e = result.events;
  EXPECT_EQ(e[0].date + " " + Message(e[0]), "Jan062026 09:00 Standup");
  EXPECT_EQ(e[1].date, "Jan082026");  // the 7th is the moved one's
  EXPECT_EQ(e[ical::kMaxSeriesEvents].date + " " + Message(e[ical::kMaxSeriesEvents]),
            "Jan072026 10:00 Standup (moved)");
  EXPECT_EQ(Message(e.back()), "12:00 Lunch");
  ASSERT_EQ(result.notes.size(), 1u);
  EXPECT_EQ(ical::NoteLine(result.notes[0]),
            "series \"Standup\": it has no end but exceptions (RECURRENCE-ID): it became 60 "
            "once events, one for each date from today up to the most a series becomes");
}

TEST(IcalImport, TakesTheEarliestAlarmAtOrBeforeTheStartInWholeDays) {
  auto warn = [](const std::string& start, const std::vector<std::string>& triggers) {
    std::vector<std::string> lines = {"SUMMARY:a", start, "DTEND:20260110T120000"};
    for (const std::string& t : triggers) {
      lines.insert(lines.end(),
                   {"BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:a", t, "END:VALARM"});
    }
    return Import(VEvent("u", lines)).events.at(0).warnDays;
  };
  const std::string timed = "DTSTART:20260110T100000";
  EXPECT_EQ(warn(timed, {"TRIGGER:-PT15M", "TRIGGER:-P2D", "TRIGGER:-PT1H"}), 2);
  EXPECT_EQ(warn(timed, {"TRIGGER:-P1DT1S"}), 2);
  EXPECT_EQ(warn(timed, {"TRIGGER:PT0S"}), 0);
  EXPECT_EQ(warn(timed, {"TRIGGER:PT10M"}), kDefaults.warnDays);  // after the start only
  EXPECT_EQ(warn(timed, {"TRIGGER;RELATED=END:-PT3H"}), 1);       // an hour before the start
  EXPECT_EQ(warn(timed, {"TRIGGER;RELATED=END:-PT1H"}), kDefaults.warnDays);
  EXPECT_EQ(warn(timed, {"TRIGGER;VALUE=DATE-TIME:20260107T100000Z"}), 3);
  EXPECT_EQ(warn(timed, {}), kDefaults.warnDays);
  EXPECT_EQ(warn("DTSTART;VALUE=DATE:20260110", {"TRIGGER:-PT15H"}), 1);  // 9:00 the day before
}

TEST(IcalImport, FitsTheMessageIntoTheEventFileWithWarnings) {
  const auto result = Import(
      VEvent("u", {"SUMMARY:Long", "DTSTART;VALUE=DATE:20260106",
                   "DESCRIPTION:" + std::string(993, 'x') + "\\nmore text that does not fit"}));
  ASSERT_EQ(result.events.size(), 1u);
  // "Long", CR LF and 993 x leave room for the CR of the next line end but not its LF:
  // a CR alone would be no line end.
  EXPECT_EQ(Message(result.events[0]), "Long\r\n" + std::string(993, 'x'));
  EXPECT_EQ(ical::NoteLine(result.notes.at(0)),
            "warning: \"Long\": its message was cut to 1000 bytes");

  // A description that begins with the title adds only what follows the title's line.
  const std::vector<std::pair<std::vector<std::string>, std::string>> texts = {
      {{"SUMMARY:Same", "DESCRIPTION:Same"}, "Same"},
      {{"SUMMARY:Rosenmontag", "DESCRIPTION:Rosenmontag\\nKarneval"}, "Rosenmontag\r\nKarneval"},
      {{"SUMMARY: Rosenmontag ", "DESCRIPTION:\\n Rosenmontag \\n\\nKarneval\\nUmzug"},
       "Rosenmontag\r\nKarneval\r\nUmzug"},
      {{"SUMMARY:Party", "DESCRIPTION:Party at Anna's"}, "Party\r\nParty at Anna's"},
      {{"DESCRIPTION:Only a description"}, "Only a description"},
  };
  for (const auto& [lines, message] : texts) {
    auto event = lines;
    event.push_back("DTSTART:20260106");
    const auto result = Import(VEvent("u", event));
    EXPECT_EQ(Message(result.events.at(0)), message) << lines.back();
    EXPECT_TRUE(result.notes.empty());
  }
  for (const auto& blank : {std::vector<std::string>{}, {"SUMMARY: ", "DESCRIPTION:\\n"}}) {
    auto event = blank;
    event.push_back("DTSTART;VALUE=DATE:20260106");
    const auto result = Import(VEvent("u", event));
    EXPECT_TRUE(result.events.empty());
    EXPECT_EQ(ical::NoteLine(result.notes.at(0)),
              "skipped \"(no title)\": it has no text (no SUMMARY or DESCRIPTION)");
  }
  const auto accents =
      Import(VEvent("u", {"SUMMARY:Smørrebrød für 5 € – “Œuvre”", "DTSTART:20260106"}));
  EXPECT_EQ(Message(accents.events.at(0)),
            "Sm\xF8rrebr\xF8"
            "d f\xFCr 5 \x80 \x96 \x93\x8C"
            "uvre\x94");
  EXPECT_TRUE(accents.notes.empty());
}

TEST(IcalImport, ACancelledForeignEventIsDisabled) {
  const auto result =
      Import(VEvent("u", {"SUMMARY:Off", "DTSTART;VALUE=DATE:20260106", "STATUS:CANCELLED"}));
  EXPECT_EQ(result.events.at(0).enabled, 0);
}

TEST(IcalImport, RefusesWhatIsNoICalendarObjectInBoundedTime) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "does not begin with BEGIN:VCALENDAR"},
      {"Smith\r\nJohn\r\n555-0100\r\n", "does not begin with BEGIN:VCALENDAR"},
      {std::string(10 * 1024 * 1024, 'x'), "does not begin with BEGIN:VCALENDAR"},
      {"BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nSUMMARY:cut", "is cut short"},
      {"BEGIN:VCALENDAR\r\nSUMMARY:a" + std::string(1, '\0') + "b\r\nEND:VCALENDAR\r\n",
       "holds NUL bytes"},
      {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nEND:VCALENDAR\r\n", "no readable VCALENDAR"},
  };
  for (const auto& [input, error] : cases) {
    const auto result = ical::ImportCalendar(input, kDefaults);
    ASSERT_TRUE(result.error) << input.substr(0, 60);
    EXPECT_THAT(*result.error, HasSubstr(error));
    EXPECT_TRUE(result.events.empty());
  }
  // A calendar with a 10 MB line is read in bounded time: the line is cut first.
  const auto big = Import(VEvent(
      "u", {"SUMMARY:Big", "DTSTART:20260106", "DESCRIPTION:" + std::string(10 << 20, 'y')}));
  ASSERT_EQ(big.events.size(), 1u);
  EXPECT_EQ(big.notes.at(0).text, "its message was cut to 1000 bytes");
}

// The content lines one after the other, each ended by CR LF.
std::string Unfolded(std::string_view input) {
  ical::ContentLines lines(input);
  std::string out;
  for (std::string line; lines.Next(line);) out += line + "\r\n";
  return out;
}

TEST(IcalImport, UndoesFoldingAndCutsOverlongLinesOnACharacter) {
  EXPECT_EQ(Unfolded("\xEF\xBB\xBF"
                     "BEGIN:VCALENDAR\nSUMMARY:ab\n c\r\n\td\r\n\r\nEND:VCALENDAR"),
            "BEGIN:VCALENDAR\r\nSUMMARY:abcd\r\nEND:VCALENDAR\r\n");
  const std::string euro = "\xE2\x82\xAC";
  std::string line = "X:";
  while (line.size() < ical::kMaxLineBytes) line += euro;
  const std::string out = Unfolded("BEGIN:VCALENDAR\r\n" + line + "\r\nEND:VCALENDAR");
  const std::string cut = out.substr(17, out.find("\r\n", 17) - 17);
  EXPECT_LE(cut.size(), ical::kMaxLineBytes);
  EXPECT_EQ((cut.size() - 2) % 3, 0u) << "a euro sign was cut in two";
}

}  // namespace
}  // namespace memro::testing

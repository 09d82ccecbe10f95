// memro-cli export and import: what they refuse, what they leave, what they tell.
#include <unistd.h>

#include "cli_fixture.h"
#include "data/event_record.h"
#include "data/text_util.h"
#include "support/event_files.h"

namespace memro::testing {
namespace {

const std::string kEmptyCalendar = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nEND:VCALENDAR\r\n";

std::string CalendarOf(const std::vector<std::string>& events) {
  std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//EN\r\n";
  for (const std::string& e : events) text += "BEGIN:VEVENT\r\n" + e + "END:VEVENT\r\n";
  return text + "END:VCALENDAR\r\n";
}

const std::string kChoirEvent =
    "UID:w\r\nSUMMARY:Choir\r\nDTSTART;VALUE=DATE:20260106\r\nRRULE:FREQ=WEEKLY\r\n";
const std::string kBinsEvent =
    "UID:f\r\nSUMMARY:Bins\r\nDTSTART;VALUE=DATE:20260109\r\nRRULE:FREQ=WEEKLY;INTERVAL=2\r\n";

TEST_F(CliTest, HelpNamesExportAndImport) {
  ASSERT_EQ(Run({"--help"}), 0);
  EXPECT_NE(out.str().find("memro-cli export FILE OUT.ics"), std::string::npos);
  EXPECT_NE(out.str().find("memro-cli import IN.ics FILE"), std::string::npos);
  EXPECT_EQ(Run({"export", "only-one"}), 2);
  EXPECT_EQ(Run({"import", "a.ics", "b.mmo", "c"}), 2);
  EXPECT_EQ(Run({"import", "a.ics", "b.mmo", "--force"}), 2);
}

TEST_F(CliTest, ExportRefusesToWriteOverItsOwnEventFile) {
  const auto file = dir / "events.mmo";
  WriteEventFile(file, {MakeEvent("Dec082026", "keep me")});
  const std::string before = ReadFileBytes(file);
  std::filesystem::create_directories(dir / "sub");
  std::filesystem::create_symlink(file, dir / "link.ics");
  std::filesystem::create_hard_link(file, dir / "hard.ics");
  for (const auto& out :
       {file, dir / "sub" / ".." / "events.mmo", dir / "link.ics", dir / "hard.ics"}) {
    EXPECT_EQ(Run({"export", file.string(), out.string()}), 1) << out;
    EXPECT_NE(err.str().find("is the event file itself"), std::string::npos) << err.str();
    EXPECT_EQ(ReadFileBytes(file), before);
  }
  EXPECT_EQ(Run({"export", (dir / "missing.mmo").string(), (dir / "m.ics").string()}), 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "m.ics"));
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(CliTest, ExportReplacesACalendarAndKeepsALinkALink) {
  const auto file = dir / "events.mmo";
  WriteEventFile(file, {MakeEvent("Dec082026", "one")});
  WriteFileBytes(dir / "real.ics", "old calendar");
  std::filesystem::create_symlink("real.ics", dir / "cal.ics");
  ASSERT_EQ(Run({"export", file.string(), (dir / "cal.ics").string()}), 0) << err.str();
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "cal.ics"));
  EXPECT_TRUE(ReadFileBytes(dir / "real.ics").starts_with("BEGIN:VCALENDAR\r\n"));
  EXPECT_FALSE(std::filesystem::exists(dir / "real.ic~"));
}

TEST_F(CliTest, ImportAppendsAndReportsWhatItSkipped) {
  const auto file = dir / "events.mmo";
  WriteEventFile(file, {MakeEvent("Dec082026", "already there")});
  WriteFileBytes(dir / "in.ics", CalendarOf({kChoirEvent, kBinsEvent}));
  ASSERT_EQ(Run({"import", (dir / "in.ics").string(), file.string()}), 0) << err.str();
  EXPECT_EQ(err.str(),
            "memro-cli: skipped \"Bins\": it repeats every 2 weeks (INTERVAL=2)\n"
            "memro-cli: imported 1 event, skipped 1\n");
  const auto events = ReadEvents(file);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0], MakeEvent("Dec082026", "already there"));
  EXPECT_EQ(events[1].date, "Jan062026");
  EXPECT_EQ(events[1].frequency, memro::kWeekly);
  EXPECT_EQ(events[1].warnDays, 7);  // the defaults, with no settings file

  ASSERT_EQ(Run({"dump", file.string()}), 0);
  EXPECT_NE(out.str().find("{\"record\":3,\"date\":\"Jan062026\",\"message\":\"Choir\""),
            std::string::npos);
}

TEST_F(CliTest, ImportCreatesTheFileWithItsHeader) {
  WriteFileBytes(dir / "in.ics", CalendarOf({kChoirEvent}));
  const auto file = dir / "new.mmo";
  ASSERT_EQ(Run({"import", (dir / "in.ics").string(), file.string()}), 0);
  EXPECT_TRUE(ReadFileBytes(file).starts_with(HeaderRecord().ToBytes()));
  EXPECT_EQ(ReadEvents(file).size(), 1u);
  EXPECT_EQ(err.str(), "memro-cli: imported 1 event, skipped 0\n");
}

TEST_F(CliTest, ImportOfACalendarWithoutEventsSaysWhatItHeld) {
  const auto file = dir / "events.mmo";
  WriteEventFile(file, {MakeEvent("Dec082026", "keep me")});
  const std::string before = ReadFileBytes(file);
  const std::string todo = "BEGIN:VTODO\r\nUID:t\r\nSUMMARY:Buy milk\r\nEND:VTODO\r\n";
  const std::string journal = "BEGIN:VJOURNAL\r\nUID:j\r\nEND:VJOURNAL\r\n";
  const std::string head = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
  const std::vector<std::pair<std::string, std::string>> inputs = {
      {kEmptyCalendar, "holds no events: nothing was imported"},
      {head + todo + todo + todo + "END:VCALENDAR\r\n",
       "holds 3 to-dos and no events: nothing was imported"},
      {head + journal + todo + "END:VCALENDAR\r\n",
       "holds 1 journal entry, 1 to-do and no events: nothing was imported"},
  };
  for (const auto& [input, message] : inputs) {
    WriteFileBytes(dir / "in.ics", input);
    EXPECT_EQ(Run({"import", (dir / "in.ics").string(), file.string()}), 1);
    EXPECT_EQ(err.str(), "memro-cli: " + (dir / "in.ics").string() + " " + message + "; " +
                             file.string() + " is left as it was.\n");
    EXPECT_EQ(ReadFileBytes(file), before);
    EXPECT_EQ(Run({"import", (dir / "in.ics").string(), (dir / "new.mmo").string()}), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "new.mmo"));
  }
}

TEST_F(CliTest, ImportThatTakesNothingInLeavesTheFile) {
  const auto file = dir / "events.mmo";
  WriteFileBytes(dir / "skipped.ics", CalendarOf({kBinsEvent}));
  EXPECT_EQ(Run({"import", (dir / "skipped.ics").string(), file.string()}), 1);
  EXPECT_FALSE(std::filesystem::exists(file));

  WriteFileBytes(file, OldHeaderBytes() + OldRecordBytes("Dec081960", "old", 5, 3, 1, 0));
  const std::string old = ReadFileBytes(file);
  WriteFileBytes(dir / "in.ics", CalendarOf({kChoirEvent}));
  EXPECT_EQ(Run({"import", (dir / "in.ics").string(), file.string()}), 1);
  EXPECT_NE(err.str().find("2.01 or 3.0 format"), std::string::npos) << err.str();
  EXPECT_EQ(ReadFileBytes(file), old);
  EXPECT_EQ(Run({"import", (dir / "none.ics").string(), file.string()}), 1);
  EXPECT_NE(err.str().find("while reading"), std::string::npos);
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(CliTest, ImportOfBadICalendarSaysSoAndChangesNothing) {
  const auto file = dir / "events.mmo";
  WriteEventFile(file, {MakeEvent("Dec082026", "keep me")});
  const std::string before = ReadFileBytes(file);
  const std::string calendar = CalendarOf({kChoirEvent});
  const std::vector<std::pair<std::string, std::string>> inputs = {
      {calendar.substr(0, calendar.size() / 2), "is cut short"},
      {"Smith\r\nJohn\r\n555-0100\r\nDec 08, 1960\r\n", "is not an iCalendar file"},
      {std::string(10 * 1024 * 1024, 'x'), "is not an iCalendar file"},
  };
  for (const auto& [input, message] : inputs) {
    WriteFileBytes(dir / "bad.ics", input);
    EXPECT_EQ(Run({"import", (dir / "bad.ics").string(), file.string()}), 1);
    EXPECT_EQ(err.str().rfind("memro-cli: " + (dir / "bad.ics").string() + " " + message, 0), 0u)
        << err.str();
    EXPECT_NE(err.str().find("is left as it was"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(file), before);
    EXPECT_EQ(Run({"import", (dir / "bad.ics").string(), (dir / "new.mmo").string()}), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "new.mmo"));
  }
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(CliTest, ImportReadsAFileThatIsNotUtf8AsWindows1252) {
  const auto file = dir / "events.mmo";
  // Latin-1 bytes, and a title that would colour the terminal red.
  WriteFileBytes(
      dir / "latin1.ics",
      CalendarOf({"UID:a\r\nSUMMARY:Event Tv\xE5 \x80\r\nDTSTART;VALUE=DATE:20270105\r\n",
                  "UID:b\r\nSUMMARY:\x1B[31mR\xF6"
                  "d\x9B\x81\r\nDTSTART;VALUE=DATE:20270105\r\n"
                  "RRULE:FREQ=YEARLY;BYMONTH=1,7\r\n",
                  "UID:c\r\nSUMMARY:Far\r\nDTSTART;TZID=\x1B]2x\x07:20270105T100000\r\n"}));
  ASSERT_EQ(Run({"import", (dir / "latin1.ics").string(), file.string()}), 0) << err.str();
  const auto events = ReadEvents(file);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(std::string(TrimTrailingBlanksView(events[0].message)), "Event Tv\xE5 \x80");
  EXPECT_EQ(err.str(), "memro-cli: warning: " + (dir / "latin1.ics").string() +
                           " is not UTF-8 text; it was read as Windows-1252: check the accented "
                           "letters of the imported events\n"
                           "memro-cli: skipped \"?[31mR\xC3\xB6"
                           "d\xE2\x80\xBA?\": it repeats on other days "
                           "than every year from its start (BYMONTH=1,7)\n"
                           "memro-cli: warning: \"Far\": its time zone ?]2x? is not known; its "
                           "time was taken as written\n"
                           "memro-cli: imported 2 events, skipped 1\n");
}

}  // namespace
}  // namespace memro::testing

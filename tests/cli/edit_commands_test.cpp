#include "cli_fixture.h"
#include "data/event_record.h"
#include "data/fixed_texts.h"
#include "data/text_util.h"
#include "support/event_files.h"

namespace memro::testing {
namespace {

TEST_F(CliTest, AddCreatesTheFileAndDumpShowsEveryField) {
  const auto file = (dir / "new.mmo").string();
  ASSERT_EQ(Run({"add", file, "--date", "Jan 5, 1999", "--message", "Dentist\nroom 4"}), 0)
      << err.str();
  ASSERT_EQ(Run({"add", file, "--date", "1999-01-06", "--message", "Café ½", "--frequency",
                 "weekly", "--warn", "-3", "--disabled", "--no-backdated", "--clean-up"}),
            0);
  // A work file that a killed run left goes first; "--" ends the options.
  WriteFileBytes(dir / "temp" / "~mrKILLED.tmp", "left over");
  ASSERT_EQ(Run({"dump", "--", file}), 0) << err.str();
  EXPECT_TRUE(TempIsEmpty());
  EXPECT_EQ(out.str(),
            "{\"record\":2,\"date\":\"Jan051999\",\"message\":\"Dentist\\r\\nroom 4\","
            "\"warn_days\":7,\"frequency\":\"yearly\",\"enabled\":true,\"backdated\":true,"
            "\"clean_up\":false}\n"
            "{\"record\":3,\"date\":\"Jan061999\",\"message\":\"Café ½\",\"warn_days\":-3,"
            "\"frequency\":\"weekly\",\"enabled\":false,\"backdated\":false,\"clean_up\":true}\n");
  const std::string bytes = ReadFileBytes(file);
  ASSERT_EQ(bytes.size(), 3 * kRecordSize);
  EXPECT_EQ(bytes.substr(0, kRecordSize), HeaderRecord().ToBytes());
  EXPECT_EQ(bytes.substr(2 * kRecordSize + 9, 6), "Caf\xE9 \xBD");  // stored in Windows-1252
}

TEST_F(CliTest, AddRefusesWhatItCannotReadAndLeavesTheFile) {
  const auto file = (dir / "e.mmo").string();
  WriteEventFile(file, {Event("Dec082026", "x", kOnce)});
  const std::string before = ReadFileBytes(file);
  EXPECT_EQ(Run({"add", file, "--date", "Feb 29, 2026", "--message", "m"}), 2);
  EXPECT_NE(err.str().find("cannot read the date"), std::string::npos);
  EXPECT_EQ(Run({"add", file, "--date", "Feb 28, 2026", "--message", "m", "--frequency", "hourly"}),
            2);
  EXPECT_EQ(Run({"add", file, "--date", "Feb 28, 2026", "--message", "m", "--warn", "40000"}), 2);
  EXPECT_EQ(Run({"add", file, "--date", "Feb 28, 2026", "--message", std::string(1001, 'x')}), 2);
  EXPECT_EQ(Run({"add", file, "--message", "m"}), 2);
  EXPECT_EQ(ReadFileBytes(file), before);

  WriteFileBytes(dir / "notes.txt", "not an event file\n");
  EXPECT_EQ(Run({"add", (dir / "notes.txt").string(), "--date", "Jan 1 2027", "--message", "m"}),
            1);
  EXPECT_EQ(ReadFileBytes(dir / "notes.txt"), "not an event file\n");
}

TEST_F(CliTest, AddStoresCharactersOutsideTheCodePageAsQuestionMarksWithAWarning) {
  const auto file = (dir / "e.mmo").string();
  ASSERT_EQ(Run({"add", file, "--date", "Jan 1 2027", "--message", "Meet 山 at Ω-station"}), 0);
  EXPECT_NE(err.str().find("warning"), std::string::npos);
  EXPECT_EQ(ReadEvents(file)[0].message.substr(0, 18), "Meet ? at ?-statio");
}

TEST_F(CliTest, ConvertTurnsAnOldFormatFileIntoACurrentOne) {
  const auto old = dir / "old.mmo";
  WriteFileBytes(old, OldHeaderBytes() +
                          OldRecordBytes("Dec081960", "John's birthday", 5, 3, -1, 0) +
                          OldRecordBytes("Jan022027", "Dentist", 2, 4, -1, 0));
  const auto converted = (dir / "new.mmo").string();
  ASSERT_EQ(Run({"convert", old.string(), converted}), 0) << err.str();
  EXPECT_NE(err.str().find("2.01 or 3.0 format."), std::string::npos);
  const auto events = ReadEvents(converted);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].date, "Jan022027");
  EXPECT_EQ(events[1].warnDays, 2);
  EXPECT_EQ(events[1].frequency, kYearly);  // the second number is not a frequency
  EXPECT_EQ(events[1].cleanUp, 0);
  EXPECT_EQ(ReadFileBytes(converted).substr(0, kRecordSize), HeaderRecord().ToBytes());

  // The result scans in the main window; the old file does not.
  EXPECT_EQ(Run({"report", converted, "--today", "2026-12-08", "--dry-run"}), 0);
  EXPECT_EQ(Run({"report", old.string(), "--today", "2026-12-08"}), 1);
}

TEST_F(CliTest, ConvertReadsTheOlderProductsTextFormat) {
  const auto text = dir / "people.bnk";
  WriteFileBytes(text,
                 "Smith\xF8\r\nJohn\r\n555-0100\r\nDec 08, 1960\r\n12 Main Street\r\n\r\n"
                 "Springfield\r\n\xD8\r\nlikes jazz\r\n\xD8\r\n");
  const auto converted = (dir / "people.mmo").string();
  ASSERT_EQ(Run({"convert", text.string(), converted}), 0) << err.str();
  ASSERT_EQ(Run({"dump", converted}), 0);
  EXPECT_EQ(
      out.str(),
      "{\"record\":2,\"date\":\"Dec081960\",\"message\":\"Smith, John's birthday.\\r\\n"
      "\\r\\nPhone #: 555-0100\\r\\n\\r\\nAddress:\\r\\n12 Main Street\\r\\nSpringfield"
      "\\r\\n\\r\\n\\r\\nMisc:\\r\\nlikes jazz\\r\\n\",\"warn_days\":7,\"frequency\":\"yearly\","
      "\"enabled\":true,\"backdated\":true,\"clean_up\":false}\n");
}

TEST_F(CliTest, ConvertNeverOverwritesAndFailsCleanly) {
  WriteEventFile(dir / "a.mmo", {});
  WriteFileBytes(dir / "b.mmo", "precious");
  EXPECT_EQ(Run({"convert", (dir / "a.mmo").string(), (dir / "b.mmo").string()}), 1);
  EXPECT_EQ(ReadFileBytes(dir / "b.mmo"), "precious");
  EXPECT_EQ(Run({"convert", (dir / "missing").string(), (dir / "c.mmo").string()}), 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "c.mmo"));
  EXPECT_EQ(Run({"convert", (dir / "a.mmo").string()}), 2);
  EXPECT_EQ(Run({"dump", (dir / "missing").string()}), 1);
  EXPECT_TRUE(TempIsEmpty());
}

}  // namespace
}  // namespace memro::testing

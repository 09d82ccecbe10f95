// report --output and export never write over a file that holds events, whatever its
// name; a file without events is an ordinary target.
#include <sys/stat.h>

#include "cli_fixture.h"
#include "data/holds_events.h"
#include "support/event_files.h"

namespace memro::testing {
namespace {

struct Target {
  std::string name;
  std::string bytes;
  bool holdsEvents;
};

std::vector<Target> Targets() {
  return {
      {"current.txt", EventFileBytes({MakeEvent("Dec082026", "one")}), true},
      {"old.txt", OldHeaderBytes() + OldRecordBytes("Feb141999", "valentine", 3, 0, 1, 0), true},
      {"cards.ics",
       TextLines({"Smith", "John", "555-0100", "Dec 08, 1960", "12 Main Street", "\xD8",
                  "likes jazz", "\xD8"}),
       true},
      {"empty.mmo", "", false},
      {"header.mmo", EventFileBytes({}), false},
      {"notes.mmo", "just some text\nmore text\n", false},
  };
}

TEST_F(CliTest, ReportAndExportRefuseTargetsThatHoldEvents) {
  const auto file = dir / "events.mmo";
  WriteEventFile(file, {MakeEvent("Dec082026", "due")});
  for (const bool report : {true, false}) {
    for (const Target& t : Targets()) {
      const std::string target = (dir / t.name).string();
      SCOPED_TRACE((report ? "report over " : "export over ") + t.name);
      WriteFileBytes(target, t.bytes);
      const int status =
          report ? Run({"report", file.string(), "--today", "2026-12-08", "--output", target})
                 : Run({"export", file.string(), target});
      if (!t.holdsEvents) {
        EXPECT_EQ(status, 0) << err.str();
        EXPECT_NE(ReadFileBytes(target), t.bytes);
        continue;
      }
      EXPECT_EQ(status, 1);
      EXPECT_EQ(err.str(), report ? "memro-cli: the report would replace the events in " + target +
                                        "; choose another --output.\n"
                                  : "memro-cli: the calendar would replace the events in " +
                                        target + "; choose another name for the calendar.\n");
      EXPECT_EQ(ReadFileBytes(target), t.bytes);
    }
  }
  // Never waited on: nobody writes into this pipe.
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(FileHoldsEvents(dir / "pipe"));
}

}  // namespace
}  // namespace memro::testing

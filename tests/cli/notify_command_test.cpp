// notify's answers that need no bus; what it sends, a missing file and the AutoLoad file
// are checked against a notification server on a private bus (notify_check.sh).
#include "cli_fixture.h"
#include "support/event_files.h"

namespace memro::testing {
namespace {

using NotifyCommand = CliTest;

TEST_F(NotifyCommand, RefusesWrongUsageLikeReport) {
  EXPECT_EQ(Run({"notify", "a.mmo", "b.mmo"}), cli::kExitUsage);
  EXPECT_NE(err.str().find("at most one FILE"), std::string::npos);
  EXPECT_EQ(Run({"notify", "a.mmo", "--today", "12/9/2026"}), cli::kExitUsage);
  EXPECT_NE(err.str().find("--today wants a date as YYYY-MM-DD"), std::string::npos);
  EXPECT_EQ(Run({"notify", "a.mmo", "--range", "week"}), cli::kExitUsage);
  // Nothing to delete, nothing to write: report's other options are no options here.
  EXPECT_EQ(Run({"notify", "a.mmo", "--dry-run"}), cli::kExitUsage);
  EXPECT_EQ(Run({"notify", "a.mmo", "--clean-up", "delete"}), cli::kExitUsage);
}

TEST_F(NotifyCommand, NothingDueIsDoneQuietlyAndLeavesTheFileAsItWas) {
  const auto file = dir / "events.mmo";
  WriteEventFile(file, {Event("Mar012027", "Not yet", kOnce, 7, 0, 1)});
  const auto before = ReadEvents(file);
  EXPECT_EQ(Run({"notify", file.string(), "--today", "2026-12-09"}), cli::kExitOk);
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(ReadEvents(file), before);
  EXPECT_TRUE(TempIsEmpty());
}

}  // namespace
}  // namespace memro::testing

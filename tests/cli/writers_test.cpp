// Writers of one event file that meet, a report asked to replace its own event file,
// and files the user may not write, as the tool meets them.
#include <set>

#include "cli_fixture.h"
#include "data/lock_holder.h"
#include "data/text_util.h"
#include "support/event_files.h"

namespace memro::testing {
namespace {

class WritersTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    WriteEventFile(
        file, {Event("Mar141985", "Anna", kYearly), Event("Dec082026", "bins", kOnce, 0, 0, 1)});
    before = ReadFileBytes(file);
  }

  std::vector<std::string> Messages() {
    std::vector<std::string> messages;
    for (const auto& e : ReadEvents(file)) messages.push_back(TrimBlanks(e.message));
    return messages;
  }

  // Everything in the file's directory but the fixture's own directories.
  std::set<std::string> Beside() {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      names.insert(entry.path().filename().string());
    }
    for (const char* own : {"home", "temp", "run"}) names.erase(own);
    return names;
  }

  std::vector<std::string> Add(const std::string& message) {
    return {"add", file.string(), "--date", "2027-01-05", "--message", message};
  }

  std::filesystem::path file = dir / "events.mmo";
  std::string before;
};

TEST_F(WritersTest, AddWaitsForTheWriterBeforeItAndAddsToWhatThatOneLeft) {
  LockHolder other(file, EventFileBytes({Event("Mar141985", "Anna", kYearly),
                                         Event("Jun011990", "from the other writer", kYearly)}));
  ASSERT_TRUE(other.held());
  {
    LetGoWhenWaitedFor letGo(other);
    EXPECT_EQ(Run(Add("added after waiting")), 0) << err.str();
    EXPECT_TRUE(letGo.waitedFor());
  }
  EXPECT_EQ(other.Finish(), 0);
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Anna", "from the other writer", "added after waiting"}));
  EXPECT_EQ(Beside(), std::set<std::string>{"events.mmo"});
}

// The one test that waits the whole ten seconds the tool gives another writer.
TEST_F(WritersTest, AddGivesUpAfterTenSecondsAndChangesNothing) {
  LockHolder other(file);
  ASSERT_TRUE(other.held());
  EXPECT_EQ(Run(Add("never added")), 1);
  EXPECT_EQ(err.str(), "memro-cli: " + file.string() +
                           " is being changed by another program. Try again when it has "
                           "finished.\n");
  EXPECT_EQ(ReadFileBytes(file), before);
  EXPECT_EQ(Beside(), std::set<std::string>{"events.mmo"});
  EXPECT_EQ(other.Finish(), 0);
}

TEST_F(WritersTest, ReportNeverReplacesItsOwnEventFile) {
  std::filesystem::create_symlink(file, dir / "link.mmo");
  std::filesystem::create_hard_link(file, dir / "hard.mmo");
  const std::vector<std::string> outputs = {file.string(), (dir / "." / "events.mmo").string(),
                                            (dir / "link.mmo").string(),
                                            (dir / "hard.mmo").string()};
  for (const auto& output : outputs) {
    EXPECT_EQ(Run({"report", file.string(), "--today", "2026-12-08", "--clean-up", "delete",
                   "--output", output}),
              1)
        << output;
    EXPECT_EQ(err.str(), "memro-cli: the report cannot be written over its own event file " +
                             file.string() + "; choose another --output.\n");
    EXPECT_EQ(ReadFileBytes(file), before) << output;
  }
  // Named through the link as well.
  EXPECT_EQ(Run({"report", (dir / "link.mmo").string(), "--output", file.string()}), 1);
  EXPECT_EQ(ReadFileBytes(file), before);
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(WritersTest, ReadOnlyFileIsReportedButNeitherCleanedUpNorAddedTo) {
  ReadOnlyGuard readOnly(file);
  if (!readOnly.active()) GTEST_SKIP() << "this process may write every file";

  EXPECT_EQ(Run({"report", file.string(), "--today", "2026-12-08", "--clean-up", "delete"}), 0);
  EXPECT_EQ(err.str(),
            "memro-cli: " + file.string() + " is read-only: nothing was deleted from it.\n");
  EXPECT_NE(out.str().find("bins"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(file), before);

  EXPECT_EQ(Run(Add("refused")), 1);
  EXPECT_EQ(err.str(), "memro-cli: Permission denied while adding to " + file.string() + "\n");
  EXPECT_EQ(ReadFileBytes(file), before);

  WriteFileBytes(dir / "old.mmo", before);
  EXPECT_EQ(Run({"convert", (dir / "old.mmo").string(), file.string()}), 1);
  EXPECT_EQ(ReadFileBytes(file), before);
  EXPECT_EQ(Beside(), (std::set<std::string>{"events.mmo", "old.mmo"}));
}

}  // namespace
}  // namespace memro::testing

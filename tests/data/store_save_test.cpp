#include "data/store_save.h"

#include <gtest/gtest.h>

#include "data/env_guard.h"
#include "data/lock_holder.h"
#include "data/replace_file.h"
#include "support/event_files.h"
#include "support/fake_platform.h"

namespace memro {
namespace {

using testing::EventFileBytes;
using testing::MakeEvent;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

class StoreSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Two events in the store beyond the count: left over from an earlier file.
    WriteFileBytes(storePath_,
                   EventFileBytes({MakeEvent("Dec082026", "one"), MakeEvent("Jan012027", "two"),
                                   MakeEvent("Feb022027", "stale")}));
    store_ = RecordFile(storePath_, kRecordSize, RecordFile::Mode::kReadWrite);
  }
  std::string Expected() const {
    return EventFileBytes({MakeEvent("Dec082026", "one"), MakeEvent("Jan012027", "two")});
  }

  testing::TempDir dir_;
  testing::RuntimeDirGuard runtime_{dir_ / "run"};
  std::filesystem::path storePath_ = dir_ / "store.tmp";
  std::filesystem::path target_ = dir_ / "events.mmo";
  RecordFile store_;
};

TEST_F(StoreSaveTest, WritesHeaderAndCountedEventsToANewFile) {
  EXPECT_EQ(SaveStore(store_, 2, target_), SaveTarget::kCreated);
  EXPECT_EQ(ReadFileBytes(target_), Expected());
  EXPECT_EQ(testing::NamesIn(dir_.path()),
            (std::vector<std::string>{"events.mmo", "run", "store.tmp"}));
}

TEST_F(StoreSaveTest, ReplacesAnOldFileWhole) {
  WriteFileBytes(target_, std::string(5 * kRecordSize + 7, 'z'));
  EXPECT_EQ(SaveStore(store_, 2, target_), SaveTarget::kReplaced);
  EXPECT_EQ(ReadFileBytes(target_), Expected());
}

TEST_F(StoreSaveTest, SavesThroughASymbolicLink) {
  const auto real = dir_ / "real.mmo";
  WriteFileBytes(real, "old");
  std::filesystem::create_symlink("real.mmo", target_);
  EXPECT_EQ(SaveStore(store_, 2, target_), SaveTarget::kReplaced);
  EXPECT_TRUE(std::filesystem::is_symlink(target_));
  EXPECT_EQ(ReadFileBytes(real), Expected());
}

TEST_F(StoreSaveTest, FailureLeavesTheOldFileAndNoCopy) {
  WriteFileBytes(target_, "old content");
  EXPECT_THROW(SaveStore(store_, 5, target_), FileError);  // the store has only 3 events
  EXPECT_EQ(ReadFileBytes(target_), "old content");
  EXPECT_EQ(testing::NamesIn(dir_.path()),
            (std::vector<std::string>{"events.mmo", "run", "store.tmp"}));
}

TEST_F(StoreSaveTest, ReadOnlyFileIsRefusedWithThePermissionText) {
  WriteFileBytes(target_, "old content");
  testing::ReadOnlyGuard readOnly(target_);
  if (!readOnly.active()) GTEST_SKIP() << "this process may write every file";
  try {
    SaveStore(store_, 2, target_);
    ADD_FAILURE() << "saved over a read-only file";
  } catch (const FileError& e) {
    EXPECT_EQ(e.description(), "Permission denied");
  }
  EXPECT_EQ(ReadFileBytes(target_), "old content");
  EXPECT_EQ(testing::NamesIn(dir_.path()),
            (std::vector<std::string>{"events.mmo", "run", "store.tmp"}));
}

// A save meets another writer as every writer does: it waits, and saves once the other
// one is done.
TEST_F(StoreSaveTest, WaitsForAnotherWriterOfTheFile) {
  WriteFileBytes(target_, "old content");
  testing::LockHolder other(target_, "the other writer's content");
  ASSERT_TRUE(other.held());
  {
    testing::LetGoWhenWaitedFor letGo(other);
    EXPECT_EQ(SaveStore(store_, 2, target_), SaveTarget::kReplaced);
    EXPECT_TRUE(letGo.waitedFor());
  }
  EXPECT_EQ(other.Finish(), 0);
  EXPECT_EQ(ReadFileBytes(target_), Expected());
}


// Run by the other-users check, which plants the link and turns on the kernel's rule.
TEST_F(StoreSaveTest, SharedLinkOfAnotherUserIsRefused) {
  const char* link = std::getenv("MEMRO_SHARED_LINK");
  if (link == nullptr) GTEST_SKIP() << "needs a link of another user in a sticky folder";
  const std::string before = ReadFileBytes(std::filesystem::canonical(link));
  try {
    SaveStore(store_, 2, link);
    ADD_FAILURE() << "saved through the link";
  } catch (const FileError& e) {
    EXPECT_EQ(e.description(),
              "Refused to follow a symbolic link that another user made in a shared folder");
  }
  EXPECT_EQ(ReadFileBytes(std::filesystem::canonical(link)), before);
}
}  // namespace
}  // namespace memro

#include "data/work_file.h"

#include <gtest/gtest.h>

#include "data/env_guard.h"
#include "data/event_record.h"
#include "data/replace_file.h"
#include "support/fake_platform.h"

namespace memro {
namespace {

using testing::FakePlatform;
using testing::ReadFileBytes;
using testing::RuntimeDirGuard;
using testing::TempDir;
using testing::WriteFileBytes;

TEST(CreateWorkFile, StoreHoldsOnlyItsHeaderAndGoesAwayWithTheObject) {
  TempDir dir;
  FakePlatform platform(dir.path());
  auto store = CreateWorkFile(platform, false);
  ASSERT_TRUE(store);
  const auto path = store->path();
  EXPECT_EQ(path.parent_path(), platform.tempDir);
  EXPECT_EQ(path.filename().string().substr(0, 3), "~mr");
  EXPECT_EQ(ReadFileBytes(path), HeaderRecord().ToBytes());
  EXPECT_EQ(platform.busyDepth, 0);
  EXPECT_GE(platform.maxBusyDepth, 1);
  store.reset();
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(CreateWorkFile, DueListStartsEmptyAndEachCallGetsItsOwnName) {
  TempDir dir;
  FakePlatform platform(dir.path());
  auto first = CreateWorkFile(platform, true);
  auto second = CreateWorkFile(platform, true);
  ASSERT_TRUE(first && second);
  EXPECT_NE(first->path(), second->path());
  EXPECT_EQ(std::filesystem::file_size(first->path()), 0u);
  EXPECT_EQ(first->file().record_size(), kDueEntrySize);
}

TEST(CreateWorkFile, UnusableTempDirectoryIsToldAndGivesNoFile) {
  TempDir dir;
  FakePlatform platform(dir.path());
  platform.tempDir = dir / "not-a-directory";
  WriteFileBytes(platform.tempDir, "x");
  EXPECT_EQ(CreateWorkFile(platform, false), nullptr);
  ASSERT_EQ(platform.messages.size(), 1u);
  const auto& message = platform.messages[0];
  EXPECT_EQ(message.icon, Icon::kCritical);
  EXPECT_EQ(message.prompt, ErrorText(ENOTDIR) + "\nUnable to initialize Virtual Memory.");
  EXPECT_EQ(platform.busyDepth, 0);
}

TEST(RewriteCopyName, ReplacesTheLastCharacterUnlessThatGivesTheFileItself) {
  EXPECT_EQ(RewriteCopyName("/data/events.mmo"), "/data/events.mm~");
  EXPECT_EQ(RewriteCopyName("/data/events.mm~"), "/data/events.mm~~");
}

class ReplacementFileTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteFileBytes(target_, "old content"); }
  TempDir dir_;
  std::filesystem::path target_ = dir_ / "events.mmo";
  std::filesystem::path copy_ = RewriteCopyName(target_);
  RuntimeDirGuard runtime_{dir_ / "run"};
  WriterLock lock_{target_};
};

TEST_F(ReplacementFileTest, CommitPutsTheNewContentInPlace) {
  {
    ReplacementFile replacement(lock_, target_, copy_, 4);
    replacement.file().Write(1, "new!");
    replacement.Commit();
  }
  EXPECT_EQ(ReadFileBytes(target_), "new!");
  EXPECT_FALSE(std::filesystem::exists(copy_));
}

TEST_F(ReplacementFileTest, AbandonedReplacementLeavesTheFileAndRemovesTheCopy) {
  {
    ReplacementFile replacement(lock_, target_, copy_, 4);
    replacement.file().Write(1, "new!");
    EXPECT_TRUE(std::filesystem::exists(copy_));
  }
  EXPECT_EQ(ReadFileBytes(target_), "old content");
  EXPECT_FALSE(std::filesystem::exists(copy_));
}

}  // namespace
}  // namespace memro

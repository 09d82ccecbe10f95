#include "data/work_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>

#include "data/env_guard.h"
#include "data/event_record.h"
#include "data/file_attributes.h"
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

// A work file in use stays; one that nobody holds is left over from a killed run and goes.
// Only names of the work-file form, and only plain files, are taken.
TEST(RemoveAbandonedWorkFiles, RemovesOnlyWorkFilesThatNobodyHolds) {
  TempDir dir;
  FakePlatform platform(dir.path());
  const auto& temp = platform.tempDir;
  auto held = CreateWorkFile(platform, false);
  ASSERT_TRUE(held);
  const auto left = temp / "~mrAbC123.tmp";
  WriteFileBytes(left, "left over");
  const std::vector<std::filesystem::path> others{temp / "~mrnotes.txt", temp / "~mrAB.tmp",
                                                  temp / "report.tmp", temp / "~mrAbC123.tmp~"};
  for (const auto& other : others) WriteFileBytes(other, "the user's");
  std::filesystem::create_symlink(dir / "target", temp / "~mrLINK01.tmp");
  WriteFileBytes(dir / "target", "linked");
  std::filesystem::create_directory(temp / "~mrDIR001.tmp");

  EXPECT_EQ(RemoveAbandonedWorkFiles(temp), 1);
  EXPECT_FALSE(std::filesystem::exists(left));
  EXPECT_EQ(ReadFileBytes(held->path()), HeaderRecord().ToBytes());
  for (const auto& other : others) EXPECT_TRUE(std::filesystem::exists(other)) << other;
  EXPECT_TRUE(std::filesystem::is_symlink(temp / "~mrLINK01.tmp"));
  EXPECT_EQ(ReadFileBytes(dir / "target"), "linked");
  EXPECT_TRUE(std::filesystem::is_directory(temp / "~mrDIR001.tmp"));

  const auto path = held->path();
  held.reset();
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(RemoveAbandonedWorkFiles(dir / "missing"), 0);
}

// Another copy's work file stays while that copy runs, and goes once it was killed.
TEST(RemoveAbandonedWorkFiles, KeepsTheFileOfAnotherRunningProcess) {
  TempDir dir;
  FakePlatform platform(dir.path());
  std::array<int, 2> report{};
  ASSERT_EQ(::pipe(report.data()), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(report[0]);
    auto work = CreateWorkFile(platform, true);
    const std::string path = work ? work->path().string() : "";
    if (::write(report[1], path.data(), path.size()) < 0) ::_exit(1);
    ::close(report[1]);
    for (;;) ::pause();
  }
  ::close(report[1]);
  const auto kill = [child] {
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
  };
  std::string path;
  std::array<char, 256> chunk{};
  for (ssize_t n; (n = ::read(report[0], chunk.data(), chunk.size())) > 0;)
    path.append(chunk.data(), n);
  ::close(report[0]);
  if (path.empty()) {
    kill();
    FAIL() << "the child made no work file";
  }

  EXPECT_EQ(RemoveAbandonedWorkFiles(platform.tempDir), 0);
  EXPECT_TRUE(std::filesystem::exists(path));
  kill();
  EXPECT_TRUE(std::filesystem::exists(path));  // a killed run removes nothing itself
  EXPECT_EQ(RemoveAbandonedWorkFiles(platform.tempDir), 1);
  EXPECT_FALSE(std::filesystem::exists(path));
}

class ReplacementFileTest : public ::testing::Test {
 protected:
  TempDir dir_;
  std::filesystem::path target_ = (WriteFileBytes(dir_ / "events.mmo", "old content"),
                                   dir_ / "events.mmo");
  RuntimeDirGuard runtime_{dir_ / "run"};
  WriterLock lock_{target_};
};

TEST_F(ReplacementFileTest, CommitPutsTheNewContentInPlace) {
  {
    ReplacementFile replacement(lock_, 4);
    replacement.file().Write(1, "new!");
    replacement.Commit();
  }
  EXPECT_EQ(ReadFileBytes(target_), "new!");
  EXPECT_EQ(testing::NamesIn(dir_.path()), (std::vector<std::string>{"events.mmo", "run"}));
}

TEST_F(ReplacementFileTest, AbandonedReplacementLeavesTheFileAndRemovesTheCopy) {
  {
    ReplacementFile replacement(lock_, 4);
    replacement.file().Write(1, "new!");
  }
  EXPECT_EQ(ReadFileBytes(target_), "old content");
  EXPECT_EQ(testing::NamesIn(dir_.path()), (std::vector<std::string>{"events.mmo", "run"}));
}


// Only a copy marked as this file's own is taken for a left-over one.
TEST_F(ReplacementFileTest, OnlyAMarkedCopyOfThisFileIsRemovedAsLeftOver) {
  WriteFileBytes(dir_ / "events.mm~", "the user's own");
  WriteFileBytes(dir_ / ".events.mmo.memro-new", "also the user's");
  const auto left = dir_ / ".events.mmo.memro-new-1";
  WriteFileBytes(left, "a stopped writer's copy");
  const int fd = ::open(left.c_str(), O_RDONLY);
  Mark(fd, kCopyMark, "events.mmo");
  const bool marked = HasMark(fd, kCopyMark, "events.mmo");
  ::close(fd);
  if (!marked) GTEST_SKIP() << "the file system keeps no extended attributes";
  {
    ReplacementFile replacement(lock_, 4);
    replacement.Commit();
  }
  EXPECT_EQ(ReadFileBytes(dir_ / "events.mm~"), "the user's own");
  EXPECT_EQ(ReadFileBytes(dir_ / ".events.mmo.memro-new"), "also the user's");
  EXPECT_FALSE(std::filesystem::exists(left));
}
}  // namespace
}  // namespace memro

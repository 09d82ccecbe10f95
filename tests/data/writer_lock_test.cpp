#include "data/writer_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/env_guard.h"
#include "data/lock_holder.h"
#include "data/replace_file.h"
#include "support/event_files.h"
#include "support/fake_platform.h"

namespace memro::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class WriterLockTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteFileBytes(file, "old content"); }

  std::vector<std::string> Beside() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir / "data")) {
      names.push_back(e.path().filename().string());
    }
    return names;
  }

  TempDir dir;
  RuntimeDirGuard runtime{dir / "run"};
  fs::path file = (fs::create_directories(dir / "data"), dir / "data" / "events.mmo");
};

// The lock is the file's own: any name of it, in any environment, meets the same lock,
// and nothing of it lies anywhere.
TEST_F(WriterLockTest, EveryNameAndEnvironmentMeetsOneLockThatLeavesNothing) {
  fs::create_symlink(file, dir / "link.mmo");
  fs::create_directories(dir / "tmp");
  const WriterLock lock(dir / "link.mmo");
  EXPECT_EQ(lock.target().realPath(), file);
  const EnvGuard noRuntime("XDG_RUNTIME_DIR", std::nullopt);
  const EnvGuard tmp("TMPDIR", (dir / "tmp").string());
  EXPECT_THROW(WriterLock(dir / "data" / ".." / "data" / "events.mmo", 0ms), FileBusyError);
  EXPECT_EQ(NamesIn(dir / "data"), std::vector<std::string>{"events.mmo"});
  EXPECT_TRUE(fs::is_empty(dir / "tmp"));
  EXPECT_TRUE(fs::is_empty(dir / "run"));
}

TEST_F(WriterLockTest, SecondWriterWaitsForTheFirstInAnotherProgram) {
  LockHolder other(file, "the other writer's content");
  ASSERT_TRUE(other.held());
  {
    LetGoWhenWaitedFor letGo(other);
    const WriterLock lock(file);
    EXPECT_TRUE(letGo.waitedFor());
    EXPECT_EQ(ReadFileBytes(file), "the other writer's content");
  }
  EXPECT_EQ(other.Finish(), 0);
}

TEST_F(WriterLockTest, GivesUpAfterItsWaitNamingTheFile) {
  LockHolder other(file);
  ASSERT_TRUE(other.held());
  fs::create_symlink(file, dir / "link.mmo");
  try {
    const WriterLock lock(dir / "link.mmo", 20ms);
    ADD_FAILURE() << "two writers held the lock";
  } catch (const FileBusyError& e) {
    EXPECT_EQ(e.message(), (dir / "link.mmo").string() +
                               " is being changed by another program. Try again when it has "
                               "finished.");
  }
  EXPECT_EQ(ReadFileBytes(file), "old content");
  EXPECT_EQ(other.Finish(), 0);
  const WriterLock free(file, 0ms);
}

// In one program too, a second lock on the file waits for the first, also after the
// first one's rename replaced the file.
TEST_F(WriterLockTest, LockOutlivesTheRenameOfItsFile) {
  {
    const WriterLock lock(file);
    ReplacementFile copy(lock, 1);
    copy.file().WriteAt(0, "new content");
    copy.Commit();
    EXPECT_THROW(WriterLock(file, 0ms), FileBusyError);
  }
  const WriterLock again(file, 0ms);
  EXPECT_EQ(ReadFileBytes(file), "new content");
}

}  // namespace
}  // namespace memro::testing

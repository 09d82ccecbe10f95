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

TEST_F(WriterLockTest, LockFileLivesInTheRuntimeDirectoryNamedFromTheRealPath) {
  const fs::path lockFile = WriterLockFile(file);
  EXPECT_EQ(lockFile.parent_path(), dir / "run" / "memro");
  EXPECT_EQ(fs::status(dir / "run" / "memro").permissions(), fs::perms::owner_all);
  fs::create_symlink(file, dir / "link.mmo");
  fs::create_symlink("missing.mmo", dir / "data" / "dangling.mmo");
  EXPECT_EQ(WriterLockFile(dir / "link.mmo"), lockFile);
  EXPECT_EQ(WriterLockFile(dir / "data" / ".." / "data" / "events.mmo"), lockFile);
  EXPECT_EQ(WriterLockFile(dir / "data" / "dangling.mmo"),
            WriterLockFile(dir / "data" / "missing.mmo"));
  EXPECT_NE(WriterLockFile(dir / "data" / "other.mmo"), lockFile);
  fs::remove(dir / "data" / "dangling.mmo");

  {
    const WriterLock lock(dir / "link.mmo");
    EXPECT_EQ(lock.file(), file);
    EXPECT_TRUE(fs::exists(lockFile));
    EXPECT_EQ(Beside(), std::vector<std::string>{"events.mmo"});
  }
  EXPECT_FALSE(fs::exists(lockFile));  // nothing stays behind
}

TEST_F(WriterLockTest, WithoutARuntimeDirectoryTheLockIsInTempNamedForTheUser) {
  fs::create_directories(dir / "tmp");
  const EnvGuard tmp("TMPDIR", (dir / "tmp").string());
  const std::string user = "memro-" + std::to_string(::getuid()) + "-";
  for (const auto& runtime : std::vector<std::optional<std::string>>{
           std::nullopt, "", (dir / "data" / "events.mmo").string()}) {
    const EnvGuard xdg("XDG_RUNTIME_DIR", runtime);
    const fs::path lockFile = WriterLockFile(file);
    EXPECT_EQ(lockFile.parent_path(), dir / "tmp");
    EXPECT_EQ(lockFile.filename().string().substr(0, user.size()), user);
  }
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
    ReplacementFile copy(lock, file, RewriteCopyName(file), 1);
    copy.file().WriteAt(0, "new content");
    copy.Commit();
    EXPECT_THROW(WriterLock(file, 0ms), FileBusyError);
  }
  const WriterLock again(file, 0ms);
  EXPECT_EQ(ReadFileBytes(file), "new content");
}

TEST_F(WriterLockTest, ReplacementNeedsTheLockOfItsOwnTarget) {
  const WriterLock otherLock(dir / "data" / "other.mmo");
  try {
    ReplacementFile copy(otherLock, file, RewriteCopyName(file), 1);
    ADD_FAILURE() << "replaced without the file's lock";
  } catch (const FileError& e) {
    EXPECT_EQ(e.code(), ENOLCK);
  }
  EXPECT_EQ(Beside(), std::vector<std::string>{"events.mmo"});
}

}  // namespace
}  // namespace memro::testing

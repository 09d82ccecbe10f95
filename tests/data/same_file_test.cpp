#include "data/same_file.h"

#include <gtest/gtest.h>

#include "support/event_files.h"
#include "support/fake_platform.h"

namespace memro::testing {
namespace {

namespace fs = std::filesystem;

TEST(SameFile, OneFileByAnyNameLinkOrInode) {
  TempDir dir;
  const fs::path file = dir / "events.mmo";
  WriteFileBytes(file, "events");
  WriteFileBytes(dir / "other.mmo", "events");
  fs::create_directories(dir / "sub");
  fs::create_symlink(file, dir / "link.mmo");
  fs::create_symlink("../link.mmo", dir / "sub" / "chain.mmo");
  fs::create_hard_link(file, dir / "hard.mmo");
  fs::create_directory_symlink(dir.path(), dir / "sub" / "up");

  for (const fs::path& same :
       {file, dir / "sub" / ".." / "events.mmo", dir / "link.mmo", dir / "sub" / "chain.mmo",
        dir / "hard.mmo", dir / "sub" / "up" / "events.mmo"}) {
    EXPECT_TRUE(SameFile(file, same)) << same;
    EXPECT_TRUE(SameFile(same, file)) << same;
  }
  EXPECT_FALSE(SameFile(file, dir / "other.mmo"));  // the same bytes are not the same file
  EXPECT_FALSE(SameFile(file, dir / "missing.mmo"));

  // A name that is not there yet: the same only as itself or through a link.
  fs::create_symlink("missing.mmo", dir / "dangling.mmo");
  EXPECT_TRUE(SameFile(dir / "missing.mmo", dir / "sub" / ".." / "missing.mmo"));
  EXPECT_TRUE(SameFile(dir / "dangling.mmo", dir / "missing.mmo"));
  EXPECT_FALSE(SameFile(dir / "missing.mmo", dir / "also-missing.mmo"));
}

TEST(SameFile, RelativeNamesAreTakenFromTheWorkingDirectory) {
  TempDir dir;
  WriteFileBytes(dir / "events.mmo", "events");
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  EXPECT_TRUE(SameFile("events.mmo", dir / "events.mmo"));
  EXPECT_TRUE(SameFile("./events.mmo", "events.mmo"));
  EXPECT_FALSE(SameFile("events.mmo", "events.mm~"));
  fs::current_path(before);
}

}  // namespace
}  // namespace memro::testing

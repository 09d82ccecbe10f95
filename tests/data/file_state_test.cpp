#include "data/file_state.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "data/replace_file.h"
#include "support/fake_platform.h"

namespace memro {
namespace {

using testing::TempDir;
using testing::WriteFileBytes;

TEST(FileState, ChangesWithTheContentAndWithARenameOverTheFile) {
  TempDir dir;
  const auto file = dir / "f.mmo";
  EXPECT_FALSE(FileStateOf(file));
  WriteFileBytes(file, "one");
  const auto first = FileStateOf(file);
  ASSERT_TRUE(first);
  EXPECT_EQ(FileStateOf(file), first);

  WriteFileBytes(file, "one more");
  EXPECT_NE(FileStateOf(file), first);

  // Same size and content, another file under the name.
  const auto second = FileStateOf(file);
  WriteFileBytes(dir / "copy", "one more");
  std::filesystem::rename(dir / "copy", file);
  EXPECT_NE(FileStateOf(file)->inode, second->inode);
}

TEST(FileState, PermissionsWithoutAnyReadOrWriteBit) {
  TempDir dir;
  const auto file = dir / "f.mmo";
  EXPECT_EQ(ReadDenied(file), ENOENT);
  EXPECT_EQ(WriteRefusal(file), 0);  // a new file may be made
  WriteFileBytes(file, "x");
  EXPECT_EQ(ReadDenied(file), 0);
  EXPECT_EQ(WriteRefusal(file), 0);
  ::chmod(file.c_str(), 0444);
  EXPECT_EQ(WriteRefusal(file), EACCES);
  EXPECT_EQ(ReadDenied(file), 0);
  ::chmod(file.c_str(), 0200);
  EXPECT_EQ(ReadDenied(file), EACCES);
  EXPECT_EQ(WriteRefusal(file), 0);
  ::chmod(file.c_str(), 0644);
}

}  // namespace
}  // namespace memro

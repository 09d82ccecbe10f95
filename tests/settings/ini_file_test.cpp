#include "settings/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "support/fake_platform.h"

namespace memro {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

TEST(IniFileRead, AbsentWhenFileSectionKeyOrValueIsMissing) {
  const IniFile ini = IniFile::Parse("[Options]\nAutoLoad=\nSound =   \nFontName=Arial\n");
  EXPECT_EQ(ini.Get("Options", "AutoLoad"), std::nullopt);
  EXPECT_EQ(ini.Get("Options", "Sound"), std::nullopt);
  EXPECT_EQ(ini.Get("Options", "Missing"), std::nullopt);
  EXPECT_EQ(ini.Get("Setup", "FontName"), std::nullopt);

  TempDir dir;
  EXPECT_EQ(ReadIniValue(dir / "none.ini", "Options", "FontName"), std::nullopt);
}

TEST(IniFileRead, NamesIgnoreCaseAndValuesLoseOnlySpaces) {
  const IniFile ini = IniFile::Parse(
      "\xEF\xBB\xBF[main]\r\n"
      "  left  =  120  \r\n"
      "Tabbed=\tx\t\r\n"
      "[Setup]\n"
      "; TimeOut=9\n"
      "TimeOut=5\n");
  EXPECT_EQ(ini.Get("Main", "Left"), "120");
  EXPECT_EQ(ini.Get("MAIN", "LEFT"), "120");
  EXPECT_EQ(ini.Get("main", "tabbed"), "\tx\t");
  EXPECT_EQ(ini.Get("Setup", "TimeOut"), "5");
  EXPECT_EQ(ini.Get("Main", "TimeOut"), std::nullopt);
}

TEST(IniFileRead, ValueIsCutAtNulAndAfter254Characters) {
  const std::string longValue = std::string(253, 'a') + "bcdef";
  const std::string umlauts = std::string(253, 'u') + "\xC3\xBC\xC3\xBC";
  const std::string cutBeforeBlank = std::string(253, 'c') + " tail";
  const IniFile ini = IniFile::Parse(
      "[S]\nLong=" + longValue + "\nUtf8=" + umlauts + "\nBlank=" + cutBeforeBlank + "\nNul=ab " +
      std::string(1, '\0') + "cd\nOnlyNul=" + std::string(1, '\0') + "x\n");
  EXPECT_EQ(ini.Get("S", "Long"), std::string(253, 'a') + "b");
  // Characters are counted, not bytes: the first umlaut fits, the second does not.
  EXPECT_EQ(ini.Get("S", "Utf8"), std::string(253, 'u') + "\xC3\xBC");
  EXPECT_EQ(ini.Get("S", "Blank"), std::string(253, 'c'));
  EXPECT_EQ(ini.Get("S", "Nul"), "ab");
  EXPECT_EQ(ini.Get("S", "OnlyNul"), std::nullopt);
}

// Found by fuzzing: bytes that continue no character were not counted at all, so a
// value of them passed uncut, however long.
TEST(IniFileRead, StrayContinuationBytesCountAsCharacters) {
  const IniFile ini = IniFile::Parse("[S]\nStray=x" + std::string(400, '\xB7') + "\nAfterUmlaut=" +
                                     std::string(2, '\xC3') + std::string(300, '\xBC') + "\n");
  EXPECT_EQ(ini.Get("S", "Stray"), std::string("x").append(253, '\xB7'));
  // One continuation byte belongs to each lead byte; the rest stand alone.
  EXPECT_EQ(ini.Get("S", "AfterUmlaut"), "\xC3\xC3" + std::string(253, '\xBC'));
}

TEST(IniFileWrite, ReplacesInPlaceAndKeepsEveryOtherLine) {
  IniFile ini = IniFile::Parse(
      "; my settings\n"
      "[MAIN]\n"
      "Unknown = keep me\n"
      "left = 100\n"
      "\n"
      "# odd line without equals\n"
      "[Options]\n"
      "FontName=Arial\n");
  ASSERT_TRUE(ini.Set("Main", "Left", "250"));
  ASSERT_TRUE(ini.Set("Main", "Top", "-3"));
  ASSERT_TRUE(ini.Set("Editor", "Left", "7"));
  EXPECT_EQ(ini.Text(),
            "; my settings\r\n"
            "[MAIN]\r\n"
            "Unknown = keep me\r\n"
            "left = 250\r\n"
            "Top=-3\r\n"
            "\r\n"
            "# odd line without equals\r\n"
            "[Options]\r\n"
            "FontName=Arial\r\n"
            "\r\n"
            "[Editor]\r\n"
            "Left=7\r\n");
}

TEST(IniFileWrite, RefusesWhatCouldNotBeReadBackAsWritten) {
  IniFile ini = IniFile::Parse("[Main]\nPrevFile1=old\n");
  const std::string before = ini.Text();
  EXPECT_FALSE(ini.Set("Main", "PrevFile1", "/tmp/a\nInjected=1"));
  EXPECT_FALSE(ini.Set("Main", "PrevFile1", std::string("a\0b", 3)));
  EXPECT_FALSE(ini.Set("Main", "Key=x", "v"));
  EXPECT_FALSE(ini.Set("Ma]in", "Key", "v"));
  EXPECT_FALSE(ini.Set("Main", " Key", "v"));
  EXPECT_FALSE(ini.Set("Main", "", "v"));
  EXPECT_EQ(ini.Text(), before);
}

TEST(IniFileOnDisk, CreatesDirectoryAndFileAndKeepsPermissions) {
  TempDir dir;
  const auto file = dir / "new/sub/MEMRX.INI";
  ASSERT_TRUE(WriteIniValue(file, "Main", "LastFile", "/home/me/a.mmo"));
  EXPECT_EQ(ReadFileBytes(file), "[Main]\r\nLastFile=/home/me/a.mmo\r\n");

  ::chmod(file.c_str(), 0640);
  ASSERT_TRUE(WriteIniValue(file, "main", "lastfile", "b"));
  EXPECT_EQ(ReadIniValue(file, "MAIN", "LASTFILE"), "b");
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  // No copy is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file.parent_path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(IniFileOnDisk, NeverReplacesAFileItCannotReadOrMayNotWrite) {
  TempDir dir;
  const auto readOnly = dir / "ro.ini";
  WriteFileBytes(readOnly, "[Main]\nLeft=1\n");
  ::chmod(readOnly.c_str(), 0444);
  EXPECT_FALSE(WriteIniValue(readOnly, "Main", "Left", "2"));
  EXPECT_EQ(ReadFileBytes(readOnly), "[Main]\nLeft=1\n");

  // A path that cannot be read as a file must not be replaced by a new one.
  const auto directory = dir / "dir.ini";
  std::filesystem::create_directory(directory);
  EXPECT_FALSE(WriteIniValue(directory, "Main", "Left", "2"));
  EXPECT_TRUE(std::filesystem::is_directory(directory));
}

TEST(IniFileOnDisk, WritesThroughASymbolicLink) {
  TempDir dir;
  const auto real = dir / "real.ini";
  const auto link = dir / "MEMRX.INI";
  WriteFileBytes(real, "[Main]\r\nLeft=1\r\n");
  std::filesystem::create_symlink(real, link);
  ASSERT_TRUE(WriteIniValue(link, "Main", "Left", "2"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFileBytes(real), "[Main]\r\nLeft=2\r\n");
}

}  // namespace
}  // namespace memro

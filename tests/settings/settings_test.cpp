#include "settings/settings.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <future>
#include <string>

#include "settings/protection_file.h"
#include "support/fake_platform.h"

namespace memro {
namespace {

using testing::FakePlatform;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

constexpr Extent kScreen{19200, 14400};
constexpr Extent kMainWindow{6601, 3959};

class SettingsTest : public ::testing::Test {
 protected:
  std::filesystem::path File() { return SettingsFilePath(platform); }
  void WriteIni(const std::string& text) { WriteFileBytes(File(), text); }
  Settings Load() { return LoadSettings(File(), kScreen, kMainWindow); }
  void Save(const Settings& s, bool full, std::string_view password = "") {
    SaveSettings(s, full, {platform, true, password});
  }

  TempDir dir;
  FakePlatform platform{dir.path()};
};

TEST_F(SettingsTest, MissingFileGivesEveryDefault) {
  Settings expected;
  expected.mainLeft = 6300;  // 6299.5 to even
  expected.mainTop = 5220;   // 5220.5 to even
  expected.mainHeight = 3960;
  expected.mainWidth = 6600;
  expected.visible = true;
  expected.fontSize = 12;
  expected.confirmCleanUp = true;
  expected.notification = true;
  expected.defaults = RecordDefaults{};
  EXPECT_EQ(Load(), expected);
  EXPECT_EQ(expected.defaults, (RecordDefaults{0, 1, 1, 7, 0}));

  const WindowPlace editor = ReadEditorPlace(File(), kScreen, {8000, 6000});
  EXPECT_EQ(editor.left, 5600);
  EXPECT_EQ(editor.top, 4200);
}

TEST_F(SettingsTest, EmptyValueTakesTheDefaultButABadValueGivesZero) {
  WriteIni(
      "[Main]\nLeft=abc\nTop=\nHeight=99999999999\nWidth=70000\nVisible=yes\n"
      "[Editor]\nLeft=40000\n"
      "[Options]\nFontSize=\nAutoLoad=\n"
      "[Setup]\nCleanUp=x\nTimeOut=12.5\n"
      "[Defaults]\nWarn=40000\nActivate=\n");
  const Settings s = Load();
  EXPECT_EQ(s.mainLeft, 0);
  EXPECT_EQ(s.mainTop, 5220);
  EXPECT_EQ(s.mainHeight, 0);
  EXPECT_EQ(s.mainWidth, kScreen.width);  // 70000, no wider than the screen
  EXPECT_FALSE(s.visible);
  EXPECT_EQ(s.editorLeft, 0);
  EXPECT_EQ(s.fontSize, 12);
  EXPECT_EQ(s.autoLoad, "");
  EXPECT_FALSE(s.confirmCleanUp);
  EXPECT_EQ(s.timeOut, 12);
  EXPECT_EQ(s.defaults.warnDays, 0);
  EXPECT_EQ(s.defaults.enabled, 1);
  EXPECT_EQ(ReadSetting(File(), "options", "autoload", "none"), "none");
}

TEST_F(SettingsTest, AnyNonZeroFlagIsOn) {
  WriteIni("[Options]\nOnceDaily=1\nExitPopUp=-7\n[Setup]\nIdleMin=0\nSaveOnExit=0.4\n");
  const Settings s = Load();
  EXPECT_TRUE(s.onceDaily);
  EXPECT_TRUE(s.exitPopUp);
  EXPECT_FALSE(s.idleMin);
  EXPECT_FALSE(s.saveOnExit);
}

TEST_F(SettingsTest, FontSizeOutsideSevenToTwentyStaysZeroAcrossSaves) {
  for (const char* size : {"30", "5"}) {
    WriteIni(std::string("[Options]\nFontSize=") + size + "\n");
    const Settings s = Load();
    EXPECT_EQ(s.fontSize, 0) << size;
    Save(s, true);
    EXPECT_EQ(ReadSetting(File(), "Options", "FontSize", ""), "0");
    EXPECT_EQ(Load().fontSize, 0);
  }
  WriteIni("[Options]\nFontSize=7\n");
  EXPECT_EQ(Load().fontSize, 7);
  WriteIni("[Options]\nFontSize=20\n");
  EXPECT_EQ(Load().fontSize, 20);
}

TEST_F(SettingsTest, SoundFileModeNeedsAnExistingFile) {
  const auto wave = dir / "ding.wav";
  WriteFileBytes(wave, "RIFF");
  const std::string missing = (dir / "gone.wav").string();
  struct Case {
    std::string sound, file;
    std::int16_t wantSound;
    std::string wantFile;
  };
  for (const Case& c :
       {Case{"2", wave.string(), 2, wave.string()}, Case{"2", missing, 0, ""}, Case{"2", "", 0, ""},
        Case{"2", dir.path().string(), 0, ""}, Case{"1", missing, 1, missing},
        Case{"7", wave.string(), 0, wave.string()}, Case{"-1", "", 0, ""}}) {
    WriteIni("[Options]\nSound=" + c.sound + "\nSoundFile=" + c.file + "\n");
    const Settings s = Load();
    EXPECT_EQ(s.sound, c.wantSound) << c.sound << " " << c.file;
    EXPECT_EQ(s.soundFile, c.wantFile) << c.sound << " " << c.file;
  }
}

// A size the window system could not give, or would give at the cost of gigabytes.
TEST_F(SettingsTest, WindowSizeIsNeverNegativeNorLargerThanTheScreen) {
  const struct {
    const char* stored;
    Extent want;
  } kCases[] = {{"300000", kScreen},
                {"2147483647", kScreen},
                {"-5", {0, 0}},
                {"-2147483648", {0, 0}},
                {"12000", {12000, 12000}}};
  for (const auto& c : kCases) {
    WriteIni(std::string("[Main]\nWidth=") + c.stored + "\nHeight=" + c.stored + "\n");
    const Settings s = Load();
    EXPECT_EQ(s.mainWidth, c.want.width) << c.stored;
    EXPECT_EQ(s.mainHeight, c.want.height) << c.stored;
  }
}

// A pipe at either name would keep the start waiting for a writer; one is let in every few
// seconds, so that a reader that waits still ends and fails the test.
TEST_F(SettingsTest, PipesAsSettingsOrPasswordFileAreNotWaitedFor) {
  const auto lock = dir / ".memrolock";
  for (const auto& pipe : {File(), lock}) ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  auto read = std::async(std::launch::async,
                         [&] { return std::pair(Load(), ReadProtectionPassword(lock)); });
  bool waited = false;
  while (read.wait_for(std::chrono::seconds(3)) == std::future_status::timeout) {
    waited = true;
    for (const auto& pipe : {File(), lock}) ::close(::open(pipe.c_str(), O_WRONLY | O_NONBLOCK));
  }
  ASSERT_FALSE(waited);
  const auto [settings, password] = read.get();
  EXPECT_EQ(settings.mainWidth, 6600);
  EXPECT_EQ(password, std::nullopt);
  // Nothing is written over what could not be read.
  Save(settings, true);
  EXPECT_TRUE(std::filesystem::is_fifo(File()));
}

Settings Sample() {
  Settings s;
  s.mainLeft = -120;
  s.mainTop = 300;
  s.mainHeight = 4000;
  s.mainWidth = 17000;
  s.mainRecent = {"/a/1.mmo", "/a/2.mmo", "", "/a/4.mmo"};
  s.visible = true;
  s.editorLeft = 15;
  s.editorTop = 30;
  s.editorRecent = {"/e/1.mmo", "", "", ""};
  s.autoLoad = "/a/1.mmo";
  s.fontName = "DejaVu Sans";
  s.fontSize = 10;
  s.sound = 1;
  s.soundFile = "/s/x.wav";
  s.exitPopUp = true;
  s.onceDaily = false;
  s.notification = false;
  s.timeOut = 90;
  s.idleMin = true;
  s.saveOnExit = false;
  s.confirmCleanUp = true;
  s.defaults = {3, 0, 1, 14, 1};
  return s;
}

TEST_F(SettingsTest, FullSaveWritesEveryKeyInOrderAndReadsBack) {
  const Settings s = Sample();
  SaveSettings(s, true, {platform, false, ""});
  EXPECT_EQ(
      ReadFileBytes(File()),
      "[Setup]\r\nTimeOut=90\r\nIdleMin=-1\r\nSaveOnExit=0\r\nCleanUp=-1\r\n\r\n"
      "[Main]\r\nPrevFile1=/a/1.mmo\r\nPrevFile2=/a/2.mmo\r\nPrevFile3=\r\n"
      "PrevFile4=/a/4.mmo\r\nLeft=-120\r\nTop=300\r\nHeight=4000\r\nWidth=17000\r\n"
      "Visible=0\r\n\r\n"
      "[Editor]\r\nPrevFile1=/e/1.mmo\r\nPrevFile2=\r\nPrevFile3=\r\nPrevFile4=\r\n"
      "Left=15\r\nTop=30\r\n\r\n"
      "[Options]\r\nAutoLoad=/a/1.mmo\r\nSoundFile=/s/x.wav\r\nOnceDaily=0\r\n"
      "Notification=0\r\nFontName=DejaVu Sans\r\nFontSize=10\r\nSound=1\r\nExitPopUp=-1\r\n\r\n"
      "[Defaults]\r\nEnabled=3\r\nActivate=0\r\nBackDated=1\r\nWarn=14\r\nCleanUp=1\r\n");
  Settings expected = s;
  expected.visible = false;  // the window's state at saving, not the value in memory
  EXPECT_EQ(Load(), expected);
}

TEST_F(SettingsTest, SaveWithoutFullGroupKeepsTheLastFullSave) {
  WriteIni(
      "; kept\n[Main]\nLeft=111\nTop=222\nLastCheck=12/8/2026\nVisible=0\n"
      "[Options]\nFontSize=9\nOnceDaily=0\n[Custom]\nX=1\n");
  const Settings s = Sample();  // saveOnExit is off
  Save(s, false);
  const Settings back = Load();
  EXPECT_EQ(back.mainLeft, 111);
  EXPECT_EQ(back.mainTop, 222);
  EXPECT_EQ(back.fontSize, 9);
  EXPECT_FALSE(back.visible);
  EXPECT_EQ(back.lastCheck, "12/8/2026");
  EXPECT_EQ(back.mainRecent, s.mainRecent);
  EXPECT_EQ(back.timeOut, 90);
  EXPECT_EQ(ReadSetting(File(), "Custom", "X", ""), "1");
  EXPECT_TRUE(ReadFileBytes(File()).starts_with("; kept\r\n[Main]\r\nLeft=111\r\n"));

  Settings onExit = s;
  onExit.saveOnExit = true;
  Save(onExit, false);
  EXPECT_EQ(Load().mainLeft, -120);
  EXPECT_EQ(platform.busyDepth, 0);
  EXPECT_EQ(platform.maxBusyDepth, 1);
}

// The notification flag came later than the rest: a file without it means on, and a save
// adds it after OnceDaily without moving any key the file had.
TEST_F(SettingsTest, NotificationFlagDefaultsOnAndJoinsTheAlwaysGroupLast) {
  const std::string old =
      "[Options]\r\nOnceDaily=-1\r\nAutoLoad=/a/1.mmo\r\nSoundFile=\r\nExitPopUp=0\r\n\r\n"
      "[Setup]\r\nTimeOut=0\r\nIdleMin=0\r\nSaveOnExit=0\r\nCleanUp=-1\r\n";
  WriteIni(old);
  Settings s = Load();
  EXPECT_TRUE(s.notification);
  s.autoLoad = "/a/1.mmo";
  Save(s, false);
  const std::string saved = ReadFileBytes(File());
  EXPECT_TRUE(saved.starts_with(
      "[Options]\r\nOnceDaily=-1\r\nAutoLoad=/a/1.mmo\r\nSoundFile=\r\nExitPopUp=0\r\n"
      "Notification=-1\r\n\r\n[Setup]\r\n"))
      << saved;

  for (const auto& [text, on] : {std::pair{"0", false}, {"1", true}, {"", true}, {"x", false}}) {
    WriteIni(std::string("[Options]\nNotification=") + text + "\n");
    EXPECT_EQ(Load().notification, on) << text;
  }
  s.notification = false;
  Save(s, false);
  EXPECT_EQ(ReadSetting(File(), "Options", "Notification", ""), "0");
  EXPECT_FALSE(Load().notification);
}

TEST_F(SettingsTest, PasswordFileFollowsThePasswordOnEverySave) {
  const auto lock = ProtectionFilePath(platform);
  EXPECT_EQ(lock.filename(), ".memrolock");
  Save(Settings{}, false, "open sesame");
  EXPECT_EQ(ReadFileBytes(lock), "open sesame\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(lock.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0400u);
  EXPECT_EQ(ReadProtectionPassword(lock), "open sesame");

  Save(Settings{}, false, "changed");
  EXPECT_EQ(ReadProtectionPassword(lock), "changed");

  Save(Settings{}, false, "");
  EXPECT_FALSE(std::filesystem::exists(lock));
  EXPECT_EQ(ReadProtectionPassword(lock), std::nullopt);
}

TEST(ProtectionFile, ReadsTheFirstLineOnly) {
  TempDir dir;
  const auto lock = dir / ".memrolock";
  WriteFileBytes(lock, "pw with blank \nsecond\n");
  EXPECT_EQ(ReadProtectionPassword(lock), "pw with blank ");
  WriteFileBytes(lock, "\r\nlater\r\n");
  EXPECT_EQ(ReadProtectionPassword(lock), std::nullopt);
  WriteFileBytes(lock, "");
  EXPECT_EQ(ReadProtectionPassword(lock), std::nullopt);
}

TEST_F(SettingsTest, EachFailingSaveStepIsSkippedSilently) {
  WriteIni("[Main]\nLeft=1\n");
  ::chmod(File().c_str(), 0444);
  Save(Sample(), true, "pw");
  EXPECT_EQ(ReadFileBytes(File()), "[Main]\nLeft=1\n");
  EXPECT_EQ(ReadProtectionPassword(ProtectionFilePath(platform)), "pw");

  // A password directory that cannot exist does not stop the settings from being saved.
  ::chmod(File().c_str(), 0644);
  WriteFileBytes(dir / "plain", "");
  platform.protectionDir = dir / "plain" / "sub";
  Save(Sample(), true, "pw");
  EXPECT_EQ(Load().mainLeft, -120);
  EXPECT_EQ(platform.busyDepth, 0);
}

TEST_F(SettingsTest, FirstWriteCreatesTheProgramDirectory) {
  platform.programDir = dir / "config" / "memro";
  ASSERT_TRUE(WriteSetting(File(), "Main", "LastCheck", "12/8/2026"));
  EXPECT_EQ(ReadSetting(File(), "Main", "LastCheck", ""), "12/8/2026");
  EXPECT_EQ(File(), dir / "config" / "memro" / "MEMRX.INI");
}

}  // namespace
}  // namespace memro


#include "data/lock_holder.h"
#include "main_window_fixture.h"
#include "settings/protection_file.h"

namespace memro::testing {
namespace {

TEST_F(MainWindowTest, FirstStartUsesDefaultsAndRecordsTheDay) {
  MainWindow& w = Started();
  EXPECT_EQ(w.widgets().lbl[1]->text(), "Date: Tue, Dec 08, 2026");
  EXPECT_EQ(w.windowTitle(), "Memro 4.0");
  EXPECT_EQ(Setting("Main", "LastCheck"), "12/8/2026");
  EXPECT_EQ(Setting("Main", "LastFile"), "<absent>");  // written empty
  EXPECT_EQ(w.values().dueCount, 0);
  EXPECT_TRUE(w.values().pendingFile.empty());
  EXPECT_TRUE(w.widgets().miS[3]->isChecked());   // Confirm Clean Up is on by default
  EXPECT_TRUE(w.widgets().miSS[0]->isChecked());  // sound disabled
  EXPECT_FALSE(w.widgets().miF[1]->isEnabled());  // nothing to print yet
  EXPECT_TRUE(w.timeOutTimer().isActive());       // idle start arms the time-out
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(platform.busyDepth, 0);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(MainWindowTest, OnceDailyEndsASecondStartUnlessNotOnce) {
  const auto file = DueFile();
  Set("Options", "OnceDaily", "1");
  Set("Options", "AutoLoad", file.string());
  Set("Main", "LastFile", file.string());
  Set("Main", "LastCheck", "12/8/2026");
  const std::string before = ReadFileBytes(Ini());

  Make();
  EXPECT_EQ(window->StartUp(""), MainWindow::Start::kEnded);
  EXPECT_FALSE(window->isVisible());

  Make();
  ASSERT_EQ(window->StartUp("/NOTONCE"), MainWindow::Start::kRunning);
  EXPECT_EQ(window->values().dueCount, 3);  // AutoLoad was loaded
  EXPECT_EQ(ReadFileBytes(Ini()), before);  // and the day was not written again

  // Another AutoLoad file than at the last start: this start runs and is recorded.
  window.reset();
  Set("Options", "AutoLoad", DueFile("other.mmo").string());
  Started();
  EXPECT_EQ(Setting("Main", "LastFile"), (dir / "other.mmo").string());
}

// Another program holds the file while the start wants to clean up: the window waits
// drawing itself, under the busy pointer, then lists everything as it does a read-only
// file. The day counts as seen only when its list was shown.
TEST_F(MainWindowTest, BusyFileAtStartIsListedAndOnlyAShownListCountsForTheDay) {
  Set("Setup", "CleanUp", "0");
  Set("Options", "OnceDaily", "-1");
  Set("Options", "AutoLoad", (dir / "missing.mmo").string());
  Started();
  EXPECT_EQ(Setting("Main", "LastCheck"), "<absent>");  // nothing shown: the next start tries
  window.reset();
  platform.messages.clear();

  const auto file = DueFile();
  WriteEventFile(file, {Event("Dec082026", "Bins out", kOnce, 0, 0, 1),
                        Event("Dec081990", "Anna's birthday", kYearly)});
  const std::string before = ReadFileBytes(file);
  Set("Options", "AutoLoad", file.string());
  LockHolder other(file);
  ASSERT_TRUE(other.held());
  lockWait = std::chrono::milliseconds(300);
  MainWindow& w = Started();
  EXPECT_GT(platform.pauses, 0);
  EXPECT_GT(platform.busyDepthInPause, 0);
  EXPECT_EQ(w.values().dueCount, 2);
  EXPECT_EQ(w.widgets().lst->count(), 2);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].prompt.find("nothing was deleted from it this time"),
            std::string::npos);
  EXPECT_EQ(ReadFileBytes(file), before);
  EXPECT_EQ(Setting("Main", "LastCheck"), "12/8/2026");
  EXPECT_EQ(other.Finish(), 0);
}

TEST_F(MainWindowTest, CommandLineFileIsLoadedButNotWithNotOnceOrUnderTheLock) {
  const auto file = DueFile();
  MainWindow& w = Started(file.string());
  EXPECT_EQ(w.values().pendingFile, file.string());
  EXPECT_EQ(w.windowTitle(), "events.mmo [Memro 4.0]");
  window.reset();

  Started(file.string() + " /notonce");
  EXPECT_TRUE(window->values().pendingFile.empty());
  window.reset();

  WriteProtectionFile(ProtectionFilePath(platform), "secret");
  Set("Options", "AutoLoad", DueFile("auto.mmo").string());
  MainWindow& locked = Started(file.string());
  EXPECT_EQ(locked.values().pendingFile, (dir / "auto.mmo").string());
  EXPECT_EQ(locked.values().password, "secret");
  const MainWidgets& ui = locked.widgets();
  for (int i : {0, 2, 7, 8, 9, 10}) EXPECT_FALSE(ui.miF[i]->isEnabled()) << i;
  EXPECT_FALSE(ui.cmd[0]->isEnabled());
  EXPECT_FALSE(ui.miO[0]->isEnabled());
  EXPECT_FALSE(ui.miO[6]->isEnabled());
  EXPECT_FALSE(ui.mnS->menuAction()->isEnabled());
  EXPECT_TRUE(ui.miO[4]->isChecked());
  EXPECT_TRUE(ui.miO[0]->isChecked());
}

TEST_F(MainWindowTest, SecondCopyIsRefused) {
  Started();
  auto first = std::move(window);
  Make();
  EXPECT_EQ(window->StartUp(""), MainWindow::Start::kEnded);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].prompt, "Memro 4.0 is already loaded.");
  EXPECT_EQ(platform.messages[0].icon, Icon::kExclamation);
  EXPECT_EQ(platform.messages[0].title, "Memro 4.0");
}

TEST_F(MainWindowTest, HiddenMainWindowStartsWithTheViewer) {
  Set("Main", "Visible", "0");
  Set("Options", "Sound", "2");
  Set("Options", "SoundFile", (dir / "gone.wav").string());
  MainWindow& w = Started(DueFile().string());
  ASSERT_NE(w.viewer(), nullptr);
  EXPECT_TRUE(w.viewer()->isVisible());
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(w.widgets().miSS[0]->isChecked());  // the sound file is gone
  EXPECT_EQ(w.values().settings.sound, 0);
}

TEST_F(MainWindowTest, IdleStartMinimisesWhenAsked) {
  Set("Setup", "IdleMin", "-1");
  Set("Setup", "TimeOut", "0");
  MainWindow& w = Started();
  EXPECT_TRUE(w.isMinimized());
  // TimeOut 0 never ends the program, however long it runs.
  for (int i = 0; i < 40000; ++i) w.TimeOutTick();
  EXPECT_FALSE(ended);
  EXPECT_EQ(w.values().idleTicks, 32767);
}

}  // namespace
}  // namespace memro::testing

#include <QCloseEvent>
#include <QTest>

#include "main_window_fixture.h"
#include "platform/qt/twips.h"

namespace memro::testing {
namespace {

TEST_F(MainWindowTest, StatusBlinksShortlyOnceACycle) {
  MainWindow& w = Started(DueFile().string());
  ASSERT_TRUE(w.blinkTimer().isActive());
  EXPECT_EQ(w.blinkTimer().interval(), 100);
  const QPalette normal = w.widgets().lbl[3]->palette();
  w.BlinkTick();
  EXPECT_EQ(w.blinkTimer().interval(), 150);
  EXPECT_EQ(w.widgets().lbl[3]->palette().color(QPalette::WindowText),
            normal.color(QPalette::Window));
  w.BlinkTick();
  EXPECT_EQ(w.blinkTimer().interval(), 1000);
  EXPECT_EQ(w.widgets().lbl[3]->palette().color(QPalette::WindowText),
            normal.color(QPalette::WindowText));

  // A scan stops the blink; a file with nothing due does not start it again.
  w.BlinkTick();
  const auto quiet = dir / "quiet.mmo";
  WriteEventFile(quiet, {Event("Jun012026", "Summer", kYearly)});
  platform.fileDialogs.push_back(Chosen(quiet));
  w.FileCommand(0);
  EXPECT_FALSE(w.blinkTimer().isActive());
  EXPECT_EQ(w.windowTitle(), "quiet.mmo [Memro 4.0]");
}

TEST_F(MainWindowTest, ExitTimeOutEndsAnUntouchedProgramWithoutSaving) {
  Set("Setup", "TimeOut", "3");
  MainWindow& w = Started();
  const auto workFile = w.dueList()->path();
  ASSERT_TRUE(w.timeOutTimer().isActive());
  w.TimeOutTick();
  w.TimeOutTick();
  EXPECT_FALSE(ended);
  w.TimeOutTick();
  EXPECT_TRUE(ended);
  EXPECT_FALSE(std::filesystem::exists(workFile));
  EXPECT_EQ(Setting("Setup", "CleanUp"), "<absent>");  // no settings written
}

TEST_F(MainWindowTest, AnyTouchStopsTheTimeOutForGood) {
  Set("Setup", "TimeOut", "3");
  MainWindow& w = Started();
  QTest::mouseClick(w.widgets().lbl[2], Qt::LeftButton);
  EXPECT_FALSE(w.timeOutTimer().isActive());

  window.reset();
  Started();
  emit window->widgets().mnO->aboutToShow();  // opening a menu, choosing nothing
  EXPECT_FALSE(window->timeOutTimer().isActive());
}

TEST_F(MainWindowTest, ChangedFileIsOfferedAgainUntilReloaded) {
  const auto file = DueFile();
  MainWindow& w = Started(file.string());
  w.values().rangeDays = "40";
  w.ChangedFileCheck();
  EXPECT_TRUE(platform.messages.empty());  // unchanged

  std::filesystem::last_write_time(file,
                                   std::filesystem::last_write_time(file) + std::chrono::hours(1));
  platform.answers.push_back(Answer::kNo);
  w.ChangedFileCheck();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].prompt,
            "Contents of " + file.string() + " have changed. Update now?");
  EXPECT_EQ(platform.messages[0].icon, Icon::kQuestion);
  EXPECT_EQ(platform.messages[0].buttons, Buttons::kYesNo);

  // Back from another program: asked again.
  platform.answers.push_back(Answer::kYes);
  w.FocusMoved(nullptr);
  w.FocusMoved(w.windowHandle());
  EXPECT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(w.values().rangeDays, "40");  // a reload keeps range scanning
  w.ChangedFileCheck();
  EXPECT_EQ(platform.messages.size(), 2u);

  std::filesystem::remove(file);  // a file that is gone is not asked about
  w.ChangedFileCheck();
  EXPECT_EQ(platform.messages.size(), 2u);
}

TEST_F(MainWindowTest, WindowKeepsItsMinimumSizeAndFollowsItWithTheList) {
  MainWindow& w = Started();
  // The rules speak of the outer size, frame included.
  const QSize frame = w.frameGeometry().size() - w.size();
  auto resizeOuter = [&](int width, int height) {
    w.resize(DesignPx(w, width) - frame.width(), DesignPx(w, height) - frame.height());
  };
  resizeOuter(9000, 3000);
  EXPECT_EQ(w.frameGeometry().width(), DesignPx(w, 7080));
  EXPECT_EQ(w.frameGeometry().height(), DesignPx(w, 3960));
  resizeOuter(9000, 5000);
  EXPECT_EQ(w.widgets().lst->x(), DesignPx(w, 9000 - 2760));
  EXPECT_EQ(w.widgets().lst->height(), DesignPx(w, 5000 - 1755));
  EXPECT_EQ(w.widgets().txt->width(), w.widgets().lst->x() - DesignPx(w, 585));
  EXPECT_EQ(w.widgets().lbl[3]->width(), w.widgets().txt->width());
  EXPECT_EQ(w.widgets().lbl[1]->geometry().right() + 1, DesignPx(w, 9000 - 350));
}

TEST_F(MainWindowTest, CloseSavesTheAlwaysGroupAndDeletesTheWorkFile) {
  MainWindow& w = Started();
  const auto workFile = w.dueList()->path();
  w.values().settings.timeOut = 12;
  w.move(100, 50);
  EXPECT_TRUE(w.close());
  EXPECT_FALSE(std::filesystem::exists(workFile));
  EXPECT_EQ(Setting("Setup", "TimeOut"), "12");
  EXPECT_EQ(Setting("Main", "Left"), "<absent>");  // the full group only with SaveOnExit
}

TEST_F(MainWindowTest, ShiftCloseSavesEverythingAndStaysOpen) {
  MainWindow& w = Started();
  w.move(ToPixels(w, 1500), ToPixels(w, 900));
  shiftHeld = true;
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(Setting("Main", "Left"), "1500");
  EXPECT_EQ(Setting("Main", "Top"), "900");
  EXPECT_EQ(Setting("Main", "Visible"), "-1");
}

TEST_F(MainWindowTest, SessionEndWithDueEventsAndExitPopUpIsRefused) {
  Set("Options", "ExitPopUp", "-1");
  Set("Options", "Sound", "1");
  MainWindow& w = Started(DueFile().string());
  EXPECT_EQ(platform.beeps, 1);  // the alert of the scan
  w.showMinimized();
  EXPECT_FALSE(w.SessionEnding());
  EXPECT_EQ(platform.beeps, 2);
  EXPECT_FALSE(w.isMinimized());
  EXPECT_NE(w.dueList(), nullptr);

  w.OptionsCommand(6);  // Exit Pop Up off: the session may end
  EXPECT_TRUE(w.SessionEnding());
  EXPECT_EQ(w.dueList(), nullptr);
}

TEST_F(MainWindowTest, HelpOpensAtTheTopicOfWindowOrMenu) {
  MainWindow& w = Started();
  QTest::keyClick(&w, Qt::Key_F1);
  w.HelpCommand(0);
  QMenu* options = w.widgets().mnO;
  options->setActiveAction(w.widgets().miO[4]);
  QTest::keyClick(options, Qt::Key_F1);
  options->setActiveAction(w.widgets().miO[1]);
  QTest::keyClick(options, Qt::Key_F1);
  w.widgets().mnS->setActiveAction(w.widgets().miS[1]);
  QTest::keyClick(w.widgets().mnS, Qt::Key_F1);
  EXPECT_EQ(platform.helpShown, (std::vector<int>{1, 1, 14, 6, 16}));
}

TEST_F(MainWindowTest, PopupRangeFollowsTheFileMenu) {
  MainWindow& w = Started();
  w.PopupCommand(2);  // Range is disabled before the first scan
  EXPECT_TRUE(platform.inputPrompts.empty());
  w.PopupCommand(4);
  EXPECT_EQ(Setting("Main", "Visible"), "-1");
}

// "Default Beep" is the desktop's bell, which only the platform can sound.
TEST_F(MainWindowTest, DefaultBeepAsksThePlatformForTheBell) {
  MainWindow& w = Started();
  w.SoundCommand(1);
  EXPECT_TRUE(w.widgets().miSS[1]->isChecked());
  platform.fileDialogs.push_back(Chosen(DueFile()));
  w.FileCommand(0);  // the scan finds events due and asks for the sound
  EXPECT_EQ(platform.beeps, 1);
  EXPECT_TRUE(platform.soundsPlayed.empty());
  w.SoundCommand(0);
  w.SoundRequest();
  EXPECT_EQ(platform.beeps, 1);
}

}  // namespace
}  // namespace memro::testing

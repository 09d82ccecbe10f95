// How the main window behaves among the desktop's conventions: paths given relative to
// where the program started, the last window's settings, the lock and the menus.
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "main_window_fixture.h"
#include "settings/protection_file.h"
#include "support/modal.h"

namespace memro::testing {
namespace {

// Runs the program's start in another working directory, as a launcher or a terminal do.
class InDirectory {
 public:
  explicit InDirectory(const std::filesystem::path& dir)
      : before_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~InDirectory() { std::filesystem::current_path(before_); }
  InDirectory(const InDirectory&) = delete;
  InDirectory& operator=(const InDirectory&) = delete;

 private:
  std::filesystem::path before_;
};

TEST_F(MainWindowTest, RelativeCommandLineFileIsKeptWithItsDirectory) {
  const std::string file = DueFile().string();
  {
    InDirectory there(dir.path());
    Started("events.mmo");
  }
  EXPECT_EQ(window->values().pendingFile, file);
  EXPECT_EQ(window->values().settings.mainRecent[0], file);
  window.reset();

  std::filesystem::create_directories(dir / "sub");
  {
    InDirectory there(dir / "sub");
    Started("./../events.mmo");
  }
  EXPECT_EQ(window->values().pendingFile, file);
  EXPECT_EQ(window->values().settings.mainRecent[0], file);
}

// The editor, closing as the last window, writes what the main window's close wrote for
// Visible: the next start shows the main window again, not the viewer.
TEST_F(MainWindowTest, EditorClosingLastKeepsTheMainWindowForTheNextStart) {
  Set("Setup", "SaveOnExit", "-1");
  Started(DueFile().string());
  window->FileCommand(2);
  ASSERT_NE(window->editor(), nullptr);
  ASSERT_TRUE(window->close());
  EXPECT_EQ(Setting("Main", "Visible"), "-1");
  ASSERT_TRUE(window->editor()->close());
  EXPECT_EQ(Setting("Main", "Visible"), "-1");

  // Exit from the viewer with the editor open: the viewer comes back at the next start.
  window.reset();
  Started(DueFile().string());
  window->FileCommand(2);
  window->ShowViewer();
  window->viewer()->findChild<QPushButton*>("exitButton")->click();
  EXPECT_EQ(Setting("Main", "Visible"), "0");
  ASSERT_NE(window->editor(), nullptr);
  ASSERT_TRUE(window->editor()->close());
  EXPECT_EQ(Setting("Main", "Visible"), "0");
}

TEST_F(MainWindowTest, ProtectionCountsTheViewerOnlyWhileItIsShown) {
  MainWindow& w = Started();
  w.OptionsCommand(7);
  ASSERT_TRUE(w.viewer()->isVisible());
  w.viewer()->findChild<QPushButton*>("toggleViewButton")->click();
  ASSERT_TRUE(w.isVisible());
  ASSERT_FALSE(w.viewer()->isVisible());

  bool dialogShown = false;
  WhenModal([&dialogShown](QWidget* dialog) {
    dialogShown = !dialog->findChildren<QLineEdit*>().isEmpty();
    dialog->close();
  });
  w.OptionsCommand(4);
  EXPECT_TRUE(dialogShown);
  EXPECT_TRUE(platform.messages.empty());
}

// Ctrl+N is Save Settings Now, a Setup command: the lock takes it away with the menu.
TEST_F(MainWindowTest, TheLockTakesTheSetupShortcutsAway) {
  WriteProtectionFile(ProtectionFilePath(platform), "secret");
  MainWindow& w = Started();
  w.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  std::filesystem::remove(Ini());
  QTest::keyClick(&w, Qt::Key_N, Qt::ControlModifier);
  EXPECT_FALSE(std::filesystem::exists(Ini()));

  w.values().password.clear();
  w.ApplyLock();
  QTest::keyClick(&w, Qt::Key_N, Qt::ControlModifier);
  EXPECT_TRUE(std::filesystem::exists(Ini()));  // unlocked, the shortcut saves again
}

void RightPress(QWidget* widget) {
  const QPointF at(5, 5);
  QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::RightButton,
                    Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
}

TEST_F(MainWindowTest, RightClickInsideAnOpenMenuLeavesThePopupMenuClosed) {
  MainWindow& w = Started();
  QMenu* popup = w.widgets().mnPop;
  for (QMenu* menu : {w.widgets().mnF, w.widgets().mnO, w.widgets().mnS}) {
    menu->popup(w.mapToGlobal(QPoint(10, 10)));
    RightPress(menu);
    EXPECT_FALSE(popup->isVisible()) << menu->title().toStdString();
    popup->hide();
    menu->hide();
  }
  RightPress(w.centralWidget());
  EXPECT_TRUE(popup->isVisible());  // the window's background still opens it
  popup->hide();
}

}  // namespace
}  // namespace memro::testing

// The new day while the program runs: the date watch, the reload and its notification.
#include <QDialog>
#include <QMenu>
#include <QTest>

#include "main_window_fixture.h"
#include "support/modal.h"

namespace memro::testing {
namespace {

using std::chrono::day;
using std::chrono::December;
using std::chrono::year;
using std::chrono::year_month_day;

constexpr year_month_day kDec7{year{2026}, December, day{7}};
constexpr year_month_day kDec9{year{2026}, December, day{9}};

std::vector<std::string> ListLines(const MainWindow& w) {
  std::vector<std::string> lines;
  for (int i = 0; i < w.widgets().lst->count(); ++i) {
    lines.push_back(w.widgets().lst->Line(i).toStdString());
  }
  return lines;
}

class NewDayTest : public MainWindowTest {
 protected:
  // Two due on Dec 8; on Dec 9 the dentist is yesterday's (backdated) and the tax
  // return comes into its week's warning.
  std::filesystem::path File() {
    const auto file = dir / "events.mmo";
    WriteEventFile(file, {Event("Dec082026", "Dentist 10:30", kOnce, 7, 1),
                          Event("Dec112026", "Anna's birthday", kYearly),
                          Event("Dec162026", "Tax return", kOnce)});
    return file;
  }

  std::string Printed(MainWindow& w, const std::string& name) {
    platform.fileDialogs.push_back(Chosen(dir / name));
    w.FileCommand(1);
    return ReadFileBytes(dir / name);
  }
};

TEST_F(NewDayTest, NewDayShowsWhatIsDueThenAsAFreshStartWould) {
  const auto file = File();
  Set("Options", "OnceDaily", "-1");
  Set("Options", "AutoLoad", file.string());
  MainWindow& w = Started();
  ASSERT_TRUE(platform.dateCheck);
  ASSERT_EQ(w.values().dueCount, 2);
  platform.dateCheck();  // the same day: nothing happens
  EXPECT_EQ(platform.notifications.size(), 1u);

  platform.today = kDec9;
  platform.dateCheck();
  EXPECT_EQ(w.widgets().lbl[1]->text(), "Date: Wed, Dec 09, 2026");
  // LastCheck is the last start's: the next start shows the new day's list.
  EXPECT_EQ(Setting("Main", "LastCheck"), "12/8/2026");
  EXPECT_EQ(w.values().dueCount, 3);
  ASSERT_EQ(platform.notifications.size(), 2u);
  EXPECT_EQ(platform.notifications[1].summary, "Memro: 3 events due");
  EXPECT_NE(platform.notifications[1].body.find("Tax return"), std::string::npos);
  EXPECT_NE(platform.notifications[1].body.find("Yesterday:"), std::string::npos);
  EXPECT_EQ(w.values().pendingFile, file.string());
  const std::vector<std::string> lines = ListLines(w);
  const std::string report = Printed(w, "after-midnight.txt");

  // A start on the new day on the same file, Once Daily on, shows and prints the same.
  window.reset();
  MainWindow& fresh = Started();
  EXPECT_EQ(ListLines(fresh), lines);
  EXPECT_EQ(Printed(fresh, "fresh.txt"), report);
  EXPECT_EQ(Setting("Main", "LastCheck"), "12/9/2026");

  // A clock set back is another day too.
  platform.today = kDec7;
  platform.dateCheck();
  EXPECT_EQ(fresh.widgets().lbl[1]->text(), "Date: Mon, Dec 07, 2026");
}

TEST_F(NewDayTest, ReloadKeepsTheRangeAndTheViewerFollows) {
  MainWindow& w = Started(File().string());
  platform.inputs.push_back("30");
  w.FileCommand(4);
  w.ShowViewer();
  platform.today = kDec9;
  platform.dateCheck();
  EXPECT_EQ(w.values().rangeDays, "30");
  EXPECT_TRUE(w.viewer()->windowTitle().endsWith("Dec 09, 2026"));
  EXPECT_EQ(w.widgets().lst->count(), w.values().dueCount);
}

TEST_F(NewDayTest, WithoutAFileOnlyTheDateChanges) {
  MainWindow& w = Started();
  platform.today = kDec9;
  platform.dateCheck();
  EXPECT_EQ(w.widgets().lbl[1]->text(), "Date: Wed, Dec 09, 2026");
  EXPECT_TRUE(w.values().pendingFile.empty());
  EXPECT_TRUE(platform.notifications.empty());
}

TEST_F(NewDayTest, AnOpenDialogOrMenuPostponesTheNewDayToTheNextCheck) {
  MainWindow& w = Started(File().string());
  platform.today = kDec9;
  QDialog dialog(&w);
  QString labelDuring;
  WhenModal([&](QWidget* open) {
    platform.dateCheck();
    labelDuring = w.widgets().lbl[1]->text();
    static_cast<QDialog*>(open)->reject();
  });
  dialog.exec();
  EXPECT_EQ(labelDuring, "Date: Tue, Dec 08, 2026");
  EXPECT_EQ(platform.notifications.size(), 1u);

  w.widgets().mnPop->popup(w.mapToGlobal(QPoint(10, 10)));
  platform.dateCheck();
  EXPECT_EQ(w.values().dueCount, 2);
  w.widgets().mnPop->hide();

  platform.dateCheck();
  EXPECT_EQ(w.widgets().lbl[1]->text(), "Date: Wed, Dec 09, 2026");
  EXPECT_EQ(w.values().dueCount, 3);
  EXPECT_EQ(platform.notifications.size(), 2u);
}

TEST_F(NewDayTest, AnOpenEditorIsLeftAlone) {
  MainWindow& w = Started(File().string());
  w.FileCommand(2);
  ASSERT_NE(w.editor(), nullptr);
  w.editor()->widgets().message->setPlainText("unsaved");
  const std::string editing = w.editor()->state().fileName;
  platform.today = kDec9;
  platform.dateCheck();
  EXPECT_EQ(w.values().dueCount, 3);
  ASSERT_NE(w.editor(), nullptr);
  EXPECT_TRUE(w.editor()->isVisible());
  EXPECT_EQ(w.editor()->widgets().message->toPlainText(), "unsaved");
  EXPECT_EQ(w.editor()->state().fileName, editing);
  EXPECT_TRUE(platform.messages.empty());
}

// Nobody touched the program: the reload, though it selects an entry, leaves the exit
// time-out of an idle start running.
TEST_F(NewDayTest, ReloadDoesNotStopTheExitTimeOut) {
  const auto file = dir / "later.mmo";
  WriteEventFile(file, {Event("Dec162026", "Tax return", kOnce)});
  Set("Setup", "TimeOut", "0");
  MainWindow& w = Started(file.string());
  ASSERT_EQ(w.values().dueCount, 0);
  ASSERT_TRUE(w.timeOutTimer().isActive());
  EXPECT_TRUE(platform.notifications.empty());

  platform.today = kDec9;
  platform.dateCheck();
  EXPECT_EQ(w.values().dueCount, 1);
  EXPECT_EQ(w.widgets().lst->currentRow(), 0);
  EXPECT_TRUE(w.timeOutTimer().isActive());
  EXPECT_EQ(platform.notifications.size(), 1u);

  // A key in any window of the program is the user's touch.
  QWidget other;
  QTest::keyClick(&other, Qt::Key_A);
  EXPECT_FALSE(w.timeOutTimer().isActive());
}

// The time-out comes due while the reload's clean-up question is open: the end waits for
// the scan, which still writes the due list, and comes at the next tick after it.
TEST_F(NewDayTest, TimeOutInTheReloadsQuestionWaitsForTheScan) {
  const auto file = dir / "events.mmo";
  WriteEventFile(file, {Event("Dec092026", "Bins out", kOnce, 0, 0, 1),
                        Event("Dec162026", "Tax return", kOnce)});
  Set("Setup", "TimeOut", "3");
  MainWindow& w = Started(file.string());
  ASSERT_EQ(w.values().dueCount, 0);
  bool endedInQuestion = true;
  platform.onMessage = [&](const FakePlatform::Message&) {
    for (int tick = 0; tick < 5; ++tick) w.TimeOutTick();
    endedInQuestion = ended;
    platform.answers = {Answer::kYes};
  };
  platform.today = kDec9;
  platform.dateCheck();
  EXPECT_FALSE(endedInQuestion);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].title, "Confirm Clean Up");
  EXPECT_EQ(w.values().dueCount, 2);  // the bins are listed once more
  EXPECT_EQ(w.widgets().lst->count(), 2);
  ASSERT_NE(w.dueList(), nullptr);
  EXPECT_EQ(ReadEvents(file).size(), 1u);

  w.TimeOutTick();
  EXPECT_TRUE(ended);
  EXPECT_EQ(w.dueList(), nullptr);
}

}  // namespace
}  // namespace memro::testing

#include "app/gui/viewer_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <functional>
#include <ostream>
#include <utility>
#include <vector>

#include "app/gui/viewer_host.h"
#include "platform/qt/twips.h"

// Failures show the text rather than its bytes.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace memro {
namespace {

// A size of the viewer's design in pixels, grown as the viewer grows it.
int Px(const ViewerWindow& viewer, double twips) {
  return DesignPixels(viewer, twips, viewer.designScale());
}

class FakeHost : public ViewerHost {
 public:
  QString DateLabelText() const override { return date; }
  int DueLineCount() const override { return static_cast<int>(messages.size()); }
  int SelectedLine() const override { return selected; }
  void SelectLine(int index) override {
    selected = index;
    stopsAtLastCommand = timeOutStops;
  }
  QString StatusText() const override { return InRange() ? statuses[selected] : QString(); }
  QString MessageText() const override { return InRange() ? messages[selected] : QString(); }
  QFont MessageFont() const override { return font; }
  QColor MessageColor() const override { return color; }
  void StopTimeOut() override { ++timeOutStops; }
  void ShowAbout() override {
    ++aboutShown;
    stopsAtLastCommand = timeOutStops;
  }
  void ShowViewerHelp() override { ++helpShown; }
  void RememberPlace(const QRect& frame) override { remembered.push_back(frame); }
  void ShowMainAt(const QRect& frame) override { mainShownAt.push_back(frame); }
  void ExitFromViewer(const QRect& frame) override {
    exitedAt.push_back(frame);
    if (onExit) onExit();
  }
  bool RefuseSessionClose() override {
    ++refusalsAsked;
    return refuse;
  }

  bool InRange() const { return selected >= 0 && selected < messages.size(); }

  QString date = "Date: Tue, Dec 08, 2026";
  QStringList statuses{"Today!!", "Tomorrow!", "3 days more!"};
  QStringList messages{"Dentist at ten", "Call Anna\r\nabout the party", "Pay the rent"};
  int selected = 0;
  int helpShown = 0;
  QFont font{"Serif", 10};
  QColor color{Qt::black};
  bool refuse = false;
  std::function<void()> onExit;

  int timeOutStops = 0;
  int stopsAtLastCommand = -1;
  int aboutShown = 0;
  int refusalsAsked = 0;
  std::vector<QRect> remembered;
  std::vector<QRect> mainShownAt;
  std::vector<QRect> exitedAt;
};

class ViewerWindowTest : public ::testing::Test {
 protected:
  QPlainTextEdit* Text() { return viewer.findChild<QPlainTextEdit*>("text1"); }
  QPushButton* Button(const char* name) { return viewer.findChild<QPushButton*>(name); }
  QString FirstLine() { return Text()->toPlainText().section('\n', 0, 0); }

  FakeHost host;
  ViewerWindow viewer{host};
};

TEST(ViewerTextTest, StepButtonsFollowTheSelection) {
  struct Case {
    int count, selected;
    bool back, next;
  };
  for (const Case& c : {Case{3, 0, false, true}, Case{3, 1, true, true}, Case{3, 2, true, false},
                        Case{3, -1, false, true}, Case{1, 0, false, false},
                        Case{0, -1, false, false}, Case{0, 2, false, false}}) {
    const StepButtonState state = StepButtons(c.count, c.selected);
    EXPECT_EQ(state.back, c.back) << c.count << "/" << c.selected;
    EXPECT_EQ(state.next, c.next) << c.count << "/" << c.selected;
  }
}

TEST(ViewerTextTest, LayoutRulesInTwips) {
  EXPECT_EQ(CorrectedViewerHeight(2000), 3675);
  EXPECT_EQ(CorrectedViewerHeight(3675), 3675);
  EXPECT_EQ(CorrectedViewerHeight(6000), 6000);
  // The designed inner size gives back the designed box.
  EXPECT_EQ(ViewerTextBoxRect(6327, 3255), QRect(1320, 120, 4935, 3015));
  EXPECT_EQ(ViewerTextBoxRect(9000, 5000), QRect(1320, 120, 7608, 4760));
  EXPECT_EQ(ViewerTextBoxRect(800, 100), QRect(1320, 120, 0, 0));
}

TEST_F(ViewerWindowTest, ControlsHaveTheirCaptionsTipsAndPlaces) {
  struct Control {
    const char* name;
    const char* caption;
    const char* tip;
    QRect twips;
  };
  for (const Control& c : {
           Control{"toggleViewButton", "Toggle &View", "Toggle View", {120, 120, 1095, 375}},
           Control{"exitButton", "E&xit", "Exit Memro", {120, 600, 1095, 375}},
           Control{"aboutButton", "&About...", "Show version information", {120, 1080, 1095, 375}},
           Control{"backButton", "<< &Back", "Previous message", {120, 2040, 1095, 495}},
           Control{"nextButton", ">> &Next", "Next message", {120, 2640, 1095, 495}},
       }) {
    QPushButton* button = Button(c.name);
    ASSERT_NE(button, nullptr) << c.name;
    EXPECT_EQ(button->text(), c.caption);
    EXPECT_EQ(button->toolTip(), c.tip);
    EXPECT_EQ(button->geometry(), QRect(Px(viewer, c.twips.x()), Px(viewer, c.twips.y()),
                                        Px(viewer, c.twips.width()), Px(viewer, c.twips.height())))
        << c.name;
  }
  EXPECT_TRUE(Text()->isReadOnly());
  EXPECT_EQ(Text()->font().pointSize(), 12);
}

TEST_F(ViewerWindowTest, StepsThroughThreeEntries) {
  viewer.Refresh();
  EXPECT_EQ(viewer.windowTitle(), "Today's Date: Tue, Dec 08, 2026");
  EXPECT_EQ(Text()->toPlainText(), "Message 1 of  3\n\nToday!!\n\nDentist at ten");
  EXPECT_FALSE(Button("backButton")->isEnabled());
  EXPECT_TRUE(Button("nextButton")->isEnabled());

  Button("nextButton")->click();
  // A CR LF inside the message is a line break in the box, with no CR left over.
  EXPECT_EQ(Text()->toPlainText(), "Message 2 of  3\n\nTomorrow!\n\nCall Anna\nabout the party");
  EXPECT_EQ(Text()->document()->blockCount(), 6);
  EXPECT_TRUE(Button("backButton")->isEnabled());

  Button("nextButton")->click();
  EXPECT_EQ(FirstLine(), "Message 3 of  3");
  EXPECT_EQ(host.selected, 2);
  EXPECT_TRUE(Button("backButton")->isEnabled());
  EXPECT_FALSE(Button("nextButton")->isEnabled());

  Button("backButton")->click();
  EXPECT_EQ(FirstLine(), "Message 2 of  3");
  EXPECT_EQ(host.timeOutStops, 3);
}

TEST_F(ViewerWindowTest, NoSelectionShowsPositionZeroAndNextSelectsTheFirst) {
  host.selected = -1;
  viewer.show();  // showing refreshes
  EXPECT_EQ(Text()->toPlainText(), "Message 0 of  3\n\n\n\n");
  EXPECT_FALSE(Button("backButton")->isEnabled());
  EXPECT_TRUE(Button("nextButton")->isEnabled());
  Button("nextButton")->click();
  EXPECT_EQ(host.selected, 0);
  EXPECT_EQ(FirstLine(), "Message 1 of  3");
}

TEST_F(ViewerWindowTest, EmptyListShowsOnlyTheNotice) {
  viewer.Refresh();  // from a full list, so the buttons really change
  host.messages.clear();
  host.statuses.clear();
  host.selected = -1;
  viewer.Refresh();
  EXPECT_EQ(ViewerText(0, 2, "Today!!", "left over"), "No messages today.");
  EXPECT_EQ(Text()->toPlainText(), "No messages today.");
  EXPECT_FALSE(Button("backButton")->isEnabled());
  EXPECT_FALSE(Button("nextButton")->isEnabled());
}

TEST_F(ViewerWindowTest, TakesTheMessageFontAndColourAtTheNextRefresh) {
  viewer.Refresh();
  QFont font("Monospace", 16);
  font.setBold(true);
  font.setItalic(true);
  font.setUnderline(true);
  host.font = font;
  host.color = QColor(Qt::darkRed);
  EXPECT_NE(Text()->font().pointSize(), 16);

  viewer.Refresh();
  const QFont shown = Text()->font();
  EXPECT_EQ(shown.family(), font.family());
  EXPECT_EQ(shown.pointSize(), 16);
  EXPECT_TRUE(shown.bold());
  EXPECT_TRUE(shown.italic());
  EXPECT_TRUE(shown.underline());
  EXPECT_EQ(Text()->palette().color(QPalette::Active, QPalette::Text), QColor(Qt::darkRed));
  EXPECT_EQ(Text()->palette().color(QPalette::Inactive, QPalette::Text), QColor(Qt::darkRed));
}

TEST_F(ViewerWindowTest, ResizeKeepsTheMinimumHeightAndLaysOutTheBox) {
  viewer.show();
  viewer.resize(Px(viewer, 8000), Px(viewer, 2000));
  const double outerTwips =
      DesignTwips(viewer, viewer.frameGeometry().height(), viewer.designScale());
  EXPECT_NEAR(outerTwips, 3675, TwipsPerPixel(viewer) / viewer.designScale());
  EXPECT_EQ(viewer.width(), Px(viewer, 8000));  // no minimum width

  viewer.resize(Px(viewer, 9000), Px(viewer, 5000));
  const QRect box = ViewerTextBoxRect(9000, 5000);
  EXPECT_EQ(Text()->geometry(), QRect(Px(viewer, box.x()), Px(viewer, box.y()),
                                      Px(viewer, box.width()), Px(viewer, box.height())));
}

TEST_F(ViewerWindowTest, ButtonsStopTheTimeOutBeforeTheirCommand) {
  viewer.show();
  Button("aboutButton")->click();
  EXPECT_EQ(host.aboutShown, 1);
  EXPECT_EQ(host.stopsAtLastCommand, 1);
  Button("nextButton")->click();
  EXPECT_EQ(host.stopsAtLastCommand, 2);

  QTest::mouseClick(Text()->viewport(), Qt::LeftButton);
  EXPECT_EQ(host.timeOutStops, 3);
  QTest::mouseClick(&viewer, Qt::LeftButton, {}, QPoint(viewer.width() / 2, 2));
  EXPECT_EQ(host.timeOutStops, 4);
}

TEST_F(ViewerWindowTest, ToggleViewHandsItsPlaceToTheMainWindow) {
  viewer.show();
  const QRect frame = viewer.frameGeometry();
  Button("toggleViewButton")->click();
  ASSERT_EQ(host.mainShownAt.size(), 1u);
  EXPECT_EQ(host.mainShownAt[0], frame);
  EXPECT_FALSE(viewer.isVisible());
  EXPECT_EQ(host.timeOutStops, 1);
  EXPECT_TRUE(host.exitedAt.empty());
}

TEST_F(ViewerWindowTest, ExitRemembersThePlaceAndExitsOnce) {
  viewer.show();
  const QRect frame = viewer.frameGeometry();
  // The main window's close comes back to the viewer, as it does in the program.
  host.onExit = [this] { viewer.CloseQuietly(); };
  Button("exitButton")->click();
  ASSERT_EQ(host.exitedAt.size(), 1u);
  EXPECT_EQ(host.exitedAt[0], frame);
  ASSERT_EQ(host.remembered.size(), 1u);
  EXPECT_EQ(host.remembered[0], frame);
  EXPECT_EQ(host.refusalsAsked, 0);  // a click on Exit is never the session ending
  EXPECT_FALSE(viewer.isVisible());
}

TEST_F(ViewerWindowTest, SessionEndIsRefusedUntilTheHostAllowsIt) {
  viewer.show();
  viewer.showMinimized();
  host.refuse = true;
  EXPECT_FALSE(viewer.close());
  EXPECT_TRUE(viewer.isVisible());
  EXPECT_FALSE(viewer.windowState() & Qt::WindowMinimized);
  EXPECT_TRUE(host.exitedAt.empty());
  EXPECT_TRUE(host.remembered.empty());  // a minimized place is not kept

  host.refuse = false;
  EXPECT_TRUE(viewer.close());
  EXPECT_EQ(host.refusalsAsked, 2);
  EXPECT_EQ(host.exitedAt.size(), 1u);
  EXPECT_EQ(host.remembered.size(), 1u);
}

TEST_F(ViewerWindowTest, QuietCloseSkipsTheExitSteps) {
  viewer.show();
  host.refuse = true;  // would refuse, but the main window has already decided
  viewer.CloseQuietly();
  EXPECT_FALSE(viewer.isVisible());
  EXPECT_TRUE(host.exitedAt.empty());
  EXPECT_EQ(host.refusalsAsked, 0);
  EXPECT_EQ(host.remembered.size(), 1u);

  // Shown again, it closes with the full handling.
  host.refuse = false;
  viewer.show();
  viewer.close();
  EXPECT_EQ(host.exitedAt.size(), 1u);
}

TEST_F(ViewerWindowTest, HiddenViewerKeepsNoPlace) {
  viewer.CloseQuietly();
  EXPECT_TRUE(host.remembered.empty());
}

TEST_F(ViewerWindowTest, AcceleratorsReachTheirButtons) {
  host.selected = 1;  // Back and Next both enabled
  viewer.show();
  viewer.activateWindow();
  QCoreApplication::processEvents();
  ASSERT_EQ(QGuiApplication::focusWindow(), viewer.windowHandle());
  // A button answers its accelerator by going down at once; the click itself follows on
  // a timer, which the tests above cover by clicking directly.
  for (const auto& [key, name] : {std::pair{Qt::Key_V, "toggleViewButton"},
                                  {Qt::Key_X, "exitButton"},
                                  {Qt::Key_A, "aboutButton"},
                                  {Qt::Key_B, "backButton"},
                                  {Qt::Key_N, "nextButton"}}) {
    QTest::keyClick(&viewer, key, Qt::AltModifier);
    EXPECT_TRUE(Button(name)->isDown()) << name;
    Button(name)->setDown(false);
  }
  QTest::keyClick(&viewer, Qt::Key_F1);
  EXPECT_EQ(host.helpShown, 1);
}

}  // namespace
}  // namespace memro

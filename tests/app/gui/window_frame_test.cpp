// The stored outer size of the main window and the viewer against a window system that
// frames a window only once it is shown, as X11 window managers and Wayland's
// decorations do; and a compositor that gives no positions.
#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>
#include <optional>

#include "main_window_fixture.h"
#include "platform/qt/twips.h"

namespace memro::testing {
namespace {

QSize frame(12, 34);  // what the window system adds once the window is shown

QRect FramedOnceShown(const QWidget& window) {
  return QRect(window.pos(), window.size() + (window.isVisible() ? frame : QSize()));
}

// The window manager activates the window it has framed.
void Activated(QWidget& window) {
  QEvent activate(QEvent::WindowActivate);
  QCoreApplication::sendEvent(&window, &activate);
}

class WindowFrameTest : public MainWindowTest {
 protected:
  WindowFrameTest() {
    frame = QSize(12, 34);
    windowSystem.outer = FramedOnceShown;
    Set("Setup", "SaveOnExit", "-1");
    Set("Main", "Left", "1500");
    Set("Main", "Top", "1200");
    Set("Main", "Width", "9000");
    Set("Main", "Height", "6000");
  }

  // Starts, closes as the user does and gives the stored place.
  std::string Run(const std::function<void(MainWindow&)>& meanwhile = {}) {
    Started();
    if (meanwhile) meanwhile(*window);
    EXPECT_TRUE(window->close());
    window.reset();
    return Setting("Main", "Left") + " " + Setting("Main", "Top") + " " + Setting("Main", "Width") +
           " " + Setting("Main", "Height");
  }
};

TEST_F(WindowFrameTest, StoredSizeRoundTripsThoughTheFrameComesLate) {
  std::optional<QSize> inner;
  QSize outer;
  EXPECT_EQ(Run([&](MainWindow& w) {
              inner = w.size();
              outer = QSize(DesignPx(w, 9000), DesignPx(w, 6000));
            }),
            "1500 1200 9000 6000");
  EXPECT_EQ(inner, outer - QSize(12, 34));
  EXPECT_EQ(Run(), "1500 1200 9000 6000");
}

TEST_F(WindowFrameTest, AnotherFrameIsFittedUntilTheUserSizesTheWindow) {
  EXPECT_EQ(Run([](MainWindow& w) {
              frame = QSize(2, 20);  // another theme: the window is fitted again
              Activated(w);
              EXPECT_EQ(w.size(), QSize(DesignPx(w, 9000) - 2, DesignPx(w, 6000) - 20));
            }),
            "1500 1200 9000 6000");
  std::string userSize;
  const std::string stored = Run([&](MainWindow& w) {
    w.resize(1000, 700);  // the user's size stands
    frame = QSize(12, 34);
    Activated(w);
    EXPECT_EQ(w.size(), QSize(1000, 700));
    userSize = std::to_string(std::lround(DesignTwips(w, 1012, w.designScale()))) + " " +
               std::to_string(std::lround(DesignTwips(w, 734, w.designScale())));
  });
  EXPECT_EQ(stored, "1500 1200 " + userSize);
}

// The smallest size is an outer one too: corrected before the frame is known, it holds
// once the frame is there.
TEST_F(WindowFrameTest, SmallestSizeIsKeptAsAnOuterSize) {
  Set("Main", "Width", "3000");
  Set("Main", "Height", "1500");
  EXPECT_EQ(Run(), "1500 1200 7080 3960");
  EXPECT_EQ(Run(), "1500 1200 7080 3960");
}

TEST_F(WindowFrameTest, TheViewerTakesAndHandsBackTheOuterPlace) {
  Set("Main", "Visible", "0");
  EXPECT_EQ(Run([](MainWindow& w) {
              ASSERT_TRUE(w.viewer()->isVisible());
              EXPECT_EQ(w.viewer()->size(), QSize(DesignPx(w, 9000) - 12, DesignPx(w, 6000) - 34));
            }),
            "1500 1200 9000 6000");
  // Toggled to the main window, never shown before: its frame comes late as well.
  EXPECT_EQ(Run([](MainWindow& w) {
              w.viewer()->findChild<QPushButton*>("toggleViewButton")->click();
              EXPECT_EQ(w.size(), QSize(DesignPx(w, 9000) - 12, DesignPx(w, 6000) - 34));
            }),
            "1500 1200 9000 6000");
}

TEST_F(WindowFrameTest, WithoutPositionsTheStoredOnesAreKept) {
  windowSystem.placesWindows = false;
  EXPECT_EQ(Run([](MainWindow& w) {
              EXPECT_NE(w.pos(), QPoint(100, 80));  // not moved
              w.move(40, 30);                       // where a compositor put it
            }),
            "1500 1200 9000 6000");
}

}  // namespace
}  // namespace memro::testing

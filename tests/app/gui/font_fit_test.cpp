// The three windows at the desktop's font: at 9, 10, 11 and 12 pt every button, label and
// check box gets at least the room its text asks for. CTest runs this binary once more
// with QT_SCALE_FACTOR=2.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QScrollBar>

#include "main_window_fixture.h"

namespace memro::testing {
namespace {

class FontFitTest : public MainWindowTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    QFont font = before_;
    font.setPointSize(GetParam());
    QApplication::setFont(font);
  }
  void TearDown() override { QApplication::setFont(before_); }

 private:
  QFont before_ = QApplication::font();
};

// Where a control is cut, names it with the room it has and the room it needs.
std::vector<std::string> Clipped(const QWidget& window) {
  std::vector<std::string> clipped;
  auto check = [&](const QWidget& w, const QString& text) {
    const QSize hint = w.sizeHint();
    if (text.isEmpty() || !w.isVisibleTo(&window)) return;
    if (w.width() < hint.width() || w.height() < hint.height()) {
      clipped.push_back(window.windowTitle().toStdString() + ": \"" + text.toStdString() + "\" " +
                        std::to_string(w.width()) + "x" + std::to_string(w.height()) + " < " +
                        std::to_string(hint.width()) + "x" + std::to_string(hint.height()));
    }
  };
  for (const QAbstractButton* b : window.findChildren<QAbstractButton*>()) check(*b, b->text());
  for (const QLabel* l : window.findChildren<QLabel*>()) check(*l, l->text());
  return clipped;
}

TEST_P(FontFitTest, EveryCaptionOfTheThreeWindowsIsWhole) {
  MainWindow& w = Started(DueFile().string());
  w.SelectLine(1);  // the longest status line of the file
  EXPECT_EQ(Clipped(w), std::vector<std::string>{});
  // The longest list line the window shows fits beside the list's scroll bar.
  EXPECT_FALSE(w.widgets().lst->horizontalScrollBar()->isVisible());

  w.FileCommand(2);
  ASSERT_NE(w.editor(), nullptr);
  QCoreApplication::processEvents();
  EXPECT_EQ(Clipped(*w.editor()), std::vector<std::string>{});

  w.ShowViewer();
  ASSERT_NE(w.viewer(), nullptr);
  EXPECT_EQ(Clipped(*w.viewer()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(DesktopFonts, FontFitTest, ::testing::Values(9, 10, 11, 12),
                         [](const auto& info) { return std::to_string(info.param) + "pt"; });

}  // namespace
}  // namespace memro::testing

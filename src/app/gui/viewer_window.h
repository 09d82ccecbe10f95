#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <utility>
#include <vector>

#include "app/gui/window_frame.h"

class QPlainTextEdit;
class QPushButton;

namespace memro {

class ViewerHost;

// The text box's body: the position line, the status and the message of the selected
// entry, or the notice for an empty list. Line breaks are CR LF, as in the messages.
QString ViewerText(int lineCount, int selectedLine, const QString& status, const QString& message);

struct StepButtonState {
  bool back = false;
  bool next = false;
};
StepButtonState StepButtons(int lineCount, int selectedLine);

// Layout in twips. The outer height never drops below kViewerMinHeightTwips in the normal
// state; the text box fills the inner size to the right of the buttons.
constexpr int kViewerMinHeightTwips = 3675;
int CorrectedViewerHeight(int outerHeightTwips);
QRect ViewerTextBoxRect(int innerWidthTwips, int innerHeightTwips);

// Steps through the main window's due entries one at a time. It keeps no data: every
// refresh reads the list, the status and the message from the host.
//
// Child object names, for tests and screenshots: "toggleViewButton", "exitButton",
// "aboutButton", "backButton", "nextButton", "text1".
class ViewerWindow : public QWidget {
  Q_OBJECT

 public:
  // How much the design grows at the desktop's font (1: not at all).
  double designScale() const { return scale_; }

  explicit ViewerWindow(ViewerHost& host, WindowSystem system = {}, QWidget* parent = nullptr);

  // Rereads everything the viewer shows from the host.
  void Refresh();

  // Takes over frame (outer place, screen pixels) in the normal state, shows the viewer
  // and brings it forward.
  void ShowAt(const QRect& frame);

  // For the main window's own close handling: remembers the viewer's place when that
  // applies and closes it without asking the host anything and without the Exit steps,
  // which would close the main window a second time.
  void CloseQuietly();

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPushButton* AddButton(const QString& name, const QString& caption, const QString& tip,
                         QRect twips);
  bool InNormalState() const;
  void RememberPlaceIfNormal();
  void ToggleView();
  void Exit();
  void Step(int delta);
  void LayOut();

  QRect Outer() const { return place_->Place(); }
  QRect Px(const QRect& twips) const;  // a place of the design, grown by the scale
  int Px(double twips) const;

  ViewerHost& host_;
  OuterSize* place_ = nullptr;  // owned by the viewer
  QPlainTextEdit* text_ = nullptr;
  QPushButton* back_ = nullptr;
  QPushButton* next_ = nullptr;
  std::vector<std::pair<QPushButton*, QRect>> buttons_;  // and their places in the design
  double scale_ = 1.0;
  bool exitClicked_ = false;
  bool quietClose_ = false;
};

}  // namespace memro

#include "app/gui/viewer_window.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>
#include <algorithm>
#include <cmath>

#include "app/gui/viewer_host.h"
#include "platform/qt/design_scale.h"
#include "platform/qt/scroll_bar_names.h"
#include "platform/qt/twips.h"

namespace memro {
namespace {

const QString kLineBreak = QStringLiteral("\r\n");
const QRect kTextBoxDesign(1320, 120, 4935, 3015);
constexpr int kTextPointSize = 12;

// Numbers in display texts keep a blank where a minus sign would stand.
QString SignedNumber(int n) {
  return n < 0 ? QString::number(n) : QStringLiteral(" ") + QString::number(n);
}

}  // namespace

QString ViewerText(int lineCount, int selectedLine, const QString& status, const QString& message) {
  if (lineCount <= 0) return QStringLiteral("No messages today.");
  const int shown = selectedLine < 0 ? 0 : selectedLine + 1;
  return QStringLiteral("Message") + SignedNumber(shown) + QStringLiteral(" of ") +
         SignedNumber(lineCount) + kLineBreak + kLineBreak + status + kLineBreak + kLineBreak +
         message;
}

StepButtonState StepButtons(int lineCount, int selectedLine) {
  if (lineCount <= 0) return {};
  return {selectedLine > 0, selectedLine < lineCount - 1};
}

int CorrectedViewerHeight(int outerHeightTwips) {
  return std::max(outerHeightTwips, kViewerMinHeightTwips);
}

QRect ViewerTextBoxRect(int innerWidthTwips, int innerHeightTwips) {
  const int left = kTextBoxDesign.left();
  const int top = kTextBoxDesign.top();
  // A window narrower than the buttons leaves the box empty rather than negative.
  const int width = std::max(0, innerWidthTwips - left - top * 6 / 10);
  const int height = std::max(0, innerHeightTwips - 2 * top);
  return QRect(left, top, width, height);
}

namespace {

// A top-level QWidget is a "filler" to a screen reader, which then does not announce
// it as a window; the viewer is one.
QAccessibleInterface* ViewerAsWindow(const QString& className, QObject* object) {
  if (className != QLatin1String(ViewerWindow::staticMetaObject.className())) return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

}  // namespace

ViewerWindow::ViewerWindow(ViewerHost& host, WindowSystem system, QWidget* parent)
    : QWidget(parent), host_(host) {
  static const bool factory = (QAccessible::installFactory(ViewerAsWindow), true);
  (void)factory;
  setWindowFlag(Qt::Window);
  QPushButton* toggle =
      AddButton("toggleViewButton", tr("Toggle &View"), tr("Toggle View"), {120, 120, 1095, 375});
  QPushButton* exit = AddButton("exitButton", tr("E&xit"), tr("Exit Memro"), {120, 600, 1095, 375});
  QPushButton* about = AddButton("aboutButton", tr("&About..."), tr("Show version information"),
                                 {120, 1080, 1095, 375});
  back_ = AddButton("backButton", tr("<< &Back"), tr("Previous message"), {120, 2040, 1095, 495});
  next_ = AddButton("nextButton", tr(">> &Next"), tr("Next message"), {120, 2640, 1095, 495});

  text_ = new QPlainTextEdit(this);
  text_->setObjectName("text1");
  text_->setAccessibleName(tr("Message"));
  NameScrollBars(*text_, text_->accessibleName());
  text_->setReadOnly(true);
  QFont font = QApplication::font();
  font.setPointSize(kTextPointSize);
  text_->setFont(font);
  text_->viewport()->installEventFilter(this);

  connect(toggle, &QPushButton::clicked, this, [this] { ToggleView(); });
  connect(exit, &QPushButton::clicked, this, [this] { Exit(); });
  connect(about, &QPushButton::clicked, this, [this] {
    host_.StopTimeOut();
    host_.ShowAbout();
  });
  connect(back_, &QPushButton::clicked, this, [this] { Step(-1); });
  connect(next_, &QPushButton::clicked, this, [this] { Step(+1); });

  std::vector<DesignedControl> needs;
  for (const auto& [button, twips] : buttons_) needs.push_back(Designed(*button, twips.size()));
  scale_ = FitScale(*this, needs);
  for (const auto& [button, twips] : buttons_) button->setGeometry(Px(twips));
  text_->setGeometry(Px(kTextBoxDesign));
  // The inner size the box was designed for; ShowAt replaces it with the main window's.
  const QRect box = kTextBoxDesign;
  resize(Px(box.x() + box.width() + box.y() * 6 / 10), Px(box.height() + 2 * box.y()));
  place_ = new OuterSize(*this, std::move(system));
}

QPushButton* ViewerWindow::AddButton(const QString& name, const QString& caption,
                                     const QString& tip, QRect twips) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(name);
  button->setToolTip(tip);
  button->setAutoDefault(false);
  buttons_.push_back({button, twips});
  return button;
}

int ViewerWindow::Px(double twips) const { return DesignPixels(*this, twips, scale_); }

QRect ViewerWindow::Px(const QRect& twips) const {
  return QRect(Px(twips.left()), Px(twips.top()), Px(twips.width()), Px(twips.height()));
}

void ViewerWindow::Refresh() {
  setWindowTitle(QStringLiteral("Today's ") + host_.DateLabelText());

  QPalette palette = text_->palette();
  palette.setColor(QPalette::Text, host_.MessageColor());
  text_->setPalette(palette);
  const QFont source = host_.MessageFont();
  QFont font = text_->font();
  font.setFamilies(source.families());
  font.setItalic(source.italic());
  font.setBold(source.bold());
  font.setUnderline(source.underline());
  if (source.pointSizeF() > 0) {
    font.setPointSizeF(source.pointSizeF());
  } else if (source.pixelSize() > 0) {
    font.setPixelSize(source.pixelSize());
  }
  text_->setFont(font);

  const int count = host_.DueLineCount();
  const int selected = host_.SelectedLine();
  QString body = ViewerText(count, selected, host_.StatusText(), host_.MessageText());
  // The text box breaks lines at LF; a CR left in would show as a stray glyph.
  body.replace(kLineBreak, QStringLiteral("\n"));
  text_->setPlainText(body);

  const StepButtonState buttons = StepButtons(count, selected);
  back_->setEnabled(buttons.back);
  next_->setEnabled(buttons.next);
}

void ViewerWindow::ShowAt(const QRect& frame) {
  setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
  place_->Apply(frame);
  show();
  raise();
  activateWindow();
}

void ViewerWindow::CloseQuietly() {
  quietClose_ = true;
  close();
}

void ViewerWindow::showEvent(QShowEvent* event) {
  exitClicked_ = false;
  quietClose_ = false;
  QWidget::showEvent(event);
  Refresh();
}

void ViewerWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) Refresh();
}

void ViewerWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (InNormalState()) {
    const QRect outer = place_->System().Outer(*this);
    const int outerTwips =
        static_cast<int>(std::lround(DesignTwips(*this, outer.height(), scale_)));
    const int wanted = Px(CorrectedViewerHeight(outerTwips));
    if (wanted > outer.height()) {
      place_->Resize(QSize(outer.width(), wanted));
      return;  // the resize above lays the box out
    }
  }
  LayOut();
}

void ViewerWindow::LayOut() {
  if (windowState() & Qt::WindowMinimized) return;
  const QRect box =
      ViewerTextBoxRect(static_cast<int>(std::lround(DesignTwips(*this, width(), scale_))),
                        static_cast<int>(std::lround(DesignTwips(*this, height(), scale_))));
  text_->setGeometry(Px(box));
}

void ViewerWindow::closeEvent(QCloseEvent* event) {
  RememberPlaceIfNormal();
  if (quietClose_) {
    event->accept();
    return;
  }
  if (!exitClicked_ && host_.RefuseSessionClose()) {
    event->ignore();
    showNormal();
    raise();
    activateWindow();
    return;
  }
  event->accept();
  // The host closes the main window from here; that close comes back to CloseQuietly,
  // which Qt ignores while this close is still running.
  quietClose_ = true;
  host_.ExitFromViewer(Outer());
}

void ViewerWindow::keyPressEvent(QKeyEvent* event) {
  host_.StopTimeOut();
  if (event->key() == Qt::Key_F1) {
    host_.ShowViewerHelp();
    return;
  }
  QWidget::keyPressEvent(event);
}

void ViewerWindow::mousePressEvent(QMouseEvent* event) {
  host_.StopTimeOut();
  QWidget::mousePressEvent(event);
}

bool ViewerWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == text_->viewport() && event->type() == QEvent::MouseButtonPress) {
    host_.StopTimeOut();
  }
  return QWidget::eventFilter(watched, event);
}

bool ViewerWindow::InNormalState() const {
  return !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

void ViewerWindow::RememberPlaceIfNormal() {
  if (isVisible() && InNormalState()) host_.RememberPlace(Outer());
}

void ViewerWindow::ToggleView() {
  host_.StopTimeOut();
  host_.ShowMainAt(Outer());
  hide();
}

void ViewerWindow::Exit() {
  host_.StopTimeOut();
  exitClicked_ = true;
  if (!close()) exitClicked_ = false;
}

void ViewerWindow::Step(int delta) {
  host_.StopTimeOut();
  host_.SelectLine(host_.SelectedLine() + delta);
  Refresh();
}

}  // namespace memro

#include "app/gui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLockFile>
#include <QMenuBar>
#include <QStyle>
#include <QWindow>
#include <QWindowStateChangeEvent>

#include "app/gui/about_box.h"
#include "app/gui/touch_watch.h"
#include "app/gui/viewer_window.h"
#include "data/fixed_texts.h"
#include "engine/list_line.h"
#include "platform/help_topics.h"
#include "platform/qt/design_scale.h"
#include "platform/qt/scroll_bar_names.h"
#include "platform/qt/twips.h"
#include "sync/sync_once.h"

namespace memro {
namespace {

// The smallest the window may become, in twips.
constexpr int kMinWidth = 7080;
constexpr int kMinHeight = 3960;

}  // namespace

MainWindow::MainWindow(Platform& platform, MainWindowHooks hooks, QWidget* parent)
    : QMainWindow(parent), platform_(platform), hooks_(std::move(hooks)) {
  setWindowTitle(Q(Texts().productTitle));
  BuildControls();
  BuildMenus();
  BuildPopup();
  WatchForTouches();
  resize(Px(kDesignWidth), Px(kDesignHeight));
  place_ = new OuterSize(*this, hooks_.windowSystem);

  clk_.setInterval(100);
  connect(&clk_, &QTimer::timeout, this, &MainWindow::BlinkTick);
  tmr_.setInterval(1000);
  connect(&tmr_, &QTimer::timeout, this, &MainWindow::TimeOutTick);
  connect(qApp, &QGuiApplication::focusWindowChanged, this, &MainWindow::FocusMoved);
  new TouchWatch([this] { Touched(); }, this);
}

// The changed-file check runs when the user comes back to the main window from another
// program or from another window of ours. Coming back from one of our own modal dialogs
// (the check's own question among them) does not count, or No would ask again at once;
// nor does a window activated while a scan waits for the file.
void MainWindow::FocusMoved(QWindow* now) {
  if (now == nullptr || (now != windowHandle() && now->modality() == Qt::NonModal)) {
    cameBack_ = true;
  } else if (now == windowHandle() && cameBack_ && !scanning_) {
    cameBack_ = false;
    ChangedFileCheck();
  }
}

MainWindow::~MainWindow() {
  if (viewer_) viewer_->CloseQuietly();
  delete viewer_;
  delete editor_;
}

// The controls are made first and placed once the room their texts need at the desktop's
// font is known: the design grows by one factor for all of them.
void MainWindow::BuildControls() {
  auto* central = new QWidget(this);
  setCentralWidget(central);
  std::vector<std::pair<QWidget*, QRect>> design;
  struct ButtonDesign {
    int left;
    const char* caption;
    const char* tip;
  };
  const std::array<ButtonDesign, 5> buttons{{{240, "&Editor...", "Launch Memro Editor"},
                                             {960, "&Range", "Set range scanning"},
                                             {2520, "&Print...", "Print events"},
                                             {3240, "&Quit", "Exit Memro"},
                                             {1680, "&View", "Toggle View"}}};
  for (int i = 0; i < 5; ++i) {
    auto* button = new QPushButton(tr(buttons[i].caption), central);
    button->setToolTip(tr(buttons[i].tip));
    button->setFocusPolicy(Qt::TabFocus);
    design.push_back({button, {buttons[i].left, 120, 735, 375}});
    connect(button, &QPushButton::clicked, this, [this, i] { ButtonCommand(i); });
    w_.cmd[i] = button;
  }
  w_.cmd[1]->setEnabled(false);
  w_.cmd[2]->setEnabled(false);

  w_.lst = new DueListView(central);
  w_.lst->setAccessibleName(tr("Contents"));
  NameScrollBars(*w_.lst, w_.lst->accessibleName());
  w_.lst->SetDescription([this](int row) { return DueDescription(row); });
  design.push_back({w_.lst, {4320, 840, 2415, 2010}});
  connect(w_.lst, &DueListView::currentRowChanged, this, [this] { ListClicked(); });

  w_.lbl[0] = new QLabel(tr("&Contents:"), central);
  w_.lbl[0]->setBuddy(w_.lst);
  design.push_back({w_.lbl[0], {4320, 600, 675, 195}});
  w_.lbl[1] = new QLabel(central);
  design.push_back({w_.lbl[1], {6675, 120, 45, 195}});
  w_.lbl[3] = new QLabel(central);
  QFont status = w_.lbl[3]->font();
  status.setBold(true);
  status.setPointSizeF(12);
  w_.lbl[3]->setFont(status);
  design.push_back({w_.lbl[3], {240, 720, 3732, 456}});

  w_.txt = new QPlainTextEdit(central);
  w_.txt->setReadOnly(true);
  w_.txt->setAccessibleName(tr("Message"));
  NameScrollBars(*w_.txt, w_.txt->accessibleName());
  QFont message = w_.txt->font();
  message.setPointSizeF(9.75);
  w_.txt->setFont(message);
  design.push_back({w_.txt, {240, 1560, 3735, 1455}});
  w_.lbl[2] = new QLabel(tr("&Message:"), central);
  w_.lbl[2]->setBuddy(w_.txt);
  design.push_back({w_.lbl[2], {240, 1320, 690, 195}});

  scale_ = FitScale(*this, DesignNeeds());
  for (const auto& [widget, twips] : design) {
    widget->setGeometry(Px(twips.left()), Px(twips.top()), Px(twips.width()), Px(twips.height()));
  }
  // Captions keep their place and take the width their text needs.
  for (QLabel* caption : {w_.lbl[0], w_.lbl[2]}) {
    caption->resize(std::max(caption->width(), caption->sizeHint().width()), caption->height());
  }
}

// What decides the design scale: every button whole, the captions' and the status line's
// height, and the widest line the due list shows ("28th day of every month") beside its
// scroll bar.
std::vector<DesignedControl> MainWindow::DesignNeeds() const {
  std::vector<DesignedControl> needs;
  for (const QPushButton* button : w_.cmd) needs.push_back(Designed(*button, {735, 375}));
  for (const QLabel* caption : {w_.lbl[0], w_.lbl[2]}) {
    needs.push_back({{0, caption->sizeHint().height()}, {0, 195}});
  }
  needs.push_back({{0, w_.lbl[3]->sizeHint().height()}, {0, 456}});
  std::string widest;
  AppendListLine(widest, kMonthly, "Dec282026",
                 Date{std::chrono::year{2026}, std::chrono::December, std::chrono::day{28}});
  const QStyle* style = w_.lst->style();
  const int line = w_.lst->fontMetrics().horizontalAdvance(Q(widest)) + 2 * w_.lst->frameWidth() +
                   style->pixelMetric(QStyle::PM_ScrollBarExtent) +
                   2 * style->pixelMetric(QStyle::PM_FocusFrameHMargin) + 4;
  needs.push_back({{line, 0}, {2415, 0}});
  return needs;
}

int MainWindow::Px(double twips) const { return DesignPixels(*this, twips, scale_); }

// Grown by the scale, several twips give one pixel: a size the window still has keeps
// the number it came from (the stored one, or the smallest size), so that it does not
// creep from one start to the next.
std::int32_t MainWindow::DesignSize(int pixels, std::int32_t stored, int smallest) const {
  if (Px(stored) == pixels) return stored;
  if (Px(smallest) == pixels) return smallest;
  return static_cast<std::int32_t>(std::lround(DesignTwips(*this, pixels, scale_)));
}

void MainWindow::WatchForTouches() {
  centralWidget()->installEventFilter(this);
  for (QLabel* label : w_.lbl) label->installEventFilter(this);
  for (QPushButton* button : w_.cmd) button->installEventFilter(this);
  w_.lst->viewport()->installEventFilter(this);
  w_.txt->viewport()->installEventFilter(this);
  w_.txt->installEventFilter(this);
  w_.lst->installEventFilter(this);
}

// A click or key anywhere in the window stops the exit time-out; the right button over
// the background, the list, a label or a button opens the pop-up menu.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    StopTimeOut();
  } else if (event->type() == QEvent::MouseButtonPress) {
    StopTimeOut();
    auto* mouse = static_cast<QMouseEvent*>(event);
    const bool overMessage = watched == w_.txt || watched == w_.txt->viewport();
    // The menus are watched for F1; a right click inside an open one stays with it.
    const bool inMenu = qobject_cast<QMenu*>(watched) != nullptr;
    if (mouse->button() == Qt::RightButton && !overMessage && !inMenu) {
      w_.mnPop->popup(mouse->globalPosition().toPoint());
      return true;
    }
  }
  if (auto* menu = qobject_cast<QMenu*>(watched); menu && event->type() == QEvent::KeyPress) {
    if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
      ShowHelpFor(HelpContextOfMenu(menu));
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      StopTimeOut();
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        ShowHelpFor(help::kMainWindow);
        return true;
      }
      break;
    case QEvent::MouseButtonPress:
      StopTimeOut();
      break;
    default:
      break;
  }
  return QMainWindow::event(event);
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) LayOut();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  LayOut();
}

// Keeps the window at least 7080 x 3960 twips and lets the list, the message box and
// the labels follow its size.
void MainWindow::LayOut() {
  if (isMinimized() || laying_out_) return;
  laying_out_ = true;
  auto outer = [this] {
    const QSize frameExtra = place_->System().Frame(*this);
    return QSize(static_cast<int>(DesignTwips(*this, width() + frameExtra.width(), scale_)),
                 static_cast<int>(DesignTwips(*this, height() + frameExtra.height(), scale_)));
  };
  QSize twips = outer();
  if (twips.width() < kMinWidth || twips.height() < kMinHeight) {
    place_->Resize(QSize(Px(kMinWidth), Px(kMinHeight)));
    twips = outer();
  }
  const int w = twips.width();
  const int h = twips.height();
  const auto px = [this](double t) { return Px(t); };
  w_.lst->setGeometry(px(w - 2760), w_.lst->y(), w_.lst->width(), px(h - 1755));
  w_.lbl[0]->move(w_.lst->x(), w_.lbl[0]->y());
  w_.lbl[1]->adjustSize();
  w_.lbl[1]->move(px(w - 350) - w_.lbl[1]->width(), w_.lbl[1]->y());
  w_.txt->setGeometry(w_.txt->x(), w_.txt->y(), std::max(0, w_.lst->x() - px(585)),
                      std::max(0, px(h - 2505)));
  w_.lbl[3]->setGeometry(px(240), w_.lbl[3]->y(), w_.txt->width(), w_.lbl[3]->height());
  laying_out_ = false;
}

void MainWindow::StopTimeOut() {
  if (!keepTimeOut_) tmr_.stop();
}

// Also during a reload nobody asked for: a click or key is the user's own.
void MainWindow::Touched() { tmr_.stop(); }

// Swaps the status label's colours: 150 ms swapped, 1000 ms normal.
void MainWindow::BlinkTick() {
  QPalette palette = w_.lbl[3]->palette();
  const QColor text = palette.color(QPalette::WindowText);
  palette.setColor(QPalette::WindowText, palette.color(QPalette::Window));
  palette.setColor(QPalette::Window, text);
  w_.lbl[3]->setPalette(palette);
  values_.blinkPhase = !values_.blinkPhase;
  clk_.setInterval(1000 + 850 * (values_.blinkPhase ? -1 : 0));
}

void MainWindow::StartBlinking() { clk_.start(); }

// The end waits while the start-up, a scan or a question is still at work: they use
// the due list, and nobody's answer may be given for them. The next tick ends it.
void MainWindow::TimeOutTick() {
  if (!tmr_.isActive()) return;  // the count runs only while the time-out is on
  if (values_.idleTicks < INT16_MAX) ++values_.idleTicks;
  const int timeOut = values_.settings.timeOut;
  if (timeOut <= 0 || values_.idleTicks < timeOut || InProgress()) return;
  tmr_.stop();
  DeleteDueList();
  if (hooks_.endAtOnce) hooks_.endAtOnce();
}

void MainWindow::DeleteDueList() { dueList_.reset(); }

void MainWindow::ShowViewer() {
  if (!viewer_) viewer_ = new ViewerWindow(*this, hooks_.windowSystem);
  viewer_->ShowAt(place_->Place());
  hide();
}

void MainWindow::ShowAbout() {
  QWidget* parent = this;
  if (!isVisible() && viewer_) parent = viewer_;
  ShowAboutBox(platform_, parent);
}

void MainWindow::ShowAboutOver(QWidget* parent) { ShowAboutBox(platform_, parent); }

void MainWindow::RememberOwnPlace() {
  if (isVisible() && !isMinimized() && !isMaximized()) CopyPlaceToSettings(place_->Place());
}

// Where the compositor alone places windows, the program never learns a position: the
// stored one is kept for the next start on a desktop that does.
void MainWindow::CopyPlaceToSettings(const QRect& frame) {
  Settings& s = values_.settings;
  s.mainHeight = DesignSize(frame.height(), s.mainHeight, kMinHeight);
  s.mainWidth = DesignSize(frame.width(), s.mainWidth, kMinWidth);
  if (!hooks_.windowSystem.placesWindows) return;
  s.mainLeft = static_cast<std::int16_t>(
      std::clamp<long>(std::lround(ToTwips(*this, frame.x())), INT16_MIN, INT16_MAX));
  s.mainTop = static_cast<std::int16_t>(
      std::clamp<long>(std::lround(ToTwips(*this, frame.y())), INT16_MIN, INT16_MAX));
}

void MainWindow::RememberPlace(const QRect& frame) { CopyPlaceToSettings(frame); }

void MainWindow::PutAt(const QRect& frame) { place_->Apply(frame); }

void MainWindow::ShowMainAt(const QRect& frame) {
  PutAt(frame);
  showNormal();
  show();
  if (viewer_) viewer_->hide();
}

void MainWindow::ExitFromViewer(const QRect& frame) {
  PutAt(frame);
  // The viewer is already gone: Shift must not keep a program without a visible window.
  exitFromViewer_ = true;
  close();
  exitFromViewer_ = false;
}

bool MainWindow::RefuseSessionClose() {
  // A signal cannot be refused.
  if (signalled_ || !sessionEnding_ || values_.dueCount <= 0 || !values_.settings.exitPopUp) {
    return false;
  }
  if (values_.settings.sound != 0) platform_.Beep();
  return true;
}

// The session manager asks before the desktop ends; with due events and Exit Pop Up
// the window comes forward instead.
bool MainWindow::SessionEnding() {
  // The editor asks about unsaved changes first; keeping it open keeps the session.
  if (editor_ && !editor_->close()) return false;
  sessionEnding_ = true;
  QWidget* shown = viewer_ && viewer_->isVisible() ? static_cast<QWidget*>(viewer_.data())
                                                   : static_cast<QWidget*>(this);
  const bool closed = shown->close();
  sessionEnding_ = false;
  return closed;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  RememberOwnPlace();
  if (RefuseSessionClose()) {
    showNormal();
    raise();
    activateWindow();
    event->ignore();
    return;
  }
  if (!sessionEnding_ && !signalled_ && !exitFromViewer_ && hooks_.shiftHeld &&
      hooks_.shiftHeld()) {
    SaveSettingsNow();
    event->ignore();
    return;
  }
  DeleteDueList();
  if (viewer_) viewer_->CloseQuietly();  // it hands over its place first
  visibleAtClose_ = isVisible();
  SaveSettings(values_.settings, values_.settings.saveOnExit,
               SaveContext{platform_, visibleAtClose_, values_.password});
  platform_.StopSound();
  closed_ = true;
  event->accept();
}

// ViewerHost: the viewer reads the main window's controls.
QString MainWindow::DateLabelText() const { return w_.lbl[1]->text(); }
int MainWindow::DueLineCount() const { return w_.lst->count(); }
int MainWindow::SelectedLine() const { return w_.lst->currentRow(); }
void MainWindow::SelectLine(int index) { w_.lst->setCurrentRow(index); }
QString MainWindow::StatusText() const { return w_.lbl[3]->text(); }
QString MainWindow::MessageText() const { return w_.txt->toPlainText(); }
QFont MainWindow::MessageFont() const { return w_.txt->font(); }
QColor MainWindow::MessageColor() const { return w_.txt->palette().color(QPalette::Text); }

}  // namespace memro

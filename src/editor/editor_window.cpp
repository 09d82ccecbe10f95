#include "editor/editor_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "data/fixed_texts.h"
#include "editor/editor_texts.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/scroll_bar_names.h"
#include "platform/qt/twips.h"
#include "settings/settings.h"

namespace memro {
namespace {

struct ButtonDesign {
  const char* caption;
  const char* tip;
  const char* hint;
};

constexpr std::array<ButtonDesign, 7> kButtons{{
    {"&Update", "Update current record", "  Updates current record."},
    {"&Open", "Open an Memro file", "  Opens a file."},
    {"&Save", "Save current records", "  Saves the current data into a file."},
    {"&Quit", "Exit Memro Editor", "  Quits the Editor."},
    {"&New Rec.", "Add a new record", "  Creates a new record."},
    {"&Del Rec.", "Delete current record", "  Deletes current record."},
    {"Du&p Rec.", "Duplicate current record", "  Duplicates current record."},
}};

// The status-line hint a control gives when the mouse moves over it.
const char* const kHintProperty = "memroHint";

}  // namespace

EditorWindow::EditorWindow(Platform& platform, EditorHost& host, QWidget* parent)
    : QMainWindow(parent), platform_(platform), host_(host) {
  BuildControls();
  BuildMenus();
  BuildPopup();
  WatchPointer();
  ConnectChanges();
  resize(ToPixels(*this, kDesignWidth), ToPixels(*this, kDesignHeight));

  w_.lbl[2]->setText(Q(WarnCaption(w_.hWarn->value())));
  setWindowTitle(Q(Texts().productTitle + " Editor"));
  w_.lbl[3]->setText(Q(RecordCaption(0, 0)));
  for (const char* item : {"Yearly", "Monthly", "Weekly", "Daily", "Once"}) w_.cmb->addItem(item);
  PutDefaultsInFields();
  s_.recModified = s_.fileChanged = false;
  s_.fileName.clear();
}

EditorWindow::~EditorWindow() = default;

bool EditorWindow::Start() {
  store_ = CreateWorkFile(platform_, false);
  if (!store_) return false;
  const std::string current = host_.CurrentFile();
  if (!current.empty()) {
    s_.fileName = "+" + current;
    FileCommand(1);
  }
  OfferWaitingRecovery();
  ShowRecentFiles();
  return true;
}

void EditorWindow::BuildControls() {
  auto* central = new QWidget(this);
  setCentralWidget(central);
  auto* grid = new QGridLayout;
  auto label = [&](int index, const char* caption, QWidget* buddy, int row) {
    w_.lbl[index] = new QLabel(tr(caption), central);
    w_.lbl[index]->setBuddy(buddy);
    grid->addWidget(w_.lbl[index], row, 0, Qt::AlignLeft | Qt::AlignTop);
  };

  w_.date = new QLineEdit(central);
  w_.date->setProperty(kHintProperty, "  Enter a valid date.");
  label(0, "&1. Date:", w_.date, 0);
  grid->addWidget(w_.date, 0, 1);

  w_.message = new QPlainTextEdit(central);
  w_.message->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  w_.message->setTabChangesFocus(true);
  NameScrollBars(*w_.message, tr("Messages"));
  w_.message->setProperty(kHintProperty, "  Enter message to display.");
  label(1, "&2. Messages:", w_.message, 1);
  grid->addWidget(w_.message, 1, 1);
  grid->setRowStretch(1, 1);

  w_.hWarn = new ArrowScrollBar(Qt::Horizontal, central);
  w_.hWarn->setRange(0, kWarnMaximum);
  w_.hWarn->setPageStep(kWarnPage);
  w_.hWarn->setFocusPolicy(Qt::StrongFocus);
  w_.hWarn->setAccessibleName(tr("Days of warning in advance"));
  label(2, "&3. Warn in advance:", w_.hWarn, 2);
  w_.lbl[2]->setProperty(kHintProperty,
                         "  Adjusts the number of days in advance you want to be "
                         "notified of this event.");
  grid->addWidget(w_.hWarn, 2, 1, Qt::AlignVCenter);

  w_.cmb = new QComboBox(central);
  w_.cmb->setToolTip(tr("Frequency of activation of this event"));
  label(5, "&4. Activate:", w_.cmb, 3);
  w_.lbl[5]->setProperty(kHintProperty, "  Sets message activation frequency.");
  grid->addWidget(w_.cmb, 3, 1, Qt::AlignLeft);

  const std::array<ButtonDesign, 3> boxes{{
      {"&5. Enabled.", "Enable this event", "  Check this option to enable this event."},
      {"&6. Backdated warning.",
       "Show this event when the current date is greater than this event's date",
       "  Check this option for backdated warning of this event."},
      {"&7. Automatic Clean Up.", "Automatically delete this record when event passes",
       "  Use this options to enable automatic clean up."},
  }};
  auto* checks = new QHBoxLayout;
  for (int i = 1; i <= 3; ++i) {
    w_.chk[i] = new QCheckBox(tr(boxes[i - 1].caption), central);
    w_.chk[i]->setToolTip(tr(boxes[i - 1].tip));
    w_.chk[i]->setProperty(kHintProperty, boxes[i - 1].hint);
    checks->addWidget(w_.chk[i]);
  }
  checks->addStretch();
  grid->addLayout(checks, 4, 0, 1, 2);

  w_.hPos = new PositionBar(Qt::Horizontal, central);
  w_.hPos->setRange(1, 1);
  w_.hPos->setTracking(false);  // a drag moves once, where it ends
  w_.hPos->setFocusPolicy(Qt::StrongFocus);
  w_.hPos->setAccessibleName(tr("Current record"));
  label(3, "Current Record:", w_.hPos, 5);
  w_.lbl[3]->setProperty(kHintProperty, "  Record position indicator.");
  grid->addWidget(w_.hPos, 5, 1, Qt::AlignVCenter);

  auto* column = new QVBoxLayout(central);
  column->addLayout(grid);
  BuildButtons(central);
  auto* row = new QHBoxLayout;
  for (QPushButton* button : w_.cmd) row->addWidget(button);
  column->addLayout(row);
  w_.ln = new QFrame(central);
  w_.ln->setFrameShape(QFrame::HLine);
  w_.ln->setFrameShadow(QFrame::Sunken);
  column->addWidget(w_.ln);
  w_.lbl[4] = new QLabel(central);
  w_.lbl[4]->setObjectName("statusLine");
  column->addWidget(w_.lbl[4]);
}

void EditorWindow::BuildButtons(QWidget* central) {
  for (int i = 0; i < 7; ++i) {
    auto* button = new QPushButton(tr(kButtons[i].caption), central);
    button->setToolTip(tr(kButtons[i].tip));
    button->setProperty(kHintProperty, kButtons[i].hint);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, i] { ButtonCommand(i); });
    w_.cmd[i] = button;
  }
}

void EditorWindow::WatchPointer() {
  centralWidget()->setMouseTracking(true);
  centralWidget()->installEventFilter(this);
  for (QLabel* label : w_.lbl) label->installEventFilter(this);
  for (int i = 1; i <= 3; ++i) w_.chk[i]->installEventFilter(this);
  for (QPushButton* button : w_.cmd) button->installEventFilter(this);
  w_.date->installEventFilter(this);
  w_.message->viewport()->installEventFilter(this);
  for (QMenu* menu : {w_.mnF, w_.mnR, w_.mnH}) {
    connect(menu, &QMenu::aboutToShow, this, &EditorWindow::ShowHelpHint);
  }
}

// Hints on the status line as the mouse moves; the right button over the background, a
// label, a check box or a button opens the pop-up menu.
bool EditorWindow::eventFilter(QObject* watched, QEvent* event) {
  QWidget* widget = qobject_cast<QWidget*>(watched);
  if (widget == w_.message->viewport()) widget = w_.message;
  if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
    const QVariant hint = widget ? widget->property(kHintProperty) : QVariant();
    if (hint.isValid()) {
      w_.lbl[4]->setText(hint.toString());
    } else if (widget == centralWidget()) {
      ShowHelpHint();
    }
  } else if (event->type() == QEvent::MouseButtonPress) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const bool field = widget == w_.date || widget == w_.message;
    if (mouse->button() == Qt::RightButton && !field) {
      w_.mnPop->popup(mouse->globalPosition().toPoint());
      return true;
    }
  } else if (event->type() == QEvent::KeyPress && watched == w_.date) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      w_.message->setFocus();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

Answer EditorWindow::Box(const std::string& prompt, Icon icon, Buttons buttons,
                         const std::string& title) {
  w_.hPos->EndPress();
  const Answer answer = platform_.MessageBox(prompt, icon, buttons, title);
  // Ended by a signal while the box was open: its answer does nothing any more (the
  // changes were kept as they stood).
  return ending_ && buttons != Buttons::kOk ? Answer::kCancel : answer;
}

void EditorWindow::ShowHelpHint() { w_.lbl[4]->setText(tr("  Press F1 for help.")); }

void EditorWindow::ConnectChanges() {
  connect(w_.hPos, &QScrollBar::valueChanged, this, &EditorWindow::PositionChanged);
  connect(w_.hWarn, &QScrollBar::valueChanged, this, &EditorWindow::WarnChanged);
  connect(w_.cmb, &QComboBox::currentIndexChanged, this, &EditorWindow::ActivationChanged);
  for (int i = 1; i <= 3; ++i) {
    connect(w_.chk[i], &QCheckBox::stateChanged, this, [this] { s_.recModified = true; });
  }
  connect(w_.date, &QLineEdit::textChanged, this, &EditorWindow::TextChanged);
  connect(w_.message, &QPlainTextEdit::textChanged, this, &EditorWindow::LimitMessage);
}

// The window's place goes to the settings whenever it is resized in its normal state.
void EditorWindow::KeepPlace() {
  if (isMinimized() || isMaximized()) return;
  auto twips16 = [this](int pixels) {
    return static_cast<std::int16_t>(std::clamp(ToTwips(*this, pixels), -32768.0, 32767.0));
  };
  Settings& settings = host_.ProgramSettings();
  settings.editorLeft = twips16(frameGeometry().x());
  settings.editorTop = twips16(frameGeometry().y());
}

void EditorWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (isVisible()) KeepPlace();
}

void EditorWindow::closeEvent(QCloseEvent* event) {
  if (closed_ || CloseSequence()) {
    closed_ = true;
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace memro

#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QTimer>

#include "platform/autostart.h"
#include "platform/directories.h"
#include "platform/private_directory.h"
#include "platform/qt/date_watch.h"
#include "platform/qt/file_dialogs.h"
#include "platform/qt/font_dialog.h"
#include "platform/qt/help_window.h"
#include "platform/qt/local_date.h"
#include "platform/qt/message_boxes.h"
#include "platform/qt/qt_text.h"

namespace memro {

QtPlatform::QtPlatform(MidiOptions midiOptions, BellOptions bellOptions)
    : sound_(std::move(midiOptions)), bell_(std::move(bellOptions)) {}

QtPlatform::~QtPlatform() {
  while (busyDepth_ > 0) SetBusy(false);
}

namespace {

// A question asked in the middle of long work shows the normal pointer over its box;
// the busy pointer comes back when the user has answered.
class NormalPointerWhileAsking {
 public:
  explicit NormalPointerWhileAsking(bool busy) : busy_(busy) {
    if (busy_) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~NormalPointerWhileAsking() {
    if (busy_) QGuiApplication::restoreOverrideCursor();
  }
  NormalPointerWhileAsking(const NormalPointerWhileAsking&) = delete;
  NormalPointerWhileAsking& operator=(const NormalPointerWhileAsking&) = delete;

 private:
  bool busy_;
};

}  // namespace

QWidget* QtPlatform::DialogParent() const {
  // A dialog belongs over the window the user works in: the editor's over the editor.
  if (QWidget* active = QApplication::activeWindow()) return active;
  return dialogParent_.data();
}

Answer QtPlatform::MessageBox(const std::string& prompt, Icon icon, Buttons buttons,
                              const std::string& title) {
  const NormalPointerWhileAsking pointer(busyDepth_ > 0);
  auto box = BuildMessageBox(prompt, icon, buttons, title, DialogParent());
  return AnswerFor(box->exec(), buttons);
}

std::string QtPlatform::InputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) {
  const NormalPointerWhileAsking pointer(busyDepth_ > 0);
  auto dialog = BuildInputBox(prompt, title, defaultText, DialogParent());
  if (dialog->exec() != QDialog::Accepted) return {};
  return dialog->textValue().toStdString();
}

FileDialogResult QtPlatform::OpenFileDialog(const FileDialogRequest& request) {
  const NormalPointerWhileAsking pointer(busyDepth_ > 0);
  auto dialog = BuildFileDialog(request, FileDialogMode::kOpen, DialogParent());
  return RunFileDialog(*dialog, request);
}

FileDialogResult QtPlatform::SaveFileDialog(const FileDialogRequest& request) {
  const NormalPointerWhileAsking pointer(busyDepth_ > 0);
  auto dialog = BuildFileDialog(request, FileDialogMode::kSave, DialogParent());
  return RunFileDialog(*dialog, request);
}

FontResult QtPlatform::FontDialog(const FontRequest& request) {
  const NormalPointerWhileAsking pointer(busyDepth_ > 0);
  LimitedFontDialog dialog(request, DialogParent());
  dialog.exec();
  return dialog.Result();
}

void QtPlatform::ShowHelp(int context) {
  // One help window for the whole run, reused and brought forward at each topic.
  if (!help_) help_ = std::make_unique<HelpWindow>();
  help_->ShowTopic(context);
}

void QtPlatform::Beep() { bell_.Ring(); }

void QtPlatform::PlaySound(const std::filesystem::path& file) { sound_.Play(file); }

void QtPlatform::StopSound() { sound_.Stop(); }

void QtPlatform::SetBusy(bool busy) {
  if (busy) {
    if (busyDepth_++ == 0) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busyDepth_ > 0) {
    if (--busyDepth_ == 0) QGuiApplication::restoreOverrideCursor();
  }
}

// The window is drawn and the desktop answered while another program holds a file; what
// the user clicks or types waits, so that no command starts in the middle of a scan.
void QtPlatform::Pause(std::chrono::milliseconds duration) {
  QEventLoop loop;
  QTimer::singleShot(duration, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

std::chrono::year_month_day QtPlatform::Today() {
  return LocalDate(std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()));
}

void QtPlatform::WatchDate(std::function<void()> check) {
  // One watch for the run; a later call only replaces what it calls.
  if (dateWatch_) {
    dateWatch_->SetCheck(std::move(check));
  } else {
    dateWatch_ = std::make_unique<DateWatch>(std::move(check));
  }
}

void QtPlatform::Notify(const Notification& notification, std::function<void()> activated) {
  notifier_.KeepIdIn(NotificationIdFile(ProgramDirectory()));
  notifier_.Notify(Q(notification.summary), Q(notification.body), std::move(activated));
}

bool QtPlatform::StartsAtLogin() { return AutostartEnabled(FindAutostartLocations()); }

std::string QtPlatform::SetStartAtLogin(bool on) {
  // The path's own bytes, as the desktop will find the program.
  const std::string program =
      QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
  return SetAutostart(FindAutostartLocations(), on, program);
}

std::filesystem::path QtPlatform::ProgramDirectory() { return DefaultProgramDirectory(); }

std::filesystem::path QtPlatform::TempDirectory() {
  return DefaultTempDirectory(DefaultProgramDirectory());
}

// The password file lives beside the settings.
std::filesystem::path QtPlatform::ProtectionDirectory() { return DefaultProgramDirectory(); }

}  // namespace memro

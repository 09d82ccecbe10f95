// The main window's side of a scan, and the display of the selected due entry.
#include <QApplication>
#include <filesystem>

#include "app/gui/main_window.h"
#include "app/gui/viewer_window.h"
#include "data/codepage.h"
#include "data/text_util.h"
#include "engine/scan.h"
#include "engine/status.h"

namespace memro {
namespace {

// What the scan writes into the window while it runs.
class WindowScanView : public ScanView {
 public:
  WindowScanView(MainWindow& window, const MainWidgets& w) : window_(window), w_(w) {}
  void SetCaption(const std::string& caption) override { window_.setWindowTitle(Q(caption)); }
  void SetDateLabel(const std::string& label) override {
    w_.lbl[1]->setText(Q(label));
    window_.LayOut();
  }
  void ClearDueDisplay() override {
    const QSignalBlocker quiet(w_.lst);
    w_.lst->Clear();
    w_.txt->clear();
    w_.lbl[3]->clear();
    w_.lbl[3]->setAutoFillBackground(false);
    window_.blinkTimer().stop();
  }
  void AddLine(const std::string& line) override { w_.lst->Append(line); }
  void Alert() override { window_.SoundRequest(); }
  void SelectLine(std::int64_t index) override {
    w_.lst->Flush();
    window_.SelectLine(static_cast<int>(index));
  }
  void EnableDueCommands() override {
    w_.lst->Flush();
    for (QWidget* button : {static_cast<QWidget*>(w_.cmd[1]), static_cast<QWidget*>(w_.cmd[2])}) {
      button->setEnabled(true);
    }
    w_.miF[1]->setEnabled(true);
    w_.miF[4]->setEnabled(true);
  }

 private:
  MainWindow& window_;
  const MainWidgets& w_;
};

std::string StampText(std::filesystem::file_time_type stamp) {
  return std::to_string(stamp.time_since_epoch().count());
}

}  // namespace

int MainWindow::RunScan(const std::string& fileName) {
  if (!dueList_) return 0;
  ScanSettings settings;
  settings.rangeDays = values_.rangeDays;
  settings.confirmCleanUp = w_.miS[3]->isChecked();
  // The list matters more than the clean-up, which the next scan offers again.
  settings.listWhenBusy = true;
  settings.lockWait = hooks_.lockWait;
  WindowScanView view(*this, w_);
  scanning_ = true;
  const ScanResult scan = LoadEventFile(platform_, fileName, dueList_->file(), settings, view);
  scanning_ = false;
  if (scan.result >= 1) {
    values_.dueCount = static_cast<std::int16_t>(scan.loadedCount);
    values_.fileStamp = StampText(scan.fileStamp);
  }
  return scan.result;
}

// The modification time of the loaded file differs from the one the scan saw: offer to
// load it again. A file that is gone is not asked about.
void MainWindow::ChangedFileCheck() {
  if (values_.pendingFile.empty() || values_.fileStamp.empty()) return;
  std::error_code error;
  const auto stamp = std::filesystem::last_write_time(values_.pendingFile, error);
  if (error || StampText(stamp) == values_.fileStamp) return;
  const Answer answer =
      platform_.MessageBox("Contents of " + values_.pendingFile + " have changed. Update now?",
                           Icon::kQuestion, Buttons::kYesNo, "");
  if (answer != Answer::kYes) return;
  values_.pendingFile = "+" + values_.pendingFile;
  FileCommand(0);
}

void MainWindow::ListClicked() {
  StopTimeOut();
  if (!ShowEntry(w_.lst->currentRow() + 1)) platform_.Beep();
}

bool MainWindow::ShowEntry(int number) {
  std::string bytes;
  try {
    if (!dueList_ || number < 1) {
      platform_.MessageBox("Bad record number", Icon::kCritical, Buttons::kOk, "");
      return false;
    }
    dueList_->file().Read(number, bytes);
  } catch (const FileError& e) {
    platform_.MessageBox(e.description(), Icon::kCritical, Buttons::kOk, "");
    return false;
  }
  const DueEntry entry = DueEntry::FromBytes(bytes);
  values_.editTarget = std::to_string(entry.recordNo);
  w_.lbl[3]->setText(Q(memro::StatusText(entry, platform_.Today(), !values_.rangeDays.empty())));
  w_.txt->setPlainText(Q(Cp1252ToUtf8(ShownMessage(entry))).replace("\r\n", "\n"));
  return true;
}

QString MainWindow::DueDescription(int row) {
  std::string bytes;
  try {
    if (!dueList_) return {};
    dueList_->file().Read(row + 1, bytes);
  } catch (const FileError&) {
    return w_.lst->Line(row);
  }
  const DueEntry entry = DueEntry::FromBytes(bytes);
  const QString status = Q(memro::StatusText(entry, platform_.Today(), !values_.rangeDays.empty()));
  QString message = Q(Cp1252ToUtf8(ShownMessage(entry))).simplified();
  constexpr int kSpokenMessage = 80;
  if (message.size() > kSpokenMessage) message = message.left(kSpokenMessage) + u'\u2026';
  return w_.lst->Line(row) + QStringLiteral(", ") + status + QStringLiteral(": ") + message;
}

// Plays the alert of the chosen sound mode; a sound file that is gone switches sound off.
void MainWindow::SoundRequest() {
  Settings& s = values_.settings;
  if (s.sound == 1) {
    platform_.Beep();
    return;
  }
  std::error_code error;
  if (s.sound == 2 && !s.soundFile.empty() &&
      std::filesystem::is_regular_file(s.soundFile, error)) {
    platform_.PlaySound(s.soundFile);
    return;
  }
  SetSoundMarks(0);
}

void MainWindow::SetSoundMarks(int mode) {
  values_.settings.sound = static_cast<std::int16_t>(mode);
  for (int i = 0; i < 3; ++i) w_.miSS[i]->setChecked(i == mode);
}

}  // namespace memro

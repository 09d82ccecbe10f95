// The Options menu and its Sound submenu.
#include <QFontDatabase>
#include <cmath>

#include "app/gui/main_window.h"
#include "app/gui/viewer_window.h"
#include "data/fixed_texts.h"
#include "data/text_util.h"
#include "editor/password_dialog.h"

namespace memro {
namespace {

std::int16_t Flipped(bool on) { return on ? 0 : -1; }

}  // namespace

void MainWindow::OptionsCommand(int index) {
  StopTimeOut();
  Settings& s = values_.settings;
  switch (index) {
    case 0:
      ChooseAutoLoad();
      break;
    case 1:
      ChooseFont();
      break;
    case 4:
      Protection();
      break;
    case 6:
      s.exitPopUp = Flipped(s.exitPopUp) != 0;
      w_.miO[6]->setChecked(s.exitPopUp);
      break;
    case 7:
      ShowViewer();
      break;
    case 8:
      s.onceDaily = Flipped(s.onceDaily) != 0;
      w_.miO[8]->setChecked(s.onceDaily);
      break;
    case 9:
      StartAtLogin();
      break;
    case 10:
      s.notification = Flipped(s.notification) != 0;
      w_.miO[10]->setChecked(s.notification);
      break;
    case 12:
      SetUpSync();
      break;
    default:
      break;
  }
}

void MainWindow::ChooseAutoLoad() {
  Settings& s = values_.settings;
  FileDialogRequest request;
  request.title = "AutoLoad";
  request.initialName = s.autoLoad;
  request.filter = Texts().eventFileFilter;
  request.defaultExtension = "MMO";
  request.fileMustExist = request.pathMustExist = request.hideReadOnly = true;
  const FileDialogResult chosen = platform_.OpenFileDialog(request);
  if (chosen.outcome == FileDialogResult::Outcome::kChosen) {
    s.autoLoad = chosen.path;
  } else if (chosen.outcome == FileDialogResult::Outcome::kCancelled && !s.autoLoad.empty()) {
    if (platform_.MessageBox("Remove current AutoLoad file?", Icon::kQuestion, Buttons::kYesNo,
                             "") == Answer::kYes) {
      s.autoLoad.clear();
    }
  }
  w_.miO[0]->setChecked(!s.autoLoad.empty());
}

// The desktop's autostart entry is the truth, not a setting: the mark shows the entry as
// it is after the attempt, also when writing or removing it failed.
void MainWindow::StartAtLogin() {
  const std::string failure = platform_.SetStartAtLogin(!platform_.StartsAtLogin());
  if (!failure.empty()) platform_.MessageBox(failure, Icon::kExclamation, Buttons::kOk, "");
  w_.miO[9]->setChecked(platform_.StartsAtLogin());
}

void MainWindow::ChooseFont() {
  FontRequest request;
  request.name = w_.txt->font().family().toStdString();
  request.size = w_.txt->font().pointSizeF();
  const FontResult chosen = platform_.FontDialog(request);
  if (chosen.outcome == FontResult::Outcome::kCancelled) return;
  if (chosen.outcome == FontResult::Outcome::kFailed) {
    platform_.Beep();
    platform_.MessageBox(chosen.name.empty() ? "The font dialog failed." : chosen.name,
                         Icon::kExclamation, Buttons::kOk, "");
    return;
  }
  Settings& s = values_.settings;
  QFont message = w_.txt->font();
  message.setFamily(Q(chosen.name));
  message.setPointSizeF(chosen.size);
  w_.txt->setFont(message);
  s.fontName = chosen.name;
  s.fontSize = static_cast<std::int16_t>(std::nearbyint(chosen.size));
  QFont status = w_.lbl[3]->font();
  status.setFamily(Q(chosen.name));
  w_.lbl[3]->setFont(status);
}

void MainWindow::Protection() {
  // The viewer stays loaded once shown; it counts as another window only while shown.
  if ((viewer_ && viewer_->isVisible()) || editor_) {
    const std::string& title = Texts().productTitle;
    platform_.MessageBox("Protection cannot be invoked when the " + title +
                             " Editor is opened. Please close the " + title +
                             " Editor first. Press F1 for help.",
                         Icon::kExclamation, Buttons::kOk, "");
    w_.miO[4]->setChecked(!values_.password.empty());
    return;
  }
  std::unique_ptr<PasswordDialog> dialog;
  {
    BusyPointer busy(platform_);
    dialog = std::make_unique<PasswordDialog>(platform_, values_.password, this);
  }
  dialog->exec();
  // The dialog leaves the busy pointer on as it closes.
  platform_.SetBusy(false);
  ApplyLock();
}

// While a password is set, nothing may load another file, open the editor or change
// the setup; what the desktop starts at login is part of that setup.
void MainWindow::ApplyLock() {
  const bool locked = !values_.password.empty();
  for (int i : {0, 2, 7, 8, 9, 10}) w_.miF[i]->setEnabled(!locked);
  w_.cmd[0]->setEnabled(!locked);
  w_.miO[0]->setEnabled(!locked);
  w_.miO[6]->setEnabled(!locked);
  w_.miO[9]->setEnabled(!locked);
  w_.miO[12]->setEnabled(!locked);
  // The items too: their shortcuts must not rest on how Qt treats a disabled menu.
  w_.mnS->menuAction()->setEnabled(!locked);
  for (int i : {0, 1, 3, 5, 6}) w_.miS[i]->setEnabled(!locked);
  w_.miO[4]->setChecked(locked);
}

void MainWindow::SoundCommand(int index) {
  if (index == 2) {
    ChooseSoundFile();
    return;
  }
  SetSoundMarks(index);
}

void MainWindow::ChooseSoundFile() {
  Settings& s = values_.settings;
  FileDialogRequest request;
  request.title = "Set Sound File";
  request.initialName = s.soundFile;
  request.filter = "Sound Files (*.wav, *.mid)|*.wav *.mid|All Files (*.*)|*.*";
  request.defaultExtension = "WAV";
  request.fileMustExist = request.pathMustExist = request.hideReadOnly = true;
  const FileDialogResult chosen = platform_.OpenFileDialog(request);
  if (chosen.outcome != FileDialogResult::Outcome::kChosen) {
    SetSoundMarks(s.sound);  // a click on the entry must not move the check mark
    return;
  }
  s.soundFile = chosen.path;
  const std::string name = TrimBlanks(s.soundFile);
  std::string tail = name.size() >= 4 ? name.substr(name.size() - 4) : name;
  for (char& c : tail) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (tail != ".WAV" && tail != ".MID") {
    s.soundFile.clear();
    SetSoundMarks(s.sound);
    return;
  }
  SetSoundMarks(2);
}

}  // namespace memro

// The program's start: settings, the single running copy, the once-daily rule, the
// lock, the due list, the file to load and the first view.
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLockFile>
#include <QScreen>

#include "app/gui/main_window.h"
#include "app/gui/program_start.h"
#include "app/gui/viewer_window.h"
#include "data/fixed_texts.h"
#include "data/text_util.h"
#include "data/work_file.h"
#include "editor/editor_recovery.h"
#include "engine/list_line.h"
#include "platform/qt/twips.h"
#include "settings/protection_file.h"

namespace memro {

// A signal during the start-up ends the program once the start-up is done (EndBySignal).
MainWindow::Start MainWindow::StartUp(const std::string& commandLine) {
  startingUp_ = true;
  const Start start = StartUpSteps(commandLine);
  if (start == Start::kRunning) OpenEditorForRecovery();
  startingUp_ = false;
  return start;
}

MainWindow::Start MainWindow::StartUpSteps(const std::string& commandLine) {
  BusyPointer busy(platform_);
  day_ = platform_.Today();
  w_.lbl[1]->setText(QString::fromStdString(DateLabel(day_)));
  if (AnotherCopyRunning()) {
    platform_.MessageBox(Texts().productTitle + " is already loaded.", Icon::kExclamation,
                         Buttons::kOk, Texts().productTitle);
    return Start::kEnded;
  }
  // No other copy runs: a work file that nobody holds is left from a run that was killed.
  RemoveAbandonedWorkFiles(platform_.TempDirectory());
  ReadStartSettings();
  const OnceDaily daily = OnceDailyRule(commandLine);
  if (daily == OnceDaily::kEnd) return Start::kEnded;

  const Settings& s = values_.settings;
  if (s.timeOut > 0) tmr_.start();
  w_.miS[1]->setChecked(s.timeOut > 0);
  w_.miS[0]->setChecked(s.idleMin);
  w_.miS[5]->setChecked(s.saveOnExit);
  w_.miS[3]->setChecked(s.confirmCleanUp);
  values_.visibleAtStart = s.visible;

  values_.password = ReadProtectionPassword(ProtectionFilePath(platform_)).value_or("");
  ApplyLock();

  dueList_ = CreateWorkFile(platform_, true);
  if (!dueList_) return Start::kEnded;
  AddRecentFile("");
  PlaceFromSettings();
  const FirstLoad load = ChooseFileToLoad(commandLine);
  // Only a start that showed the day's list counts for the once-daily rule: a file that
  // could not be read is tried again at the next start.
  if (daily == OnceDaily::kRecord && load != FirstLoad::kFailed) RecordStart();
  FirstView();
  // The user has not looked yet: the desktop tells about what is due.
  if (load == FirstLoad::kShown) NotifyDue();
  StartSyncing();
  platform_.WatchDate([window = QPointer<MainWindow>(this)] {
    if (window) window->DateCheck();
  });
  return Start::kRunning;
}

bool MainWindow::AnotherCopyRunning() {
  if (hooks_.lockDirectory.empty()) return false;
  // The directory is the user's own, so the name needs no user in it.
  lock_ = std::make_unique<QLockFile>(
      QDir(QString::fromStdString(hooks_.lockDirectory)).filePath("memro.lock"));
  // Never take over a running copy's lock because it is old; the lock of a copy that
  // crashed is still recognised by its dead process and taken over.
  lock_->setStaleLockTime(0);
  return !lock_->tryLock(0);
}

void MainWindow::ReadStartSettings() {
  const QSize screen = QGuiApplication::primaryScreen()->size();
  values_.settings =
      LoadSettings(SettingsFilePath(platform_),
                   Extent{static_cast<std::int32_t>(ToTwips(*this, screen.width())),
                          static_cast<std::int32_t>(ToTwips(*this, screen.height()))},
                   Extent{kDesignWidth, kDesignHeight});
  ApplyFont();
  const Settings& s = values_.settings;
  SetSoundMarks(s.sound);
  w_.miO[0]->setChecked(!s.autoLoad.empty());
  w_.miO[6]->setChecked(s.exitPopUp);
  w_.miO[8]->setChecked(s.onceDaily);
  w_.miO[9]->setChecked(platform_.StartsAtLogin());
  w_.miO[10]->setChecked(s.notification);
}

// A font name the desktop does not know keeps the status label's own font.
void MainWindow::ApplyFont() {
  Settings& s = values_.settings;
  const QString wanted = QString::fromStdString(s.fontName);
  QFont status = w_.lbl[3]->font();
  if (!wanted.isEmpty() && QFontDatabase::families().contains(wanted, Qt::CaseInsensitive)) {
    status.setFamily(wanted);
  }
  w_.lbl[3]->setFont(status);
  s.fontName = status.family().toStdString();
  QFont message = w_.txt->font();
  message.setFamily(status.family());
  if (s.fontSize >= 7 && s.fontSize <= 20) message.setPointSize(s.fontSize);
  w_.txt->setFont(message);
}

// Ends this start when the program already ran today on the same AutoLoad file, unless
// the command line says /notonce, which runs without counting as the day's start.
MainWindow::OnceDaily MainWindow::OnceDailyRule(const std::string& commandLine) const {
  const Settings& s = values_.settings;
  if (s.lastCheck == FormatShort(platform_.Today()) && s.onceDaily && s.autoLoad == s.lastFile) {
    return HasNotOnce(commandLine) ? OnceDaily::kRun : OnceDaily::kEnd;
  }
  return OnceDaily::kRecord;
}

// The day of the last start that scanned, and its AutoLoad file.
void MainWindow::RecordStart() {
  Settings& s = values_.settings;
  const std::string today = FormatShort(platform_.Today());
  const auto file = SettingsFilePath(platform_);
  WriteSetting(file, "Main", "LastCheck", today);
  WriteSetting(file, "Main", "LastFile", s.autoLoad);
  s.lastCheck = today;
  s.lastFile = s.autoLoad;
}

// An editor that a signal ended kept unsaved changes: the editor comes back and offers
// them, unless the password lock forbids the editor.
void MainWindow::OpenEditorForRecovery() {
  const bool waiting = hooks_.recoveryWaiting ? hooks_.recoveryWaiting()
                                              : RecoveryWaiting(platform_.ProgramDirectory());
  if (waiting && w_.miF[2]->isEnabled()) OpenEditor();
}

void MainWindow::PlaceFromSettings() {
  const Settings& s = values_.settings;
  place_->Apply(QRect(ToPixels(*this, s.mainLeft), ToPixels(*this, s.mainTop), Px(s.mainWidth),
                      Px(s.mainHeight)));
}

MainWindow::FirstLoad MainWindow::ChooseFileToLoad(const std::string& commandLine) {
  const bool locked = w_.miO[4]->isChecked();
  if (!commandLine.empty() && !locked && !HasNotOnce(commandLine)) {
    show();
    values_.pendingFile = '+';  // appended: GCC 12 -O3 falsely reports -Wrestrict for "+" + …
    values_.pendingFile += AbsoluteFileName(commandLine);
  } else if (!values_.settings.autoLoad.empty()) {
    show();
    w_.miO[0]->setChecked(true);
    values_.pendingFile = "+" + values_.settings.autoLoad;
  } else {
    return FirstLoad::kNothing;
  }
  return LoadCommand() ? FirstLoad::kShown : FirstLoad::kFailed;
}

void MainWindow::FirstView() {
  const Settings& s = values_.settings;
  const bool idle = values_.dueCount == 0;
  if (idle) tmr_.start();
  const bool minimise = idle && s.idleMin;
  if (!values_.visibleAtStart) {
    ShowViewer();
    if (minimise) viewer_->showMinimized();
    return;
  }
  if (minimise) {
    showMinimized();
  } else {
    show();
  }
}

}  // namespace memro

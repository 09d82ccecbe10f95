// The editor's File menu: new, open, save, save as, defaults, recent files and closing.
#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "app/recent_files.h"
#include "app/settings.h"
#include "data/editor_load.h"
#include "data/fixed_texts.h"
#include "data/store_save.h"
#include "editor/editor_texts.h"
#include "editor/editor_window.h"
#include "platform/qt/qt_text.h"

namespace memro {
namespace {

std::string Title() { return Texts().productTitle + " Editor"; }

}  // namespace

// A record typed into an empty editor counts as one to store, as a changed record does.
bool EditorWindow::HasRecordToStore() const {
  if (!s_.recModified) return false;
  return s_.recCount >= 1 || !w_.date->text().isEmpty() || !w_.message->toPlainText().isEmpty();
}

bool EditorWindow::CommonStart(int index) {
  if (index <= 3 && HasRecordToStore()) {
    const StoreResult result = StoreCurrentRecord();
    if (result == StoreResult::kInvalidDate) SelectDate();
    if (result != StoreResult::kStored) return false;
  }
  const bool asks = index <= 1 || (index >= 7 && index <= 10) || index == 12;
  return !(asks && s_.fileChanged && AskSaveChanges() == Answer::kCancel);
}

// Yes only when the records are saved (or there are none); a save that failed or was
// cancelled cancels the command that asked, and the records stay marked as changed.
Answer EditorWindow::AskSaveChanges() {
  const Answer answer =
      platform_.MessageBox("Save changes?", Icon::kQuestion, Buttons::kYesNoCancel, Title());
  if (answer == Answer::kCancel) return Answer::kCancel;
  if (answer == Answer::kYes) {
    s_.fileChanged = false;
    if (!CommonStart(2) || Save(false) == SaveOutcome::kNotSaved) {
      s_.fileChanged = true;
      return Answer::kCancel;
    }
    return Answer::kYes;
  }
  s_.fileChanged = s_.recModified = false;
  return Answer::kNo;
}

void EditorWindow::New() {
  s_.lastFileName.clear();
  s_.fileName.clear();
  SetPositionQuietly(1, 1);
  s_.curRec = s_.recCount = 0;
  ClearFields();
  PutDefaultsInFields();
  SetRecordsMenu(false);  // after the fields, whose emptying would enable it again
  setWindowTitle(Q(Title() + " [Untitled]"));
  UpdateRecordCaption();
  s_.needsName = s_.recModified = s_.fileChanged = false;
  w_.date->setFocus();
}

void EditorWindow::Open(int index) {
  if (index == 1 && s_.fileName.starts_with('+')) {
    s_.fileName.erase(0, 1);
  } else if (index == 1) {
    FileDialogRequest request;
    request.title = "Open";
    request.initialName = host_.CurrentFile();
    request.filter = OpenFilter();
    request.defaultExtension = "MMO";
    request.fileMustExist = request.pathMustExist = request.hideReadOnly = true;
    const FileDialogResult chosen = platform_.OpenFileDialog(request);
    if (chosen.outcome == FileDialogResult::Outcome::kCancelled) return;
    if (chosen.outcome == FileDialogResult::Outcome::kChosen) s_.fileName = chosen.path;
  } else {
    s_.fileName = PathOfRecentCaption(w_.miF[index]->text().toStdString());
  }
  if (!LoadForEditing()) {
    const bool fallBack = !s_.lastFileName.empty();
    if (fallBack) s_.fileName = s_.lastFileName;
    if (!fallBack || !LoadForEditing()) {
      EmptyAfterFailedOpen();
      return;
    }
  }
  if (s_.recCount == 0) {
    ShowEmptyFile();
  } else {
    const bool changed = s_.fileChanged;
    if (!ShowRecord(1)) return;
    s_.fileChanged = changed;
    SetRecordsMenu(true);
  }
  AddRecentFile(s_.fileName);
  TitleWithFile();
  UpdateRecordCaption();
  if (index == 1) ShowEditTarget();
}

// Loads fileName into the store; on success the editor holds its records, shown from 1.
bool EditorWindow::LoadForEditing() {
  if (!store_) return false;
  EditorLoadTarget target{*store_, host_.ProgramSettings().defaults,
                          static_cast<int>(platform_.Today().year()),
                          [this](const std::string& caption) { setWindowTitle(Q(caption)); }};
  std::int64_t loaded = 0;
  const std::int16_t format = LoadEventFileForEditor(platform_, s_.fileName, target, loaded);
  if (format == 0) return false;
  s_.recCount = static_cast<std::int16_t>(loaded);
  s_.curRec = s_.recCount > 0 ? 1 : 0;
  s_.lastFileName = s_.fileName;
  s_.needsName = s_.fileChanged = format != 3;
  s_.recModified = false;
  SetPositionQuietly(1, s_.recCount);
  return true;
}

// The store may hold part of the file that failed: nothing of it is shown or saved.
void EditorWindow::EmptyAfterFailedOpen() {
  setWindowTitle(Q(Title()));
  s_.fileName.clear();
  s_.lastFileName.clear();
  SetPositionQuietly(1, 1);
  s_.curRec = s_.recCount = 0;
  s_.needsName = false;
  ClearFields();
  PutDefaultsInFields();
  SetRecordsMenu(false);
  UpdateRecordCaption();
  s_.recModified = s_.fileChanged = false;
}

// A file without events opens like a new file that already has its name.
void EditorWindow::ShowEmptyFile() {
  const bool changed = s_.fileChanged;
  ClearFields();
  PutDefaultsInFields();
  s_.recModified = false;
  s_.fileChanged = changed;
  SetRecordsMenu(false);
}

// Opening the main window's file shows the event the main window shows.
void EditorWindow::ShowEditTarget() {
  if (host_.DueCount() <= 0) return;
  const long target = std::strtol(host_.EditTarget().c_str(), nullptr, 10);
  if (target > 1 && target - 1 <= s_.recCount) SetPosition(static_cast<int>(target - 1));
}

EditorWindow::SaveOutcome EditorWindow::Save(bool askName) {
  s_.saveCancelled = false;
  // An untitled editor without records has nothing to save; a file whose events were
  // all deleted is saved as a file without events.
  if (s_.recCount == 0 && s_.fileName.empty()) return SaveOutcome::kNothingToSave;
  if (s_.fileName.empty() || askName || s_.needsName) {
    if (s_.needsName && !s_.fileName.empty()) s_.fileName = OfferedSaveName(s_.fileName);
    FileDialogRequest request;
    request.title = "Save As";
    request.initialName = s_.fileName;
    request.filter = SaveFilter();
    request.defaultExtension = "MMO";
    request.confirmOverwrite = request.pathMustExist = request.hideReadOnly = true;
    const FileDialogResult chosen = platform_.SaveFileDialog(request);
    if (chosen.outcome == FileDialogResult::Outcome::kCancelled) {
      s_.saveCancelled = true;
      return SaveOutcome::kNotSaved;
    }
    if (chosen.outcome == FileDialogResult::Outcome::kChosen) s_.fileName = chosen.path;
  }
  return WriteFile() ? SaveOutcome::kSaved : SaveOutcome::kNotSaved;
}

// The store's header and records become the file, through a copy renamed over it.
bool EditorWindow::WriteFile() {
  setWindowTitle(Q("Saving " + s_.fileName + "..."));
  std::string failure;
  {
    BusyPointer busy(platform_);
    try {
      if (s_.fileName.empty()) throw FileError(ENOENT, "no file name");
      if (SaveStore(store_->file(), s_.recCount, s_.fileName) == SaveTarget::kCreated) {
        platform_.Beep();  // there was no file of that name before
      }
    } catch (const FileError& e) {
      failure = e.description();
    }
  }
  if (!failure.empty()) {
    platform_.MessageBox(failure + " while saving " + s_.fileName, Icon::kCritical, Buttons::kOk,
                         "");
    TitleWithFile();
    return false;
  }
  s_.recModified = s_.fileChanged = s_.needsName = false;
  AddRecentFile(s_.fileName);
  TitleWithFile();
  return true;
}

void EditorWindow::SetAsDefault() {
  RecordDefaults& d = host_.ProgramSettings().defaults;
  d.frequency = static_cast<std::int16_t>(std::max(0, w_.cmb->currentIndex()));
  d.enabled = w_.chk[1]->isChecked() ? 1 : 0;
  d.backdated = w_.chk[2]->isChecked() ? 1 : 0;
  d.warnDays = static_cast<std::int16_t>(w_.hWarn->value());
  d.cleanUp = w_.chk[3]->isChecked() ? 1 : 0;
}

// False keeps the window open.
bool EditorWindow::CloseSequence() {
  if (s_.fileChanged || s_.recModified) {
    if (HasRecordToStore() && StoreCurrentRecord() != StoreResult::kStored) {
      platform_.MessageBox("Delete this record or enter a valid date before quiting Editor.",
                           Icon::kExclamation, Buttons::kOk, "");
      return false;
    }
    if (AskSaveChanges() == Answer::kCancel) return false;
  }
  BusyPointer busy(platform_);
  KeepPlace();
  store_.reset();
  host_.EditorClosed();
  s_.recCount = s_.curRec = 0;
  return true;
}

void EditorWindow::AddRecentFile(const std::string& path) {
  memro::AddRecentFile(host_.ProgramSettings().editorRecent, path);
  ShowRecentFiles();
}

void EditorWindow::ShowRecentFiles() {
  const RecentFiles& list = host_.ProgramSettings().editorRecent;
  bool any = false;
  for (int i = 1; i <= static_cast<int>(kRecentFiles); ++i) {
    const bool filled = !list[i - 1].empty();
    if (filled) w_.miF[6 + i]->setText(Q(RecentCaption(i, list[i - 1])));
    w_.miF[6 + i]->setVisible(filled);
    any = any || filled;
  }
  w_.miF[11]->setVisible(any);
}

void EditorWindow::TitleWithFile() {
  setWindowTitle(Q(Title() + " [" + NameWithoutDirectory(s_.fileName) + "]"));
}

}  // namespace memro

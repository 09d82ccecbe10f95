// The editor's File menu: new, open, save, save as, defaults, recent files and closing.
#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "data/editor_load.h"
#include "data/file_digest.h"
#include "data/file_state.h"
#include "data/fixed_texts.h"
#include "data/same_file.h"
#include "data/store_save.h"
#include "data/writer_lock.h"
#include "editor/editor_texts.h"
#include "editor/editor_window.h"
#include "platform/qt/qt_text.h"
#include "settings/recent_files.h"
#include "settings/settings.h"

namespace memro {
namespace {

std::string Title() { return Texts().productTitle + " Editor"; }

std::string ChangedOnDiskQuestion(const std::string& file) {
  return file +
         " has been changed by another program since the editor opened or last saved it.\n\n"
         "Yes: replace it with the editor's records; the other program's changes are lost.\n"
         "No: save the editor's records under another name.\n"
         "Cancel: save nothing now.";
}

}  // namespace

// A record typed into an empty editor counts as one to store, as a changed record does.
bool EditorWindow::HasRecordToStore() const {
  if (!s_.recModified) return false;
  return s_.recCount >= 1 || !w_.date->text().isEmpty() || !w_.message->toPlainText().isEmpty();
}

// The recent files store the shown record as Open does: a changed check box, warn days
// or activation counts only once it is stored. `before` gets the change marks as they
// stood before the "Save changes?" question, for a command that is cancelled after it.
bool EditorWindow::CommonStart(int index, ChangeMarks& before) {
  const bool opens = index == 1 || (index >= 7 && index <= 10);
  if ((index <= 3 || opens) && HasRecordToStore()) {
    const StoreResult result = StoreCurrentRecord();
    if (result == StoreResult::kInvalidDate) SelectDate();
    if (result != StoreResult::kStored) return false;
  }
  before = {s_.fileChanged, s_.recModified};
  const bool asks = index == 0 || opens || index == 12;
  if (!asks || !s_.fileChanged) return true;
  const Answer answer = AskSaveChanges();
  if (answer != Answer::kNo) before = {s_.fileChanged, s_.recModified};
  return answer != Answer::kCancel;
}

bool EditorWindow::CommonStart(int index) {
  ChangeMarks before;
  return CommonStart(index, before);
}

// Yes only when the records are saved (or there are none); a save that failed or was
// cancelled cancels the command that asked, and the records stay marked as changed.
Answer EditorWindow::AskSaveChanges() {
  const Answer answer = Box("Save changes?", Icon::kQuestion, Buttons::kYesNoCancel, Title());
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
  KnowFile(std::nullopt);
  w_.date->setFocus();
}

// A cancelled dialog leaves the changes marked, also after a No to "Save changes?".
void EditorWindow::Open(int index, const ChangeMarks& before) {
  if (!ChooseOpenPath(index)) {
    s_.fileChanged = before.fileChanged;
    s_.recModified = before.recModified;
    return;
  }
  if (!OpenChosen()) return;
  if (index == 1) ShowEditTarget();
  OfferRecoveryFor(s_.fileName);
}

// False when the dialog was cancelled.
bool EditorWindow::ChooseOpenPath(int index) {
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
    if (chosen.outcome == FileDialogResult::Outcome::kCancelled) return false;
    if (chosen.outcome == FileDialogResult::Outcome::kChosen) s_.fileName = chosen.path;
  } else {
    s_.fileName = PathOfRecentCaption(w_.miF[index]->text().toStdString());
  }
  return true;
}

// Loads fileName, or the last file again when that fails; true when a file is shown.
bool EditorWindow::OpenChosen() {
  if (!LoadForEditing()) {
    const bool fallBack = !s_.lastFileName.empty();
    if (fallBack) s_.fileName = s_.lastFileName;
    if (!fallBack || !LoadForEditing()) {
      EmptyAfterFailedOpen();
      return false;
    }
  }
  if (s_.recCount == 0) {
    ShowEmptyFile();
  } else {
    const bool changed = s_.fileChanged;
    if (!ShowRecord(1)) return false;
    s_.fileChanged = changed;
    SetRecordsMenu(true);
  }
  AddRecentFile(s_.fileName);
  TitleWithFile();
  UpdateRecordCaption();
  return true;
}

// Loads fileName into the store; on success the editor holds its records, shown from 1.
bool EditorWindow::LoadForEditing() {
  if (!store_) return false;
  EditorLoadTarget target{*store_, host_.ProgramSettings().defaults,
                          static_cast<int>(platform_.Today().year()),
                          [this](const std::string& caption) { setWindowTitle(Q(caption)); }};
  std::int64_t loaded = 0;
  // Seen before reading: a change made while the file is read is noticed at Save.
  const std::optional<FileState> state = FileStateOf(s_.fileName);
  const std::int16_t format = LoadEventFileForEditor(platform_, s_.fileName, target, loaded);
  if (format == 0) return false;
  KnowFileSince(state);
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
  KnowFile(std::nullopt);
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
  // The check is made again under the writer lock: a writer that came in while the
  // question was open is asked about too.
  for (;;) {
    if (ChangedOnDisk()) {
      const Answer answer =
          Box(ChangedOnDiskQuestion(s_.fileName), Icon::kQuestion, Buttons::kYesNoCancel, Title());
      if (answer == Answer::kNo) return Save(true);
      if (answer != Answer::kYes) {
        s_.saveCancelled = true;  // a Quit or Open that asked to save stops too
        return SaveOutcome::kNotSaved;
      }
      KnowFileSince(FileStateOf(s_.fileName));  // the change the user chose to replace
    }
    switch (WriteFile()) {
      case WriteResult::kWritten:
        host_.FileSaved(s_.fileName);
        return SaveOutcome::kSaved;
      case WriteResult::kFailed:
        return SaveOutcome::kNotSaved;
      case WriteResult::kChangedMeanwhile:
        break;
    }
  }
}

// The file the editor holds as it was when opened or last saved here. Without a digest
// any change of the file's state counts as a change of its events.
void EditorWindow::KnowFile(const std::optional<FileState>& state,
                            std::optional<std::uint64_t> digest) {
  knownFile_ = s_.fileName;
  knownState_ = state;
  knownDigest_ = state ? digest : std::nullopt;
}

// The file as it was `seen` before it was read or written here, with the digest of its
// bytes taken afterwards: kept only when the file is still as seen, so that a change
// made meanwhile is never taken for the editor's own. Taken after a load that worked,
// it never reads a file the editor refused (a huge one, say).
void EditorWindow::KnowFileSince(const std::optional<FileState>& seen) {
  std::optional<std::uint64_t> digest = FileDigest(s_.fileName);
  if (FileStateOf(s_.fileName) != seen) digest.reset();
  KnowFile(seen, digest);
}

// True when fileName is the file the editor read or wrote and another program has
// changed its bytes since. The main window's scan rewrites its file with the same
// events on every scan: that loses nobody's changes. A file that is gone has nothing
// to lose.
bool EditorWindow::ChangedOnDisk() const {
  if (!knownState_ || !SameFile(s_.fileName, knownFile_)) return false;
  const std::optional<FileState> now = FileStateOf(s_.fileName);
  if (!now || *now == *knownState_) return false;
  return !knownDigest_ || FileDigest(s_.fileName) != knownDigest_;
}

// The store's header and records become the file, through a copy renamed over it.
EditorWindow::WriteResult EditorWindow::WriteFile() {
  setWindowTitle(Q("Saving " + s_.fileName + "..."));
  std::string failure;
  Icon icon = Icon::kCritical;
  std::optional<FileState> before;
  bool checked = false;  // the file is as the editor knows it, under the lock
  {
    BusyPointer busy(platform_);
    try {
      if (s_.fileName.empty()) throw FileError(ENOENT, "no file name");
      const WriterLock lock(s_.fileName);
      if (ChangedOnDisk()) {
        TitleWithFile();
        return WriteResult::kChangedMeanwhile;
      }
      before = FileStateOf(s_.fileName);
      checked = true;
      if (SaveStore(lock, store_->file(), s_.recCount, s_.fileName) == SaveTarget::kCreated) {
        platform_.Beep();  // there was no file of that name before
      }
      // Still under the lock: what is seen is what was written, not a later writer's.
      KnowFileSince(FileStateOf(s_.fileName));
    } catch (const FileBusyError& e) {
      failure = e.message();  // another program is changing the file: try again later
      icon = Icon::kExclamation;
    } catch (const FileError& e) {
      failure = e.description() + " while saving " + s_.fileName;
    }
  }
  if (!failure.empty()) {
    // A save that failed after its rename (while making it durable) did replace the
    // file: that is no change by another program.
    if (const auto now = FileStateOf(s_.fileName); checked && now && now != before) {
      KnowFile(now);
    }
    Box(failure, icon, Buttons::kOk, "");
    TitleWithFile();
    return WriteResult::kFailed;
  }
  s_.recModified = s_.fileChanged = s_.needsName = false;
  AddRecentFile(s_.fileName);
  TitleWithFile();
  return WriteResult::kWritten;
}

void EditorWindow::SetAsDefault() {
  RecordDefaults& d = host_.ProgramSettings().defaults;
  d.frequency = static_cast<std::int16_t>(std::max(0, w_.cmb->currentIndex()));
  d.enabled = w_.chk[1]->isChecked() ? 1 : 0;
  d.backdated = w_.chk[2]->isChecked() ? 1 : 0;
  d.warnDays = static_cast<std::int16_t>(w_.hWarn->value());
  d.cleanUp = w_.chk[3]->isChecked() ? 1 : 0;
}

// False keeps the window open. Once the changes were kept for recovery nobody is asked.
bool EditorWindow::CloseSequence() {
  if (!ending_ && (s_.fileChanged || s_.recModified)) {
    if (HasRecordToStore() && StoreCurrentRecord() != StoreResult::kStored) {
      Box("Delete this record or enter a valid date before quiting Editor.", Icon::kExclamation,
          Buttons::kOk, "");
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

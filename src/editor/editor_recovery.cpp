// Unsaved changes kept when the program is ended by a signal, and offered back.
#include "editor/editor_recovery.h"

#include <QtGlobal>
#include <algorithm>
#include <chrono>

#include "data/fixed_texts.h"
#include "data/recovery_note.h"
#include "editor/editor_window.h"
#include "platform/qt/qt_text.h"

namespace memro {
namespace {

std::string Title() { return Texts().productTitle + " Editor"; }

std::string OfferText(const RecoveryNote& note) {
  const std::string what = note.eventFile.empty() ? "an untitled file" : note.eventFile;
  return "The editor held unsaved changes to " + what + " when " + Texts().productTitle +
         " was ended on " + KeptAtText(note.keptAt) +
         ". They were kept.\n\nRestore them?\n"
         "Yes: they come back as unsaved changes.\n"
         "No: they are deleted.";
}

}  // namespace

bool RecoveryWaiting(const std::filesystem::path& programDirectory) {
  return !WaitingRecoveries(programDirectory).empty();
}

// Nobody can be asked: what a close would ask about is kept, and the close that follows
// asks nothing.
void EditorWindow::KeepForRecovery() {
  if (ending_) return;
  ending_ = true;
  if (!store_ || !(s_.fileChanged || HasRecordToStore())) return;
  RecoveryNote note;
  note.eventFile = s_.fileName.starts_with('+') ? s_.fileName.substr(1) : s_.fileName;
  note.keptAt = std::chrono::duration_cast<std::chrono::seconds>(
                    std::chrono::system_clock::now().time_since_epoch())
                    .count();
  note.records = s_.recCount;
  note.current = s_.curRec;
  note.needsName = s_.needsName;
  if (SameEventFile(knownFile_, note.eventFile)) {
    note.fileState = knownState_;
    note.fileDigest = knownDigest_;
  }
  if (HasRecordToStore()) note.fields = FieldsNow();
  try {
    KeepRecovery(platform_.ProgramDirectory(), store_->file(), note);
  } catch (const FileError& e) {
    qWarning("The editor's unsaved changes could not be kept: %s", e.description().c_str());
  }
}

RecoveryFields EditorWindow::FieldsNow() const {
  RecoveryFields f;
  f.date = w_.date->text().toStdString();
  f.message = MessageText().toStdString();
  f.warnDays = static_cast<std::int16_t>(w_.hWarn->value());
  const int index = w_.cmb->currentIndex();
  f.frequency = index >= 0 ? static_cast<std::int16_t>(index) : shownFrequency_;
  f.enabled = w_.chk[1]->isChecked() ? 1 : 0;
  f.backdated = w_.chk[2]->isChecked() ? 1 : 0;
  f.cleanUp = w_.chk[3]->isChecked() ? 1 : 0;
  return f;
}

void EditorWindow::PutInFields(const RecoveryFields& f) {
  w_.date->setText(Q(f.date));
  // An untouched message keeps the stored bytes it was shown from.
  if (MessageText() != Q(f.message)) w_.message->setPlainText(Q(f.message));
  shownFrequency_ = f.frequency;
  w_.cmb->setCurrentIndex(f.frequency >= 0 && f.frequency <= kOnce ? f.frequency : -1);
  w_.chk[1]->setChecked(f.enabled != 0);
  w_.chk[2]->setChecked(f.backdated != 0);
  w_.chk[3]->setChecked(f.cleanUp != 0);
  SetWarnDays(f.warnDays);
}

void EditorWindow::OfferRecoveryFor(const std::string& file) {
  for (const Recovery& recovery : WaitingRecoveries(platform_.ProgramDirectory())) {
    if (SameEventFile(recovery.note.eventFile, file)) {
      OfferRecovery(recovery);
      return;
    }
  }
}

void EditorWindow::OfferRecovery(const Recovery& recovery) {
  const Answer answer = Box(OfferText(recovery.note), Icon::kQuestion, Buttons::kYesNo, Title());
  if (answer == Answer::kCancel) return;  // ended while asking: it waits for the next start
  if (answer != Answer::kYes || Restore(recovery)) DeleteRecovery(recovery);
}

// The kept records and fields come back as unsaved changes of fileName.
bool EditorWindow::Restore(const Recovery& recovery) {
  const RecoveryNote& note = recovery.note;
  try {
    if (!store_) throw FileError(EBADF, "no record store");
    RestoreRecords(recovery, store_->file());
  } catch (const FileError& e) {
    Box(e.description() + " while restoring the kept changes", Icon::kCritical, Buttons::kOk, "");
    return false;
  }
  s_.recCount = note.records;
  s_.curRec = note.records == 0 ? 0 : std::clamp<std::int16_t>(note.current, 1, note.records);
  SetPositionQuietly(std::max<int>(1, s_.curRec), s_.recCount);
  if (s_.curRec == 0 || !ShowRecord(s_.curRec)) {
    ClearFields();
    PutDefaultsInFields();
  }
  if (note.fields) PutInFields(*note.fields);
  SetRecordsMenu(s_.recCount > 0 || note.fields);
  s_.recModified = note.fields.has_value();
  s_.fileChanged = true;
  s_.needsName = note.needsName;
  if (s_.fileName.empty()) s_.fileName = note.eventFile;  // a file that is gone: Save makes it
  if (s_.fileName.empty()) {
    setWindowTitle(Q(Title() + " [Untitled]"));
  } else {
    TitleWithFile();
  }
  // Changes made to the file since it was kept are asked about at Save.
  if (note.fileState) KnowFile(note.fileState, note.fileDigest);
  UpdateRecordCaption();
  return true;
}

// At start, a recovery of another file than the main window's: that file is opened (or
// an untitled editor made) and the recovery offered. An editor that already holds
// changes leaves it waiting.
void EditorWindow::OfferWaitingRecovery() {
  if (ending_ || s_.fileChanged || s_.recModified) return;
  const std::vector<Recovery> waiting = WaitingRecoveries(platform_.ProgramDirectory());
  if (waiting.empty()) return;
  const Recovery& recovery = waiting.front();
  const std::string& file = recovery.note.eventFile;
  bool opened = false;
  if (!file.empty() && FileStateOf(file)) {
    s_.fileName = file;
    opened = OpenChosen() && SameEventFile(file, s_.fileName);
  }
  if (!opened) New();
  OfferRecovery(recovery);
}

}  // namespace memro

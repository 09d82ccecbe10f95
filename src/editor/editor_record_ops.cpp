// The Records menu's new, duplicate and delete.
#include "data/fixed_texts.h"
#include "editor/editor_window.h"

namespace memro {

// 16-bit record numbers end at kMaxEvents events; a file with more could not be
// opened again.
bool EditorWindow::RoomForAnother() {
  if (s_.recCount < kMaxEvents) return true;
  Box("An event file holds at most " + std::to_string(kMaxEvents) + " events.", Icon::kExclamation,
      Buttons::kOk, "");
  return false;
}

// The new record goes after the last one; it reaches the store when it is next stored.
// The shown record is stored once, first: a No to its question leaves all as it was.
void EditorWindow::NewRecord() {
  if (!RoomForAnother() || StoreCurrentRecord() != StoreResult::kStored) return;
  s_.navMode = NavMode::kFollowOnly;
  w_.hPos->setMaximum(w_.hPos->maximum() + 1);
  s_.recCount = static_cast<std::int16_t>(w_.hPos->maximum());
  SetPosition(w_.hPos->maximum());
  ClearFields();
  PutDefaultsInFields();
  s_.curRec = static_cast<std::int16_t>(w_.hPos->value());
  RecordTail();
}

// The copy goes after the last record. It is the stored record copied, so the user is
// asked about the shown record's message once, and the copy is byte for byte the same.
void EditorWindow::DuplicateRecord() {
  if (!RoomForAnother() || StoreCurrentRecord() != StoreResult::kStored) return;
  const std::int16_t from = s_.curRec;
  const std::int16_t to = s_.recCount + 1;
  if (!CopyRecord(from, to)) return;
  s_.recCount = to;
  s_.navMode = NavMode::kFollowOnly;
  w_.hPos->setMaximum(to);
  SetPosition(to);
  s_.curRec = static_cast<std::int16_t>(w_.hPos->value());
  RecordTail();
}

bool EditorWindow::CopyRecord(int from, int to) {
  try {
    if (!store_) throw FileError(EBADF, "no record store");
    std::string bytes;
    store_->file().Read(from + 1, bytes);
    bytes.resize(kRecordSize, '\0');
    store_->file().Write(to + 1, bytes);
  } catch (const FileError& e) {
    Box(e.description(), Icon::kCritical, Buttons::kOk, "");
    return false;
  }
  return true;
}

// There is no confirmation. The store keeps a stale copy after the last record; it is
// never shown and never saved.
void EditorWindow::DeleteRecord() {
  const int maximum = w_.hPos->maximum();
  if (maximum == 1) {
    s_.recCount = 0;
    s_.navMode = NavMode::kMoveOnly;
    SetPosition(1);
    ClearFields();
    PutDefaultsInFields();
    SetRecordsMenu(false);  // after the fields, whose emptying would enable it again
    s_.curRec = 0;
    UpdateRecordCaption();
  } else if (w_.hPos->value() == maximum) {
    s_.navMode = NavMode::kShowOnly;
    s_.recCount = static_cast<std::int16_t>(maximum - 1);
    SetPosition(w_.hPos->value() - 1);
    s_.curRec = static_cast<std::int16_t>(w_.hPos->value());
    w_.hPos->setMaximum(s_.recCount);
  } else {
    if (!CopyRecordsDown()) return;
    w_.hPos->setMaximum(maximum - 1);
    s_.recCount = static_cast<std::int16_t>(w_.hPos->maximum());
    s_.navMode = NavMode::kShowOnly;
    ShowRecord(s_.curRec);
  }
  s_.fileChanged = true;
  if (s_.recCount > 0) UpdateRecordCaption();
  RecordTail();
}

// Every record after the current one moves one position down, in rising order.
bool EditorWindow::CopyRecordsDown() {
  for (int k = s_.curRec + 1; k <= s_.recCount; ++k) {
    if (!CopyRecord(k, k - 1)) return false;
  }
  return true;
}

void EditorWindow::RecordTail() {
  s_.recModified = true;
  w_.date->setFocus();
  s_.navMode = NavMode::kNormal;
}

}  // namespace memro

// One record in the fields: showing it, storing it back, and moving between records.
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "data/fixed_texts.h"
#include "data/text_util.h"
#include "editor/editor_texts.h"
#include "editor/editor_window.h"
#include "engine/date_text.h"
#include "platform/qt/qt_text.h"
#include "settings/settings.h"

namespace memro {
namespace {

constexpr int kFrequencies = 5;

// The message field counts what a text takes in the file: a line end is two bytes.
int StoredWeight(const QString& text, int index) {
  if (text[index] == QLatin1Char('\n')) return 2;
  return text[index].isLowSurrogate() ? 0 : 1;
}

}  // namespace

bool EditorWindow::ShowRecord(int position) {
  std::string bytes;
  try {
    if (!store_) throw FileError(EBADF, "no record store");
    store_->file().Read(position + 1, bytes);
  } catch (const FileError& e) {
    Box(e.description(), Icon::kCritical, Buttons::kOk, "");
    return false;
  }
  bytes.resize(kRecordSize, '\0');
  const EventRecord record = EventRecord::FromBytes(bytes);
  if (TrimBlanks(record.date) == TrimBlanks(Texts().storeMarker)) {
    ClearFields();
    PutDefaultsInFields();
    return true;
  }
  const int year = static_cast<int>(platform_.Today().year());
  w_.date->setText(Q(DateText(record.date, year)));
  const QString message = Q(ShownMessage(record.message));
  if (MessageText() != message) {
    showingStored_ = true;  // a stored message is shown whole, whatever it weighs
    w_.message->setPlainText(message);
    showingStored_ = false;
  }
  shownMessage_ = ShownMessageBytes{record.message, MessageText()};
  shownFrequency_ = record.frequency;
  w_.cmb->setCurrentIndex(
      record.frequency >= 0 && record.frequency < kFrequencies ? record.frequency : -1);
  w_.chk[1]->setChecked(record.enabled != 0);
  w_.chk[2]->setChecked(record.backdated != 0);
  w_.chk[3]->setChecked(record.cleanUp != 0);
  SetWarnDays(record.warnDays);
  s_.recModified = false;
  return true;
}

StoreResult EditorWindow::StoreCurrentRecord() {
  const int year = static_cast<int>(platform_.Today().year());
  const auto date = StoredDateOf(w_.date->text().toStdString(), year);
  if (!date) {
    Box("Date is of invalid format.", Icon::kExclamation, Buttons::kOk, "");
    return StoreResult::kInvalidDate;
  }
  EventRecord record;
  record.SetDate(*date);
  const QString text = MessageText();
  if (shownMessage_ && shownMessage_->asShown == text) {
    // Untouched: the bytes as read, which the field cannot show exactly (a lone CR,
    // a no-break space, blanks around the text).
    record.message = shownMessage_->bytes;
  } else {
    const Cp1252Text message = MessageBytes(text.toStdString());
    if (!message.lossless &&
        Box("The message holds characters that an event file cannot keep. They will be stored "
            "as \"?\".\nStore the record anyway?",
            Icon::kQuestion, Buttons::kYesNo, "") != Answer::kYes) {
      w_.message->setFocus();
      return StoreResult::kKept;
    }
    record.SetMessage(message.bytes);
  }
  record.warnDays = static_cast<std::int16_t>(w_.hWarn->value());
  const int index = w_.cmb->currentIndex();
  record.frequency = index >= 0 ? static_cast<std::int16_t>(index) : shownFrequency_;
  record.enabled = w_.chk[1]->isChecked() ? 1 : 0;
  record.backdated = w_.chk[2]->isChecked() ? 1 : 0;
  record.cleanUp = w_.chk[3]->isChecked() ? 1 : 0;

  const bool first = s_.recCount == 0;
  const bool raised = s_.curRec == 0;
  if (first) s_.recCount = 1;
  if (raised) s_.curRec = 1;
  try {
    if (!store_) throw FileError(EBADF, "no record store");
    store_->file().Write(s_.curRec + 1, record.ToBytes());
  } catch (const FileError& e) {
    // Nothing was stored, so the counts must not take in a record that is not there.
    if (raised) s_.curRec = 0;
    if (first) s_.recCount = 0;
    Box(e.description(), Icon::kCritical, Buttons::kOk, "");
    return StoreResult::kWriteFailed;
  }
  // Stored once, the message is not asked about again while the field keeps it.
  shownMessage_ = ShownMessageBytes{record.message, text};
  SetRecordsMenu(true);
  s_.fileChanged = true;
  // The fields are the stored record now: a later command does not store them again
  // (and ask its questions twice).
  s_.recModified = false;
  if (first) UpdateRecordCaption();
  return StoreResult::kStored;
}

// A change of the position scroll bar, by the user or by the program.
void EditorWindow::PositionChanged(int value) {
  if (s_.navMode == NavMode::kNormal && value != s_.curRec) {
    const int year = static_cast<int>(platform_.Today().year());
    if (!StoredDateOf(w_.date->text().toStdString(), year)) {
      SetPosition(s_.curRec);
      return;
    }
  }
  UpdateRecordCaption();
  if ((s_.navMode == NavMode::kNormal || s_.navMode == NavMode::kFollowOnly) && s_.recModified) {
    const StoreResult result = StoreCurrentRecord();
    if (result != StoreResult::kStored) {
      // Stay on the record with what the user typed; the position snaps back.
      s_.recModified = false;
      const NavMode mode = s_.navMode;
      s_.navMode = NavMode::kFollowOnly;
      SetPosition(s_.curRec);
      s_.navMode = mode;
      s_.recModified = true;
      if (result == StoreResult::kInvalidDate) SelectDate();
      return;
    }
  }
  if (s_.navMode == NavMode::kFollowOnly || s_.navMode == NavMode::kMoveOnly) {
    s_.curRec = static_cast<std::int16_t>(w_.hPos->value());
    return;
  }
  const bool changed = s_.fileChanged;
  if (ShowRecord(value)) {
    s_.curRec = static_cast<std::int16_t>(value);
    s_.fileChanged = changed;
  }
}

void EditorWindow::UpdateRecordCaption() {
  w_.lbl[3]->setText(Q(RecordCaption(w_.hPos->value(), s_.recCount)));
}

void EditorWindow::WarnChanged(int value) {
  w_.lbl[2]->setText(Q(WarnCaption(value)));
  s_.recModified = true;
}

void EditorWindow::ActivationChanged(int index) {
  s_.recModified = true;
  w_.chk[3]->setEnabled(index == kOnce);
  w_.chk[2]->setEnabled(index != kDaily);
}

void EditorWindow::TextChanged() {
  s_.recModified = true;
  s_.fileChanged = true;
  SetRecordsMenu(true);
}

// A message longer than the file's field cannot be typed or pasted: what overflows is
// cut from what was just inserted, before the cursor.
void EditorWindow::LimitMessage() {
  const QString text = w_.message->toPlainText();
  // A lone CR of a stored message weighs two bytes in the field, one in the file: the
  // shown message may weigh more than the field's size and stays whole.
  std::size_t limit = kMessageSize;
  if (shownMessage_) limit = std::max(limit, StoredLength(shownMessage_->asShown.toStdString()));
  int excess = static_cast<int>(StoredLength(text.toStdString())) - static_cast<int>(limit);
  if (excess > 0 && !showingStored_) {
    QTextCursor cursor = w_.message->textCursor();
    int end = cursor.position();
    if (end == 0) end = static_cast<int>(text.size());  // text set whole: its end goes
    int start = end;
    while (excess > 0 && start > 0) excess -= StoredWeight(text, --start);
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();  // changes the text again, which lands here once more
    return;
  }
  TextChanged();
}

void EditorWindow::Update() {
  if (!s_.recModified) return;
  const StoreResult result = StoreCurrentRecord();
  if (result == StoreResult::kStored) {
    s_.recModified = false;
  } else if (result == StoreResult::kInvalidDate) {
    SelectDate();
  }
}

void EditorWindow::PutDefaultsInFields() {
  const RecordDefaults& d = host_.ProgramSettings().defaults;
  w_.cmb->setCurrentIndex(d.frequency >= 0 && d.frequency < kFrequencies ? d.frequency : 0);
  w_.chk[1]->setChecked(d.enabled != 0);
  w_.chk[2]->setChecked(d.backdated != 0);
  SetWarnDays(d.warnDays);
  w_.chk[3]->setChecked(d.cleanUp != 0);
}

// A stored value beyond the usual range widens it for this record, so that showing a
// record never changes it.
void EditorWindow::SetWarnDays(int days) {
  w_.hWarn->setRange(std::min(0, days), std::max(kWarnMaximum, days));
  w_.hWarn->setValue(days);
}

void EditorWindow::ClearFields() {
  w_.date->clear();
  if (!w_.message->toPlainText().isEmpty()) w_.message->clear();
  shownMessage_.reset();
}

// The message as typed: toPlainText() would turn no-break spaces into blanks.
QString EditorWindow::MessageText() const {
  QString text = w_.message->document()->toRawText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  text.replace(QChar::LineSeparator, QLatin1Char('\n'));
  return text;
}

void EditorWindow::SetPosition(int value) { w_.hPos->setValue(value); }

// Sets the position scroll bar without the navigation that a change runs.
void EditorWindow::SetPositionQuietly(int value, int maximum) {
  const QSignalBlocker quiet(w_.hPos);
  w_.hPos->setRange(1, std::max(1, maximum));
  w_.hPos->setValue(value);
}

void EditorWindow::SetRecordsMenu(bool enabled) {
  w_.miR[1]->setEnabled(enabled);
  w_.miR[3]->setEnabled(enabled);
}

void EditorWindow::SelectDate() {
  w_.date->setFocus();
  w_.date->selectAll();
}

}  // namespace memro

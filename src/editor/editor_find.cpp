// Find and Find Next: through the shown record from the cursor, then the records after
// it, then those before it, and last the shown record from its start.
#include <QTextCursor>
#include <algorithm>

#include "editor/editor_window.h"
#include "platform/qt/qt_text.h"

namespace memro {
namespace {

// Blanks are spaces only.
QString WithoutBlanks(const QString& text, int* leading = nullptr) {
  int start = 0;
  int end = static_cast<int>(text.size());
  while (start < end && text[start] == QLatin1Char(' ')) ++start;
  while (end > start && text[end - 1] == QLatin1Char(' ')) --end;
  if (leading) *leading = start;
  return text.mid(start, end - start);
}

// Where needle occurs in field at or after position `from` of the field's own text,
// comparing without letter case and without the blanks around either; -1 when not.
int FindIn(const QString& field, const QString& needle, int from) {
  int leading = 0;
  const QString haystack = WithoutBlanks(field, &leading).toLower();
  const int at = static_cast<int>(haystack.indexOf(needle, std::max(0, from - leading)));
  return at < 0 ? -1 : at + leading;
}

// The search goes on from the cursor, one character further when text is selected so
// that the match just found is passed over.
int SearchStart(int selectionStart, bool hasSelection) {
  return selectionStart + (hasSelection ? 1 : 0);
}

}  // namespace

void EditorWindow::Find(bool ask) {
  if (ask) {
    std::string proposed = s_.findText;
    if (w_.date->hasSelectedText()) proposed = w_.date->selectedText().toStdString();
    const QTextCursor cursor = w_.message->textCursor();
    if (cursor.hasSelection()) {
      proposed = cursor.selectedText().replace(QChar::ParagraphSeparator, '\n').toStdString();
    }
    s_.findText = platform_.InputBox("Enter text to search for", "Find", proposed);
  }
  if (s_.findText.empty()) {
    s_.navMode = NavMode::kNormal;
    return;
  }
  const QString needle = WithoutBlanks(Q(s_.findText)).toLower();
  bool found = false;
  bool stopped = false;
  {
    BusyPointer busy(platform_);
    w_.lbl[4]->setText(Q("  Searching for \"" + s_.findText + "\"..."));
    w_.lbl[4]->repaint();
    const int start = s_.curRec;
    found = SearchShownRecord(needle) || SearchOtherRecords(needle, stopped);
    if (!found && !stopped && start >= 1) stopped = !Visit(start);
    if (!found && !stopped) found = SearchFields(needle);
  }
  if (!found && !stopped) {
    Box("\"" + s_.findText + "\" not found.", Icon::kExclamation, Buttons::kOk, "");
  }
  ShowHelpHint();
  s_.navMode = NavMode::kNormal;
}

bool EditorWindow::SearchShownRecord(const QString& needle) {
  const int length = static_cast<int>(Q(s_.findText).size());
  QWidget* focus = focusWidget();
  if (focus == w_.date) {
    const bool selected = w_.date->hasSelectedText();
    const int from =
        SearchStart(selected ? w_.date->selectionStart() : w_.date->cursorPosition(), selected);
    const int at = FindIn(w_.date->text(), needle, from);
    if (at >= 0) {
      w_.date->setSelection(at, length);
      return true;
    }
  }
  int from = 0;
  if (focus == w_.message) {
    const QTextCursor cursor = w_.message->textCursor();
    from = SearchStart(cursor.selectionStart(), cursor.hasSelection());
  }
  const int at = FindIn(w_.message->toPlainText(), needle, from);
  if (at < 0) return false;
  SelectInMessage(at, length);
  return true;
}

// Records after the shown one (all of them when it is the last), then those before it.
// stopped is set when a record could not be left (its date is not valid).
bool EditorWindow::SearchOtherRecords(const QString& needle, bool& stopped) {
  const int p = s_.curRec;
  const int n = s_.recCount;
  const int first = p == n ? 1 : p + 1;
  auto search = [&](int from, int to) {
    for (int r = from; r <= to && !stopped; ++r) {
      stopped = !Visit(r);
      if (!stopped && SearchFields(needle)) return true;
    }
    return false;
  };
  return search(first, n) || (first != 1 && search(1, p - 1));
}

// Shows a record as the user's scrolling does; false when the shown one cannot be left.
bool EditorWindow::Visit(int position) {
  SetPosition(position);
  return s_.curRec == position;
}

// The date field, then the message field, each from its first character.
bool EditorWindow::SearchFields(const QString& needle) {
  const int length = static_cast<int>(Q(s_.findText).size());
  const int inDate = FindIn(w_.date->text(), needle, 0);
  if (inDate >= 0) {
    w_.date->setFocus();
    w_.date->setSelection(inDate, length);
    return true;
  }
  const int inMessage = FindIn(w_.message->toPlainText(), needle, 0);
  if (inMessage < 0) return false;
  SelectInMessage(inMessage, length);
  return true;
}

void EditorWindow::SelectInMessage(int at, int length) {
  const int end = std::min(at + length, static_cast<int>(w_.message->toPlainText().size()));
  QTextCursor cursor = w_.message->textCursor();
  cursor.setPosition(at);
  cursor.setPosition(end, QTextCursor::KeepAnchor);
  w_.message->setTextCursor(cursor);
  w_.message->setFocus();
}

}  // namespace memro

#pragma once

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace memro {

// Appends an entry to a menu, with its shortcut when it has one.
inline QAction* AddMenuItem(QMenu* menu, const QString& caption,
                            const QKeySequence& shortcut = {}) {
  QAction* action = menu->addAction(caption);
  if (!shortcut.isEmpty()) action->setShortcut(shortcut);
  return action;
}

// Four hidden entries for recent files and the hidden separator below them, filled into
// entries[0] to entries[4].
inline void AddRecentFileEntries(QMenu* menu, QAction** entries) {
  for (int i = 0; i < 4; ++i) entries[i] = AddMenuItem(menu, QString());
  entries[4] = menu->addSeparator();
  for (int i = 0; i < 5; ++i) entries[i]->setVisible(false);
}

}  // namespace memro

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

}  // namespace memro

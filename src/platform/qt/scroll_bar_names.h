#pragma once

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QScrollBar>

namespace memro {

// A box's scroll bars are named after the box: a screen reader reads every bar it
// reaches, and a bar without a name is only "scroll bar".
inline void NameScrollBars(QAbstractScrollArea& box, const QString& boxName) {
  box.verticalScrollBar()->setAccessibleName(
      QCoreApplication::translate("memro", "%1, vertical scroll").arg(boxName));
  box.horizontalScrollBar()->setAccessibleName(
      QCoreApplication::translate("memro", "%1, horizontal scroll").arg(boxName));
}

}  // namespace memro

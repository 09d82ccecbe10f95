#include "editor/arrow_scroll_bar.h"

#include <QKeyEvent>

namespace memro {

void ArrowScrollBar::keyPressEvent(QKeyEvent* event) {
  const bool left = event->key() == Qt::Key_Left;
  if (orientation() != Qt::Horizontal || (!left && event->key() != Qt::Key_Right)) {
    QScrollBar::keyPressEvent(event);
    return;
  }
  const bool lower = left != isRightToLeft();
  triggerAction(lower ? SliderSingleStepSub : SliderSingleStepAdd);
  event->accept();
}

}  // namespace memro

#include "editor/position_bar.h"

#include <QMouseEvent>

namespace memro {

void PositionBar::EndPress() {
  if (repeatAction() == SliderNoAction) return;
  const QPointF nowhere(-1, -1);
  QMouseEvent release(QEvent::MouseButtonRelease, nowhere, mapToGlobal(nowhere), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  mouseReleaseEvent(&release);
}

}  // namespace memro

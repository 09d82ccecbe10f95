#pragma once

#include <QScrollBar>

namespace memro {

// A horizontal scroll bar whose arrow keys go the way its arrows point: Left lowers the
// value, Right raises it, in a left-to-right layout as in a right-to-left one mirrored.
// Qt's scroll bar inverts its keys so that the wheel scrolls a view naturally; the wheel
// keeps that.
class ArrowScrollBar : public QScrollBar {
 public:
  using QScrollBar::QScrollBar;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace memro

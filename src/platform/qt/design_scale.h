#pragma once

#include <QSize>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/qt/twips.h"

namespace memro {

// A control of a window drawn in twips: the room its text needs at the desktop's font
// (in pixels) and the room the design gives it (in twips). A dimension of 0 in `needed`
// does not count, for a control that takes that room itself.
struct DesignedControl {
  QSize needed;
  QSize twips;
};

// The room a widget needs: its size hint.
inline DesignedControl Designed(const QWidget& widget, QSize twips) {
  return {widget.sizeHint(), twips};
}

// The factor by which a window's design grows so that each control gets at least the
// room it needs: 1 at the small font the design was drawn for, more at a desktop's larger
// font or wider face. Never less than 1.
inline double FitScale(const QWidget& window, const std::vector<DesignedControl>& controls) {
  double scale = 1.0;
  auto grow = [&](int needed, int twips) {
    const double pixels = ToPixels(window, twips);
    if (needed > 0 && pixels > 0) scale = std::max(scale, needed / pixels);
  };
  for (const DesignedControl& c : controls) {
    grow(c.needed.width(), c.twips.width());
    grow(c.needed.height(), c.twips.height());
  }
  // In hundredths, rounded up: a control's rounded pixel size never falls below its need.
  return std::ceil(scale * 100.0 - 1e-9) / 100.0;
}

}  // namespace memro

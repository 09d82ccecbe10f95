#pragma once

#include "editor/arrow_scroll_bar.h"

namespace memro {

// The editor's record position bar. A message box that opens while one of its arrows
// is held takes the mouse, so the bar never sees the release and would go on
// repeating behind the box, raising one box after another.
class PositionBar : public ArrowScrollBar {
 public:
  using ArrowScrollBar::ArrowScrollBar;

  // Ends a press as its release would: a held arrow or page stops repeating.
  void EndPress();
};

}  // namespace memro

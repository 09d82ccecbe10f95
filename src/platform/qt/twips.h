#pragma once

#include <QWidget>
#include <cmath>

namespace memro {

// Window places are kept in twips (1440 per inch) and converted with the screen's
// logical DPI: 15 twips per pixel at 96 DPI.
inline double TwipsPerPixel(const QWidget& widget) {
  const int dpi = widget.logicalDpiX();
  return dpi > 0 ? 1440.0 / dpi : 15.0;
}

inline int ToPixels(const QWidget& widget, double twips) {
  return static_cast<int>(std::lround(twips / TwipsPerPixel(widget)));
}

inline double ToTwips(const QWidget& widget, int pixels) { return pixels * TwipsPerPixel(widget); }

// Sizes of a window drawn in twips and grown by its design scale (FitScale) at the
// desktop's font. Stored window sizes are twips of the design, whatever the font; screen
// positions are not scaled.
inline int DesignPixels(const QWidget& widget, double twips, double scale) {
  return ToPixels(widget, twips * scale);
}

inline double DesignTwips(const QWidget& widget, int pixels, double scale) {
  return ToTwips(widget, pixels) / scale;
}

}  // namespace memro

#include "platform/qt/font_dialog.h"

#include <QApplication>
#include <algorithm>

namespace memro {

QFont InitialFont(const FontRequest& request) {
  QFont font = QApplication::font();
  if (!request.name.empty()) font.setFamily(QString::fromStdString(request.name));
  if (request.size > 0) font.setPointSizeF(request.size);
  return font;
}

LimitedFontDialog::LimitedFontDialog(const FontRequest& request, QWidget* parent)
    : QFontDialog(InitialFont(request), parent),
      minSize_(request.minSize),
      maxSize_(std::max(request.minSize, request.maxSize)) {
  setOption(QFontDialog::DontUseNativeDialog);
  // Only fonts that exist are listed, and the message display cannot use the
  // non-scalable bitmap sets.
  setOption(QFontDialog::ScalableFonts);
}

void LimitedFontDialog::accept() {
  QFont font = currentFont();
  const double size = font.pointSizeF();
  if (size < minSize_ || size > maxSize_) {
    QApplication::beep();
    font.setPointSizeF(std::clamp(size, minSize_, maxSize_));
    setCurrentFont(font);
    return;
  }
  QFontDialog::accept();
}

FontResult LimitedFontDialog::Result() const {
  if (result() != QDialog::Accepted) return {FontResult::Outcome::kCancelled, {}, 0};
  const QFont font = currentFont();
  if (font.family().isEmpty() || font.pointSizeF() <= 0) {
    return {FontResult::Outcome::kFailed, {}, 0};
  }
  return {FontResult::Outcome::kChosen, font.family().toStdString(), font.pointSizeF()};
}

}  // namespace memro

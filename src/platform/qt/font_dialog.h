#pragma once

#include <QFontDialog>

#include "platform/platform.h"

namespace memro {

// The initial font of the dialog: the request's name and size, the application
// font standing in for a missing one.
QFont InitialFont(const FontRequest& request);

// A font dialog that refuses sizes outside the request's limits: an OK with such a
// size beeps and puts the nearest allowed size in, leaving the dialog open.
class LimitedFontDialog : public QFontDialog {
  Q_OBJECT

 public:
  LimitedFontDialog(const FontRequest& request, QWidget* parent);

  void accept() override;

  FontResult Result() const;

 private:
  double minSize_;
  double maxSize_;
};

}  // namespace memro

#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace memro::testing {

// Acts on the next modal dialog once its event loop runs, so a test can answer a
// dialog that the code under test shows with exec().
inline void WhenModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    if (QWidget* dialog = QApplication::activeModalWidget()) {
      act(dialog);
    } else {
      WhenModal(act);
    }
  });
}

}  // namespace memro::testing

// What a later start, a file manager or a notification's action asks of the running
// program (through the session bus).
#include <QApplication>
#include <QTimer>

#include "app/gui/main_window.h"

namespace memro {
namespace {

// While a question or a scan holds the window, a file handed over waits this long
// between tries.
constexpr int kRetryMs = 250;

// A Wayland compositor gives the focus to a window that shows the launcher's token;
// Qt takes it from the environment when the window asks for the focus.
void RaiseWithToken(const std::string& token, const std::function<void()>& raise) {
  if (!token.empty()) qputenv("XDG_ACTIVATION_TOKEN", QByteArray::fromStdString(token));
  raise();
  qunsetenv("XDG_ACTIVATION_TOKEN");
}

}  // namespace

void MainWindow::OpenFromOutside(const std::string& file, const std::string& activationToken) {
  if (closed_) {
    // Only the editor is left; it comes to the front, and the file waits for a start.
    if (editor_) {
      RaiseWithToken(activationToken, [this] {
        editor_->raise();
        editor_->activateWindow();
      });
    }
    return;
  }
  RaiseWithToken(activationToken, [this] { BringViewToFront(); });
  if (!file.empty()) LoadFromOutside(file);
}

void MainWindow::LoadFromOutside(const std::string& file) {
  // The password lock forbids loading another file; an ended program loads nothing.
  if (closed_ || signalled_ || !w_.miF[0]->isEnabled()) return;
  if (!MayReloadNow()) {
    QTimer::singleShot(kRetryMs, this, [this, file] { LoadFromOutside(file); });
    return;
  }
  values_.pendingFile = "+" + file;
  LoadCommand();
  if (viewer_ && viewer_->isVisible()) viewer_->Refresh();
}

}  // namespace memro

// The end of the program by a signal: the session's end with nobody to ask.
#include <QApplication>
#include <QDialog>
#include <QThread>
#include <QTimer>

#include "app/gui/main_window.h"

namespace memro {
namespace {

// Closes pop-up menus and answers every open dialog as Escape would (No, Cancel, OK),
// so that the code that opened it goes on as after a refusal and returns.
void CloseDialogs() {
  for (int guard = 0; guard < 64; ++guard) {
    QWidget* open = QApplication::activePopupWidget();
    if (!open) open = QApplication::activeModalWidget();
    if (!open) return;
    open->close();
    if (!open->isVisible()) continue;
    if (auto* dialog = qobject_cast<QDialog*>(open)) {
      dialog->reject();
    } else {
      open->hide();
    }
  }
}

// The program's own event loop is level 1; a dialog's exec runs a deeper one.
bool InsideADialogsLoop() { return QThread::currentThread()->loopLevel() > 1; }

}  // namespace

// Work that must run to its end before the program may end.
bool MainWindow::InProgress() const {
  return startingUp_ || scanning_ || InsideADialogsLoop() ||
         QApplication::activeModalWidget() != nullptr ||
         QApplication::activePopupWidget() != nullptr;
}

void MainWindow::EndBySignal() {
  if (signalEnded_) return;  // a second signal: the end has already run
  signalled_ = true;
  CloseDialogs();
  // The code below a dialog still uses the due list and the editor: end once it returned.
  if (startingUp_ || scanning_ || InsideADialogsLoop()) {
    if (!signalRetry_) {
      signalRetry_ = true;
      QTimer::singleShot(10, this, [this] {
        signalRetry_ = false;
        EndBySignal();
      });
    }
    return;
  }
  signalEnded_ = true;
  // Nobody may be asked from here on: a question that still opens is answered at once.
  QTimer answerer;
  QObject::connect(&answerer, &QTimer::timeout, &CloseDialogs);
  answerer.start(20);
  StopTimeOut();
  clk_.stop();
  if (editor_) {
    editor_->KeepForRecovery();  // its close then asks nothing
    if (!editor_->close()) delete editor_;
  }
  if (!closed_) close();  // the close handling: work file, settings, viewer
  platform_.StopSound();
  if (hooks_.endAtOnce) hooks_.endAtOnce();
}

}  // namespace memro

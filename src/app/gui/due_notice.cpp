// The desktop notification of what is due, and its way back to the program.
#include "app/gui/main_window.h"
#include "engine/due_entries.h"
#include "engine/due_notification.h"

namespace memro {

// After loads nobody watched (the start, a new day); a user's own load is being looked at.
void MainWindow::NotifyDue() {
  if (values_.dueCount <= 0 || !values_.settings.notification || !dueList_) return;
  const Date today = platform_.Today();
  Notification notification;
  try {
    notification =
        DueNotification(DueEntries::Read(dueList_->file(), values_.dueCount, int(today.year())),
                        today, !values_.rangeDays.empty());
  } catch (const FileError&) {
    return;  // the window shows the list; the desktop need not
  }
  if (notification.summary.empty()) return;
  platform_.Notify(notification, [window = QPointer<MainWindow>(this)] {
    if (window) window->BringViewToFront();
  });
}

// The viewer when it stands in for the main window, else the main window; a minimised
// one comes back in the state it had before (maximised stays maximised).
void MainWindow::BringViewToFront() {
  if (closed_) return;
  QWidget* view = viewer_ && viewer_->isVisible() ? static_cast<QWidget*>(viewer_.data())
                                                  : static_cast<QWidget*>(this);
  if (view->isMinimized()) view->setWindowState(view->windowState() & ~Qt::WindowMinimized);
  view->show();
  view->raise();
  view->activateWindow();
}

}  // namespace memro

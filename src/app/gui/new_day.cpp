// The new day while the program runs: past midnight, or after a suspend across it.
#include <QApplication>

#include "app/gui/main_window.h"
#include "app/gui/viewer_window.h"
#include "engine/list_line.h"
#include "settings/settings.h"

namespace memro {

// A dialog, a menu or a scan still works on the due list, and a question may be open
// over it: the new day waits for the next check.
bool MainWindow::MayReloadNow() const {
  return !startingUp_ && !scanning_ && !signalled_ && !closed_ &&
         QApplication::activeModalWidget() == nullptr &&
         QApplication::activePopupWidget() == nullptr;
}

// Any other day counts as a new one, also an earlier one (the clock was set back): the
// list must show what is due on the day the clock shows. The day is taken as seen only
// once everything for it has run, so a check that has to wait is not lost.
void MainWindow::DateCheck() {
  const Date today = platform_.Today();
  if (today == day_ || !MayReloadNow()) return;
  day_ = today;
  w_.lbl[1]->setText(Q(DateLabel(today)));
  LayOut();
  // LastCheck stays the day of the last start: the next start, also on this new day,
  // shows its list as the first start of a day does.

  // Loaded again as the File menu's Load does with a leading "+", the range kept; not
  // through the menu command, since nobody touched the program.
  if (!values_.pendingFile.empty()) {
    keepTimeOut_ = true;
    values_.pendingFile.insert(0, 1, '+');
    const bool loaded = Load(0);
    keepTimeOut_ = false;
    if (loaded) NotifyDue();
    SyncFile();
  }
  if (viewer_ && viewer_->isVisible()) viewer_->Refresh();
}

}  // namespace memro

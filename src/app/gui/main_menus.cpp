#include <QMenuBar>

#include "app/gui/main_window.h"
#include "app/gui/viewer_window.h"
#include "platform/help_topics.h"
#include "platform/qt/menu_item.h"

namespace memro {
namespace {

constexpr const char* kHelpContext = "memroHelpContext";

}  // namespace

void MainWindow::BuildMenus() {
  BuildFileMenu();
  BuildOptionsMenu();
  BuildSetupHelpMenus();
  // Opening any menu of the menu bar counts as touching the program; F1 on a
  // highlighted entry opens that menu's help topic.
  const std::array<std::pair<QMenu*, int>, 5> topics{{{w_.mnF, help::kFileMenu},
                                                      {w_.mnO, help::kOptionsMenu},
                                                      {w_.mnSound, help::kOptionsMenu},
                                                      {w_.mnS, help::kSetupMenu},
                                                      {w_.mnH, help::kMainWindow}}};
  for (const auto& [menu, topic] : topics) {
    menu->setProperty(kHelpContext, topic);
    menu->installEventFilter(this);
    connect(menu, &QMenu::aboutToShow, this, &MainWindow::StopTimeOut);
  }
  w_.miO[4]->setProperty(kHelpContext, help::kProtection);
}

int MainWindow::HelpContextOfMenu(QObject* object) const {
  auto* menu = qobject_cast<QMenu*>(object);
  if (menu == nullptr) return help::kMainWindow;
  if (QAction* active = menu->activeAction()) {
    const QVariant own = active->property(kHelpContext);
    if (own.isValid()) return own.toInt();
  }
  return menu->property(kHelpContext).toInt();
}

void MainWindow::BuildFileMenu() {
  QMenu* m = w_.mnF = menuBar()->addMenu(tr("&File"));
  w_.miF[0] = AddMenuItem(m, tr("&Load..."), QKeySequence(Qt::CTRL | Qt::Key_L));
  w_.miF[1] = AddMenuItem(m, tr("&Print to File..."), QKeySequence(Qt::CTRL | Qt::Key_P));
  w_.miF[2] = AddMenuItem(m, tr("&Editor..."), QKeySequence(Qt::CTRL | Qt::Key_E));
  w_.miF[3] = m->addSeparator();
  w_.miF[4] = AddMenuItem(m, tr("&Range..."), QKeySequence(Qt::CTRL | Qt::Key_R));
  w_.miF[6] = m->addSeparator();
  AddRecentFileEntries(m, &w_.miF[7]);
  w_.miF[12] = AddMenuItem(m, tr("E&xit"));
  for (int i : {0, 1, 2, 4, 7, 8, 9, 10, 12}) {
    connect(w_.miF[i], &QAction::triggered, this, [this, i] { FileCommand(i); });
  }
  w_.miF[1]->setEnabled(false);
  w_.miF[4]->setEnabled(false);
}

void MainWindow::BuildOptionsMenu() {
  QMenu* m = w_.mnO = menuBar()->addMenu(tr("&Options"));
  w_.miO[0] = AddMenuItem(m, tr("&AutoLoad..."));
  w_.miO[1] = AddMenuItem(m, tr("&Font..."), QKeySequence(Qt::CTRL | Qt::Key_F));
  w_.mnSound = m->addMenu(tr("&Sound"));
  w_.miO[2] = w_.mnSound->menuAction();
  w_.miSS[0] = AddMenuItem(w_.mnSound, tr("&Disable"));
  w_.miSS[1] = AddMenuItem(w_.mnSound, tr("Default &Beep"), QKeySequence(Qt::CTRL | Qt::Key_B));
  w_.miSS[2] = AddMenuItem(w_.mnSound, tr("&Sound File..."));
  for (int i = 0; i < 3; ++i) {
    w_.miSS[i]->setCheckable(true);
    connect(w_.miSS[i], &QAction::triggered, this, [this, i] { SoundCommand(i); });
  }
  w_.miO[3] = m->addSeparator();
  w_.miO[4] = AddMenuItem(m, tr("&Protection..."));
  w_.miO[5] = m->addSeparator();
  w_.miO[6] = AddMenuItem(m, tr("&Exit Pop Up"));
  w_.miO[7] = AddMenuItem(m, tr("Toggle &View"), QKeySequence(Qt::CTRL | Qt::Key_V));
  w_.miO[8] = AddMenuItem(m, tr("&Once Daily"));
  w_.miO[9] = AddMenuItem(m, tr("Start at &Login"));
  w_.miO[10] = AddMenuItem(m, tr("Desktop &Notification"));
  w_.miO[11] = m->addSeparator();
  w_.miO[12] = AddMenuItem(m, tr("S&ync with Calendar..."));
  for (int i : {0, 4, 6, 8, 9, 10}) w_.miO[i]->setCheckable(true);
  for (int i : {0, 1, 4, 6, 7, 8, 9, 10, 12}) {
    connect(w_.miO[i], &QAction::triggered, this, [this, i] { OptionsCommand(i); });
  }
}

void MainWindow::BuildSetupHelpMenus() {
  QMenu* s = w_.mnS = menuBar()->addMenu(tr("&Setup"));
  w_.miS[0] = AddMenuItem(s, tr("&Minimize When Idle"));
  w_.miS[1] = AddMenuItem(s, tr("&Exit TimeOut..."));
  w_.miS[2] = s->addSeparator();
  w_.miS[3] = AddMenuItem(s, tr("&Confirm Clean Up"));
  w_.miS[4] = s->addSeparator();
  w_.miS[5] = AddMenuItem(s, tr("&Save Settings on Exit"));
  w_.miS[6] = AddMenuItem(s, tr("Save Settings &Now"), QKeySequence(Qt::CTRL | Qt::Key_N));
  for (int i : {0, 1, 3, 5}) w_.miS[i]->setCheckable(true);
  for (int i : {0, 1, 3, 5, 6}) {
    connect(w_.miS[i], &QAction::triggered, this, [this, i] { SetupCommand(i); });
  }
  QMenu* h = w_.mnH = menuBar()->addMenu(tr("&Help"));
  w_.miH[0] = AddMenuItem(h, tr("&Contents"));
  w_.miH[1] = h->addSeparator();
  w_.miH[2] = AddMenuItem(h, tr("&About..."), QKeySequence(Qt::SHIFT | Qt::Key_F1));
  for (int i : {0, 2}) {
    connect(w_.miH[i], &QAction::triggered, this, [this, i] { HelpCommand(i); });
  }
}

void MainWindow::BuildPopup() {
  QMenu* p = w_.mnPop = new QMenu(this);
  w_.pop[0] = AddMenuItem(p, tr("&Load..."));
  w_.pop[1] = AddMenuItem(p, tr("&Editor..."));
  w_.pop[2] = AddMenuItem(p, tr("&Range..."));
  w_.pop[3] = p->addSeparator();
  w_.pop[4] = AddMenuItem(p, tr("&Save Settings Now"));
  for (int i : {0, 1, 2, 4}) {
    connect(w_.pop[i], &QAction::triggered, this, [this, i] { PopupCommand(i); });
  }
}

}  // namespace memro

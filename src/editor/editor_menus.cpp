// The editor's menus, buttons and pop-up menu, and the commands they run.
#include <QMenuBar>

#include "editor/editor_window.h"
#include "platform/help_topics.h"
#include "platform/qt/menu_item.h"

namespace memro {

void EditorWindow::BuildMenus() {
  BuildFileMenu();
  BuildRecordsMenu();
  BuildHelpMenu();
}

void EditorWindow::BuildFileMenu() {
  QMenu* m = w_.mnF = menuBar()->addMenu(tr("&File"));
  w_.miF[0] = AddMenuItem(m, tr("&New"));
  w_.miF[1] = AddMenuItem(m, tr("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O));
  w_.miF[2] = AddMenuItem(m, tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
  w_.miF[3] = AddMenuItem(m, tr("Save &As..."), QKeySequence(Qt::CTRL | Qt::Key_A));
  connect(AddMenuItem(m, tr("&Import iCalendar...")), &QAction::triggered, this,
          &EditorWindow::ImportCalendar);
  connect(AddMenuItem(m, tr("&Export iCalendar...")), &QAction::triggered, this,
          &EditorWindow::ExportCalendar);
  w_.miF[4] = m->addSeparator();
  w_.miF[5] = AddMenuItem(m, tr("Set As De&fault"));
  w_.miF[6] = m->addSeparator();
  AddRecentFileEntries(m, &w_.miF[7]);
  w_.miF[12] = AddMenuItem(m, tr("&Quit Editor"), QKeySequence(Qt::CTRL | Qt::Key_Q));
  for (int i = 0; i < 13; ++i) {
    if (!w_.miF[i]->isSeparator()) {
      connect(w_.miF[i], &QAction::triggered, this, [this, i] { FileCommand(i); });
    }
  }
}

void EditorWindow::BuildRecordsMenu() {
  QMenu* m = w_.mnR = menuBar()->addMenu(tr("&Records"));
  w_.miR[0] = AddMenuItem(m, tr("&New"), QKeySequence(Qt::CTRL | Qt::Key_N));
  w_.miR[1] = AddMenuItem(m, tr("&Delete"), QKeySequence(Qt::CTRL | Qt::Key_D));
  w_.miR[2] = m->addSeparator();
  w_.miR[3] = AddMenuItem(m, tr("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F));
  w_.miR[4] = AddMenuItem(m, tr("F&ind Next"), QKeySequence(Qt::Key_F3));
  w_.miR[5] = m->addSeparator();
  w_.miR[6] = AddMenuItem(m, tr("Du&plicate"));
  w_.miR[1]->setEnabled(false);
  for (int i : {0, 1, 3, 4, 6}) {
    connect(w_.miR[i], &QAction::triggered, this, [this, i] { RecordsCommand(i); });
  }
}

void EditorWindow::BuildHelpMenu() {
  QMenu* m = w_.mnH = menuBar()->addMenu(tr("&Help"));
  w_.miH[0] = AddMenuItem(m, tr("&Contents"), QKeySequence(Qt::Key_F1));
  w_.miH[1] = m->addSeparator();
  w_.miH[2] = AddMenuItem(m, tr("&About..."), QKeySequence(Qt::SHIFT | Qt::Key_F1));
  connect(w_.miH[0], &QAction::triggered, this, [this] { HelpCommand(0); });
  connect(w_.miH[2], &QAction::triggered, this, [this] { HelpCommand(2); });
}

void EditorWindow::BuildPopup() {
  QMenu* p = w_.mnPop = new QMenu(this);
  w_.pop[0] = AddMenuItem(p, tr("&Update"));
  p->addSeparator();
  w_.pop[1] = AddMenuItem(p, tr("&Find..."));
  p->addSeparator();
  w_.pop[2] = AddMenuItem(p, tr("&Set As Default"));
  for (int i = 0; i < 3; ++i) {
    connect(w_.pop[i], &QAction::triggered, this, [this, i] { PopupCommand(i); });
  }
}

void EditorWindow::FileCommand(int index) {
  ChangeMarks before;
  if (!CommonStart(index, before)) return;
  switch (index) {
    case 0:
      New();
      break;
    case 1:
    case 7:
    case 8:
    case 9:
    case 10:
      Open(index, before);
      break;
    case 2:
    case 3:
      Save(index == 3);
      break;
    case 5:
      SetAsDefault();
      break;
    case 12:
      close();
      break;
    default:
      break;
  }
}

void EditorWindow::RecordsCommand(int index) {
  switch (index) {
    case 0:
      NewRecord();
      break;
    case 1:
      DeleteRecord();
      break;
    case 3:
      Find(true);
      break;
    case 4:
      Find(false);
      break;
    case 6:
      DuplicateRecord();
      break;
    default:
      break;
  }
}

void EditorWindow::HelpCommand(int index) {
  if (index == 0) {
    platform_.ShowHelp(help::kEditor);
  } else if (index == 2) {
    host_.ShowAboutOver(this);
  }
}

void EditorWindow::PopupCommand(int index) {
  if (index == 0) {
    ButtonCommand(0);
  } else if (index == 1) {
    RecordsCommand(3);
  } else if (index == 2) {
    FileCommand(5);
  }
}

// Every button first puts the focus in the date field.
void EditorWindow::ButtonCommand(int index) {
  w_.date->setFocus();
  static constexpr std::array<int, 7> kFileItems{-1, 1, 2, 12, -1, -1, -1};
  static constexpr std::array<int, 7> kRecordItems{-1, -1, -1, -1, 0, 1, 6};
  if (index == 0) {
    Update();
  } else if (kFileItems[index] >= 0) {
    FileCommand(kFileItems[index]);
  } else {
    RecordsCommand(kRecordItems[index]);
  }
}

}  // namespace memro

#pragma once

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <array>

#include "app/gui/due_list.h"

namespace memro {

// The main window's controls, indexed as the commands address them. Index gaps
// (File item 5, separators) stay null.
struct MainWidgets {
  std::array<QPushButton*, 5> cmd{};
  std::array<QLabel*, 4> lbl{};
  QPlainTextEdit* txt = nullptr;
  DueListView* lst = nullptr;

  QMenu* mnF = nullptr;
  QMenu* mnO = nullptr;
  QMenu* mnSound = nullptr;
  QMenu* mnS = nullptr;
  QMenu* mnH = nullptr;
  QMenu* mnPop = nullptr;
  std::array<QAction*, 13> miF{};
  std::array<QAction*, 13> miO{};
  std::array<QAction*, 3> miSS{};
  std::array<QAction*, 7> miS{};
  std::array<QAction*, 3> miH{};
  std::array<QAction*, 5> pop{};
};

}  // namespace memro

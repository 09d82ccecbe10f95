#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <array>

#include "editor/arrow_scroll_bar.h"
#include "editor/position_bar.h"

namespace memro {

// The editor's controls, named and numbered as in its design. Index 0 of chk is unused.
struct EditorWidgets {
  QLineEdit* date = nullptr;          // Txt(0)
  QPlainTextEdit* message = nullptr;  // Txt(1)
  std::array<QLabel*, 6> lbl{};  // 0 date, 1 message, 2 warn days, 3 record, 4 status, 5 activate
  ArrowScrollBar* hWarn = nullptr;
  QComboBox* cmb = nullptr;
  std::array<QCheckBox*, 4> chk{};  // 1 enabled, 2 backdated, 3 clean-up
  PositionBar* hPos = nullptr;
  std::array<QPushButton*, 7> cmd{};  // Update, Open, Save, Quit, New, Delete, Duplicate
  QFrame* ln = nullptr;

  QMenu* mnF = nullptr;
  QMenu* mnR = nullptr;
  QMenu* mnH = nullptr;
  QMenu* mnPop = nullptr;
  std::array<QAction*, 13> miF{};  // 4, 6 and 11 are separators; 7 to 10 recent files
  std::array<QAction*, 7> miR{};   // 2 and 5 are separators
  std::array<QAction*, 3> miH{};   // 1 is a separator
  std::array<QAction*, 3> pop{};   // Update, Find..., Set As Default
};

}  // namespace memro

// The Setup and Help menus, the pop-up menu and the command buttons.
#include <cmath>

#include "app/gui/main_window.h"
#include "app/gui/viewer_window.h"
#include "data/text_util.h"
#include "platform/help_topics.h"

namespace memro {

void MainWindow::SetupCommand(int index) {
  StopTimeOut();
  Settings& s = values_.settings;
  switch (index) {
    case 0:
      s.idleMin = w_.miS[0]->isChecked();
      break;
    case 1:
      ExitTimeOut();
      break;
    case 3:
      s.confirmCleanUp = w_.miS[3]->isChecked();
      break;
    case 5:
      s.saveOnExit = w_.miS[5]->isChecked();
      break;
    case 6:
      SaveSettingsNow();
      break;
    default:
      break;
  }
}

void MainWindow::ExitTimeOut() {
  Settings& s = values_.settings;
  const std::string answer =
      platform_.InputBox("Enter TimeOut in seconds.  Cancel for no Exit TimeOut.", "Exit TimeOut",
                         std::to_string(s.timeOut));
  const double value = std::nearbyint(NumericValue(answer));
  if (value > INT16_MAX || value < INT16_MIN) {
    platform_.MessageBox("Invalid value for TimeOut", Icon::kCritical, Buttons::kOk, "");
  } else {
    s.timeOut = static_cast<std::int16_t>(std::max(0.0, value));
  }
  w_.miS[1]->setChecked(s.timeOut > 0);
}

void MainWindow::SaveSettingsNow() {
  RememberOwnPlace();
  SaveSettings(values_.settings, true, SaveContext{platform_, isVisible(), values_.password});
}

void MainWindow::HelpCommand(int index) {
  StopTimeOut();
  if (index == 0) ShowHelpFor(help::kMainWindow);
  if (index == 2) ShowAbout();
}

void MainWindow::ShowHelpFor(int context) {
  StopTimeOut();
  platform_.ShowHelp(context);
}

void MainWindow::ShowViewerHelp() { ShowHelpFor(help::kViewer); }

void MainWindow::PopupCommand(int index) {
  StopTimeOut();
  switch (index) {
    case 0:
      if (w_.miF[0]->isEnabled()) FileCommand(0);
      break;
    case 1:
      if (w_.miF[2]->isEnabled()) FileCommand(2);
      break;
    case 2:
      if (w_.miF[4]->isEnabled()) FileCommand(4);
      break;
    case 4:
      SetupCommand(6);
      break;
    default:
      break;
  }
}

void MainWindow::ButtonCommand(int index) {
  StopTimeOut();
  w_.lst->setFocus();
  switch (index) {
    case 0:
      FileCommand(2);
      break;
    case 1:
      FileCommand(4);
      break;
    case 2:
      FileCommand(1);
      break;
    case 3:
      FileCommand(12);
      break;
    case 4:
      ShowViewer();
      break;
    default:
      break;
  }
}

}  // namespace memro

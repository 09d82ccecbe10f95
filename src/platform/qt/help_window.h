#pragma once

#include <QTextBrowser>

namespace memro {

// Address of the help text inside the program.
inline constexpr char kHelpUrl[] = "qrc:/memro/help/memrx.html";

// The program's help: memrx.html from the program's resources, one topic per
// help context number.
class HelpWindow : public QTextBrowser {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // Shows the window at the topic's anchor and brings it to the front.
  void ShowTopic(int context);
};

}  // namespace memro

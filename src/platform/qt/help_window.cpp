#include "platform/qt/help_window.h"

#include <QUrl>

#include "data/fixed_texts.h"

// Outside any namespace, as the resource initialiser must be: a static library's
// resources are not registered unless something names them.
static void RegisterHelpResource() { Q_INIT_RESOURCE(memrx); }

namespace memro {

HelpWindow::HelpWindow(QWidget* parent) : QTextBrowser(parent) {
  RegisterHelpResource();
  setWindowTitle(QString::fromStdString(Texts().productTitle + " Help"));
  setOpenExternalLinks(true);
  // An open help window must not keep the program running after its main window closed.
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(640, 520);
}

void HelpWindow::ShowTopic(int context) {
  QUrl url(QString::fromLatin1(kHelpUrl));
  url.setFragment(QString::number(context));
  setSource(url);
  show();
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

}  // namespace memro

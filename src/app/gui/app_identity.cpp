#include "app/gui/app_identity.h"

#include <QApplication>

// Outside any namespace, as the resource initialiser must be: a static library's
// resources are not registered unless something names them.
static void RegisterIconResource() { Q_INIT_RESOURCE(icons); }

namespace memro {

QIcon ProgramIcon() {
  RegisterIconResource();
  QIcon builtIn;
  for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
    builtIn.addFile(QStringLiteral(":/memro/icons/%1.png").arg(size), QSize(size, size));
  }
  return QIcon::fromTheme(QString::fromLatin1(kApplicationId), builtIn);
}

void SetApplicationIdentity() {
  QApplication::setApplicationName(QStringLiteral("memro"));
  QGuiApplication::setDesktopFileName(QString::fromLatin1(kApplicationId));
  QApplication::setWindowIcon(ProgramIcon());
}

}  // namespace memro

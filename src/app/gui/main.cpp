// memro: the desktop program. Its one argument is an event file to load, or text that
// holds "/notonce".
#include <QApplication>
#include <QDir>
#include <QSessionManager>
#include <string>

#include "app/gui/app_identity.h"
#include "app/gui/main_window.h"
#include "app/gui/signal_relay.h"
#include "platform/private_directory.h"
#include "platform/qt/qt_platform.h"

namespace {

std::string CommandLine(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

// The single-copy lock belongs with the user's session, in a directory no other user
// can reach, so that nobody else can keep Memro from starting.
std::string LockDirectory(memro::Platform& platform) {
  return memro::SessionDirectory(platform.ProgramDirectory()).string();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  memro::SetApplicationIdentity();
  // Before anything of the user's is touched: a session that ends by SIGTERM or SIGHUP
  // (Wayland, systemd at logout, kill) ends the program as its own close does.
  memro::SignalRelay relay;
  memro::QtPlatform platform;

  memro::MainWindowHooks hooks;
  hooks.endAtOnce = [] { QCoreApplication::exit(0); };
  hooks.shiftHeld = [] {
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
  };
  hooks.lockDirectory = LockDirectory(platform);
  hooks.windowSystem = memro::DesktopWindowSystem();
  memro::MainWindow window(platform, hooks);
  platform.SetDialogParent(&window);

  QObject::connect(
      &app, &QGuiApplication::commitDataRequest, &window,
      [&window](QSessionManager& manager) {
        if (manager.allowsInteraction()) {
          if (!window.SessionEnding()) manager.cancel();
          manager.release();
        }
      },
      Qt::DirectConnection);

  QObject::connect(&relay, &memro::SignalRelay::received, &window, &memro::MainWindow::EndBySignal);

  if (window.StartUp(CommandLine(argc, argv)) == memro::MainWindow::Start::kEnded) return 0;
  return QApplication::exec();
}

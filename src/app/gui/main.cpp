// memro: the desktop program. Its one argument is an event file to load, or text that
// holds "/notonce"; --gapplication-service when the session bus starts it.
#include <QApplication>
#include <QDir>
#include <QSessionManager>
#include <string>

#include "app/gui/app_identity.h"
#include "app/gui/app_service.h"
#include "app/gui/main_window.h"
#include "app/gui/program_start.h"
#include "app/gui/signal_relay.h"
#include "app/gui/sync_runner.h"
#include "platform/private_directory.h"
#include "platform/qt/qt_platform.h"
#include "sync/keyring_store.h"

namespace {

// The single-copy lock belongs with the user's session, in a directory no other user
// can reach, so that nobody else can keep Memro from starting.
std::string LockDirectory(memro::Platform& platform) {
  return memro::SessionDirectory(platform.ProgramDirectory()).string();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  memro::SetApplicationIdentity();
  const memro::StartArguments start = memro::ReadStartArguments(argc, argv);
  // One running copy per session: a later start hands its file to it and ends. Where
  // the copy cannot be reached the start goes on, and its lock tells the user.
  memro::AppService service;
  if (!service.Claim()) {
    if (start.activated) return 0;  // the bus gave the call to the copy that owns the name
    if (memro::HandToRunningCopy(start.commandLine)) return 0;
  }
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
  hooks.passwords = std::make_shared<memro::sync::KeyringPasswordStore>();
  hooks.syncRunner = memro::MakeThreadSyncRunner();
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

  return memro::RunProgram(window, service, start);
}

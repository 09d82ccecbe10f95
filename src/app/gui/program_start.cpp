// The start of the one running copy: a later start hands its file over through the
// session bus and ends; the copy that owns the bus name starts the window and loads
// what later starts hand over.
#include "app/gui/program_start.h"

#include <QApplication>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "app/gui/app_service.h"
#include "app/gui/main_window.h"
#include "data/text_util.h"
#include "platform/qt/program_bus.h"

namespace memro {
namespace {

// What D-Bus activation runs (the service file's Exec=).
constexpr std::string_view kServiceFlag = "--gapplication-service";
// The running copy answers at once; one that does not within this time is stuck, and
// the start goes on to tell the user that a copy is already loaded.
constexpr int kHandOverWaitMs = 10000;
// A start by D-Bus activation whose call never comes starts as a plain start would.
constexpr int kActivationCallWaitMs = 5000;

}  // namespace

StartArguments ReadStartArguments(int argc, char** argv) {
  StartArguments start;
  for (int i = 1; i < argc; ++i) {
    if (argv[i] == kServiceFlag) {
      start.activated = true;
      continue;
    }
    if (!start.commandLine.empty()) start.commandLine += ' ';
    start.commandLine += argv[i];
  }
  return start;
}

bool HasNotOnce(const std::string& commandLine) {
  return AsciiLower(commandLine).find("/notonce") != std::string::npos;
}

std::string AbsoluteFileName(const std::string& name) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(name, error);
  return error ? name : absolute.lexically_normal().string();
}

bool HandToRunningCopy(const std::string& commandLine) {
  const bool file = !commandLine.empty() && !HasNotOnce(commandLine);
  return AskProgram(file ? QString::fromStdString(AbsoluteFileName(commandLine)) : QString(), false,
                    kHandOverWaitMs);
}

int RunProgram(MainWindow& window, AppService& service, const StartArguments& start) {
  const auto serveLaterStarts = [&window, &service] {
    service.SetHandler([&window](const OutsideRequest& request) {
      window.OpenFromOutside(request.file, request.activationToken);
    });
  };
  if (!start.activated) {
    if (window.StartUp(start.commandLine) == MainWindow::Start::kEnded) return 0;
    serveLaterStarts();
    return QApplication::exec();
  }
  // The first call starts the program as a start with its file would (none: a plain
  // start, AutoLoad and Once Daily included); the later ones find it running.
  auto started = std::make_shared<bool>(false);
  const auto startWith = [&window, serveLaterStarts, started](const OutsideRequest& request) {
    if (*started) return;
    *started = true;
    // The first window shown takes the focus with the launcher's token (Wayland).
    if (!request.activationToken.empty()) {
      qputenv("XDG_ACTIVATION_TOKEN", QByteArray::fromStdString(request.activationToken));
    }
    if (window.StartUp(request.file) == MainWindow::Start::kEnded) {
      QCoreApplication::exit(0);
      return;
    }
    serveLaterStarts();
  };
  service.SetHandler(startWith);
  QTimer::singleShot(kActivationCallWaitMs, &window, [startWith] { startWith({}); });
  return QApplication::exec();
}

}  // namespace memro

#include <QCoreApplication>
#include <QDateTime>
#include <memory>

#include "cli/console_platform.h"
#include "platform/private_directory.h"
#include "platform/qt/desktop_notifier.h"

namespace memro::cli {
namespace {

// Two calls of at most ten seconds each (the capabilities, the notification): a server
// that answers late is still reached, a stuck one does not keep the check running.
constexpr int kDeliveryWaitMs = 20000;

}  // namespace

// The terminal has no event loop: a Qt core application is made for the one
// notification and waited on until the server has it, as the process ends right after;
// with `activated`, until it can no longer be chosen.
void ConsolePlatform::Notify(const Notification& notification, std::function<void()> activated) {
  static int argc = 1;
  static char name[] = "memro-cli";
  static char* argv[] = {name, nullptr};
  std::unique_ptr<QCoreApplication> app;
  if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv);
  DesktopNotifier notifier;
  notifier.KeepIdIn(NotificationIdFile(ProgramDirectory()));
  const bool choosable = static_cast<bool>(activated);
  notifier.Notify(QString::fromStdString(notification.summary),
                  QString::fromStdString(notification.body), std::move(activated));
  if (!notifier.WaitUntilSent(kDeliveryWaitMs) || !choosable) return;
  // A notification that may be chosen keeps the process for the day it names at most:
  // its list is stale after midnight, and the next day's check must find the scheduled
  // unit ended, or the timer would not start it again.
  const QDateTime midnight(QDate::currentDate().addDays(1), QTime(0, 0));
  notifier.WaitWhileShown(midnight);
}

}  // namespace memro::cli

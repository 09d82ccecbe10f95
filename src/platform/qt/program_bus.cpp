#include "platform/qt/program_bus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QUrl>

namespace memro {

QVariantMap LauncherPlatformData() {
  QVariantMap data;
  const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
  if (!token.isEmpty()) data.insert(QStringLiteral("activation-token"), token);
  const QString startupId = qEnvironmentVariable("DESKTOP_STARTUP_ID");
  if (!startupId.isEmpty()) data.insert(QStringLiteral("desktop-startup-id"), startupId);
  return data;
}

bool AskProgram(const QString& file, bool start, int timeoutMs) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  const bool open = !file.isEmpty();
  QDBusMessage call = QDBusMessage::createMethodCall(
      QString::fromLatin1(kProgramBusName), QString::fromLatin1(kProgramObjectPath),
      QString::fromLatin1(kApplicationInterface),
      open ? QStringLiteral("Open") : QStringLiteral("Activate"));
  if (open) call << QStringList{QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)};
  call << LauncherPlatformData();
  call.setAutoStartService(start);
  return bus.call(call, QDBus::Block, timeoutMs).type() == QDBusMessage::ReplyMessage;
}

}  // namespace memro

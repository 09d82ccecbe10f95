#include "app/gui/app_service.h"

#include <QDBusConnection>
#include <QTimer>
#include <QUrl>

#include "platform/qt/program_bus.h"

namespace memro {
namespace {

std::string ActivationToken(const QVariantMap& platformData) {
  // Launchers on Wayland pass the token under both names, older ones only the second.
  for (const char* key : {"activation-token", "desktop-startup-id"}) {
    const QString value = platformData.value(QString::fromLatin1(key)).toString();
    if (!value.isEmpty()) return value.toStdString();
  }
  return {};
}

}  // namespace

AppService::AppService(QObject* parent) : QObject(parent) { new ApplicationAdaptor(this); }

bool AppService::Claim() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  // The object first: a call the bus queued for the name is delivered as soon as the
  // name is ours.
  if (!bus.registerObject(QString::fromLatin1(kProgramObjectPath), this)) return false;
  if (bus.registerService(QString::fromLatin1(kProgramBusName))) return true;
  bus.unregisterObject(QString::fromLatin1(kProgramObjectPath));
  return false;
}

void AppService::SetHandler(Handler handler) {
  handler_ = std::move(handler);
  QTimer::singleShot(0, this, &AppService::Dispatch);
}

void AppService::Receive(OutsideRequest request) {
  waiting_.push_back(std::move(request));
  QTimer::singleShot(0, this, &AppService::Dispatch);
}

// A handler may run dialogs whose event loops bring the next call: it waits its turn.
void AppService::Dispatch() {
  if (dispatching_) return;
  dispatching_ = true;
  while (handler_ && !waiting_.empty()) {
    const OutsideRequest request = std::move(waiting_.front());
    waiting_.pop_front();
    const Handler handler = handler_;  // it may set the next handler
    handler(request);
  }
  dispatching_ = false;
}

ApplicationAdaptor::ApplicationAdaptor(AppService* service)
    : QDBusAbstractAdaptor(service), service_(service) {}

void ApplicationAdaptor::Activate(const QVariantMap& platformData) {
  service_->Receive({"", ActivationToken(platformData)});
}

// One window shows one file: the first local file is loaded, anything else only brings
// the program to the front.
void ApplicationAdaptor::Open(const QStringList& uris, const QVariantMap& platformData) {
  std::string file;
  for (const QString& uri : uris) {
    const QUrl url(uri);
    if (url.isLocalFile()) {
      file = url.toLocalFile().toStdString();
      break;
    }
  }
  service_->Receive({file, ActivationToken(platformData)});
}

void ApplicationAdaptor::ActivateAction(const QString&, const QVariantList&,
                                        const QVariantMap& platformData) {
  Activate(platformData);
}

}  // namespace memro

#pragma once

#include <QDBusAbstractAdaptor>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <deque>
#include <functional>
#include <string>

namespace memro {

// What a later start, a file manager or a notification asks of the running program.
struct OutsideRequest {
  std::string file;             // to load; empty: only to come to the front
  std::string activationToken;  // the launcher's, so that the window may take the focus
};

// The program's one running copy on the session bus: it owns org.memro.Memro and answers
// org.freedesktop.Application at /org/memro/Memro. Each call is answered at once and
// handled afterwards from the event loop, one at a time, so that no caller waits for a
// question the window asks; calls that come before there is a handler wait for it.
class AppService : public QObject {
  Q_OBJECT

 public:
  using Handler = std::function<void(const OutsideRequest&)>;

  explicit AppService(QObject* parent = nullptr);

  // Owns the name and serves; false without a session bus or when another process owns
  // the name.
  bool Claim();
  void SetHandler(Handler handler);
  // From the bus: queued for the handler.
  void Receive(OutsideRequest request);

 private:
  void Dispatch();

  Handler handler_;
  std::deque<OutsideRequest> waiting_;
  bool dispatching_ = false;
};

// The interface itself. The desktop entry has no actions of its own: ActivateAction only
// brings the program to the front.
class ApplicationAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

 public:
  explicit ApplicationAdaptor(AppService* service);

 public slots:
  void Activate(const QVariantMap& platformData);
  void Open(const QStringList& uris, const QVariantMap& platformData);
  void ActivateAction(const QString& name, const QVariantList& parameter,
                      const QVariantMap& platformData);

 private:
  AppService* service_;
};

}  // namespace memro

#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <optional>

class QDBusPendingCallWatcher;

namespace memro {

// Desktop notifications through org.freedesktop.Notifications on the session bus, from
// the first notification on. Every call is asynchronous, so a missing or stuck server never holds
// up the caller; without a bus or a server nothing happens. Each notification replaces the one this
// notifier showed before, and with an id file also the last one of an earlier run or of another
// process that keeps its id there (with the process that showed it, so that only that one
// acts on its action). A notification stays until the user dismisses it. Needs a
// QCoreApplication; use it on the thread it lives in.
class DesktopNotifier : public QObject {
  Q_OBJECT

 public:
  explicit DesktopNotifier(QObject* parent = nullptr);
  ~DesktopNotifier() override;

  // Where the id of the last notification is kept for the session (empty: nowhere).
  void KeepIdIn(std::filesystem::path file) { idFile_ = std::move(file); }

  // Plain-text summary and body. `activated` (may be empty: then the notification offers
  // no action) is called when the user chooses the notification.
  void Notify(const QString& summary, const QString& body, std::function<void()> activated);

  // Whether a notification is still on its way to the server.
  bool Busy() const;
  // Runs the event loop until the server answered the last notification or timeoutMs
  // passed, for a process that ends right after sending. Returns !Busy().
  bool WaitUntilSent(int timeoutMs);

  // The id the server gave the last notification; 0 before the first answer.
  uint LastId() const { return lastId_; }

  // For a process that ends once its notification no longer needs it: runs the event
  // loop while the last notification is shown and may still be chosen, that is until it
  // was chosen or closed, another process replaced it (the id file names that one), or
  // `until` passed. Returns at once when nothing was shown.
  void WaitWhileShown(const QDateTime& until);

 signals:
  void Sent();
  void Closed();
  void Chosen();

 private slots:
  void OnActionInvoked(uint id, const QString& action);
  void OnActivationToken(uint id, const QString& token);
  void OnClosed(uint id, uint reason);

 private:
  struct Request {
    QString summary;
    QString body;
    std::function<void()> activated;
  };

  void SendNext();
  void AskCapabilities();
  void OnCapabilities(QDBusPendingCallWatcher* watcher);
  void OnNotifyReply(QDBusPendingCallWatcher* watcher);
  void ReadKeptId();
  void KeepId() const;
  bool StillOurs() const;
  void ConnectSignals(bool on);

  bool triedBus_ = false;
  bool connected_ = false;
  std::optional<QStringList> capabilities_;
  bool askingCapabilities_ = false;
  bool sending_ = false;
  // The newest notification not sent yet: only the latest counts, as each one replaces
  // the one before.
  std::optional<Request> waiting_;
  uint lastId_ = 0;
  std::function<void()> activated_;
  QString activationToken_;  // the server's for the last notification, when it sent one
  std::filesystem::path idFile_;
  bool readKeptId_ = false;
};

}  // namespace memro

#include "platform/qt/desktop_notifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QEventLoop>
#include <QFileSystemWatcher>
#include <QTimer>
#include <QVariantMap>
#include <algorithm>
#include <fstream>

namespace memro {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kAppId = QStringLiteral("org.memro.Memro");
// Long enough for a server started by D-Bus activation, short enough that a stuck one
// does not keep a scheduled check running.
constexpr int kCallTimeoutMs = 10000;

// A server that reads markup would take "<" in a message for the start of a tag.
QString EscapedForMarkup(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (const QChar c : text) {
    if (c == u'&') {
      out += QStringLiteral("&amp;");
    } else if (c == u'<') {
      out += QStringLiteral("&lt;");
    } else if (c == u'>') {
      out += QStringLiteral("&gt;");
    } else {
      out += c;
    }
  }
  return out;
}

QDBusConnection Bus() { return QDBusConnection::sessionBus(); }

}  // namespace

DesktopNotifier::DesktopNotifier(QObject* parent) : QObject(parent) {}

DesktopNotifier::~DesktopNotifier() {
  if (connected_) ConnectSignals(false);
}

void DesktopNotifier::ConnectSignals(bool on) {
  const auto hear = [on, this](const char* name, const char* slot) {
    if (on) {
      Bus().connect(kService, kPath, kInterface, QString::fromLatin1(name), this, slot);
    } else {
      Bus().disconnect(kService, kPath, kInterface, QString::fromLatin1(name), this, slot);
    }
  };
  hear("ActionInvoked", SLOT(OnActionInvoked(uint, QString)));
  hear("ActivationToken", SLOT(OnActivationToken(uint, QString)));
  hear("NotificationClosed", SLOT(OnClosed(uint, uint)));
}

void DesktopNotifier::Notify(const QString& summary, const QString& body,
                             std::function<void()> activated) {
  // The bus only now: a program that never notifies never connects to it.
  if (!triedBus_) {
    triedBus_ = true;
    connected_ = Bus().isConnected();
    if (connected_) ConnectSignals(true);
  }
  if (!connected_) return;
  waiting_ = Request{summary, body, std::move(activated)};
  SendNext();
}

bool DesktopNotifier::Busy() const { return waiting_.has_value() || sending_; }

bool DesktopNotifier::WaitUntilSent(int timeoutMs) {
  if (!Busy()) return true;
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  connect(this, &DesktopNotifier::Sent, &loop, [&] {
    if (!Busy()) loop.quit();
  });
  timer.start(timeoutMs);
  loop.exec();
  return !Busy();
}

void DesktopNotifier::SendNext() {
  if (!waiting_ || sending_) return;
  if (!capabilities_) {
    AskCapabilities();
    return;
  }
  ReadKeptId();
  Request request = std::move(*waiting_);
  waiting_.reset();
  const bool markup = capabilities_->contains(QStringLiteral("body-markup"));
  QStringList actions;
  if (request.activated) actions << QStringLiteral("default") << QStringLiteral("Show Memro");
  QVariantMap hints;
  hints.insert(QStringLiteral("desktop-entry"), kAppId);
  hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(1));
  // Kept in the server's list after its action was chosen, where the server keeps any.
  hints.insert(QStringLiteral("resident"), true);
  QDBusMessage call =
      QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
  call << QStringLiteral("Memro") << lastId_ << kAppId << request.summary
       << (markup ? EscapedForMarkup(request.body) : request.body) << actions << hints
       << qint32(0);  // never expires: a reminder stays until the user has seen it
  // The callback belongs to this notification from now on; an answer for an older id
  // must not call it.
  activated_ = std::move(request.activated);
  activationToken_.clear();
  sending_ = true;
  auto* watcher = new QDBusPendingCallWatcher(Bus().asyncCall(call, kCallTimeoutMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this](QDBusPendingCallWatcher* w) { OnNotifyReply(w); });
}

void DesktopNotifier::AskCapabilities() {
  if (askingCapabilities_) return;
  askingCapabilities_ = true;
  const QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                           QStringLiteral("GetCapabilities"));
  auto* watcher = new QDBusPendingCallWatcher(Bus().asyncCall(call, kCallTimeoutMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this](QDBusPendingCallWatcher* w) { OnCapabilities(w); });
}

void DesktopNotifier::OnCapabilities(QDBusPendingCallWatcher* watcher) {
  watcher->deleteLater();
  askingCapabilities_ = false;
  const QDBusPendingReply<QStringList> reply = *watcher;
  if (reply.isError()) {
    // No server: the notification goes nowhere, and nobody is told. The next one asks
    // again, as a server may have started since.
    waiting_.reset();
    emit Sent();
    return;
  }
  capabilities_ = reply.value();
  SendNext();
  emit Sent();
}

void DesktopNotifier::OnNotifyReply(QDBusPendingCallWatcher* watcher) {
  watcher->deleteLater();
  sending_ = false;
  const QDBusPendingReply<uint> reply = *watcher;
  if (reply.isError()) {
    // The server went away: a new one knows neither its capabilities nor the old id.
    capabilities_.reset();
    lastId_ = 0;
  } else {
    lastId_ = reply.value();
    KeepId();
  }
  SendNext();
  emit Sent();
}

// A server replaces a notification of an id it does not know by a new one, so an id
// from before a restart of the server does no harm.
void DesktopNotifier::ReadKeptId() {
  if (readKeptId_ || idFile_.empty()) return;
  readKeptId_ = true;
  std::ifstream in(idFile_);
  uint id = 0;
  if (lastId_ == 0 && in >> id) lastId_ = id;
}

// Written whole under another name and renamed, so a reader never sees half an id.
void DesktopNotifier::KeepId() const {
  if (idFile_.empty() || lastId_ == 0) return;
  std::filesystem::path temporary = idFile_;
  temporary += ".new";
  {
    std::ofstream out(temporary, std::ios::trunc);
    out << lastId_ << ' ' << QCoreApplication::applicationPid() << '\n';
    if (!out.flush()) return;
  }
  std::error_code ignored;
  std::filesystem::rename(temporary, idFile_, ignored);
}

// The process that showed the notification last acts on it: a notification of this
// one that another replaced is that one's now.
bool DesktopNotifier::StillOurs() const {
  if (idFile_.empty()) return true;
  std::ifstream in(idFile_);
  uint id = 0;
  qint64 pid = 0;
  return !(in >> id >> pid) || (id == lastId_ && pid == QCoreApplication::applicationPid());
}

void DesktopNotifier::OnActionInvoked(uint id, const QString& action) {
  if (id == 0 || id != lastId_ || action != QStringLiteral("default") || !activated_) return;
  if (!StillOurs()) return;
  // A copy: the callback may send the next notification, which replaces activated_.
  const std::function<void()> activated = activated_;
  // The server's token lets the window it raises take the focus (Wayland); Qt and the
  // calls that reach the program take it from the environment.
  const bool token = !activationToken_.isEmpty();
  if (token) qputenv("XDG_ACTIVATION_TOKEN", activationToken_.toUtf8());
  activated();
  if (token) qunsetenv("XDG_ACTIVATION_TOKEN");
  emit Chosen();
}

void DesktopNotifier::OnActivationToken(uint id, const QString& token) {
  if (id != 0 && id == lastId_) activationToken_ = token;
}

void DesktopNotifier::OnClosed(uint id, uint) {
  if (id != 0 && id == lastId_) emit Closed();
}

void DesktopNotifier::WaitWhileShown(const QDateTime& until) {
  WaitUntilSent(kCallTimeoutMs);
  if (lastId_ == 0 || !activated_) return;
  QEventLoop loop;
  // The wall clock, looked at every minute: a timer's own clock stands still while the
  // machine sleeps.
  QTimer clock;
  connect(&clock, &QTimer::timeout, &loop, [&loop, until] {
    if (QDateTime::currentDateTime() >= until) loop.quit();
  });
  clock.start(std::clamp<qint64>(QDateTime::currentDateTime().msecsTo(until), 0, 60000));
  connect(this, &DesktopNotifier::Closed, &loop, &QEventLoop::quit);
  connect(this, &DesktopNotifier::Chosen, &loop, &QEventLoop::quit);
  // Another process that replaces the notification rewrites the id file.
  QFileSystemWatcher watcher;
  if (!idFile_.empty()) watcher.addPath(QString::fromStdString(idFile_.parent_path().string()));
  connect(&watcher, &QFileSystemWatcher::directoryChanged, &loop, [this, &loop] {
    if (!StillOurs()) loop.quit();
  });
  if (StillOurs()) loop.exec();
}

}  // namespace memro

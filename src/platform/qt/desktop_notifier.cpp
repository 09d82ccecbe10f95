#include "platform/qt/desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QEventLoop>
#include <QTimer>
#include <QVariantMap>
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
  if (connected_) {
    Bus().disconnect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                     SLOT(OnActionInvoked(uint, QString)));
  }
}

void DesktopNotifier::Notify(const QString& summary, const QString& body,
                             std::function<void()> activated) {
  // The bus only now: a program that never notifies never connects to it.
  if (!triedBus_) {
    triedBus_ = true;
    connected_ = Bus().isConnected();
    if (connected_) {
      Bus().connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                    SLOT(OnActionInvoked(uint, QString)));
    }
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
    out << lastId_ << '\n';
    if (!out.flush()) return;
  }
  std::error_code ignored;
  std::filesystem::rename(temporary, idFile_, ignored);
}

void DesktopNotifier::OnActionInvoked(uint id, const QString& action) {
  if (id == 0 || id != lastId_ || action != QStringLiteral("default") || !activated_) return;
  // A copy: the callback may send the next notification, which replaces activated_.
  const std::function<void()> activated = activated_;
  activated();
}

}  // namespace memro

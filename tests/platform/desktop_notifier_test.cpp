// The desktop notifier against a recording notification server on a private session
// bus: run by notification_bus.sh, which starts the server first.
#include "platform/qt/desktop_notifier.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QThread>

#include "support/fake_platform.h"
#include "support/test_environment.h"

namespace memro {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");

QDBusMessage CallMock(const QString& method, const QVariantList& args = {}) {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kMock, method);
  call.setArguments(args);
  return QDBusConnection::sessionBus().call(call);
}

// What the server was sent: one entry per Notify, its arguments in order.
struct NotifyCall {
  QString appName;
  uint replacesId = 0;
  QString icon;
  QString summary;
  QString body;
  QStringList actions;
  QVariantMap hints;
  int timeout = 0;
};

std::vector<NotifyCall> NotifyCalls() {
  const QDBusMessage reply = CallMock(QStringLiteral("GetMethodCalls"), {QStringLiteral("Notify")});
  std::vector<NotifyCall> calls;
  if (reply.type() != QDBusMessage::ReplyMessage) {
    ADD_FAILURE() << reply.errorMessage().toStdString();
    return calls;
  }
  const QDBusArgument list = reply.arguments().at(0).value<QDBusArgument>();
  list.beginArray();
  while (!list.atEnd()) {
    qulonglong time = 0;
    QVariantList args;
    list.beginStructure();
    list >> time >> args;
    list.endStructure();
    if (args.size() != 8) {
      ADD_FAILURE() << "Notify with " << args.size() << " arguments";
      continue;
    }
    NotifyCall c;
    c.appName = args[0].toString();
    c.replacesId = args[1].toUInt();
    c.icon = args[2].toString();
    c.summary = args[3].toString();
    c.body = args[4].toString();
    c.actions = args[5].toStringList();
    c.hints = qdbus_cast<QVariantMap>(args[6].value<QDBusArgument>());
    c.timeout = args[7].toInt();
    calls.push_back(c);
  }
  list.endArray();
  return calls;
}

bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
  QDeadlineTimer deadline(ms);
  while (!done() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return done();
}

class DesktopNotifierTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under notification_bus.sh";
    CallMock(QStringLiteral("ClearCalls"));
  }
};

TEST_F(DesktopNotifierTest, SendsTheProgramsNotificationAndReplacesItsLastOne) {
  const testing::TempDir dir;
  DesktopNotifier notifier;
  notifier.KeepIdIn(dir / "memro-notification");
  notifier.Notify("Memro: 1 event due", "Tue, Dec 08, 2026 \u2014 Today!!\nTom & Jerry <3>", {});
  ASSERT_TRUE(notifier.WaitUntilSent(5000));
  const uint first = notifier.LastId();
  EXPECT_NE(first, 0u);
  notifier.Notify("Memro: 2 events due", "later", [] {});
  ASSERT_TRUE(notifier.WaitUntilSent(5000));
  EXPECT_EQ(notifier.LastId(), first);

  const auto calls = NotifyCalls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].appName, "Memro");
  EXPECT_EQ(calls[0].replacesId, 0u);
  EXPECT_EQ(calls[0].icon, "org.memro.Memro");
  EXPECT_EQ(calls[0].summary, "Memro: 1 event due");
  // The server reads markup (it says so): the message's own signs are escaped.
  EXPECT_EQ(calls[0].body, "Tue, Dec 08, 2026 \u2014 Today!!\nTom &amp; Jerry &lt;3&gt;");
  EXPECT_TRUE(calls[0].actions.isEmpty()) << "no callback, no action";
  EXPECT_EQ(calls[0].hints.value("desktop-entry").toString(), "org.memro.Memro");
  EXPECT_EQ(calls[0].hints.value("urgency").toInt(), 1);
  EXPECT_TRUE(calls[0].hints.value("resident").toBool());
  EXPECT_EQ(calls[0].timeout, 0);  // stays until the user dismisses it
  EXPECT_EQ(calls[1].replacesId, first);
  EXPECT_EQ(calls[1].actions, QStringList({"default", "Show Memro"}));

  // A later run, or memro-cli notify, that keeps its id in the same file replaces it too.
  DesktopNotifier later;
  later.KeepIdIn(dir / "memro-notification");
  later.Notify("Memro: 1 event due", "next run", {});
  ASSERT_TRUE(later.WaitUntilSent(5000));
  EXPECT_EQ(NotifyCalls().at(2).replacesId, first);
}

TEST_F(DesktopNotifierTest, NotificationsInQuickSuccessionStillReplaceEachOther) {
  DesktopNotifier notifier;
  // Sent before any answer came back: only the newest goes out, and one sent while the
  // server has not yet named the id waits for it rather than showing a second bubble.
  notifier.Notify("one", "1", {});
  notifier.Notify("two", "2", {});
  notifier.Notify("three", "3", {});
  ASSERT_TRUE(notifier.WaitUntilSent(5000));
  notifier.Notify("four", "4", {});
  notifier.Notify("five", "5", {});
  ASSERT_TRUE(notifier.WaitUntilSent(5000));
  const auto calls = NotifyCalls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].summary, "three");
  EXPECT_EQ(calls[1].summary, "four");
  EXPECT_EQ(calls[2].summary, "five");
  EXPECT_NE(calls[2].replacesId, 0u);
  EXPECT_EQ(calls[2].replacesId, calls[1].replacesId);
}

TEST_F(DesktopNotifierTest, ChoosingTheNotificationCallsBackOnItsThread) {
  DesktopNotifier notifier;
  int calls = 0;
  QThread* thread = nullptr;
  notifier.Notify("Memro: 1 event due", "body", [&] {
    ++calls;
    thread = QThread::currentThread();
  });
  ASSERT_TRUE(notifier.WaitUntilSent(5000));
  const uint id = notifier.LastId();
  const auto invoke = [](uint which, const QString& action) {
    const QDBusMessage reply =
        CallMock(QStringLiteral("EmitSignal"),
                 {kService, QStringLiteral("ActionInvoked"), QStringLiteral("us"),
                  QVariant::fromValue(QVariantList{QVariant::fromValue(which), action})});
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
  };
  // Another program's notification and another action are not this one's choice.
  invoke(id + 100, QStringLiteral("default"));
  invoke(id, QStringLiteral("other"));
  invoke(id, QStringLiteral("default"));
  EXPECT_TRUE(WaitFor([&] { return calls > 0; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(thread, QCoreApplication::instance()->thread());
}

TEST_F(DesktopNotifierTest, PlainTextServerGetsTheTextAsItIs) {
  const QDBusMessage reply = CallMock(QStringLiteral("AddMethod"),
                                      {kService, QStringLiteral("GetCapabilities"), QString(),
                                       QStringLiteral("as"), QStringLiteral("ret = ['body']")});
  ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
  DesktopNotifier notifier;
  notifier.Notify("Memro: 1 event due", "Tom & Jerry <3>", {});
  ASSERT_TRUE(notifier.WaitUntilSent(5000));
  const auto calls = NotifyCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].body, "Tom & Jerry <3>");
}

}  // namespace
}  // namespace memro

int main(int argc, char** argv) {
  memro::testing::PrepareTestEnvironment();
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// The resume from suspend, with logind mocked on a private system bus. Run by
// date_watch_resume.sh, which starts the bus and the mock; anywhere else the tests are
// skipped, so they never reach the machine's own system bus.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <fstream>

#include "platform/qt/date_watch.h"
#include "platform/qt/qt_platform.h"

namespace memro {
namespace {

using namespace std::chrono;

void EmitPrepareForSleep(bool sleeping) {
  QDBusMessage call =
      QDBusMessage::createMethodCall("org.freedesktop.login1", "/org/freedesktop/login1",
                                     "org.freedesktop.DBus.Mock", "EmitSignal");
  call << QString("org.freedesktop.login1.Manager") << QString("PrepareForSleep") << QString("b")
       << QVariantList{QVariant::fromValue(QDBusVariant(sleeping))};
  const QDBusMessage reply = QDBusConnection::systemBus().call(call);
  ASSERT_NE(reply.type(), QDBusMessage::ErrorMessage) << reply.errorMessage().toStdString();
}

class ResumeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("MEMRO_PRIVATE_SYSTEM_BUS") == nullptr) {
      GTEST_SKIP() << "needs the private system bus of date_watch_resume.sh";
    }
  }
};

sys_time<milliseconds> At(int hh, int mm, int ss) {
  return sys_days{year{2026} / 12 / 8} + hours{hh} + minutes{mm} + seconds{ss};
}

TEST_F(ResumeTest, TheResumeChecksAtOnceAndArmsTheTimerAgain) {
  int checks = 0;
  auto now = At(10, 0, 0);  // the minute timer is a full minute away
  DateWatch watch([&] { ++checks; }, [&] { return now; });
  ASSERT_TRUE(watch.WatchesResume());

  EmitPrepareForSleep(true);
  QTest::qWait(300);
  EXPECT_EQ(checks, 0) << "going to sleep is no reason to check";

  // While the machine slept the wall clock went on; the timer did not.
  now = At(10, 7, 59);
  const auto emitted = steady_clock::now();
  EmitPrepareForSleep(false);
  ASSERT_TRUE(QTest::qWaitFor([&] { return checks == 1; }, 5000));
  EXPECT_LT(steady_clock::now() - emitted, 5s);
  EXPECT_LE(watch.MillisecondsToNextCheck(), 1200) << "armed for 10:08, not the old minute";
  ASSERT_TRUE(QTest::qWaitFor([&] { return checks == 2; }, 3000));
}

TEST_F(ResumeTest, ThePlatformKeepsOneWatchAndCallsTheLatestCheck) {
  QtPlatform platform;
  int first = 0;
  int second = 0;
  platform.WatchDate([&] { ++first; });
  platform.WatchDate([&] { ++second; });
  EmitPrepareForSleep(false);
  ASSERT_TRUE(QTest::qWaitFor([&] { return second >= 1; }, 5000));
  QTest::qWait(200);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 1) << "one watch, one check per resume";
}

// The resume comes from date_watch_resume.sh once the watch is ready.
TEST_F(ResumeTest, ASignalFromOutsideChecksAtOnce) {
  const char* ready = std::getenv("MEMRO_RESUME_READY_FILE");
  if (ready == nullptr) GTEST_SKIP() << "the script sends the resume";
  int checks = 0;
  DateWatch watch([&] { ++checks; }, [] { return At(10, 0, 0); });
  ASSERT_TRUE(watch.WatchesResume());
  // A call on the same connection: its answer comes after the watch's match rule was
  // taken in by the bus.
  ASSERT_TRUE(
      QDBusConnection::systemBus().interface()->isServiceRegistered("org.freedesktop.login1"));
  std::ofstream{ready};
  EXPECT_TRUE(QTest::qWaitFor([&] { return checks == 1; }, 10000));
}

}  // namespace
}  // namespace memro

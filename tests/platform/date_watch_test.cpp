#include "platform/qt/date_watch.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QtGlobal>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace memro {
namespace {

using namespace std::chrono;

constexpr milliseconds kMargin{200};

sys_time<milliseconds> At(int y, unsigned m, unsigned d, int hh, int mm, int ss, int ms) {
  return sys_days{year{y} / month{m} / day{d}} + hours{hh} + minutes{mm} + seconds{ss} +
         milliseconds{ms};
}

TEST(DelayToNextMinute, CountsToJustAfterTheNextWholeMinute) {
  EXPECT_EQ(DelayToNextMinute(At(2026, 12, 7, 23, 59, 45, 0), kMargin), 15200ms);
  EXPECT_EQ(DelayToNextMinute(At(2026, 12, 7, 23, 59, 59, 999), kMargin), 201ms);
  // Exactly on the minute the next check is a whole minute away, not now again.
  EXPECT_EQ(DelayToNextMinute(At(2026, 12, 8, 0, 0, 0, 0), kMargin), 60200ms);
  EXPECT_EQ(DelayToNextMinute(At(2026, 12, 8, 0, 0, 0, 1), kMargin), 60199ms);
  // A part of a millisecond rounds the delay up: without a margin it still ends on or
  // after the minute, never before it.
  EXPECT_EQ(DelayToNextMinute(At(2026, 12, 8, 0, 0, 30, 0) + 999us, 0ms), 30000ms);
  // Before 1970 the clock counts negative; the minute still turns at :00.
  EXPECT_EQ(DelayToNextMinute(At(1969, 12, 31, 23, 59, 59, 0), kMargin), 1200ms);
  EXPECT_EQ(DelayToNextMinute(At(1969, 12, 31, 23, 59, 0, 0), kMargin), 60200ms);
}

// The watch never meets a real bus here: the system bus named does not exist.
class DateWatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string address = "unix:path=";
    address += std::getenv("XDG_RUNTIME_DIR");
    address += "/no-system-bus";
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
    messages().clear();
    previousHandler_ =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
          messages().push_back(text.toStdString());
        });
  }
  void TearDown() override { qInstallMessageHandler(previousHandler_); }

  static std::vector<std::string>& messages() {
    static std::vector<std::string> list;
    return list;
  }

  QtMessageHandler previousHandler_ = nullptr;
};

TEST_F(DateWatchTest, ChecksJustAfterEachMinuteOnTheWallClock) {
  // The wall clock stands a little before midnight and runs on with the real time.
  const auto start = steady_clock::now();
  const auto wallStart = At(2026, 12, 7, 23, 59, 59, 600);
  int checks = 0;
  DateWatch watch(
      [&] { ++checks; },
      [&] {
        return time_point_cast<system_clock::duration>(wallStart + (steady_clock::now() - start));
      });
  EXPECT_LE(watch.MillisecondsToNextCheck(), 600);

  ASSERT_TRUE(QTest::qWaitFor([&] { return checks == 1; }, 3000));
  EXPECT_LT(steady_clock::now() - start, 2s) << "the new day must be seen within a second";
  // Armed again for the next minute, counted from the clock, not by a fixed interval.
  EXPECT_GT(watch.MillisecondsToNextCheck(), 58000);
  EXPECT_LE(watch.MillisecondsToNextCheck(), 60200);
  QTest::qWait(300);
  EXPECT_EQ(checks, 1);
}

TEST_F(DateWatchTest, WithoutASystemBusOnlyTheTimerRunsAndNothingIsSaid) {
  int checks = 0;
  int replaced = 0;
  auto now = At(2026, 12, 8, 9, 30, 59, 800);
  DateWatch watch([&] { ++checks; }, [&] { return now; });
  EXPECT_FALSE(watch.WatchesResume());
  watch.SetCheck([&] { ++replaced; });
  now = At(2026, 12, 8, 9, 31, 0, 200);
  ASSERT_TRUE(QTest::qWaitFor([&] { return replaced == 1; }, 3000));
  EXPECT_EQ(checks, 0) << "the later check replaces the earlier one";
  EXPECT_TRUE(messages().empty()) << messages().front();
}

TEST_F(DateWatchTest, ACheckStillRunningIsNotEnteredAgain) {
  auto now = At(2026, 12, 8, 10, 0, 59, 900);
  int calls = 0;
  int depth = 0;
  int deepest = 0;
  DateWatch watch(
      [&] {
        ++calls;
        deepest = std::max(deepest, ++depth);
        // The first check asks a question; the next minutes pass while it waits.
        if (calls == 1) {
          now = At(2026, 12, 8, 10, 1, 59, 900);
          QTest::qWait(1000);
        }
        --depth;
      },
      [&] { return now; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return calls >= 2; }, 4000));
  EXPECT_EQ(deepest, 1);
}

}  // namespace
}  // namespace memro

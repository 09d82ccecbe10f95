#include "platform/qt/date_watch.h"

#include <QDBusConnection>

namespace memro {
namespace {

constexpr std::chrono::milliseconds kMargin{200};

}  // namespace

std::chrono::milliseconds DelayToNextMinute(std::chrono::system_clock::time_point now,
                                            std::chrono::milliseconds margin) {
  using namespace std::chrono;
  // floor, not a cast: before 1970 the cast would round towards the next minute.
  const auto sinceMinute = duration_cast<milliseconds>(now - floor<minutes>(now));
  return minutes{1} - sinceMinute + margin;
}

DateWatch::DateWatch(std::function<void()> check, Clock clock, QObject* parent)
    : QObject(parent), check_(std::move(check)), clock_(std::move(clock)) {
  timer_.setSingleShot(true);
  // A coarse timer may be late by a twentieth of its interval, three seconds here.
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] {
    Arm();
    Check();
  });
  Arm();

  QDBusConnection bus = QDBusConnection::systemBus();
  if (bus.isConnected()) {
    watchesResume_ = bus.connect("org.freedesktop.login1", "/org/freedesktop/login1",
                                 "org.freedesktop.login1.Manager", "PrepareForSleep", this,
                                 SLOT(PrepareForSleep(bool)));
  }
}

void DateWatch::PrepareForSleep(bool sleeping) {
  if (sleeping) return;
  Arm();
  Check();
}

void DateWatch::Arm() { timer_.start(DelayToNextMinute(clock_(), kMargin)); }

void DateWatch::Check() {
  if (checking_) {
    checkAgain_ = true;
    return;
  }
  checking_ = true;
  do {
    checkAgain_ = false;
    // The check may replace itself (a later WatchDate); call a copy.
    if (auto check = check_) check();
  } while (checkAgain_);
  checking_ = false;
}

}  // namespace memro

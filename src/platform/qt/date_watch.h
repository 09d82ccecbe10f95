#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

namespace memro {

// How long from `now` until just after the next whole minute of the wall clock: the
// margin keeps a timer that fires a little early from checking before the minute turns.
std::chrono::milliseconds DelayToNextMinute(std::chrono::system_clock::time_point now,
                                            std::chrono::milliseconds margin);

// Calls the check whenever today's date may have changed: just after every whole minute,
// so a new day shows within a second and a wall clock set forward or back is caught
// within a minute, and at once when logind reports the resume from suspend (the timer
// does not run while the machine sleeps). Without a system bus only the timer runs.
// A check that is still running (a question asked during the reload) is not entered
// again: what came meanwhile is checked once more when it returns.
class DateWatch : public QObject {
  Q_OBJECT

 public:
  using Clock = std::function<std::chrono::system_clock::time_point()>;

  // `clock` is the wall clock the minutes are counted on.
  explicit DateWatch(std::function<void()> check, Clock clock = std::chrono::system_clock::now,
                     QObject* parent = nullptr);

  void SetCheck(std::function<void()> check) { check_ = std::move(check); }

  // For tests and diagnostics.
  bool WatchesResume() const { return watchesResume_; }
  int MillisecondsToNextCheck() const { return timer_.remainingTime(); }

 private slots:
  void PrepareForSleep(bool sleeping);

 private:
  void Arm();
  void Check();

  std::function<void()> check_;
  Clock clock_;
  QTimer timer_;
  bool watchesResume_ = false;
  bool checking_ = false;
  bool checkAgain_ = false;
};

}  // namespace memro

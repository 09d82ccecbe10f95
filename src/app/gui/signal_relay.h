#pragma once

#include <QObject>
#include <array>
#include <csignal>

class QSocketNotifier;

namespace memro {

// Turns SIGTERM, SIGHUP and SIGINT into an ordinary Qt signal on the user-interface
// thread. The handler only writes the signal's number into a pipe; a socket notifier
// reads it in the event loop. A signal the program was started with ignored (nohup)
// stays ignored. One relay per process; its end restores the earlier handlers.
class SignalRelay : public QObject {
  Q_OBJECT

 public:
  explicit SignalRelay(QObject* parent = nullptr);
  ~SignalRelay() override;
  SignalRelay(const SignalRelay&) = delete;
  SignalRelay& operator=(const SignalRelay&) = delete;

  // False when the pipe could not be made: the signals keep their default action.
  bool installed() const { return notifier_ != nullptr; }

 signals:
  void received(int signalNumber);

 private:
  void Drain();

  std::array<int, 2> pipe_{-1, -1};
  QSocketNotifier* notifier_ = nullptr;
  std::array<struct sigaction, 3> earlier_{};
};

}  // namespace memro

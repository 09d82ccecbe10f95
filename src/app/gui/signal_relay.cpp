#include "app/gui/signal_relay.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace memro {
namespace {

constexpr std::array<int, 3> kSignals{SIGTERM, SIGHUP, SIGINT};

// The handler may only use async-signal-safe calls: one write, errno kept.
volatile std::sig_atomic_t relayFd = -1;

extern "C" void WriteSignalNumber(int signalNumber) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(signalNumber);
  // A full pipe already holds a signal that is still to be read: nothing is lost.
  [[maybe_unused]] const ssize_t written = ::write(relayFd, &byte, 1);
  errno = saved;
}

}  // namespace

SignalRelay::SignalRelay(QObject* parent) : QObject(parent) {
  if (relayFd >= 0 || ::pipe2(pipe_.data(), O_CLOEXEC | O_NONBLOCK) != 0) return;
  relayFd = pipe_[1];
  notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SignalRelay::Drain);
  struct sigaction action {};
  action.sa_handler = WriteSignalNumber;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  // A signal the program was started with ignored (nohup) stays ignored.
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    ::sigaction(kSignals[i], nullptr, &earlier_[i]);
    if (earlier_[i].sa_handler != SIG_IGN) ::sigaction(kSignals[i], &action, nullptr);
  }
}

SignalRelay::~SignalRelay() {
  if (!installed()) return;
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    ::sigaction(kSignals[i], &earlier_[i], nullptr);
  }
  relayFd = -1;
  delete notifier_;
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

void SignalRelay::Drain() {
  unsigned char byte = 0;
  while (::read(pipe_[0], &byte, 1) == 1) emit received(byte);
}

}  // namespace memro

#include "app/gui/signal_relay.h"

#include <gtest/gtest.h>

#include <QTest>
#include <csignal>
#include <vector>

namespace memro {
namespace {

void (*HandlerOf(int signalNumber))(int) {
  struct sigaction now {};
  ::sigaction(signalNumber, nullptr, &now);
  return now.sa_handler;
}

// Each signal arrives as an ordinary event, in order; the relay's end gives the signals
// back their earlier handlers.
TEST(SignalRelay, DeliversEachSignalInTheEventLoopAndRestoresTheHandlers) {
  {
    SignalRelay relay;
    ASSERT_TRUE(relay.installed());
    std::vector<int> received;
    QObject::connect(&relay, &SignalRelay::received,
                     [&](int signalNumber) { received.push_back(signalNumber); });
    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_EQ(::raise(SIGHUP), 0);
    ASSERT_EQ(::raise(SIGINT), 0);
    EXPECT_TRUE(received.empty());  // the handler itself does nothing else
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), 3u, 5000);
    EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGHUP, SIGINT}));
    SignalRelay second;  // one relay per process
    EXPECT_FALSE(second.installed());
  }
  EXPECT_EQ(HandlerOf(SIGTERM), SIG_DFL);
  EXPECT_EQ(HandlerOf(SIGHUP), SIG_DFL);
  EXPECT_EQ(HandlerOf(SIGINT), SIG_DFL);
}

// Started under nohup: the hang-up stays ignored.
TEST(SignalRelay, LeavesAnIgnoredSignalIgnored) {
  std::signal(SIGHUP, SIG_IGN);
  {
    SignalRelay relay;
    EXPECT_EQ(HandlerOf(SIGHUP), SIG_IGN);
    EXPECT_NE(HandlerOf(SIGTERM), SIG_DFL);
  }
  EXPECT_EQ(HandlerOf(SIGHUP), SIG_IGN);
  std::signal(SIGHUP, SIG_DFL);
}

}  // namespace
}  // namespace memro

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <csignal>

#include "saver/app/signal_pipe.h"

namespace {
void Ignore(int) {}
}  // namespace

TEST(TerminationSignals_Offscreen, EachSignalBecomesOneCallOnTheEventLoop) {
  struct sigaction before = {};
  before.sa_handler = Ignore;
  sigemptyset(&before.sa_mask);
  struct sigaction savedTerm, savedInt;
  sigaction(SIGTERM, &before, &savedTerm);
  sigaction(SIGINT, &before, &savedInt);
  {
    int calls = 0;
    TerminationSignals terminations([&calls] { ++calls; });
    raise(SIGTERM);
    EXPECT_EQ(calls, 0);  // not inside the handler
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 1);
    raise(SIGINT);
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 2);
  }
  struct sigaction now;
  sigaction(SIGTERM, nullptr, &now);
  EXPECT_EQ(now.sa_handler, &Ignore);
  sigaction(SIGINT, nullptr, &now);
  EXPECT_EQ(now.sa_handler, &Ignore);
  sigaction(SIGTERM, &savedTerm, nullptr);
  sigaction(SIGINT, &savedInt, nullptr);
}

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include "platform/profile.h"
#include "profile_watch.h"
#include "saver/app/signal_pipe.h"
#include "testkit.h"

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

// A save that waits for a lock another program holds (a stopped program)
// gives up as soon as a signal comes, so the close is not held up by it.
TEST(TerminationSignals_Offscreen, ASignalEndsASavesWaitForTheLock) {
  testkit::TempDir dir;
  const std::string file = dir.WriteFile("profile.ini", "[A]\nB=1\n");
  const ScopedProfileFile profile(file);
  testkit::StoppedLockHolder holder(file);
  ASSERT_TRUE(holder.Holding());
  {
    TerminationSignals terminations([] {});
    std::atomic<bool> waiting{false};
    std::thread saver([&] {
      waiting = true;
      EXPECT_EQ(ProfileChange().SetInt("A", "B", 2).Save(), ProfileFault::LockHeld);
    });
    while (!waiting) std::this_thread::yield();
    const auto start = std::chrono::steady_clock::now();
    ::raise(SIGTERM);
    saver.join();
    // Not a timing: whether the save sat out the whole wait.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kProfileLockWaitMs / 2));
    QCoreApplication::processEvents();
  }
  holder.Release();
  EXPECT_EQ(ProfileChange().SetInt("A", "B", 3).Save(), ProfileFault::None);  // saves again once it is over
}

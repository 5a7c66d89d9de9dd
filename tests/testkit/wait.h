#pragma once
// Waiting in tests: for a condition, never for a fixed time.
//
// WaitUntil polls a condition while the Qt event loop (when there is an
// application) keeps running, and answers as soon as it holds. A test that
// must show that something does *not* happen for a while says so with
// KeepRunningFor, the one place a test lets time pass on purpose. No test
// outside tests/testkit sleeps. WaitUntilStill waits for something a test
// looks at (a picture, a part of the screen) to stop changing.
//
// Sections: waiting
#include <chrono>
#include <functional>
#include <utility>

namespace testkit {

// ---- waiting ---------------------------------------------------------------------------------
// Polls `condition` (events processed between polls) until it holds or
// `milliseconds` have passed; answers the last value of the condition.
bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 10000);

// Keeps processing events (or just lets time pass without an application)
// for `milliseconds`: for tests that show nothing happens in that time.
void KeepRunningFor(int milliseconds);

// Polls `look` (as WaitUntil does) until what it answers has stayed the same
// for `stillMs`; answers whether it did before `milliseconds` had passed.
// `lastSeen`, when given, receives the last answer.
template <typename Look>
bool WaitUntilStill(Look look, int stillMs, int milliseconds, decltype(look())* lastSeen = nullptr) {
  using Clock = std::chrono::steady_clock;
  auto last = look();
  auto since = Clock::now();
  const bool still = WaitUntil(
      [&] {
        auto now = look();
        if (now != last) since = Clock::now();
        last = std::move(now);
        return Clock::now() - since > std::chrono::milliseconds(stillMs);
      },
      milliseconds);
  if (lastSeen) *lastSeen = std::move(last);
  return still;
}

}  // namespace testkit

#pragma once
// Waiting in tests: for a condition, never for a fixed time.
//
// WaitUntil polls a condition while the Qt event loop (when there is an
// application) keeps running, and answers as soon as it holds. A test that
// must show that something does *not* happen for a while says so with
// KeepRunningFor, the one place a test lets time pass on purpose. No test
// outside tests/testkit sleeps.
//
// Sections: waiting
#include <functional>

namespace testkit {

// ---- waiting ---------------------------------------------------------------------------------
// Polls `condition` (events processed between polls) until it holds or
// `milliseconds` have passed; answers the last value of the condition.
bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 10000);

// Keeps processing events (or just lets time pass without an application)
// for `milliseconds`: for tests that show nothing happens in that time.
void KeepRunningFor(int milliseconds);

}  // namespace testkit

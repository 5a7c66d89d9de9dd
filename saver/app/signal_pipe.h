#pragma once
// SIGTERM and SIGINT as an ordinary event: the handlers only write a byte
// into a pipe; the event loop reads it and calls the given function, so
// closing happens on the GUI thread like any other close. A signal also
// stops the profile's lock waits (StopProfileLockWaits), so a save waiting
// for another program's lock does not hold up the close. While the object
// lives it owns both signals; afterwards their previous handlers return.
#include <functional>
#include <memory>

class QSocketNotifier;

class TerminationSignals {
 public:
  explicit TerminationSignals(std::function<void()> onSignal);
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

 private:
  std::function<void()> m_onSignal;
  std::unique_ptr<QSocketNotifier> m_notifier;
};

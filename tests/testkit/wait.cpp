#include "wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace testkit {

namespace {
constexpr int kPollMs = 5;

void LetTimePass(int milliseconds) {
  if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents, milliseconds);
  QThread::msleep(static_cast<unsigned long>(milliseconds));
}
}  // namespace

bool WaitUntil(const std::function<bool()>& condition, int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() >= milliseconds) return condition();
    LetTimePass(kPollMs);
  }
  return true;
}

void KeepRunningFor(int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < milliseconds) LetTimePass(kPollMs);
}

}  // namespace testkit

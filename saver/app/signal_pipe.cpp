#include "saver/app/signal_pipe.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>
#include <csignal>

#include "platform/profile.h"

namespace {

int g_pipe[2] = {-1, -1};
struct sigaction g_previousTerm;
struct sigaction g_previousInt;

void WriteByte(int) {
  const int saved = errno;
  StopProfileLockWaits(true);  // a save waiting for the lock gives up, so the close comes at once
  const char byte = 1;
  if (write(g_pipe[1], &byte, 1) < 0) {
    // The pipe is full: a close is already waiting.
  }
  errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal) : m_onSignal(std::move(onSignal)) {
  if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
  QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
    char bytes[16];
    while (read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    if (m_onSignal) m_onSignal();
  });
  struct sigaction action = {};
  action.sa_handler = WriteByte;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, &g_previousTerm);
  sigaction(SIGINT, &action, &g_previousInt);
}

TerminationSignals::~TerminationSignals() {
  if (!m_notifier) return;
  sigaction(SIGTERM, &g_previousTerm, nullptr);
  sigaction(SIGINT, &g_previousInt, nullptr);
  StopProfileLockWaits(false);
  m_notifier.reset();
  close(g_pipe[0]);
  close(g_pipe[1]);
  g_pipe[0] = g_pipe[1] = -1;
}

#include "saver/app/system_state.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

#include "saver/app/x11_windows.h"

// ---- implementations ---------------------------------------------------------------
void FakeSystemSaverState::SetActive(bool active) {
  m_active = active;
  m_log.push_back(std::string("active ") + (active ? "1" : "0"));
}

void FakeSystemSaverState::SetRunning(bool running) {
  m_running = running;
  m_log.push_back(std::string("running ") + (running ? "1" : "0"));
}

X11SystemSaverState::X11SystemSaverState() {
  int event = 0, error = 0;
  if (Display* display = SaverDisplay()) m_extension = XScreenSaverQueryExtension(display, &event, &error);
}

X11SystemSaverState::~X11SystemSaverState() {
  if (m_suspended) SetActive(true);
}

bool X11SystemSaverState::GetActive() {
  if (!SaverDisplay() || !m_extension) return m_activeWithoutDisplay;
  return !m_suspended;
}

void X11SystemSaverState::SetActive(bool active) {
  Display* display = SaverDisplay();
  if (!display || !m_extension) {
    m_activeWithoutDisplay = active;
    return;
  }
  if (m_suspended == !active) return;
  XScreenSaverSuspend(display, active ? False : True);
  XFlush(display);
  m_suspended = !active;
}

// ---- the state in use ------------------------------------------------------------------
namespace {
ISystemSaverState* g_state = nullptr;
}

ISystemSaverState& SystemSaverState() {
  if (g_state) return *g_state;
  static X11SystemSaverState x11;
  return x11;
}

void SetSystemSaverState(ISystemSaverState* state) { g_state = state; }

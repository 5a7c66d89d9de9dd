#include "saver/app/x11_windows.h"

#include <X11/Xlib.h>

#include "saver/app/command_line.h"

namespace {

int g_trappedErrors = 0;

int CountError(Display*, XErrorEvent*) {
  ++g_trappedErrors;
  return 0;
}

}  // namespace

_XDisplay* SaverDisplay() {
  static Display* display = XOpenDisplay(nullptr);
  return display;
}

X11ErrorTrap::X11ErrorTrap() {
  if (SaverDisplay()) XSync(SaverDisplay(), False);
  g_trappedErrors = 0;
  m_previous = reinterpret_cast<void (*)()>(XSetErrorHandler(CountError));
}

X11ErrorTrap::~X11ErrorTrap() {
  if (SaverDisplay()) XSync(SaverDisplay(), False);
  XSetErrorHandler(reinterpret_cast<XErrorHandler>(m_previous));
}

bool X11ErrorTrap::Caught() {
  if (SaverDisplay()) XSync(SaverDisplay(), False);
  return g_trappedErrors != 0;
}

bool X11WindowSize(unsigned long window, int* width, int* height) {
  Display* display = SaverDisplay();
  if (!display || window == 0) return false;
  X11ErrorTrap trap;
  XWindowAttributes attributes;
  const Status status = XGetWindowAttributes(display, window, &attributes);
  if (trap.Caught() || status == 0) return false;
  if (width) *width = attributes.width;
  if (height) *height = attributes.height;
  return true;
}

unsigned long X11RootWindow() {
  Display* display = SaverDisplay();
  return display ? DefaultRootWindow(display) : 0;
}

unsigned long RootHostWindow(const char* environmentValue) {
  unsigned long id = 0;
  if (environmentValue && ParseWindowId(environmentValue, &id)) return id;
  return X11RootWindow();
}

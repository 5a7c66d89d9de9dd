#pragma once
// Windows of other programs on the X11 display: whether one still exists,
// its size, the root window. Every call goes through this program's own Xlib
// connection under an error trap, so a window that vanished answers false
// instead of ending the program in Xlib's default error handler.
//
// Without an X11 display every query answers false (no window exists).
#include <string>

struct _XDisplay;

// This program's own connection; null without an X11 display.
_XDisplay* SaverDisplay();
// True when the window exists; its size in pixels when width/height are set.
bool X11WindowSize(unsigned long window, int* width = nullptr, int* height = nullptr);
// The root window of the default screen; 0 without a display.
unsigned long X11RootWindow();
// The window a --root run draws into: $XSCREENSAVER_WINDOW when it holds a
// window id (decimal or 0x-hex), else the root window.
unsigned long RootHostWindow(const char* environmentValue);

// While it lives, X errors on the program's own connection are counted
// instead of reported; Caught() syncs and answers whether any arrived.
class X11ErrorTrap {
 public:
  X11ErrorTrap();
  ~X11ErrorTrap();
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;
  bool Caught();

 private:
  void (*m_previous)();  // the handler before the trap
};

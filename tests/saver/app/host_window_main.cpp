// A stand-in for a screen-saver host in the real-window tests: opens a black
// window of 320 x 240 pixels at (200, 150), prints its decimal id on one
// line, and keeps the window until it is killed.
#include <X11/Xlib.h>

#include <cstdio>

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "no X11 display\n");
    return 1;
  }
  const int screen = DefaultScreen(display);
  const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 200, 150, 320, 240, 0,
                                            BlackPixel(display, screen), BlackPixel(display, screen));
  XStoreName(display, window, "saver host");
  XSelectInput(display, window, StructureNotifyMask);
  XMapWindow(display, window);
  for (XEvent event;;) {
    XNextEvent(display, &event);
    if (event.type == MapNotify) break;
  }
  std::printf("%lu\n", window);
  std::fflush(stdout);
  for (XEvent event;;) XNextEvent(display, &event);
}

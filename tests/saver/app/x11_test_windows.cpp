#include "x11_test_windows.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "saver/app/x11_windows.h"

bool RootHasPicture(int x, int y, int width, int height) {
  Display* display = SaverDisplay();
  if (!display) return false;
  XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, width, height, AllPlanes, ZPixmap);
  if (!image) return false;
  bool found = false;
  for (int py = 0; py < height && !found; py += 8)
    for (int px = 0; px < width && !found; px += 8) found = (XGetPixel(image, px, py) & 0xFFFFFF) != 0;
  XDestroyImage(image);
  return found;
}

unsigned long CreateTestWindow(int x, int y, int width, int height) {
  Display* display = SaverDisplay();
  if (!display) return 0;
  const Window window =
      XCreateSimpleWindow(display, DefaultRootWindow(display), x, y, width, height, 0, 0, 0);
  XMapWindow(display, window);
  XSync(display, False);
  return window;
}

void DestroyTestWindow(unsigned long window) {
  Display* display = SaverDisplay();
  if (!display) return;
  XDestroyWindow(display, window);
  XSync(display, False);
}

bool InputGrabbedElsewhere() {
  Display* display = SaverDisplay();
  if (!display) return false;
  const Window root = DefaultRootWindow(display);
  const int keyboard = XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
  if (keyboard == GrabSuccess) XUngrabKeyboard(display, CurrentTime);
  const int pointer =
      XGrabPointer(display, root, False, 0, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
  if (pointer == GrabSuccess) XUngrabPointer(display, CurrentTime);
  XSync(display, False);
  return keyboard == AlreadyGrabbed && pointer == AlreadyGrabbed;
}

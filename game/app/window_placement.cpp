#include "game/app/window_placement.h"

// Qt before Xlib: Xlib defines macros that Qt's headers use as names.
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>

QRect RestoredGeometry(const QRect& available, const QSize& minimum) {
  const int width = std::min(available.width(), std::max(minimum.width(), available.width() * 4 / 5));
  const int height = std::min(available.height(), std::max(minimum.height(), available.height() * 4 / 5));
  QRect frame(0, 0, width, height);
  frame.moveCenter(available.center());
  return frame;
}

bool WindowManagerRunning() {
  const auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  Display* display = x11 ? x11->display() : nullptr;
  if (!display) return false;
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
  if (check == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                                        &type, &format, &count, &after, &data);
  const bool named = status == Success && type == XA_WINDOW && count == 1;
  if (data) XFree(data);
  return named;
}

void ShowMaximisedOnScreen(QWidget& window, const QSize& minimum) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) {
    window.showMaximized();
    return;
  }
  const QRect available = screen->availableGeometry();
  if (!WindowManagerRunning()) {
    window.setGeometry(available);  // nothing maximises it: cover the screen
    window.show();
    return;
  }
  // The manager keeps the geometry of the first show as the restored one.
  window.setGeometry(RestoredGeometry(available, minimum));
  window.showMaximized();
}

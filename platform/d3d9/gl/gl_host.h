#pragma once
// Windows a GL device can render for, and the context format they share.
//
// GLSurfaceWindow is the HostWindow the GL back end needs: besides the client
// size it offers a surface to make the device's context current on and to
// swap. GLOffscreenWindow is one without anything on screen (tests, tools):
// its client size is whatever it is told, and Present shows nothing.
//
// Sections: format - the GL window seam - offscreen window
#include <QOffscreenSurface>
#include <QSize>
#include <QSurfaceFormat>

#include "platform/d3d9/d3d9.h"

// ---- format --------------------------------------------------------------------
// OpenGL 3.3 core, no depth or stencil of its own (the device renders into
// its own back buffer), the given swap interval.
QSurfaceFormat GLSurfaceFormat(int swapInterval = 1);

// ---- the GL window seam ------------------------------------------------------------
class GLSurfaceWindow : public HostWindow {
 public:
  // The surface to draw and swap on; null while the window has no native
  // surface (not yet shown), when the device draws on a private surface.
  virtual QSurface* GLSurface() = 0;
  // True when a swap on GLSurface() would reach the screen (shown, exposed,
  // not zero-sized). Present skips the copy and the swap otherwise.
  virtual bool IsShowing() const = 0;
};

// ---- offscreen window ---------------------------------------------------------------
class GLOffscreenWindow : public GLSurfaceWindow {
 public:
  // A client area of width x height device pixels on a screen of the
  // primary screen's size.
  GLOffscreenWindow(int width, int height);
  void SetClientSize(int width, int height) { m_size = QSize(width, height); }

  bool GetClientRect(RECT* out) const override;
  SIZE GetScreenSize() const override;
  QSurface* GLSurface() override { return nullptr; }
  bool IsShowing() const override { return false; }

 private:
  QSize m_size;
};

#pragma once
// The widget that hosts a program's GL surface: the game's main window and
// the screen saver's window each put one in their client area and hand it to
// the engine as the device window.
//
// Inside is a native GL window (QWindow) in a window container, so the
// device's own context draws and swaps on it directly. The inner window is
// transparent for input and never takes keyboard focus: keys, mouse and
// wheel go to this widget as to any other (what still reaches the inner
// window is passed on), so input code watches the widget alone (its event
// handlers, or an event filter on it). The widget takes focus on a click.
// Two units: the client rectangle (and so the back buffer) is in device
// pixels; LayoutPixel() of a mouse position is in layout pixels (the
// desktop's logical pixels), the unit the 2D layer inside the view is laid
// out in and the cursor is given in. Device = layout x the scale factor,
// the widget's device pixel ratio.
//
// A widget shown inside another program's window dies with that window, and
// the toolkit is not told. Its owner can give it a check that the host is
// still there: while the check says no, the widget is not showing, so the
// device draws nothing onto a window that is gone.
#include <QPointF>
#include <QWidget>

#include <functional>

#include "platform/d3d9/gl/gl_host.h"

class QWindow;

class GLHostWidget : public QWidget, public GLSurfaceWindow {
  Q_OBJECT
 public:
  explicit GLHostWidget(QWidget* parent = nullptr);
  ~GLHostWidget() override;

  // The client area in device pixels; 0 x 0 while the top-level window is
  // minimised.
  bool GetClientRect(RECT* out) const override;
  SIZE GetScreenSize() const override;
  // devicePixelRatioF().
  double GetScaleFactor() const override;
  QSurface* GLSurface() override;
  // Also false once the host check (when there is one) says the host has
  // gone; the check runs once for each call.
  bool IsShowing() const override;
  void SetHostCheck(std::function<bool()> hostIsThere) { m_hostIsThere = std::move(hostIsThere); }

  // The layout pixel under a position in this widget's coordinates (as
  // mouse events give them): both coordinates rounded down.
  POINT LayoutPixel(const QPointF& position) const;
  // The inner native window (its expose events tell when to draw again).
  QWindow* SurfaceWindow() const;

 private:
  class Surface;
  Surface* m_surface;
  QWidget* m_container;
  std::function<bool()> m_hostIsThere;
};

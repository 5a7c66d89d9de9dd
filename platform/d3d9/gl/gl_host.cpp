#include "platform/d3d9/gl/gl_host.h"

#include <QGuiApplication>
#include <QScreen>

QSurfaceFormat GLSurfaceFormat(int swapInterval) {
  QSurfaceFormat format;
  format.setRenderableType(QSurfaceFormat::OpenGL);
  format.setVersion(3, 3);
  format.setProfile(QSurfaceFormat::CoreProfile);
  format.setDepthBufferSize(0);
  format.setStencilBufferSize(0);
  format.setAlphaBufferSize(0);
  format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  format.setSwapInterval(swapInterval);
  return format;
}

GLOffscreenWindow::GLOffscreenWindow(int width, int height) : m_size(width, height) {}

bool GLOffscreenWindow::GetClientRect(RECT* out) const {
  if (!out) return false;
  *out = RECT{0, 0, m_size.width(), m_size.height()};
  return true;
}

SIZE GLOffscreenWindow::GetScreenSize() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return SIZE{m_size.width(), m_size.height()};
  const QSize s = screen->size() * screen->devicePixelRatio();
  return SIZE{s.width(), s.height()};
}

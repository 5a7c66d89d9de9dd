#include "platform/d3d9/gl/gl_host_widget.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include <cmath>
#include <memory>

// The inner native window: a GL surface that input passes through to the
// widget below it (it never takes keyboard focus); whatever input still
// reaches it is handed to the widget.
class GLHostWidget::Surface : public QWindow {
 public:
  explicit Surface(GLHostWidget* owner) : m_owner(owner) {
    setSurfaceType(QSurface::OpenGLSurface);
    setFormat(GLSurfaceFormat());
    setFlag(Qt::WindowTransparentForInput);
  }

 protected:
  bool event(QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
        if (m_owner->focusPolicy() != Qt::NoFocus) m_owner->setFocus(Qt::MouseFocusReason);
        [[fallthrough]];
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
      case QEvent::Wheel: {
        std::unique_ptr<QEvent> copy(event->clone());
        QCoreApplication::sendEvent(m_owner, copy.get());
        return true;
      }
      default: return QWindow::event(event);
    }
  }

 private:
  GLHostWidget* m_owner;
};

GLHostWidget::GLHostWidget(QWidget* parent) : QWidget(parent), m_surface(new Surface(this)) {
  m_container = QWidget::createWindowContainer(m_surface, this);
  m_container->setFocusPolicy(Qt::NoFocus);
  // The container's native window is the one the pointer is over (the
  // surface lets input through): without tracking, moves without a button
  // would stop there.
  m_container->setMouseTracking(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_container);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
}

GLHostWidget::~GLHostWidget() = default;  // the container owns the surface

bool GLHostWidget::GetClientRect(RECT* out) const {
  if (!out) return false;
  const QWidget* top = window();
  if (top && top->isMinimized()) {
    *out = RECT{0, 0, 0, 0};
    return true;
  }
  const qreal ratio = devicePixelRatioF();
  *out = RECT{0, 0, static_cast<LONG>(std::lround(width() * ratio)),
              static_cast<LONG>(std::lround(height() * ratio))};
  return true;
}

SIZE GLHostWidget::GetScreenSize() const {
  const QScreen* s = screen();
  if (!s) return SIZE{0, 0};
  const QSize size = s->size() * s->devicePixelRatio();
  return SIZE{size.width(), size.height()};
}

QSurface* GLHostWidget::GLSurface() { return m_surface->handle() ? m_surface : nullptr; }

bool GLHostWidget::IsShowing() const {
  return m_surface->handle() && m_surface->isExposed() && width() > 0 && height() > 0 &&
         (!m_hostIsThere || m_hostIsThere());
}

double GLHostWidget::GetScaleFactor() const { return devicePixelRatioF(); }

POINT GLHostWidget::LayoutPixel(const QPointF& position) const {
  return POINT{static_cast<LONG>(std::floor(position.x())), static_cast<LONG>(std::floor(position.y()))};
}

QWindow* GLHostWidget::SurfaceWindow() const { return m_surface; }

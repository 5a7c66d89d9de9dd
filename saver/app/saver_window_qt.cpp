// Sections: the widget - the native window - the factory
#include "saver/app/saver_window_qt.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include "engine/engine.h"
#include "platform/d3d9/gl/gl_host_widget.h"
#include "saver/app/x11_windows.h"

namespace {

// ---- the widget ----------------------------------------------------------------------------
// The top-level widget; the GL host fills it and hands its input to it.
class SaverWidget : public QWidget {
 public:
  explicit SaverWidget(CHVNScreensaverWnd* owner) : m_owner(owner), m_host(new GLHostWidget(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_host);
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_host->installEventFilter(this);
    setMouseTracking(true);
    // Moves over the GL surface's container reach the host only when the
    // container tracks the mouse too.
    for (QWidget* child : m_host->findChildren<QWidget*>()) child->setMouseTracking(true);
  }
  GLHostWidget* Host() { return m_host; }
  // The owner is gone: nothing more is passed on.
  void Detach() { m_owner = nullptr; }
  // Once the native window exists: on another screen the scale factor may
  // change while the size in layout pixels stays, with no resize event, so
  // a change of screen is a size change too (the engine takes the factor).
  void FollowScreenChanges() {
    connect(windowHandle(), &QWindow::screenChanged, this, [this] {
      if (m_owner)
        m_owner->OnSize(isMinimized() ? SIZE_MINIMIZED : isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED);
    });
  }

 protected:
  // Input of the GL host is handled here and goes no further, so that it
  // does not reach this widget a second time as it propagates.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == m_host && IsInput(event)) {
      Translate(event);
      return true;
    }
    return QWidget::eventFilter(watched, event);
  }
  bool event(QEvent* event) override {
    if (Translate(event)) return true;
    return QWidget::event(event);
  }
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    if (m_owner) m_owner->OnSize(isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED);
  }
  void changeEvent(QEvent* event) override {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_owner)
      m_owner->OnSize(isMinimized() ? SIZE_MINIMIZED : SIZE_RESTORED);
  }
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (m_owner) m_owner->OnClose();
  }

 private:
  static bool IsInput(const QEvent* event) {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseButtonRelease:
      case QEvent::Wheel:
      case QEvent::MouseMove: return true;
      default: return false;
    }
  }
  // Input as the framework's message; true when the owner consumed it.
  bool Translate(QEvent* event) {
    if (!m_owner) return false;
    SaverMessage message{SaverMessage::kWheel};
    switch (event->type()) {
      case QEvent::KeyPress: message.type = SaverMessage::kKeyDown; break;
      case QEvent::KeyRelease: message.type = SaverMessage::kKeyUp; break;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick: {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        const bool closing =
            button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
        message.type = closing ? SaverMessage::kButtonDown : SaverMessage::kOtherButtonDown;
        break;
      }
      case QEvent::MouseButtonRelease: message.type = SaverMessage::kButtonUp; break;
      case QEvent::Wheel: message.type = SaverMessage::kWheel; break;
      case QEvent::MouseMove: {
        const QPoint at = mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        message = SaverMessage{SaverMessage::kMouseMove, at.x(), at.y()};
        break;
      }
      default: return false;
    }
    return m_owner->PreTranslateMessage(message);
  }

  CHVNScreensaverWnd* m_owner;
  GLHostWidget* m_host;
};

// ---- the native window --------------------------------------------------------------------
class QtSaverWindow : public ISaverWindow {
 public:
  QtSaverWindow(SaverWidget* widget, bool fullScreen, unsigned long parent)
      : m_widget(widget), m_fullScreen(fullScreen), m_parent(parent) {}
  // The widget may be in the middle of handling an event: it goes later.
  ~QtSaverWindow() override {
    if (!m_widget) return;
    m_widget->Detach();
    HideForMessage();
    m_widget->deleteLater();
  }
  HWND DeviceWindow() override { return m_widget->Host(); }
  POINT CursorPosition() const override {
    const QPoint at = m_widget->mapFromGlobal(QCursor::pos());
    return POINT{at.x(), at.y()};
  }
  bool IsMinimised() const override { return m_widget->isMinimized(); }
  bool KeepUp() override {
    if (m_parent) {
      int width = 0, height = 0;
      if (!X11WindowSize(m_parent, &width, &height)) return false;
      if (width != m_widget->width() || height != m_widget->height()) m_widget->resize(width, height);
    }
    if (m_fullScreen && !m_grabbed && m_widget->isVisible()) {
      QWindow* window = m_widget->windowHandle();
      m_grabbed = window && window->setKeyboardGrabEnabled(true) && window->setMouseGrabEnabled(true);
    }
    return true;
  }
  void HideForMessage() override {
    if (QWindow* window = m_widget->windowHandle()) {
      window->setKeyboardGrabEnabled(false);
      window->setMouseGrabEnabled(false);
    }
    m_grabbed = false;
    m_widget->hide();
  }

 private:
  QPointer<SaverWidget> m_widget;
  bool m_fullScreen;
  unsigned long m_parent;
  bool m_grabbed = false;
};

}  // namespace

// ---- the factory ----------------------------------------------------------------------------
std::unique_ptr<ISaverWindow> QtSaverWindowFactory::CreateFullScreen(CHVNScreensaverWnd* owner,
                                                                     const std::string& title) {
  auto* widget = new SaverWidget(owner);
  widget->setWindowTitle(QString::fromStdString(title));
  widget->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  widget->setCursor(Qt::BlankCursor);
  widget->Host()->setCursor(Qt::BlankCursor);
  const QScreen* screen = QGuiApplication::primaryScreen();
  widget->setGeometry(screen ? screen->geometry() : QRect(0, 0, 1024, 768));
  widget->show();
  widget->FollowScreenChanges();
  widget->raise();
  widget->activateWindow();
  auto window = std::make_unique<QtSaverWindow>(widget, true, 0);
  window->KeepUp();
  return window;
}

std::unique_ptr<ISaverWindow> QtSaverWindowFactory::CreateChild(CHVNScreensaverWnd* owner,
                                                                unsigned long parent) {
  int width = 0, height = 0;
  if (!X11WindowSize(parent, &width, &height)) return nullptr;
  QWindow* foreign = QWindow::fromWinId(static_cast<WId>(parent));
  if (!foreign) return nullptr;
  auto* widget = new SaverWidget(owner);
  widget->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  widget->winId();
  widget->FollowScreenChanges();
  widget->windowHandle()->setParent(foreign);
  // Checked again just before each frame is shown: a host that goes while a
  // frame is drawn takes this window with it, and nothing may be shown there.
  widget->Host()->SetHostCheck([parent] { return X11WindowSize(parent, nullptr, nullptr); });
  widget->setGeometry(0, 0, width, height);
  widget->show();
  return std::make_unique<QtSaverWindow>(widget, false, parent);
}

std::unique_ptr<ISaverWindow> QtSaverWindowFactory::CreatePlain(CHVNScreensaverWnd* owner,
                                                                const std::string& title) {
  auto* widget = new SaverWidget(owner);
  widget->setWindowTitle(QString::fromStdString(title));
  widget->resize(1024, 768);
  widget->show();
  widget->FollowScreenChanges();
  return std::make_unique<QtSaverWindow>(widget, false, 0);
}

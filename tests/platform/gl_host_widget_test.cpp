// The widget that hosts a GL surface: client size, a device on it, input
// reaching the widget.
#include <gtest/gtest.h>

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include "platform/d3d9/gl/gl_device.h"
#include "platform/d3d9/gl/gl_host_widget.h"
#include "platform/input/input.h"
#include "pointer_moves.h"
#include "wait.h"

namespace {

// Counts the input events that reach the widget it watches.
class InputCounter : public QObject {
 public:
  int keys = 0, presses = 0;
  QPointF lastPosition;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) ++keys;
    if (event->type() == QEvent::MouseButtonPress) {
      ++presses;
      lastPosition = static_cast<QMouseEvent*>(event)->position();
    }
    return false;
  }
};

bool WaitUntilShowing(const GLHostWidget& widget) {
  return testkit::WaitUntil([&] { return widget.IsShowing(); }, 5000);
}

TEST(GLHostWidget_X11, HostsADeviceOfItsClientSizeAndPassesInputOn) {
  GLHostWidget widget;
  widget.resize(200, 150);
  widget.show();
  ASSERT_TRUE(WaitUntilShowing(widget));
  RECT client;
  ASSERT_TRUE(widget.GetClientRect(&client));
  const qreal ratio = widget.devicePixelRatioF();
  EXPECT_EQ(RectWidth(client), qRound(200 * ratio));
  EXPECT_EQ(RectHeight(client), qRound(150 * ratio));

  IDirect3D9* d3d = Direct3DCreate9GL();
  ASSERT_NE(d3d, nullptr);
  D3DPRESENT_PARAMETERS params;  // zero size: the client's
  params.Windowed = 1;
  params.EnableAutoDepthStencil = 1;
  params.AutoDepthStencilFormat = D3DFMT_D24S8;
  IDirect3DDevice9* device = nullptr;
  ASSERT_EQ(
      d3d->CreateDevice(0, D3DDEVTYPE_HAL, &widget, D3DCREATE_HARDWARE_VERTEXPROCESSING, &params, &device),
      D3D_OK);
  IDirect3DSurface9* back = nullptr;
  device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
  D3DSURFACE_DESC desc;
  back->GetDesc(&desc);
  back->Release();
  EXPECT_EQ(LONG(desc.Width), RectWidth(client));
  EXPECT_EQ(LONG(desc.Height), RectHeight(client));
  EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
  device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1, 0);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  QImage shown;
  ASSERT_TRUE(GLReadBackBuffer(device, &shown));
  EXPECT_EQ(shown.pixel(10, 10), qRgb(0x33, 0x66, 0x99));

  InputCounter counter;
  widget.installEventFilter(&counter);
  // Input falls through the inner window to the widget, as for any widget;
  // a click gives it the keyboard focus.
  QTest::mouseClick(widget.windowHandle(), Qt::LeftButton, {}, QPoint(50, 60));
  EXPECT_EQ(counter.presses, 1);
  EXPECT_EQ(counter.lastPosition, QPointF(50, 60));
  EXPECT_TRUE(widget.hasFocus() || widget.focusWidget() == &widget);
  QTest::keyClick(widget.windowHandle(), Qt::Key_B);
  EXPECT_EQ(counter.keys, 1);
  // What reaches the inner native window all the same is passed on.
  counter.keys = counter.presses = 0;
  auto* surface = static_cast<QWindow*>(widget.GLSurface());
  ASSERT_NE(surface, nullptr);
  QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QCoreApplication::sendEvent(surface, &key);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(30, 40), QPointF(30, 40), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(surface, &press);
  EXPECT_EQ(counter.keys, 1);
  EXPECT_EQ(counter.presses, 1);
  EXPECT_EQ(counter.lastPosition, QPointF(30, 40));
  // A mouse position names the layout pixel it is in; the scale factor is
  // the ratio between the client rectangle and the widget's size.
  EXPECT_EQ(widget.LayoutPixel(QPointF(30.5, 40.5)).x, 30);
  EXPECT_EQ(widget.LayoutPixel(QPointF(30.5, 40.5)).y, 40);
  EXPECT_EQ(widget.GetScaleFactor(), ratio);

  // A minimised window has a 0 x 0 client area.
  widget.showMinimized();
  ASSERT_TRUE(widget.GetClientRect(&client));
  EXPECT_EQ(RectWidth(client), 0);
  EXPECT_EQ(RectHeight(client), 0);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  device->Release();
  d3d->Release();
}

// A widget inside another program's window whose host check says the host
// has gone is not showing: Present leaves the screen as it was.
TEST(GLHostWidget_X11, NothingIsShownOnceTheHostCheckSaysTheHostHasGone) {
  GLHostWidget widget;
  widget.setGeometry(40, 40, 120, 90);
  widget.show();
  ASSERT_TRUE(WaitUntilShowing(widget));
  bool hostIsThere = true;
  int checks = 0;
  widget.SetHostCheck([&] { return ++checks, hostIsThere; });
  IDirect3D9* d3d = Direct3DCreate9GL();
  ASSERT_NE(d3d, nullptr);
  D3DPRESENT_PARAMETERS params;
  params.Windowed = 1;
  IDirect3DDevice9* device = nullptr;
  ASSERT_EQ(
      d3d->CreateDevice(0, D3DDEVTYPE_HAL, &widget, D3DCREATE_HARDWARE_VERTEXPROCESSING, &params, &device),
      D3D_OK);
  const auto screenPixel = [&] {
    const QImage grab = widget.screen()->grabWindow(widget.winId()).toImage();
    return grab.isNull() ? QRgb(0) : grab.pixel(grab.width() / 2, grab.height() / 2) & 0xFFFFFF;
  };
  const auto showColour = [&](D3DCOLOR colour) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 1, 0);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  };
  showColour(0xFF336699);
  EXPECT_TRUE(testkit::WaitUntil([&] { return screenPixel() == 0x336699u; }, 5000));
  hostIsThere = false;
  EXPECT_FALSE(widget.IsShowing());
  checks = 0;
  showColour(0xFFCC3300);
  EXPECT_EQ(checks, 1);
  testkit::KeepRunningFor(300);
  EXPECT_EQ(screenPixel(), 0x336699u);
  device->Release();
  d3d->Release();
}

// The real pointer moved without a button over the view: every move reaches
// the polled mouse, so a frame's motion is that frame's alone.
TEST(GLHostWidget_X11, PointerMotionWithoutAButtonReachesThePolledMouse) {
  GLHostWidget widget;
  widget.setGeometry(40, 40, 300, 200);
  widget.show();
  ASSERT_TRUE(WaitUntilShowing(widget));
  widget.activateWindow();
  ASSERT_TRUE(testkit::WaitUntil([&] { return widget.isActiveWindow(); }, 5000));
  CKVRInput input;
  ASSERT_TRUE(input.Create(&widget, nullptr));
  const QPoint start = widget.mapToGlobal(QPoint(100, 100));
  PointerMoves moves;
  QCursor::setPos(start);
  ASSERT_TRUE(testkit::WaitUntil([&] { return QCursor::pos() == start; }, 5000));
  moves.WaitForMoveTo(start);  // the move there arrives (it sets where motion counts from)
  input.Read();
  LONG dx = 0, dy = 0;
  for (const QPoint step : {QPoint(4, -3), QPoint(4, -3), QPoint(30, 10)}) {
    const QPoint to = QCursor::pos() + step;
    QCursor::setPos(to);
    const bool moved = testkit::WaitUntil(
        [&] {
          input.Read();
          dx += input.m_mouseState.lX;
          dy += input.m_mouseState.lY;
          return dx == to.x() - start.x() && dy == to.y() - start.y();
        },
        5000);
    EXPECT_TRUE(moved) << "after a move to " << to.x() << "," << to.y() << ": " << dx << "," << dy;
    for (BYTE b : input.m_mouseState.rgbButtons) EXPECT_EQ(b, 0);
  }
  input.Read();
  EXPECT_EQ(input.m_mouseState.lX, 0);  // nothing is counted twice
  EXPECT_EQ(input.m_mouseState.lY, 0);
  EXPECT_EQ(input.CursorPos().x, 138);
  EXPECT_EQ(input.CursorPos().y, 104);
}

}  // namespace

// The play screen fed by real pointer input: a window on the X display that
// the polled input reads, the pointer and the left button driven through
// the X server (XTest), and frames run by the test, so a frame can be held
// back while the events pile up, as a slow frame on a big table does. The
// game draws on the recording device at the window's size.
//
// Sections: fixture - presses where they happened - releases where they
// happened
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <cstdlib>

#include "engine/camera.h"
#include "play_fixture.h"
#include "wait.h"

// Xlib last: its macros clash with the names above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

// ---- fixture ------------------------------------------------------------------------------
// Counts the pointer events the view has been given, and where the last one was.
class PointerEvents : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    const QEvent::Type t = event->type();
    if (t == QEvent::MouseMove || t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease) {
      m_last = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
      if (t == QEvent::MouseButtonPress) ++m_presses;
      if (t == QEvent::MouseButtonRelease) ++m_releases;
    }
    return false;
  }
  QPoint m_last{-1, -1};
  int m_presses = 0, m_releases = 0;
};

class PlayInput : public PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    m_display = x11 ? x11->display() : nullptr;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!m_display || !XTestQueryExtension(m_display, &event, &error, &major, &minor))
      GTEST_SKIP() << "no X display with the XTest extension";
    m_view.setWindowFlag(Qt::FramelessWindowHint);
    m_view.setGeometry(0, 0, 1024, 768);
    m_view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_view));
    ASSERT_TRUE(Activate(m_view));
    m_view.installEventFilter(&m_events);
    ASSERT_TRUE(g_Input.Create(&m_view, nullptr));
    NewPuzzle(3, 3);
    // Every piece far out of view but one, on open table right of the
    // command helper.
    for (CPuzzlePiece& p : Board().m_pieces)
      p.SetPosition(D3DXVECTOR3(-2000.0f + 100.0f * float(p.m_id), -2000.0f, 0));
    Piece(4).SetPosition(D3DXVECTOR3(60.0f, 0.0f, 0.0f));
    m_piece = ScreenOf(Piece(4));
    ASSERT_FALSE(PtInRect(HelperPanel(), m_piece)) << "the piece must lie off the command helper";
  }
  void TearDown() override {
    if (m_display) {
      XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
      XTestFakeButtonEvent(m_display, 3, False, CurrentTime);
    }
    g_Input.Release();
    PlayTest::TearDown();
  }

  static bool Activate(QWidget& window) {
    window.activateWindow();
    return testkit::WaitUntil([&] { return window.isActiveWindow(); }, 5000);
  }
  RECT HelperPanel() const { return m_screen.CommandHelper().m_panelRect; }

  // The pointer to a layout pixel of the view, through the X server; the
  // view has had the move when this returns.
  void MoveTo(POINT layout) {
    const QPoint global = m_view.mapToGlobal(QPoint(layout.x, layout.y));
    XTestFakeMotionEvent(m_display, -1, global.x(), global.y(), CurrentTime);
    XSync(m_display, False);
    ASSERT_TRUE(testkit::WaitUntil([&] { return m_events.m_last == global; }, 5000))
        << "the move to " << layout.x << "," << layout.y << " did not arrive";
  }
  // The left button down or up; the view has had it when this returns.
  void Left(bool down) { Button(1, down); }
  void Right(bool down) { Button(3, down); }
  void Button(unsigned button, bool down) {
    int& seen = down ? m_events.m_presses : m_events.m_releases;
    const int expected = seen + 1;
    XTestFakeButtonEvent(m_display, button, down ? True : False, CurrentTime);
    XSync(m_display, False);
    ASSERT_TRUE(testkit::WaitUntil([&] { return seen == expected; }, 5000)) << "the button did not arrive";
  }
  // One frame of the game, with the host's cursor where the pointer is.
  void RunFrame() {
    const QPoint at = m_view.mapFromGlobal(QCursor::pos());
    m_host.m_cursor = POINT{at.x(), at.y()};
    Frame();
  }
  void RunFrames(int count) {
    for (int i = 0; i < count; ++i) RunFrame();
  }
  // A click with the pointer where it is, one frame each way: the press
  // must pick piece 4.
  void ClickPicksThePiece() {
    Left(true);
    RunFrame();
    EXPECT_EQ(m_screen.State(), kPlayDragging);
    EXPECT_EQ(Hand().heldPiece, &Piece(4));
    Left(false);
    RunFrame();
  }
  // A few frames with the pointer resting on a panel, the command helper
  // unless told.
  void RestOnTheHelper() {
    ASSERT_TRUE(m_screen.CommandHelper().Visible());
    RestOn(HelperPanel());
  }
  void RestOn(const RECT& panel) {
    const POINT middle{(panel.left + panel.right) / 2, (panel.top + panel.bottom) / 2};
    for (const POINT at : {POINT{middle.x + 20, middle.y + 20}, middle}) {
      MoveTo(at);
      RunFrames(2);
    }
  }
  // Another window comes in front and goes, as a dialog or a menu does.
  void OpenAndCloseAnotherWindow() {
    QWidget dialog;
    dialog.setGeometry(300, 200, 200, 100);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ASSERT_TRUE(Activate(dialog));
    dialog.close();
    ASSERT_TRUE(Activate(m_view));
  }

  Display* m_display = nullptr;
  QWidget m_view;
  PointerEvents m_events;
  POINT m_piece{};  // where piece 4 shows
};
using PlayInput_X11 = PlayInput;

}  // namespace

// ---- presses where they happened -----------------------------------------------------------
// From the command helper onto the piece and pressed, all in one frame: the
// press is the piece's, not the panel's the pointer has left. The same from
// the preview window, with the helper hidden.
TEST_F(PlayInput_X11, APressRightAfterAMoveOffThePanelPicksThePiece) {
  for (const bool preview : {false, true}) {
    SCOPED_TRACE(preview ? "from the preview window" : "from the command helper");
    if (preview) {
      m_screen.SetCommandHelperVisible(false);
      m_screen.TogglePreview();
      ASSERT_TRUE(Inside().Preview().Visible());
      ASSERT_FALSE(PtInRect(Inside().Preview().m_rect, m_piece)) << "the piece must lie off the preview";
      RestOn(Inside().Preview().m_rect);
    } else {
      RestOnTheHelper();
    }
    MoveTo(m_piece);
    ClickPicksThePiece();
  }
}

// A dialog came and went with the pointer over the helper; one move onto
// the piece, frames without motion, then the press: the piece's. The icon
// bar's hover follows the same way: one jump from one icon to another
// after a dialog shows the second icon's tooltip.
TEST_F(PlayInput_X11, AfterADialogTheFirstMoveCountsAndThePressIsThePieces) {
  RestOnTheHelper();
  OpenAndCloseAnotherWindow();
  MoveTo(m_piece);
  RunFrames(3);
  ClickPicksThePiece();

  auto centre = [&](int icon) {
    const RECT& r = m_topBar.m_icons[icon].m_rect;
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  MoveTo(centre(0));
  RunFrames(2);
  ASSERT_EQ(m_topBar.m_hoveredIcon, 0);
  OpenAndCloseAnotherWindow();
  MoveTo(centre(5));
  RunFrames(2);
  EXPECT_EQ(m_topBar.m_hoveredIcon, 5);
  EXPECT_FALSE(TextsOf(m_topBar.m_icons[5].m_tooltip).empty()) << "the tooltip of the icon under the pointer";
  EXPECT_TRUE(TextsOf(m_topBar.m_icons[0].m_tooltip).empty()) << "the tooltip of the icon the pointer left";
}

// A press near the piece's lower edge and a drag down past it, all before
// the next frame (a frame held long): the piece is picked where the press
// was and comes along, instead of a rubber band where the pointer went.
TEST_F(PlayInput_X11, AFrameHeldOverAPressAndADragStillPicksAndCarriesThePiece) {
  const POINT a = ProjectToLayout(Piece(4).m_currentPosition + D3DXVECTOR3(0, 12.5f, 0));
  const POINT b = ProjectToLayout(Piece(4).m_currentPosition - D3DXVECTOR3(0, 12.5f, 0));
  const LONG height = std::abs(b.y - a.y);  // the piece's height on the screen
  ASSERT_GT(height, 20);
  const POINT press{m_piece.x, m_piece.y + height / 2 - 6};
  MoveTo(press);
  RunFrames(2);
  const D3DXVECTOR3 before = Piece(4).m_currentPosition;
  Left(true);
  POINT at = press;
  for (int step = 0; step < 4; ++step) {
    at.y += height / 3;
    MoveTo(at);
  }
  RunFrame();
  ASSERT_EQ(m_screen.State(), kPlayDragging) << "the press became a rubber band";
  EXPECT_EQ(Hand().heldPiece, &Piece(4));
  const D3DXVECTOR3 moved = TableAt(at) - TableAt(press);
  EXPECT_NEAR(Piece(4).m_currentPosition.x - before.x, moved.x, 0.5f);
  EXPECT_NEAR(Piece(4).m_currentPosition.y - before.y, moved.y, 0.5f);
}

// ---- releases where they happened ---------------------------------------------------------------
namespace {
POINT Between(POINT a, POINT b, int step, int steps) {
  return POINT{a.x + (b.x - a.x) * step / steps, a.y + (b.y - a.y) * step / steps};
}
bool AnySideJoined(const CPuzzlePiece& piece) {
  return piece.m_joined[0] || piece.m_joined[1] || piece.m_joined[2] || piece.m_joined[3];
}
D3DXVECTOR3 Flat(const D3DXVECTOR3& v) {
  D3DXVECTOR3 out(v.x, v.y, 0.0f);
  D3DXVec3Normalize(&out, &out);
  return out;
}
}  // namespace

// A drag whose last moves, its release and a move after the release all
// come while a frame is held back: the piece lands under the pointer where
// the button went up (it was picked at its centre), not where the last
// frame left it, nor where the pointer went on to; let go on its place
// beside a neighbour, it joins.
TEST_F(PlayInput_X11, AFrameHeldOverADragsEndDropsThePieceWhereTheButtonWentUp) {
  const POINT place{m_piece.x + 120, m_piece.y - 100};  // piece 4's beside piece 5
  Piece(5).SetPosition(Piece(4).m_currentPosition + (TableAt(place) - TableAt(m_piece)) +
                       (Piece(5).m_homePosition - Piece(4).m_homePosition));
  const POINT beside = ProjectToLayout(PlaceBeside(Piece(4), Piece(5)));
  for (const bool ontoItsPlace : {false, true}) {
    SCOPED_TRACE(ontoItsPlace ? "onto its place" : "onto open table");
    const POINT start = ScreenOf(Piece(4));
    const POINT end = ontoItsPlace ? beside : POINT{start.x + 150, start.y + 120};
    MoveTo(start);
    RunFrames(2);
    Left(true);
    RunFrame();
    ASSERT_EQ(Hand().heldPiece, &Piece(4));
    constexpr int kSteps = 6;
    for (int step = 1; step <= kSteps; ++step) {
      MoveTo(Between(start, end, step, kSteps));
      if (step <= 2) RunFrame();  // the rest comes within one long frame
    }
    Left(false);
    MoveTo(POINT{end.x + 40, end.y - 30});
    RunFrame();
    EXPECT_EQ(m_screen.State(), kPlayIdle);
    EXPECT_FALSE(Hand().holding);
    EXPECT_EQ(AnySideJoined(Piece(4)), ontoItsPlace);
    if (ontoItsPlace) continue;
    const POINT landed = ScreenOf(Piece(4));
    EXPECT_LE(std::abs(landed.x - end.x), 1) << "landed at " << landed.x << "," << landed.y;
    EXPECT_LE(std::abs(landed.y - end.y), 1) << "landed at " << landed.x << "," << landed.y;
  }
}

// The rubber band and the view go by the same order. A band's last moves
// and its release in one held frame: the band reaches the release point
// and takes the piece inside. A whole right-button drag in one held frame,
// with moves before its press and after its release: the view moves by
// the motion between the two only.
TEST_F(PlayInput_X11, TheBandAndTheViewTakeTheMovesBetweenPressAndReleaseInOneFrame) {
  const POINT from{m_piece.x - 90, m_piece.y - 60};
  const POINT to{m_piece.x + 30, m_piece.y + 30};
  ASSERT_FALSE(PtInRect(HelperPanel(), from));
  MoveTo(from);
  RunFrames(2);
  Left(true);
  RunFrame();
  ASSERT_EQ(m_screen.State(), kPlayBanding);
  MoveTo(Between(from, to, 1, 3));
  RunFrame();
  MoveTo(to);
  Left(false);
  MoveTo(from);
  RunFrame();
  EXPECT_EQ(Hand().selection, PieceGroup{&Piece(4)});

  const POINT a{m_piece.x + 100, m_piece.y + 40};
  const POINT pressed{a.x + 30, a.y + 20}, released{pressed.x + 50, pressed.y - 40};
  MoveTo(a);
  RunFrames(2);
  const CKVRCamera& camera = *g_Engine.Camera();
  const D3DXVECTOR3 eye = camera.m_eye;
  const D3DXVECTOR3 expected = eye + Flat(camera.m_direction) * (-0.5f * float(released.y - pressed.y)) +
                               Flat(camera.m_right) * (0.5f * float(released.x - pressed.x));
  MoveTo(pressed);
  Right(true);
  MoveTo(released);
  Right(false);
  MoveTo(POINT{a.x - 60, a.y + 30});
  RunFrames(2);  // a click within one frame reads as down for it, up for the next
  EXPECT_EQ(m_screen.State(), kPlayIdle);
  EXPECT_NEAR(camera.m_eye.x, expected.x, 1e-3f);
  EXPECT_NEAR(camera.m_eye.y, expected.y, 1e-3f);
  EXPECT_NEAR(camera.m_eye.z, expected.z, 1e-3f);
}

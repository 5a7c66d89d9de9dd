// Sections: fixture - keys - mouse - quick presses and repeats - foreground -
// relative motion (injected, then on a real X display)
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include "platform/input/input.h"
#include "pointer_moves.h"
#include "wait.h"

namespace {

// ---- fixture ----------------------------------------------------------------------
class Input_Offscreen : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(input.Create(&window, nullptr));
    Activate();
  }
  void Send(QEvent& e) { QCoreApplication::sendEvent(&window, &e); }
  void Activate() {
    QEvent e(QEvent::WindowActivate);
    Send(e);
  }
  // The window becomes active with the pointer at a global point: motion
  // counts from there.
  void ActivateWithPointerAt(QPoint global) {
    QCursor::setPos(global);
    ASSERT_EQ(QCursor::pos(), global);
    Deactivate();
    Activate();
  }
  void Deactivate() {
    QEvent e(QEvent::WindowDeactivate);
    Send(e);
  }
  // A key event with an X keycode (0: synthetic, mapped from the Qt key).
  void Key(QEvent::Type type, int qtKey, unsigned keycode, bool repeat = false,
           Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent e(type, qtKey, mods, keycode, 0, 0, QString(), repeat);
    Send(e);
  }
  void Press(int qtKey, unsigned keycode = 0) { Key(QEvent::KeyPress, qtKey, keycode); }
  void Release(int qtKey, unsigned keycode = 0) { Key(QEvent::KeyRelease, qtKey, keycode); }
  void Mouse(QEvent::Type type, QPoint global, Qt::MouseButton button = Qt::NoButton) {
    const QPointF g(global);
    QMouseEvent e(type, g - QPointF(10, 10), g, button, button, Qt::NoModifier);
    Send(e);
  }
  void Move(QPoint global) { Mouse(QEvent::MouseMove, global); }
  void Wheel(int dy) {
    QWheelEvent e(QPointF(5, 5), QPointF(15, 15), QPoint(), QPoint(0, dy), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    Send(e);
  }
  // Reads and answers the codes of the keys that are down.
  std::vector<int> DownKeys() {
    input.Read();
    std::vector<int> down;
    for (int k = 0; k < 256; ++k)
      if (input.m_keys[k] & 0x80) down.push_back(k);
    return down;
  }
  bool NothingSet() const {
    for (BYTE k : input.m_keys)
      if (k) return false;
    const DIMOUSESTATE2& m = input.m_mouseState;
    for (BYTE b : m.rgbButtons)
      if (b) return false;
    return m.lX == 0 && m.lY == 0 && m.lZ == 0;
  }

  QWidget window;
  CKVRInput input;
};

using Codes = std::vector<int>;

}  // namespace

// ---- keys ---------------------------------------------------------------------------
TEST_F(Input_Offscreen, KeysReadAsTheirScanCodes) {
  struct Case {
    const char* name;
    int qtKey;
    unsigned keycode;  // X keycode; 0 for a synthetic event
    Qt::KeyboardModifiers mods;
    int code;
  };
  const Case cases[] = {
      {"Space", Qt::Key_Space, 65, {}, 0x39},
      {"LeftCtrl", Qt::Key_Control, 37, {}, 0x1D},
      {"RightCtrl", Qt::Key_Control, 105, {}, 0x9D},
      {"LeftShift", Qt::Key_Shift, 50, {}, 0x2A},
      {"RightShift", Qt::Key_Shift, 62, {}, 0x36},
      {"Tab", Qt::Key_Tab, 23, {}, 0x0F},
      {"Up", Qt::Key_Up, 111, {}, 0xC8},
      {"Down", Qt::Key_Down, 116, {}, 0xD0},
      {"Left", Qt::Key_Left, 113, {}, 0xCB},
      {"Right", Qt::Key_Right, 114, {}, 0xCD},
      {"Backspace", Qt::Key_Backspace, 22, {}, 0x0E},
      {"Z", Qt::Key_Z, 52, {}, 0x2C},
      {"X", Qt::Key_X, 53, {}, 0x2D},
      {"Escape", Qt::Key_Escape, 9, {}, 0x01},
      {"F12", Qt::Key_F12, 96, {}, 0x58},
      {"KeypadEnter", Qt::Key_Enter, 104, {}, 0x9C},
      {"KeypadDivide", Qt::Key_Slash, 106, {}, 0xB5},
      {"Delete", Qt::Key_Delete, 119, {}, 0xD3},
      {"PageDown", Qt::Key_PageDown, 117, {}, 0xD1},
      {"LeftWindows", Qt::Key_Super_L, 133, {}, 0xDB},
      {"RightAlt", Qt::Key_AltGr, 108, {}, 0xB8},
      // Synthetic events (no native scan code).
      {"SynthSpace", Qt::Key_Space, 0, {}, 0x39},
      {"SynthCtrl", Qt::Key_Control, 0, {}, 0x1D},
      {"SynthShift", Qt::Key_Shift, 0, {}, 0x2A},
      {"SynthTab", Qt::Key_Tab, 0, {}, 0x0F},
      {"SynthUp", Qt::Key_Up, 0, {}, 0xC8},
      {"SynthLeft", Qt::Key_Left, 0, {}, 0xCB},
      {"SynthBackspace", Qt::Key_Backspace, 0, {}, 0x0E},
      {"SynthZ", Qt::Key_Z, 0, {}, 0x2C},
      {"SynthX", Qt::Key_X, 0, {}, 0x2D},
      {"SynthM", Qt::Key_M, 0, {}, 0x32},
      {"Synth7", Qt::Key_7, 0, {}, 0x08},
      {"Synth0", Qt::Key_0, 0, {}, 0x0B},
      {"SynthF10", Qt::Key_F10, 0, {}, 0x44},
      {"SynthKeypad7", Qt::Key_7, 0, Qt::KeypadModifier, 0x47},
      {"SynthKeypadEnter", Qt::Key_Enter, 0, Qt::KeypadModifier, 0x9C},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Key(QEvent::KeyPress, c.qtKey, c.keycode, false, c.mods);
    EXPECT_EQ(DownKeys(), Codes{c.code});
    Key(QEvent::KeyRelease, c.qtKey, c.keycode, false, c.mods);
    EXPECT_EQ(DownKeys(), Codes{});
  }
  // Keys without a code are ignored.
  Press(Qt::Key_unknown, 0);
  Press(Qt::Key_Launch0, 8 + 200);
  EXPECT_EQ(DownKeys(), Codes{});
}

TEST_F(Input_Offscreen, SeveralKeysAreDownTogether) {
  Press(Qt::Key_Control, 37);
  Press(Qt::Key_Control, 105);
  Press(Qt::Key_Space, 65);
  EXPECT_EQ(DownKeys(), (Codes{0x1D, 0x39, 0x9D}));
  Release(Qt::Key_Control, 37);
  EXPECT_EQ(DownKeys(), (Codes{0x39, 0x9D}));
}

// ---- mouse ----------------------------------------------------------------------------
TEST_F(Input_Offscreen, MotionAndWheelAreSummedAndClearedByRead) {
  ActivateWithPointerAt({100, 100});
  Move({110, 95});
  Move({130, 90});
  Mouse(QEvent::MouseButtonPress, {131, 92}, Qt::LeftButton);
  Wheel(120);
  Wheel(120);
  Wheel(-120);
  input.Read();
  EXPECT_EQ(input.m_mouseState.lX, 31);
  EXPECT_EQ(input.m_mouseState.lY, -8);
  EXPECT_EQ(input.m_mouseState.lZ, 120);
  EXPECT_EQ(input.m_mouseState.rgbButtons[0], 0x80);

  Mouse(QEvent::MouseButtonPress, {131, 92}, Qt::RightButton);
  input.Read();
  EXPECT_EQ(input.m_mouseState.lX, 0);
  EXPECT_EQ(input.m_mouseState.lY, 0);
  EXPECT_EQ(input.m_mouseState.lZ, 0);
  EXPECT_EQ(input.m_mouseState.rgbButtons[0], 0x80);  // still held
  EXPECT_EQ(input.m_mouseState.rgbButtons[1], 0x80);

  Mouse(QEvent::MouseButtonRelease, {131, 92}, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, {131, 92}, Qt::RightButton);
  input.Read();
  EXPECT_TRUE(NothingSet());
}

// ---- quick presses and repeats ---------------------------------------------------------
TEST_F(Input_Offscreen, APressBetweenTwoReadsIsSeenByExactlyOneRead) {
  Press(Qt::Key_Space, 65);
  Release(Qt::Key_Space, 65);
  Mouse(QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, {5, 5}, Qt::LeftButton);
  EXPECT_EQ(DownKeys(), Codes{0x39});
  EXPECT_EQ(input.m_mouseState.rgbButtons[0], 0x80);
  EXPECT_EQ(DownKeys(), Codes{});
  EXPECT_EQ(input.m_mouseState.rgbButtons[0], 0);
}

// Each press and release keeps where it happened, in layout pixels, also
// when the read comes after the pointer went on, and the release of a click
// shorter than a frame is still there for the read after it.
TEST_F(Input_Offscreen, PressesAndReleasesKeepWhereTheyHappened) {
  auto client = [&](QPoint global) {
    const QPoint local = window.mapFromGlobal(global);
    return std::pair<LONG, LONG>(local.x(), local.y());
  };
  auto place = [](POINT p) { return std::pair<LONG, LONG>(p.x, p.y); };
  const MouseButtonPlaces& places = input.m_buttonPlaces;
  Move({50, 50});
  Mouse(QEvent::MouseButtonPress, {60, 70}, Qt::LeftButton);
  Move({90, 95});
  Mouse(QEvent::MouseButtonRelease, {100, 110}, Qt::LeftButton);
  Move({120, 130});
  input.Read();
  EXPECT_EQ(input.m_mouseState.rgbButtons[0], 0x80);
  ASSERT_TRUE(places.hasPress[0]);
  EXPECT_EQ(place(places.press[0]), client({60, 70}));
  input.Read();
  EXPECT_EQ(input.m_mouseState.rgbButtons[0], 0);
  ASSERT_TRUE(places.hasRelease[0]);
  EXPECT_EQ(place(places.release[0]), client({100, 110}));
  // A button let go by the window losing the activation is released where
  // the pointer was last seen.
  Mouse(QEvent::MouseButtonPress, {30, 40}, Qt::RightButton);
  Move({35, 45});
  Deactivate();
  input.Read();
  EXPECT_EQ(input.m_mouseState.rgbButtons[1], 0);
  EXPECT_EQ(place(places.release[1]), client({35, 45}));
  EXPECT_FALSE(places.hasPress[2]);  // never pressed: no place
}

// Each press and release of a read's interval keeps how much of the read's
// motion came before it and where it stands in the interval's order, so a
// frame can replay them as they came; one from an earlier interval (the
// release of a click shorter than a frame) has neither.
TEST_F(Input_Offscreen, PressesAndReleasesKeepTheMotionBeforeThemAndTheirOrder) {
  auto pair = [](POINT p) { return std::pair<LONG, LONG>(p.x, p.y); };
  using Pair = std::pair<LONG, LONG>;
  const MouseButtonPlaces& places = input.m_buttonPlaces;
  Move({50, 50});
  input.Read();
  Mouse(QEvent::MouseButtonPress, {60, 70}, Qt::LeftButton);
  Move({65, 72});
  Mouse(QEvent::MouseButtonPress, {70, 75}, Qt::RightButton);
  Mouse(QEvent::MouseButtonRelease, {80, 75}, Qt::LeftButton);
  Move({90, 80});
  input.Read();
  EXPECT_EQ(Pair(input.m_mouseState.lX, input.m_mouseState.lY), Pair(40, 30));
  EXPECT_EQ(pair(places.pressMotion[0]), Pair(10, 20));
  EXPECT_EQ(pair(places.pressMotion[1]), Pair(20, 25));
  EXPECT_EQ(pair(places.releaseMotion[0]), Pair(30, 25));
  EXPECT_EQ(places.pressRank[0], 1);
  EXPECT_EQ(places.pressRank[1], 2);
  EXPECT_EQ(places.releaseRank[0], 3);
  Mouse(QEvent::MouseButtonRelease, {95, 85}, Qt::RightButton);
  input.Read();
  EXPECT_EQ(input.m_mouseState.rgbButtons[0], 0);  // the click's release is read now
  EXPECT_EQ(pair(places.releaseMotion[0]), Pair(0, 0));
  EXPECT_EQ(places.releaseRank[0], 0);
  EXPECT_EQ(places.pressRank[0], 0);
  EXPECT_EQ(pair(places.releaseMotion[1]), Pair(5, 5));
  EXPECT_EQ(places.releaseRank[1], 1);
}

TEST_F(Input_Offscreen, AutoRepeatIsIgnored) {
  Press(Qt::Key_Tab, 23);
  EXPECT_EQ(DownKeys(), Codes{0x0F});
  for (int i = 0; i < 3; ++i) {  // the pairs a held key repeats with
    Key(QEvent::KeyRelease, Qt::Key_Tab, 23, true);
    EXPECT_EQ(DownKeys(), Codes{0x0F});
    Key(QEvent::KeyPress, Qt::Key_Tab, 23, true);
  }
  Release(Qt::Key_Tab, 23);
  EXPECT_EQ(DownKeys(), Codes{});
  Key(QEvent::KeyPress, Qt::Key_Z, 52, true);  // a repeat alone presses nothing
  EXPECT_EQ(DownKeys(), Codes{});
}

// ---- foreground ----------------------------------------------------------------------------
TEST_F(Input_Offscreen, AnInactiveWindowReadsZeroAndReleasesEverything) {
  Move({10, 10});
  Press(Qt::Key_Shift, 50);
  Mouse(QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
  Deactivate();
  Move({50, 50});
  Wheel(120);
  Press(Qt::Key_Space, 65);
  for (int frame = 0; frame < 2; ++frame) {
    input.Read();
    EXPECT_TRUE(NothingSet());
  }
  // Back in front: nothing is still held, and motion counts from where the
  // pointer was then, the first move included.
  ActivateWithPointerAt({60, 60});
  Move({61, 63});
  input.Read();
  EXPECT_EQ(input.m_mouseState.lX, 1);
  EXPECT_EQ(input.m_mouseState.lY, 3);
  EXPECT_EQ(DownKeys(), Codes{});
  EXPECT_EQ(input.m_mouseState.rgbButtons[0], 0);
}

TEST_F(Input_Offscreen, LosingTheFocusReleasesKeysAndButtons) {
  Press(Qt::Key_Control, 37);
  Mouse(QEvent::MouseButtonPress, {10, 10}, Qt::RightButton);
  EXPECT_EQ(DownKeys(), Codes{0x1D});
  QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  Send(out);
  EXPECT_EQ(DownKeys(), Codes{});
  EXPECT_EQ(input.m_mouseState.rgbButtons[1], 0);
}

TEST_F(Input_Offscreen, NothingIsReadBeforeCreateOrAfterRelease) {
  CKVRInput fresh;
  fresh.Read();
  EXPECT_FALSE(fresh.Create(nullptr, nullptr));
  Press(Qt::Key_Space, 65);
  input.Read();
  input.Release();
  Press(Qt::Key_Z, 52);
  input.Read();  // keeps the last state
  EXPECT_EQ(input.m_keys[0x39], 0x80);
  EXPECT_EQ(input.m_keys[0x2C], 0);
}

// ---- relative motion ------------------------------------------------------------------------
TEST_F(Input_Offscreen, TheMoveOfTheWarpBackIsNotCounted) {
  const QPoint anchor(200, 200);
  ActivateWithPointerAt(anchor);
  input.BeginRelativeMotion(POINT{anchor.x(), anchor.y()});
  Move({230, 210});
  input.Read();  // warps the pointer back to the anchor
  EXPECT_EQ(input.m_mouseState.lX, 30);
  EXPECT_EQ(input.m_mouseState.lY, 10);
  Move({235, 212});  // real motion still queued before the warp's move
  Move(anchor);      // the warp's move
  Move({190, 200});
  input.Read();
  EXPECT_EQ(input.m_mouseState.lX, 5 - 10);
  EXPECT_EQ(input.m_mouseState.lY, 2);
  input.EndRelativeMotion();
  Move(anchor);  // an ordinary move again
  input.Read();
  EXPECT_EQ(input.m_mouseState.lX, 10);
}

TEST(Input_X11, MotionGoesOnPastTheAnchorWithThePointerWarpedBack) {
  QWidget window;
  window.setGeometry(0, 0, 400, 300);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.activateWindow();
  ASSERT_TRUE(testkit::WaitUntil([&] { return window.isActiveWindow(); }, 2000));
  CKVRInput input;
  ASSERT_TRUE(input.Create(&window, nullptr));
  const QPoint anchor = window.mapToGlobal(QPoint(200, 150));
  PointerMoves moves;
  QCursor::setPos(anchor);
  testkit::WaitUntil([&] { return QCursor::pos() == anchor; }, 2000);
  moves.WaitForMoveTo(anchor);  // the move there arrives and is read away
  input.Read();

  input.BeginRelativeMotion(POINT{anchor.x(), anchor.y()});
  LONG dx = 0, dy = 0;
  for (int step = 0; step < 3; ++step) {  // 3 frames of (+30, +10): beyond where a fixed pointer would go
    QCursor::setPos(anchor + QPoint(30, 10));
    testkit::WaitUntil(
        [&] {
          input.Read();
          dx += input.m_mouseState.lX;
          dy += input.m_mouseState.lY;
          return dx >= 30 * (step + 1);
        },
        2000);
    EXPECT_TRUE(testkit::WaitUntil([&] { return QCursor::pos() == anchor; }, 2000)) << step;
    // The warp's own move arrives before the next one (moves in a row are
    // merged into the last).
    moves.WaitForMoveTo(anchor);
  }
  input.Read();
  EXPECT_EQ(input.m_mouseState.lX + dx, 90);
  EXPECT_EQ(input.m_mouseState.lY + dy, 30);
  input.EndRelativeMotion();
}

// A key bound to a shortcut: the shortcut takes the press, and the polled
// state still sees the key down until its release.
TEST_F(Input_Offscreen, KeysOfShortcutsStillReadAsDown) {
  int fired = 0;
  QShortcut shortcut(QKeySequence(Qt::Key_F2), &window);
  shortcut.setContext(Qt::ApplicationShortcut);
  QObject::connect(&shortcut, &QShortcut::activated, [&fired] { ++fired; });
  window.show();  // shortcuts need a window on the screen
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.setFocus();
  Press(Qt::Key_F2);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(DownKeys(), Codes{0x3C});
  EXPECT_EQ(DownKeys(), Codes{0x3C});  // held
  Release(Qt::Key_F2);
  EXPECT_EQ(DownKeys(), Codes{});
}

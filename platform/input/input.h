#pragma once
// The keyboard and the mouse, polled once per frame: CKVRInput (the one
// global g_Input) keeps a snapshot that a window's Qt events feed between
// frames and that CKVRInput::Read copies into m_keys and m_mouseState.
//
// Keys: m_keys[code] has its high bit (0x80) set while the key with that
// scan code (the DIK_ codes below) is down. Auto-repeated presses are
// ignored: a key is down from its press to its release.
// Mouse: lX, lY are the cursor motion in pixels since the last read, with or
// without a button held (moves outside the window count once the pointer
// comes back in), lZ the
// wheel motion (120 per notch, positive away from the user),
// rgbButtons[0..7] have their high bit set while a button is down (0 left,
// 1 right, 2 middle, 3 back, 4 forward).
// Places: m_buttonPlaces keeps where the pointer was at each button's last
// press and last release, as a window message carries its coordinates, so
// a frame that spans a press and the moves after it still handles the press
// where it happened. It also keeps how much of the read's motion came
// before each press and release of the read's interval, and their order,
// so a frame can replay the interval's motion and buttons as they came.
//
// Quick presses: a key or button pressed after one read reads as down at the
// next read even when it was released again before it, and as up at the
// read after (when it is not held). So a click shorter than a frame is
// never lost; its cost is that it lasts exactly one frame. This holds for
// every key and button alike.
//
// Keys bound to shortcuts (menu accelerators) count as pressed too: the
// window sees them only as a shortcut override before the shortcut fires.
//
// Foreground, not exclusive: while the window is not the active window every
// read gives zeros (no keys, no motion, no buttons) and events are ignored;
// when it loses the focus or the activation every key and button is
// released (at the pointer's last place). When it becomes active again, the
// pointer's place at that moment is where motion counts from, so the first
// move after a dialog closes is motion like any other. Other handlers still
// see every event.
//
// Relative motion with a hidden cursor: between BeginRelativeMotion and
// EndRelativeMotion each read puts the pointer back at the anchor, so the
// motion goes on past the screen edges; the pointer move that the warp
// itself causes is not counted. This needs a system that lets programs move
// the pointer (X11, also Xvfb); where it cannot be moved (Wayland) the
// motion simply stops at the screen edge.
//
// Sections: key codes - mouse state - key mapping - CKVRInput
#include <memory>

#include "platform/win_types.h"

class QWidget;
class CKVRInputFeed;  // the event filter behind CKVRInput (input.cpp)

// ---- key codes -----------------------------------------------------------------
// Scan codes of the keyboard (extended keys with 0x80 added).
inline constexpr BYTE DIK_ESCAPE = 0x01;
inline constexpr BYTE DIK_1 = 0x02;  // DIK_2 .. DIK_9 follow, then DIK_0
inline constexpr BYTE DIK_0 = 0x0B;
inline constexpr BYTE DIK_MINUS = 0x0C;
inline constexpr BYTE DIK_EQUALS = 0x0D;
inline constexpr BYTE DIK_BACK = 0x0E;
inline constexpr BYTE DIK_TAB = 0x0F;
inline constexpr BYTE DIK_Q = 0x10, DIK_W = 0x11, DIK_E = 0x12, DIK_R = 0x13, DIK_T = 0x14, DIK_Y = 0x15,
                      DIK_U = 0x16, DIK_I = 0x17, DIK_O = 0x18, DIK_P = 0x19;
inline constexpr BYTE DIK_LBRACKET = 0x1A, DIK_RBRACKET = 0x1B, DIK_RETURN = 0x1C, DIK_LCONTROL = 0x1D;
inline constexpr BYTE DIK_A = 0x1E, DIK_S = 0x1F, DIK_D = 0x20, DIK_F = 0x21, DIK_G = 0x22, DIK_H = 0x23,
                      DIK_J = 0x24, DIK_K = 0x25, DIK_L = 0x26;
inline constexpr BYTE DIK_SEMICOLON = 0x27, DIK_APOSTROPHE = 0x28, DIK_GRAVE = 0x29, DIK_LSHIFT = 0x2A,
                      DIK_BACKSLASH = 0x2B;
inline constexpr BYTE DIK_Z = 0x2C, DIK_X = 0x2D, DIK_C = 0x2E, DIK_V = 0x2F, DIK_B = 0x30, DIK_N = 0x31,
                      DIK_M = 0x32;
inline constexpr BYTE DIK_COMMA = 0x33, DIK_PERIOD = 0x34, DIK_SLASH = 0x35, DIK_RSHIFT = 0x36,
                      DIK_MULTIPLY = 0x37, DIK_LMENU = 0x38, DIK_SPACE = 0x39, DIK_CAPITAL = 0x3A;
inline constexpr BYTE DIK_F1 = 0x3B;  // DIK_F2 .. DIK_F10 follow
inline constexpr BYTE DIK_F10 = 0x44;
inline constexpr BYTE DIK_NUMLOCK = 0x45, DIK_SCROLL = 0x46;
inline constexpr BYTE DIK_NUMPAD7 = 0x47, DIK_NUMPAD8 = 0x48, DIK_NUMPAD9 = 0x49, DIK_SUBTRACT = 0x4A,
                      DIK_NUMPAD4 = 0x4B, DIK_NUMPAD5 = 0x4C, DIK_NUMPAD6 = 0x4D, DIK_ADD = 0x4E,
                      DIK_NUMPAD1 = 0x4F, DIK_NUMPAD2 = 0x50, DIK_NUMPAD3 = 0x51, DIK_NUMPAD0 = 0x52,
                      DIK_DECIMAL = 0x53;
inline constexpr BYTE DIK_OEM_102 = 0x56, DIK_F11 = 0x57, DIK_F12 = 0x58;
inline constexpr BYTE DIK_NUMPADEQUALS = 0x8D, DIK_NUMPADENTER = 0x9C, DIK_RCONTROL = 0x9D, DIK_MUTE = 0xA0,
                      DIK_VOLUMEDOWN = 0xAE, DIK_VOLUMEUP = 0xB0, DIK_NUMPADCOMMA = 0xB3, DIK_DIVIDE = 0xB5,
                      DIK_SYSRQ = 0xB7, DIK_RMENU = 0xB8, DIK_PAUSE = 0xC5;
inline constexpr BYTE DIK_HOME = 0xC7, DIK_UP = 0xC8, DIK_PRIOR = 0xC9, DIK_LEFT = 0xCB, DIK_RIGHT = 0xCD,
                      DIK_END = 0xCF, DIK_DOWN = 0xD0, DIK_NEXT = 0xD1, DIK_INSERT = 0xD2, DIK_DELETE = 0xD3,
                      DIK_LWIN = 0xDB, DIK_RWIN = 0xDC, DIK_APPS = 0xDD;

// ---- mouse state -----------------------------------------------------------------
struct DIMOUSESTATE2 {
  LONG lX = 0;
  LONG lY = 0;
  LONG lZ = 0;
  BYTE rgbButtons[8] = {};
};
static_assert(sizeof(DIMOUSESTATE2) == 20);

// Where the pointer was at each button's last press and last release, in
// the window's layout pixels (the unit of the view's cursor: the logical
// position in the window, rounded down; not device pixels). A place is kept
// until the next press or release of its button, so the release of a click
// shorter than a frame, read one frame after its press, still has its own.
// A button the feed has not seen pressed (or released) has no place: input
// written by hand has none, and its users take the cursor instead.
// For a press or release of the interval a read covers, *Motion is the part
// of that read's motion (lX, lY) that came before it, its own move to its
// place included, and *Rank its place in the interval's order of presses
// and releases (1 the first). Both are zero for one from an earlier
// interval (the release of a click shorter than a frame, read a frame
// later) and for one without a place.
struct MouseButtonPlaces {
  POINT press[8] = {};
  POINT release[8] = {};
  bool hasPress[8] = {};
  bool hasRelease[8] = {};
  POINT pressMotion[8] = {};
  POINT releaseMotion[8] = {};
  int pressRank[8] = {};
  int releaseRank[8] = {};
};

// ---- key mapping -------------------------------------------------------------------
// The code of an X (xkb) keycode, as Linux desktops report them in
// QKeyEvent::nativeScanCode(): keycode - 8 is the kernel's key number, which
// equals the code for the ordinary keys; the extended keys go through a
// table. 0 for keys without a code.
BYTE KeyCodeFromNative(unsigned keycode);
// The code of a Qt key (for events without a native scan code, such as
// synthetic ones): the key's place on a US keyboard; the left one of paired
// keys. 0 for keys without a code.
BYTE KeyCodeFromQtKey(int key, bool keypad);
// ---- CKVRInput ------------------------------------------------------------------------
class CKVRInput {
 public:
  CKVRInput();
  ~CKVRInput();

  // Starts feeding from the window (the widget that has the keyboard focus
  // and gets the mouse events: the 3D view) and turns on its mouse
  // tracking. Zeroes the states and forgets the places. False without a window. The instance is
  // not used.
  bool Create(QWidget* window, void* instance);
  // Refreshes m_keys, m_mouseState and m_buttonPlaces (once per frame).
  // Nothing before Create or after Release.
  void Read();
  // Stops feeding; both states keep their last values.
  void Release();
  // Relative motion around a global screen point (see the top of the file).
  void BeginRelativeMotion(POINT globalAnchor);
  void EndRelativeMotion();
  // The cursor's position now, in the window's layout pixels (its logical
  // coordinates); (0, 0) without a window.
  POINT CursorPos() const;

  BYTE m_keys[256] = {};
  DIMOUSESTATE2 m_mouseState;
  MouseButtonPlaces m_buttonPlaces;

 private:
  std::unique_ptr<CKVRInputFeed> m_feed;  // forgets its window if the window goes first
};

extern CKVRInput g_Input;

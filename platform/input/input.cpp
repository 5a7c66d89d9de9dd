// Sections: key mapping - the feed - CKVRInput
#include "platform/input/input.h"

#include <QCursor>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>
#include <QWidget>
#include <cmath>
#include <cstring>
#include <unordered_map>

CKVRInput g_Input;

// ---- key mapping -------------------------------------------------------------------
namespace {

struct KeyPair {
  int from;
  BYTE code;
};

// Kernel key numbers of the keys whose code is not their number.
constexpr KeyPair kExtendedKeys[] = {
    {96, DIK_NUMPADENTER},  {97, DIK_RCONTROL},  {98, DIK_DIVIDE},        {99, DIK_SYSRQ},
    {100, DIK_RMENU},       {102, DIK_HOME},     {103, DIK_UP},           {104, DIK_PRIOR},
    {105, DIK_LEFT},        {106, DIK_RIGHT},    {107, DIK_END},          {108, DIK_DOWN},
    {109, DIK_NEXT},        {110, DIK_INSERT},   {111, DIK_DELETE},       {113, DIK_MUTE},
    {114, DIK_VOLUMEDOWN},  {115, DIK_VOLUMEUP}, {117, DIK_NUMPADEQUALS}, {119, DIK_PAUSE},
    {121, DIK_NUMPADCOMMA}, {125, DIK_LWIN},     {126, DIK_RWIN},         {127, DIK_APPS},
};

constexpr KeyPair kQtKeys[] = {
    {Qt::Key_Escape, DIK_ESCAPE},
    {Qt::Key_Minus, DIK_MINUS},
    {Qt::Key_Equal, DIK_EQUALS},
    {Qt::Key_Backspace, DIK_BACK},
    {Qt::Key_Tab, DIK_TAB},
    {Qt::Key_Backtab, DIK_TAB},
    {Qt::Key_BracketLeft, DIK_LBRACKET},
    {Qt::Key_BracketRight, DIK_RBRACKET},
    {Qt::Key_Return, DIK_RETURN},
    {Qt::Key_Enter, DIK_NUMPADENTER},
    {Qt::Key_Control, DIK_LCONTROL},
    {Qt::Key_Semicolon, DIK_SEMICOLON},
    {Qt::Key_Apostrophe, DIK_APOSTROPHE},
    {Qt::Key_QuoteLeft, DIK_GRAVE},
    {Qt::Key_Shift, DIK_LSHIFT},
    {Qt::Key_Backslash, DIK_BACKSLASH},
    {Qt::Key_Comma, DIK_COMMA},
    {Qt::Key_Period, DIK_PERIOD},
    {Qt::Key_Slash, DIK_SLASH},
    {Qt::Key_Asterisk, DIK_MULTIPLY},
    {Qt::Key_Alt, DIK_LMENU},
    {Qt::Key_AltGr, DIK_RMENU},
    {Qt::Key_Space, DIK_SPACE},
    {Qt::Key_CapsLock, DIK_CAPITAL},
    {Qt::Key_NumLock, DIK_NUMLOCK},
    {Qt::Key_ScrollLock, DIK_SCROLL},
    {Qt::Key_F11, DIK_F11},
    {Qt::Key_F12, DIK_F12},
    {Qt::Key_Print, DIK_SYSRQ},
    {Qt::Key_Pause, DIK_PAUSE},
    {Qt::Key_Home, DIK_HOME},
    {Qt::Key_Up, DIK_UP},
    {Qt::Key_PageUp, DIK_PRIOR},
    {Qt::Key_Left, DIK_LEFT},
    {Qt::Key_Right, DIK_RIGHT},
    {Qt::Key_End, DIK_END},
    {Qt::Key_Down, DIK_DOWN},
    {Qt::Key_PageDown, DIK_NEXT},
    {Qt::Key_Insert, DIK_INSERT},
    {Qt::Key_Delete, DIK_DELETE},
    {Qt::Key_Meta, DIK_LWIN},
    {Qt::Key_Super_L, DIK_LWIN},
    {Qt::Key_Super_R, DIK_RWIN},
    {Qt::Key_Menu, DIK_APPS},
    {Qt::Key_VolumeMute, DIK_MUTE},
    {Qt::Key_VolumeDown, DIK_VOLUMEDOWN},
    {Qt::Key_VolumeUp, DIK_VOLUMEUP},
};

// Keys of the keypad (with Qt::KeypadModifier).
constexpr KeyPair kKeypadKeys[] = {
    {Qt::Key_0, DIK_NUMPAD0},      {Qt::Key_1, DIK_NUMPAD1},         {Qt::Key_2, DIK_NUMPAD2},
    {Qt::Key_3, DIK_NUMPAD3},      {Qt::Key_4, DIK_NUMPAD4},         {Qt::Key_5, DIK_NUMPAD5},
    {Qt::Key_6, DIK_NUMPAD6},      {Qt::Key_7, DIK_NUMPAD7},         {Qt::Key_8, DIK_NUMPAD8},
    {Qt::Key_9, DIK_NUMPAD9},      {Qt::Key_Minus, DIK_SUBTRACT},    {Qt::Key_Plus, DIK_ADD},
    {Qt::Key_Period, DIK_DECIMAL}, {Qt::Key_Comma, DIK_DECIMAL},     {Qt::Key_Asterisk, DIK_MULTIPLY},
    {Qt::Key_Slash, DIK_DIVIDE},   {Qt::Key_Enter, DIK_NUMPADENTER}, {Qt::Key_Equal, DIK_NUMPADEQUALS},
    {Qt::Key_Home, DIK_NUMPAD7},   {Qt::Key_Up, DIK_NUMPAD8},        {Qt::Key_PageUp, DIK_NUMPAD9},
    {Qt::Key_Left, DIK_NUMPAD4},   {Qt::Key_Clear, DIK_NUMPAD5},     {Qt::Key_Right, DIK_NUMPAD6},
    {Qt::Key_End, DIK_NUMPAD1},    {Qt::Key_Down, DIK_NUMPAD2},      {Qt::Key_PageDown, DIK_NUMPAD3},
    {Qt::Key_Insert, DIK_NUMPAD0}, {Qt::Key_Delete, DIK_DECIMAL},
};

// Letters in alphabetical order.
constexpr BYTE kLetters[26] = {DIK_A, DIK_B, DIK_C, DIK_D, DIK_E, DIK_F, DIK_G, DIK_H, DIK_I,
                               DIK_J, DIK_K, DIK_L, DIK_M, DIK_N, DIK_O, DIK_P, DIK_Q, DIK_R,
                               DIK_S, DIK_T, DIK_U, DIK_V, DIK_W, DIK_X, DIK_Y, DIK_Z};

template <size_t N>
BYTE Find(const KeyPair (&table)[N], int from) {
  for (const KeyPair& p : table)
    if (p.from == from) return p.code;
  return 0;
}

// Index of a mouse button in rgbButtons; -1 for others.
int ButtonIndex(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return 0;
    case Qt::RightButton: return 1;
    case Qt::MiddleButton: return 2;
    case Qt::BackButton: return 3;
    case Qt::ForwardButton: return 4;
    case Qt::ExtraButton3: return 5;
    case Qt::ExtraButton4: return 6;
    case Qt::ExtraButton5: return 7;
    default: return -1;
  }
}

}  // namespace

BYTE KeyCodeFromNative(unsigned keycode) {
  if (keycode < 9 || keycode > 255 + 8) return 0;
  const unsigned number = keycode - 8;
  if ((number >= 1 && number <= 83) || (number >= 86 && number <= 88)) return static_cast<BYTE>(number);
  return Find(kExtendedKeys, static_cast<int>(number));
}

BYTE KeyCodeFromQtKey(int key, bool keypad) {
  if (keypad) {
    if (const BYTE code = Find(kKeypadKeys, key)) return code;
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return kLetters[key - Qt::Key_A];
  if (key >= Qt::Key_1 && key <= Qt::Key_9) return static_cast<BYTE>(DIK_1 + (key - Qt::Key_1));
  if (key == Qt::Key_0) return DIK_0;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F10) return static_cast<BYTE>(DIK_F1 + (key - Qt::Key_F1));
  return Find(kQtKeys, key);
}

// The code of a key event: its native scan code when it has one, else its
// Qt key.
static BYTE KeyCodeOf(const QKeyEvent& event) {
  if (event.nativeScanCode() != 0) return KeyCodeFromNative(event.nativeScanCode());
  return KeyCodeFromQtKey(event.key(), event.modifiers().testFlag(Qt::KeypadModifier));
}

static bool IsModifierKey(int key) {
  return key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt || key == Qt::Key_AltGr ||
         key == Qt::Key_Meta || key == Qt::Key_Super_L || key == Qt::Key_Super_R;
}

// ---- the feed ------------------------------------------------------------------------
// The event filter that keeps the live state between reads. CKVRInput
// installs it on its window; tests may send events to that window. It never
// consumes an event.
class CKVRInputFeed : public QObject {
 public:
  explicit CKVRInputFeed(QWidget* window);
  ~CKVRInputFeed() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  // Copies the state into keys/mouse/places and starts the next interval.
  void Take(BYTE (&keys)[256], DIMOUSESTATE2& mouse, MouseButtonPlaces& places);
  void BeginRelativeMotion(QPoint globalAnchor);
  void EndRelativeMotion();
  QWidget* Window() const { return m_window; }

 private:
  void ReleaseAll();
  void Press(bool* down, bool* latched);
  // Keeps a button's release at `at`, after the interval's motion so far.
  void NoteRelease(int button, POINT at);
  void MoveTo(QPoint global);
  void WarpBack();
  // A global position in the window's layout pixels, as the view's cursor
  // is given (its logical position, rounded down; not device pixels).
  POINT LayoutPixel(QPointF global) const;

  QPointer<QWidget> m_window;  // null again if the window goes first
  bool m_active = false;
  bool m_keyDown[256] = {};
  bool m_keyLatched[256] = {};
  std::unordered_map<int, BYTE> m_overrideCodes;  // Qt key -> code an override pressed
  bool m_buttonDown[8] = {};
  bool m_buttonLatched[8] = {};
  MouseButtonPlaces m_places;
  int m_edges = 0;  // presses and releases in this interval
  LONG m_dx = 0, m_dy = 0, m_wheel = 0;
  bool m_hasLast = false;
  QPoint m_last;
  bool m_relative = false;
  QPoint m_anchor;
  bool m_warpPending = false;
};

CKVRInputFeed::CKVRInputFeed(QWidget* window) : m_window(window), m_active(window->isActiveWindow()) {
  window->installEventFilter(this);
}

CKVRInputFeed::~CKVRInputFeed() = default;  // a destroyed filter leaves the window by itself

bool CKVRInputFeed::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_window) return false;
  switch (event->type()) {
    case QEvent::WindowActivate:
      // Motion counts from where the pointer is now: what it did while
      // another window was active is not ours, the next move is.
      m_active = true;
      m_last = QCursor::pos();
      m_hasLast = true;
      break;
    case QEvent::WindowDeactivate:
      m_active = false;
      ReleaseAll();
      break;
    case QEvent::FocusOut: ReleaseAll(); break;
    default: break;
  }
  if (!m_active) return false;
  switch (event->type()) {
    // A key bound to a shortcut reaches the window only as ShortcutOverride
    // (the shortcut then takes the press), so that counts as the press too.
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->isAutoRepeat()) break;
      // A modifier alone is never a shortcut (its press arrives as such), and
      // an override may lack the native code that tells left from right.
      if (event->type() == QEvent::ShortcutOverride && IsModifierKey(key->key())) break;
      const BYTE code = KeyCodeOf(*key);
      if (code == 0) break;
      // The code an override gave a key goes with the key's release (or its
      // real press, when that names another code).
      const auto overridden = m_overrideCodes.find(key->key());
      if (event->type() != QEvent::ShortcutOverride && overridden != m_overrideCodes.end()) {
        if (overridden->second != code && event->type() == QEvent::KeyPress)
          m_keyDown[overridden->second] = m_keyLatched[overridden->second] = false;
        else if (overridden->second != code)
          m_keyDown[overridden->second] = false;
        m_overrideCodes.erase(overridden);
      }
      if (event->type() == QEvent::ShortcutOverride) m_overrideCodes[key->key()] = code;
      if (event->type() != QEvent::KeyRelease)
        Press(&m_keyDown[code], &m_keyLatched[code]);
      else
        m_keyDown[code] = false;
      break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      MoveTo(mouse->globalPosition().toPoint());
      const int b = ButtonIndex(mouse->button());
      if (b < 0 || event->type() == QEvent::MouseMove) break;
      const POINT at = LayoutPixel(mouse->globalPosition());
      if (event->type() == QEvent::MouseButtonRelease) {
        m_buttonDown[b] = false;
        NoteRelease(b, at);
      } else {
        Press(&m_buttonDown[b], &m_buttonLatched[b]);
        m_places.press[b] = at;
        m_places.hasPress[b] = true;
        m_places.pressMotion[b] = POINT{m_dx, m_dy};
        m_places.pressRank[b] = ++m_edges;
      }
      break;
    }
    case QEvent::Enter:
      // The pointer came in from elsewhere: its way outside counts too.
      MoveTo(static_cast<QEnterEvent*>(event)->globalPosition().toPoint());
      break;
    case QEvent::Wheel: m_wheel += static_cast<const QWheelEvent*>(event)->angleDelta().y(); break;
    default: break;
  }
  return false;
}

void CKVRInputFeed::Press(bool* down, bool* latched) {
  *down = true;
  *latched = true;
}

void CKVRInputFeed::NoteRelease(int button, POINT at) {
  m_places.release[button] = at;
  m_places.hasRelease[button] = true;
  m_places.releaseMotion[button] = POINT{m_dx, m_dy};
  m_places.releaseRank[button] = ++m_edges;
}

void CKVRInputFeed::ReleaseAll() {
  // A button let go this way is released where the pointer was last seen.
  const POINT at = LayoutPixel(QPointF(m_hasLast ? m_last : QCursor::pos()));
  for (int b = 0; b < 8; ++b)
    if (m_buttonDown[b]) NoteRelease(b, at);
  m_overrideCodes.clear();
  std::memset(m_keyDown, 0, sizeof m_keyDown);
  std::memset(m_keyLatched, 0, sizeof m_keyLatched);
  std::memset(m_buttonDown, 0, sizeof m_buttonDown);
  std::memset(m_buttonLatched, 0, sizeof m_buttonLatched);
}

void CKVRInputFeed::MoveTo(QPoint global) {
  if (m_warpPending && global == m_anchor) {
    // The move made by our own warp: the new reference, not a motion.
    m_warpPending = false;
    m_last = global;
    m_hasLast = true;
    return;
  }
  if (m_hasLast) {
    m_dx += global.x() - m_last.x();
    m_dy += global.y() - m_last.y();
  }
  m_last = global;
  m_hasLast = true;
}

POINT CKVRInputFeed::LayoutPixel(QPointF global) const {
  if (!m_window) return POINT{};
  const QPointF local = m_window->mapFromGlobal(global);
  return POINT{static_cast<LONG>(std::floor(local.x())), static_cast<LONG>(std::floor(local.y()))};
}

void CKVRInputFeed::Take(BYTE (&keys)[256], DIMOUSESTATE2& mouse, MouseButtonPlaces& places) {
  std::memset(keys, 0, sizeof keys);
  mouse = DIMOUSESTATE2{};
  places = m_places;
  // The next interval's motion all comes after what this one saw.
  m_edges = 0;
  for (int b = 0; b < 8; ++b) {
    m_places.pressMotion[b] = m_places.releaseMotion[b] = POINT{};
    m_places.pressRank[b] = m_places.releaseRank[b] = 0;
    if (!m_active) places.pressMotion[b] = places.releaseMotion[b] = POINT{};  // no motion is read
  }
  if (m_active) {
    for (int k = 0; k < 256; ++k)
      if (m_keyDown[k] || m_keyLatched[k]) keys[k] = 0x80;
    for (int b = 0; b < 8; ++b)
      if (m_buttonDown[b] || m_buttonLatched[b]) mouse.rgbButtons[b] = 0x80;
    mouse.lX = m_dx;
    mouse.lY = m_dy;
    mouse.lZ = m_wheel;
  }
  std::memset(m_keyLatched, 0, sizeof m_keyLatched);
  std::memset(m_buttonLatched, 0, sizeof m_buttonLatched);
  m_dx = m_dy = m_wheel = 0;
  if (m_active && m_relative) WarpBack();
}

void CKVRInputFeed::WarpBack() {
  if (!m_hasLast || m_last == m_anchor) return;
  m_warpPending = true;
  QCursor::setPos(m_anchor);
}

void CKVRInputFeed::BeginRelativeMotion(QPoint globalAnchor) {
  m_relative = true;
  m_anchor = globalAnchor;
  m_warpPending = false;
}

void CKVRInputFeed::EndRelativeMotion() {
  m_relative = false;
  m_warpPending = false;
}

// ---- CKVRInput ------------------------------------------------------------------------
CKVRInput::CKVRInput() = default;
CKVRInput::~CKVRInput() = default;

bool CKVRInput::Create(QWidget* window, void*) {
  Release();
  std::memset(m_keys, 0, sizeof m_keys);
  m_mouseState = DIMOUSESTATE2{};
  m_buttonPlaces = MouseButtonPlaces{};
  if (!window) return false;
  window->setMouseTracking(true);
  m_feed = std::make_unique<CKVRInputFeed>(window);
  return true;
}

void CKVRInput::Read() {
  if (m_feed) m_feed->Take(m_keys, m_mouseState, m_buttonPlaces);
}

void CKVRInput::Release() { m_feed.reset(); }

void CKVRInput::BeginRelativeMotion(POINT globalAnchor) {
  if (m_feed) m_feed->BeginRelativeMotion(QPoint(globalAnchor.x, globalAnchor.y));
}

void CKVRInput::EndRelativeMotion() {
  if (m_feed) m_feed->EndRelativeMotion();
}

POINT CKVRInput::CursorPos() const {
  QWidget* window = m_feed ? m_feed->Window() : nullptr;
  if (!window) return POINT{};
  const QPoint p = window->mapFromGlobal(QCursor::pos());
  return POINT{p.x(), p.y()};
}

#include "game/screens/gui_interface.h"

#include "game/game_host.h"
#include "platform/input/input.h"

namespace {
bool PolledButtonDown(int button) { return (g_Input.m_mouseState.rgbButtons[button] & 0x80) != 0; }

// Where the polled state says a button's press or release happened; the
// cursor when it has no place for it (input written by hand).
POINT EdgePlace(int button, bool down, POINT cursor) {
  const MouseButtonPlaces& places = g_Input.m_buttonPlaces;
  if (down) return places.hasPress[button] ? places.press[button] : cursor;
  return places.hasRelease[button] ? places.release[button] : cursor;
}
}  // namespace

void CGUIInterface::DispatchMouseInput() {
  m_cursor = GameHost().CursorPos();
  const DIMOUSESTATE2& mouse = g_Input.m_mouseState;
  // One press or release per button: the flag changes before the call.
  auto edge = [this](int button, bool& flag, void (CGUIInterface::*press)(int, int),
                     void (CGUIInterface::*release)(int, int)) {
    const bool down = PolledButtonDown(button);
    if (flag == down) return;
    flag = down;
    const POINT at = EdgePlace(button, down, m_cursor);
    OnPointerAt(at.x, at.y);
    (this->*(down ? press : release))(at.x, at.y);
  };
  edge(0, m_leftDown, &CGUIInterface::OnLButtonDown, &CGUIInterface::OnLButtonUp);
  edge(1, m_rightDown, &CGUIInterface::OnRButtonDown, &CGUIInterface::OnRButtonUp);
  const int wheel = mouse.lZ;
  OnPointerAt(m_cursor.x, m_cursor.y);
  if (mouse.lX != 0 || mouse.lY != 0) OnMouseMove(m_cursor.x, m_cursor.y, mouse.lX, mouse.lY);
  if (wheel != 0) OnMouseWheel(wheel);
}

void CGUIInterface::TakeButtonsAlreadyDown() {
  if (PolledButtonDown(0)) m_leftDown = true;
  if (PolledButtonDown(1)) m_rightDown = true;
}

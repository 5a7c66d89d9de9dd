#include "game/screens/gui_interface.h"

#include "game/game_host.h"
#include "platform/input/input.h"

void CGUIInterface::DispatchMouseInput() {
  m_cursor = GameHost().CursorPos();
  const DIMOUSESTATE2& mouse = g_Input.m_mouseState;
  // One press or release per button: the flag changes before the call.
  auto edge = [this](bool down, bool& flag, void (CGUIInterface::*press)(int, int),
                     void (CGUIInterface::*release)(int, int)) {
    if (flag == down) return;
    flag = down;
    (this->*(down ? press : release))(m_cursor.x, m_cursor.y);
  };
  edge((mouse.rgbButtons[0] & 0x80) != 0, m_leftDown, &CGUIInterface::OnLButtonDown,
       &CGUIInterface::OnLButtonUp);
  edge((mouse.rgbButtons[1] & 0x80) != 0, m_rightDown, &CGUIInterface::OnRButtonDown,
       &CGUIInterface::OnRButtonUp);
  const int wheel = mouse.lZ;
  if (mouse.lX != 0 || mouse.lY != 0) OnMouseMove(m_cursor.x, m_cursor.y, mouse.lX, mouse.lY);
  if (wheel != 0) OnMouseWheel(wheel);
}

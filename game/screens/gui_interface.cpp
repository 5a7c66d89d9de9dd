#include "game/screens/gui_interface.h"

#include <utility>

#include "game/game_host.h"
#include "platform/input/input.h"

namespace {
bool PolledButtonDown(int button) { return (g_Input.m_mouseState.rgbButtons[button] & 0x80) != 0; }
}  // namespace

// A press or release the dispatch hands on: where, after how much of the
// frame's motion, and when in the frame's order.
struct CGUIInterface::ButtonEdge {
  int button = 0;
  bool down = false;
  POINT at{};
  POINT motion{};  // the frame's motion before it
  int rank = 0;    // 0: from an earlier interval, or written by hand

  // The polled state's edge of a button; the cursor's place when it has none.
  ButtonEdge(int b, bool isDown, POINT cursor) : button(b), down(isDown), at(cursor) {
    const MouseButtonPlaces& p = g_Input.m_buttonPlaces;
    if (!(isDown ? p.hasPress[b] : p.hasRelease[b])) return;
    at = isDown ? p.press[b] : p.release[b];
    motion = isDown ? p.pressMotion[b] : p.releaseMotion[b];
    rank = isDown ? p.pressRank[b] : p.releaseRank[b];
  }
};

void CGUIInterface::DispatchMouseInput() {
  m_cursor = GameHost().CursorPos();
  const DIMOUSESTATE2& mouse = g_Input.m_mouseState;
  ButtonEdge edges[2]{{0, false, m_cursor}, {1, false, m_cursor}};
  int count = 0;
  if (PolledButtonDown(0) != m_leftDown) edges[count++] = ButtonEdge(0, !m_leftDown, m_cursor);
  if (PolledButtonDown(1) != m_rightDown) edges[count++] = ButtonEdge(1, !m_rightDown, m_cursor);
  if (count == 2 && edges[1].rank < edges[0].rank) std::swap(edges[0], edges[1]);
  // The motion carried from the last frame came before all of this one's.
  POINT done{-m_carried.x, -m_carried.y};
  m_carried = POINT{};
  for (int i = 0; i < count; ++i) {
    m_leftReleaseToCome = i + 1 < count && edges[i + 1].button == 0 && !edges[i + 1].down;
    DispatchEdge(edges[i], done);
  }
  m_leftReleaseToCome = false;
  const int wheel = mouse.lZ;
  if (const int b = ReleaseStillToCome(); b >= 0) {
    // The button went up again within the frame but reads as down until
    // the next: the pointer stays where it went up, the motion after waits.
    const ButtonEdge release(b, false, m_cursor);
    MoveWith(release, done);
    m_carried = POINT{mouse.lX - done.x, mouse.lY - done.y};
    OnPointerAt(release.at.x, release.at.y);
  } else {
    OnPointerAt(m_cursor.x, m_cursor.y);
    const LONG restX = mouse.lX - done.x, restY = mouse.lY - done.y;
    if (restX != 0 || restY != 0) OnMouseMove(m_cursor.x, m_cursor.y, restX, restY);
  }
  if (wheel != 0) OnMouseWheel(wheel);
}

void CGUIInterface::MoveWith(const ButtonEdge& edge, POINT& motionDone) {
  if (edge.rank == 0) return;  // it came before this frame's motion
  const LONG dx = edge.motion.x - motionDone.x, dy = edge.motion.y - motionDone.y;
  motionDone = edge.motion;
  if (dx == 0 && dy == 0) return;
  OnPointerAt(edge.at.x, edge.at.y);
  OnMouseMove(edge.at.x, edge.at.y, dx, dy);
}

void CGUIInterface::DispatchEdge(const ButtonEdge& edge, POINT& motionDone) {
  MoveWith(edge, motionDone);
  const POINT at = edge.at;
  bool& flag = edge.button == 0 ? m_leftDown : m_rightDown;
  flag = edge.down;
  OnPointerAt(at.x, at.y);
  if (edge.button == 0)
    edge.down ? OnLButtonDown(at.x, at.y) : OnLButtonUp(at.x, at.y);
  else
    edge.down ? OnRButtonDown(at.x, at.y) : OnRButtonUp(at.x, at.y);
}

int CGUIInterface::ReleaseStillToCome() const {
  const MouseButtonPlaces& p = g_Input.m_buttonPlaces;
  int first = -1;
  for (int b : {0, 1}) {
    const bool down = b == 0 ? m_leftDown : m_rightDown;
    if (!down || p.releaseRank[b] <= p.pressRank[b]) continue;
    if (first < 0 || p.releaseRank[b] < p.releaseRank[first]) first = b;
  }
  return first;
}

bool CGUIInterface::LeftStillHeld() const { return PolledButtonDown(0) || m_leftReleaseToCome; }

void CGUIInterface::TakeButtonsAlreadyDown() {
  if (PolledButtonDown(0)) m_leftDown = true;
  if (PolledButtonDown(1)) m_rightDown = true;
}

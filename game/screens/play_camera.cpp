// The play screen's view: right-drag pans (Shift turns and tilts, Ctrl
// changes the height), the wheel changes the height, and two timed
// animations bring the view back to a straight look down at the table (the
// fly-in of a new puzzle and the snap of the space bar). The eye always
// stays above the table; "zoom" only ever changes the eye's height.
//
// Sections: drag and height - animations
#include <cmath>

#include "engine/camera.h"
#include "game/game_profile.h"
#include "game/screens/play_screen.h"
#include "platform/input/input.h"

namespace {
constexpr float kPanFactor = 0.5f;
constexpr double kTurnDivisor = 80.0;
constexpr float kHeightFactor = 0.25f;
constexpr float kMinHeight = 50.0f;
constexpr float kMaxHeight = 3000.0f;
constexpr float kTargetTilt = 0.01f;

bool KeyDown(BYTE code) { return (g_Input.m_keys[code] & 0x80) != 0; }

D3DXVECTOR3 Flat(const D3DXVECTOR3& v) {
  D3DXVECTOR3 out(v.x, v.y, 0.0f);
  D3DXVec3Normalize(&out, &out);
  return out;
}
}  // namespace

// ---- drag and height --------------------------------------------------------------------
void CGUIInterfacePlayPuzzle::UpdateCameraDrag(int dx, int dy) {
  if (!m_camera) return;
  const bool shift = KeyDown(DIK_LSHIFT) || KeyDown(DIK_RSHIFT);
  const bool ctrl = KeyDown(DIK_LCONTROL) || KeyDown(DIK_RCONTROL);
  if (dx == 0 && dy == 0) return;
  CKVRCamera& c = *m_camera;
  if (!shift && !ctrl) {
    const D3DXVECTOR3 f = Flat(c.m_direction);
    const D3DXVECTOR3 r = Flat(c.m_right);
    const float s = static_cast<float>(-dy * 0.5);
    const float t = static_cast<float>(dx * 0.5);
    const D3DXVECTOR3 eye = c.m_eye + f * s + r * t;
    if (m_environment.Contains(eye)) c.SetEyeFrom(eye);
  } else if (shift && !ctrl && !m_hand.holding) {
    const float a = static_cast<float>(dy / kTurnDivisor);
    const float b = static_cast<float>(dx / kTurnDivisor);
    c.RotateAboutAxis(D3DXVECTOR3(0, 0, 1), b);
    const D3DXVECTOR3 right = c.m_right;
    c.RotateAboutAxis(right, a);
    if (c.m_up.z < 0.0f) c.RotateAboutAxis(right, -a);         // upside down: undo the tilt
    if (c.m_direction.z > 0.0f) c.RotateAboutAxis(right, -a);  // looking up: once more
  } else if (ctrl && !shift && dy != 0 && !m_hand.holding) {
    ZoomCamera(static_cast<float>(-dy) * kHeightFactor);
  }
}

void CGUIInterfacePlayPuzzle::ZoomCamera(float delta) {
  if (!m_camera) return;
  float z = m_camera->m_eye.z + delta;
  if (z < kMinHeight) z = kMinHeight;
  if (z > kMaxHeight) z = kMaxHeight;
  m_camera->SetEye(m_camera->m_eye.x, m_camera->m_eye.y, z);
}

// ---- animations ----------------------------------------------------------------------------
void CGUIInterfacePlayPuzzle::StartCameraAnimation(double seconds, bool adjustHeight) {
  if (!m_camera) return;
  m_animStartDirection = m_camera->m_direction;
  m_animStartUp = m_camera->m_up;
  m_animStartEye = m_camera->m_eye;
  m_animEndHeight.reset();
  if (adjustHeight)
    m_animEndHeight = static_cast<float>(ReadProfileInt(profile::kCameraDefaultHeight)) * 10.0f;
  m_cameraAnimation.Start(seconds);
}

void CGUIInterfacePlayPuzzle::UpdateCameraAnimation() {
  if (!m_camera) return;
  CKVRCamera& c = *m_camera;
  const float p = static_cast<float>(m_cameraAnimation.GetProgress());
  // The table axis the view faces most; the screen's up turns to it.
  const D3DXVECTOR3& d = c.m_direction;
  D3DXVECTOR3 target, up;
  if (std::fabs(d.y) > std::fabs(d.x)) {
    const float s = d.y > 0.0f ? 1.0f : -1.0f;
    target = D3DXVECTOR3(0.0f, kTargetTilt * s, -1.0f);
    up = D3DXVECTOR3(0.0f, s, 0.0f);
  } else {
    const float s = d.x > 0.0f ? 1.0f : -1.0f;
    target = D3DXVECTOR3(kTargetTilt * s, 0.0f, -1.0f);
    up = D3DXVECTOR3(s, 0.0f, 0.0f);
  }
  D3DXVec3Normalize(&target, &target);
  const D3DXVECTOR3 direction = LerpVec3(m_animStartDirection, target, p);
  D3DXVECTOR3 newUp = LerpVec3(m_animStartUp, up, p);
  if (m_animEndHeight) {
    const float z = *m_animEndHeight;
    if (z != c.m_eye.z) {
      const D3DXVECTOR3 end(m_animStartEye.x, m_animStartEye.y, z);
      c.SetEyeFrom(LerpVec3(m_animStartEye, end, p));
    }
  }
  D3DXVECTOR3 right;
  D3DXVec3Cross(&right, &newUp, &direction);
  D3DXVec3Cross(&newUp, &direction, &right);
  c.m_direction = direction;
  c.m_right = right;
  c.m_up = newUp;
  c.UpdateView();
}

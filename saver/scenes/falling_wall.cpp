#include "saver/scenes/falling_wall.h"

#include <cmath>
#include <utility>

#include "engine/engine.h"
#include "platform/crt_random.h"
#include "platform/d3d9/d3dx9.h"

namespace {
constexpr UINT kOverlaySize = 128;
constexpr D3DCOLOR kWallAmbient = 0xFF808080;
constexpr D3DCOLOR kWallClear = 0xFF00000C;
constexpr float kFadeRate = 0.25f;  // per second: four seconds each way
constexpr float kFallenDepth = -200.0f;
// A horizontal half angle from which the approximation A x F / 2 is no longer
// usable (it reaches pi/2 for screens of aspect 4 and more).
constexpr float kWidestHalfAngle = 1.5f;
}  // namespace

void CSceneFallingWall::Init() {
  MakeOverlay();
  m_overlaySprite.Create(&m_overlayTexture);
  // The whole back buffer: a rectangle that stops one short of the size would
  // leave the last row and column uncovered.
  m_overlayRect = RECT{0, 0, g_Engine.LayoutSize().cx, g_Engine.LayoutSize().cy};
  m_overlayColor = D3DCOLORVALUE{1, 1, 1, 1};
  SetSceneLight(Light(), D3DXVECTOR3(0.25f, -0.25f, -1.0f));
  g_Engine.SetAmbientColor(kWallAmbient);
  g_Engine.SetClearColor(kWallClear);
  BuildWall();
  StartClock();
}

void CSceneFallingWall::MakeOverlay() {
  m_overlayTexture.Release();
  if (FAILED(D3DXCreateTexture(g_Engine.Device(), kOverlaySize, kOverlaySize, 1, 0, D3DFMT_A8B8G8R8,
                               D3DPOOL_MANAGED, &m_overlayTexture.m_d3dTexture))) {
    m_overlayTexture.m_d3dTexture = nullptr;
    return;
  }
  m_overlayTexture.m_width = m_overlayTexture.m_height = kOverlaySize;
  m_overlayTexture.m_imageInfo.Width = m_overlayTexture.m_imageInfo.Height = kOverlaySize;
  if (m_overlayTexture.Lock()) {
    m_overlayTexture.Fill(kSceneGrey);
    m_overlayTexture.Unlock();
  }
}

void CSceneFallingWall::BuildWall() {
  CreatePuzzleAndSphere(200, 3, 2000.0f);
  m_pieces = BoardPieces();
  m_fallOrder = m_pieces;
  const size_t n = m_pieces.size();
  m_rotations.assign(n, D3DXVECTOR3(-D3DX_PI / 2, 0, 0));
  const float w = float(Board().m_width), h = float(Board().m_height);
  for (size_t i = 0; i < n; ++i) {
    CPuzzlePiece& piece = *m_pieces[i];
    const D3DXVECTOR3& home = piece.m_homePosition;
    // Upright in y = 0, centred on x = 0, the first row at the top (z = H).
    piece.SetPosition(D3DXVECTOR3(home.x - w * 0.5f, 0.0f, h - home.y));
    piece.SetRotation(m_rotations[i].x, m_rotations[i].y, m_rotations[i].z);
    for (int side = 0; side < 4; ++side)
      if (piece.m_edgeIds[side] != 0) piece.m_joined[side] = true;
  }
  for (size_t i = 0; i < n; ++i) std::swap(m_fallOrder[i], m_fallOrder[unsigned(CrtRand()) % unsigned(n)]);
  m_fallTime = 0.0f;
  m_state = kFalling;
  m_fallingIndex = 0;
  SetupCamera();
}

void CSceneFallingWall::SetupCamera() {
  const SIZE backBuffer = g_Engine.BackBufferSize();
  if (!Camera() || backBuffer.cy == 0 || Board().m_height == 0) return;
  const float aspect = float(backBuffer.cx) / float(backBuffer.cy);
  const float fov = Camera()->m_fieldOfView;
  const float w = float(Board().m_width), h = float(Board().m_height);
  float half = 0.0f, angle = 0.0f;
  if (aspect > w / h) {
    half = w * 0.5f;
    angle = aspect * fov * 0.5f;
    // On very wide screens the approximation reaches a right angle and the
    // camera would land behind the wall: use the true horizontal half angle.
    if (angle >= kWidestHalfAngle) angle = std::atan(aspect * std::tan(fov * 0.5f));
  } else {
    half = h * 0.5f;
    angle = fov * 0.5f;
  }
  const float distance = half / std::tan(angle);
  PlaceCamera(D3DXVECTOR3(0.0f, distance, h * 0.5f), D3DXVECTOR3(0.0f, 0.0f, h * 0.5f));
}

void CSceneFallingWall::Update() {
  float t = 0, dt = 0;
  ReadClock(&t, &dt);
  switch (m_state) {
    case kFalling: Fall(dt); break;
    case kFadingToGrey:
      m_fadeTime += dt;
      m_overlayColor.a = m_fadeTime * kFadeRate;
      if (m_overlayColor.a > 1.0f) {
        BuildWall();
        m_overlayColor.a = 1.0f;
        m_state = kFadingFromGrey;
        m_fadeTime = 0.0f;
      }
      break;
    case kFadingFromGrey:
      m_fadeTime += dt;
      m_overlayColor.a = 1.0f - m_fadeTime * kFadeRate;
      if (m_overlayColor.a < 0.0f) {
        m_overlayColor.a = 0.0f;
        m_state = kFalling;
        m_fadeTime = 0.0f;
      }
      break;
    default: break;
  }
}

void CSceneFallingWall::Fall(float dt) {
  if (size_t(m_fallingIndex) >= m_fallOrder.size()) {
    // A wall without pieces has nothing to drop.
    m_state = kFadingToGrey;
    m_fadeTime = 0.0f;
    return;
  }
  CPuzzlePiece* piece = m_fallOrder[size_t(m_fallingIndex)];
  const float f = m_fallTime;
  D3DXVECTOR3 q = piece->m_currentPosition;
  q.z = q.z - f * f * 100.0f * dt;
  q.y = f;  // one unit towards the viewer per second of falling
  piece->SetPosition(q);
  piece->Disconnect();
  m_fallTime = f + dt;
  if (q.z < kFallenDepth) {
    m_fallTime = 0.0f;
    if (size_t(++m_fallingIndex) >= m_pieces.size()) {
      m_state = kFadingToGrey;
      m_fadeTime = 0.0f;
    }
  }
}

void CSceneFallingWall::Render() {
  RenderSphereAndBoard();
  if (m_state == kFadingToGrey || m_state == kFadingFromGrey)
    m_overlaySprite.Draw(m_overlayRect, m_overlayColor.r, m_overlayColor.g, m_overlayColor.b,
                         m_overlayColor.a);
}

void CSceneFallingWall::Release() {
  ReleaseSphereAndPuzzle();
  m_overlaySprite.Release();
  m_overlayTexture.Release();
}

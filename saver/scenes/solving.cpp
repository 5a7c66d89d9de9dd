#include "saver/scenes/solving.h"

#include <cmath>
#include <utility>

#include "engine/engine.h"
#include "platform/crt_random.h"

namespace {
constexpr D3DCOLOR kDarkGrey = 0xFF0C0C0C;
constexpr float kCircleSpeed = 60.0f;  // units per second the fall-away circle grows
constexpr float kFallAwayDepth = -1000.0f;
}  // namespace

void CSceneSolving::Init() {
  const D3DCOLORVALUE colour = RandomLightColour();
  CreateBackgroundSphere(Sphere(), 2000.0f, colour);
  SetSceneLight(Light(), D3DXVECTOR3(0.25f, 0.25f, -1.0f));
  g_Engine.SetClearColor(kDarkGrey);
  m_cameraTime = 0.0f;
  NewPuzzle();
  StartClock();
}

void CSceneSolving::NewPuzzle() {
  CreatePuzzle(200, 3);
  m_pieces = BoardPieces();
  m_dropOrder = m_pieces;
  const size_t n = m_pieces.size();
  m_drops.assign(n, Drop());
  for (size_t i = 0; i < n; ++i) std::swap(m_dropOrder[i], m_dropOrder[size_t(CrtRand() % int(n))]);
  const float w = float(Board().m_width), h = float(Board().m_height);
  for (CPuzzlePiece* piece : m_pieces) {
    const D3DXVECTOR3& home = piece->m_homePosition;
    piece->SetPosition(D3DXVECTOR3(home.x - w * 0.5f, home.y - h * 0.5f, home.z));
  }
  m_cameraRadius = 0.8f * (w >= h ? w : h);
  StartDrop(kAssembling);
}

void CSceneSolving::StartDrop(int state) {
  m_stateTime = 0.0f;
  m_state = state;
  if (state == kAssembling) {
    for (size_t i = 0; i < m_pieces.size(); ++i) {
      m_drops[i] = Drop{m_cameraRadius, 0.0f};
      const D3DXVECTOR3& p = m_pieces[i]->m_currentPosition;
      m_pieces[i]->SetPosition(D3DXVECTOR3(p.x, p.y, m_cameraRadius));
    }
    m_nextPiece = 0;
  } else if (state == kFallingAway) {
    for (size_t i = 0; i < m_pieces.size(); ++i) {
      const D3DXVECTOR3& p = m_pieces[i]->m_currentPosition;
      m_pieces[i]->SetPosition(D3DXVECTOR3(p.x, p.y, 0.0f));
      m_drops[i] = Drop();
    }
  }
}

void CSceneSolving::Update() {
  float t = 0, dt = 0;
  ReadClock(&t, &dt);
  m_stateTime += dt;
  m_cameraTime += dt;
  UpdateCamera();
  if (m_state == kAssembling)
    Assemble(dt);
  else if (m_state == kFallingAway)
    FallAway(dt);
}

void CSceneSolving::UpdateCamera() {
  CKVRCamera* camera = Camera();
  if (!camera) return;
  const float a = m_cameraTime * 0.05f;
  const float r = m_cameraRadius;
  camera->SetEyeFrom(D3DXVECTOR3(std::cos(a) * r, std::sin(a) * r, 0.4f * r));
  camera->LookAt(0, 0, 0);
  // LookAt leaves a recomputed up vector; the next frame turns from +Z again.
  camera->m_up = D3DXVECTOR3(0, 0, 1);
}

void CSceneSolving::Assemble(float dt) {
  if (m_nextPiece < 0 || size_t(m_nextPiece) >= m_dropOrder.size()) return;
  Drop& drop = m_drops[size_t(m_nextPiece)];
  // The fall per frame grows with the square of the time fallen; it is not
  // scaled by dt, so pieces drop faster at higher frame rates.
  drop.speed += dt;
  drop.height -= drop.speed * drop.speed * 0.25f;
  const bool landed = drop.height < 0.0f;
  if (landed) drop.height = 0.0f;
  CPuzzlePiece* piece = m_dropOrder[size_t(m_nextPiece)];
  const D3DXVECTOR3& p = piece->m_currentPosition;
  piece->SetPosition(D3DXVECTOR3(p.x, p.y, drop.height));
  if (landed && size_t(++m_nextPiece) == m_pieces.size()) StartDrop(kFallingAway);
}

void CSceneSolving::FallAway(float dt) {
  bool allDown = true;
  const float circle = m_stateTime * kCircleSpeed;
  for (size_t i = 0; i < m_pieces.size(); ++i) {
    D3DXVECTOR3 p = m_pieces[i]->m_currentPosition;
    const float d = std::sqrt(p.x * p.x + p.y * p.y);
    Drop& drop = m_drops[i];
    if (d < circle) {
      drop.speed += dt;
      drop.height = -(drop.speed * drop.speed * 12.0f);
    }
    p.z = drop.height;
    m_pieces[i]->SetPosition(p);
    if (p.z > kFallAwayDepth) allDown = false;
  }
  if (allDown) {
    NewPuzzle();
    StartDrop(kAssembling);
  }
}

void CSceneSolving::Render() { RenderSphereAndBoard(); }

void CSceneSolving::Release() { ReleaseSphereAndPuzzle(); }

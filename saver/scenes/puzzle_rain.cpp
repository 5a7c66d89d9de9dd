#include "saver/scenes/puzzle_rain.h"

#include <cmath>

#include "engine/engine.h"

namespace {
constexpr float kRespawnHalfAngle = 1.57f;
constexpr float kFallSpeed = 50.0f;
constexpr float kRespawnDepth = -800.0f;
constexpr float kFogStart = 10.0f;
constexpr float kSphereFogEnd = 7000.0f;
constexpr float kPieceFogEnd = 800.0f;

}  // namespace

void CScenePuzzleRain::Init() {
  const D3DCOLORVALUE colour = CreatePuzzleAndSphere(200, 3, 4000.0f);
  PlaceCamera(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(10, 0, 0));
  SetSceneLight(Light(), D3DXVECTOR3(0.25f, 0.25f, -1.0f));
  const D3DCOLOR fog = LightColourToArgb(colour);
  g_Engine.SetFogEnable(true);
  g_Engine.SetFogColor(fog);
  g_Engine.SetClearColor(fog);
  m_pieces = BoardPieces();
  const size_t n = m_pieces.size();
  m_rotations.assign(n, D3DXVECTOR3(0, 0, 0));
  m_spins.assign(n, D3DXVECTOR3(0, 0, 0));
  for (size_t i = 0; i < n; ++i) {
    D3DXVECTOR3 p = RespawnPiece();
    p.z = RandomRange(-800.0f, 800.0f);
    m_pieces[i]->SetPosition(p);
    m_spins[i] = m_rotations[i] = RandomSpin();
  }
  StartClock();
}

D3DXVECTOR3 CScenePuzzleRain::RespawnPiece() {
  const float angle = RandomRange(-kRespawnHalfAngle, kRespawnHalfAngle);
  const float radius = RandomRange(20.0f, 800.0f);
  const float z = RandomRange(800.0f, 1200.0f);
  return D3DXVECTOR3(std::cos(angle) * radius, std::sin(angle) * radius, z);
}

void CScenePuzzleRain::Update() {
  float t = 0, dt = 0;
  ReadClock(&t, &dt);
  const float fall = dt * kFallSpeed;
  for (size_t i = 0; i < m_pieces.size(); ++i) {
    CPuzzlePiece& piece = *m_pieces[i];
    D3DXVECTOR3 p = piece.m_currentPosition;
    if (p.z < kRespawnDepth) p = RespawnPiece();
    p.z -= fall;
    piece.SetPosition(p);
    const D3DXVECTOR3& spin = m_spins[i];
    m_rotations[i] = D3DXVECTOR3(spin.x * t, spin.y * t, spin.z * t);
    piece.SetRotation(m_rotations[i].x, m_rotations[i].y, m_rotations[i].z);
  }
}

void CScenePuzzleRain::Render() {
  if (!g_Engine.Device()) return;
  SetDepthAndLighting(false);
  g_Engine.SetFogRange(kFogStart, kSphereFogEnd);
  Sphere().Render();
  SetDepthAndLighting(true);
  g_Engine.SetFogRange(kFogStart, kPieceFogEnd);
  Board().Render();
}

void CScenePuzzleRain::Release() { ReleaseSphereAndPuzzle(); }

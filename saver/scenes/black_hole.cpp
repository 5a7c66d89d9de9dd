#include "saver/scenes/black_hole.h"

#include <cmath>

#include "engine/engine.h"

namespace {
constexpr float kTwoPi = 2 * D3DX_PI;
constexpr float kFunnelRadius = 250.0f;
constexpr float kCentreRadius = 5.0f;
constexpr float kInflowSpeed = 100.0f;

// A point at angle and radius in the plane z = 0.
D3DXVECTOR3 OnDisc(float angle, float radius) {
  return D3DXVECTOR3(std::cos(angle) * radius, std::sin(angle) * radius, 0.0f);
}
}  // namespace

void CSceneBlackHole::Init() {
  const D3DCOLORVALUE colour = CreatePuzzleAndSphere(400, 1, 11000.0f);
  PlaceCamera(D3DXVECTOR3(0, 2000, 150), D3DXVECTOR3(0, 0, 250));
  SetSceneLight(Light(), D3DXVECTOR3(0.25f, 0.25f, -1.0f));
  g_Engine.SetAmbientColor(LightColourToArgb(colour));
  g_Engine.SetClearColor(LightColourToArgb(colour));
  m_pieces = BoardPieces();
  const size_t n = m_pieces.size();
  m_rotations.assign(n, D3DXVECTOR3(0, 0, 0));
  m_spins.assign(n, D3DXVECTOR3(0, 0, 0));
  m_scales.assign(n, 1.0f);
  for (size_t i = 0; i < n; ++i) {
    m_pieces[i]->SetPosition(InitPiecePositions());
    m_spins[i] = RandomSpin();
  }
  StartClock();
}

D3DXVECTOR3 CSceneBlackHole::InitPiecePositions() {
  const float angle = RandomRange(0.0f, kTwoPi);
  const float radius = RandomRange(510.0f, 11000.0f) - 500.0f;
  return OnDisc(angle, radius);
}

D3DXVECTOR3 CSceneBlackHole::RespawnPiece() {
  const float angle = RandomRange(0.0f, kTwoPi);
  const float radius = RandomRange(10000.0f, 11000.0f);
  return OnDisc(angle, radius);
}

void CSceneBlackHole::Update() {
  float t = 0, dt = 0;
  ReadClock(&t, &dt);
  for (size_t i = 0; i < m_pieces.size(); ++i) {
    CPuzzlePiece& piece = *m_pieces[i];
    D3DXVECTOR3 p = piece.m_currentPosition;
    const float d = std::sqrt(p.x * p.x + p.y * p.y);
    // Orbit: the closer, the faster. At d = 0 the step is infinite, but such
    // a piece is renewed below before the result is used.
    const float step = 40000.0f / (d * d) * D3DX_PI * dt;
    D3DXMATRIX turn;
    D3DXMatrixRotationZ(&turn, -step);
    D3DXVec3TransformCoord(&p, &p, &turn);
    if (d < kFunnelRadius) {
      const float depth = (kFunnelRadius - d) * 0.5f;
      p.z = -(depth * depth) / 25.0f;
      m_scales[i] = d / kFunnelRadius;
      if (d < kCentreRadius) {
        p = RespawnPiece();
        m_scales[i] = 1.0f;
      }
    }
    D3DXVECTOR3 inward;
    D3DXVec3Normalize(&inward, &p);
    p = D3DXVECTOR3(p.x - inward.x * dt * kInflowSpeed, p.y - inward.y * dt * kInflowSpeed,
                    p.z - inward.z * dt * kInflowSpeed);
    piece.SetPosition(p);
    const D3DXVECTOR3& spin = m_spins[i];
    m_rotations[i] = D3DXVECTOR3(spin.x * t * 0.25f, spin.y * t * 0.25f, spin.z * t * 0.25f);
    piece.SetRotation(m_rotations[i].x, m_rotations[i].y, m_rotations[i].z);
    piece.SetScale(m_scales[i]);
    Board().UpdatePieceMatrix(i);
  }
}

void CSceneBlackHole::Render() { RenderSphereAndBoard(); }

void CSceneBlackHole::Release() { ReleaseSphereAndPuzzle(); }

#pragma once
// The black hole: about 400 pieces lie scattered on a wide disc round the
// origin, circle the centre (the faster the closer), drift inward, sink into
// a funnel near the centre while they shrink, and start again on the outer
// rim when they reach it. Each piece tumbles slowly about its own axes. One
// puzzle for the whole run.
#include <vector>

#include "saver/scenes/scene.h"

class CSceneBlackHole : public CScene {
 public:
  // Puzzle (400 pieces, definition 1), light colour, sphere of radius
  // 11000, camera, light, ambient and clear colour = the light colour, each
  // piece's start position and spin rates, clock.
  void Init() override;
  // Per piece: orbit, funnel, renewal at the centre, inflow, spin, scale.
  void Update() override;
  void Render() override;
  void Release() override;

  // A start position: angle in 0 .. 2 pi, radius 10 .. 10500, z 0.
  D3DXVECTOR3 InitPiecePositions();
  // A renewed piece's position on the rim: radius 10000 .. 11000, z 0.
  D3DXVECTOR3 RespawnPiece();

  std::vector<CPuzzlePiece*> m_pieces;
  std::vector<D3DXVECTOR3> m_rotations;
  std::vector<D3DXVECTOR3> m_spins;
  std::vector<float> m_scales;
};

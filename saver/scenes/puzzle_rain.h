#pragma once
// The puzzle rain: the pieces of a puzzle of about 200 pieces fall like rain
// in front of a camera at the origin looking along +X, each spinning about
// its three axes at its own rates; a piece that has fallen below -800 starts
// again at a new random place above. A fogged sphere surrounds the scene, and
// fog, sphere and clear colour share one random colour. The only scene of the
// preview.
#include <vector>

#include "saver/scenes/scene.h"

class CScenePuzzleRain : public CScene {
 public:
  // Puzzle, colour, sphere of radius 4000, camera, light, range fog in the
  // colour (also the clear colour), start points and spin rates, clock.
  void Init() override;
  // Per piece: renewal below -800, fall, spin.
  void Update() override;
  // The sphere fogged over 10 .. 7000, the pieces over 10 .. 800.
  void Render() override;
  void Release() override;

  // A start point above the view in the half ring in front of the camera:
  // angle -1.57 .. 1.57, radius 20 .. 800, height 800 .. 1200.
  D3DXVECTOR3 RespawnPiece();

  std::vector<CPuzzlePiece*> m_pieces;
  std::vector<D3DXVECTOR3> m_rotations;
  std::vector<D3DXVECTOR3> m_spins;
};

#pragma once
// The falling wall: a solved puzzle of about 200 pieces stands upright and
// fills the screen; its pieces drop out one at a time in a random order,
// falling faster and faster and sliding towards the viewer. When the last
// one has gone, the picture fades to grey, a new wall is built behind the
// grey, and the grey fades away again.
#include <vector>

#include "saver/scenes/scene.h"

class CSceneFallingWall : public CScene {
 public:
  enum State { kFalling = 1, kFadingToGrey = 2, kFadingFromGrey = 3 };

  // Grey overlay texture and sprite over the whole back buffer, light,
  // ambient and clear colours, the first wall, clock.
  void Init() override;
  // The falling piece moves, or the overlay fades.
  void Update() override;
  // Sphere, wall, and the overlay while fading.
  void Render() override;
  void Release() override;

  // A new puzzle stood up as a solved wall in the plane y = 0 (joined, so no
  // gaps show), a new sphere, a shuffled fall order, the camera; state 1.
  void BuildWall();
  // Puts the camera in front of the wall so that the wall fills the screen.
  void SetupCamera();

  CKVRSprite m_overlaySprite;
  CKVRTexture m_overlayTexture;
  RECT m_overlayRect;
  D3DCOLORVALUE m_overlayColor{1, 1, 1, 1};
  std::vector<CPuzzlePiece*> m_pieces;
  std::vector<D3DXVECTOR3> m_rotations;
  std::vector<CPuzzlePiece*> m_fallOrder;
  float m_fadeTime = 0.0f;
  int m_state = 0;
  int m_fallingIndex = 0;
  float m_fallTime = 0.0f;

 private:
  void MakeOverlay();
  void Fall(float dt);
};

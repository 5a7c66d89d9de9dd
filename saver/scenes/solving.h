#pragma once
// The solving scene: a puzzle of about 200 pieces puts itself together. All
// pieces hover above their places and drop into them one at a time in a
// random order, falling faster and faster; when the picture is complete, a
// circle widens from the centre and every piece it reaches falls away into
// the depth; then a new puzzle from another picture starts again. The camera
// circles the puzzle throughout.
#include <vector>

#include "saver/scenes/scene.h"

class CSceneSolving : public CScene {
 public:
  enum State { kAssembling = 1, kFallingAway = 2 };

  // A drop of one piece: its height and how long it has been falling.
  struct Drop {
    float height = 0.0f;
    float speed = 0.0f;
  };

  // Light colour and sphere (drawn before the first puzzle), light, a dark
  // grey clear colour, the first puzzle, clock.
  void Init() override;
  // Camera round the puzzle, then the state's movement.
  void Update() override;
  void Render() override;
  void Release() override;

  // A new puzzle centred on the origin, a shuffled drop order, the camera
  // radius, and the assembling state.
  void NewPuzzle();
  // Enters state 1 (every piece hovers at the camera radius above its place)
  // or 2 (every piece in place, drops reset); other values change only the
  // state and its time.
  void StartDrop(int state);

  std::vector<CPuzzlePiece*> m_pieces;
  std::vector<CPuzzlePiece*> m_dropOrder;
  int m_state = 0;
  int m_nextPiece = 0;
  float m_stateTime = 0.0f;
  float m_cameraRadius = 0.0f;
  float m_cameraTime = 0.0f;
  // State 1: entry k belongs to m_dropOrder[k]; state 2: to board piece k.
  std::vector<Drop> m_drops;

 private:
  void UpdateCamera();
  void Assemble(float dt);
  void FallAway(float dt);
};

#pragma once
// The scene base's one test-access point. Tests and benchmarks reach here
// what a scene keeps to itself: its board, picture, light and background
// sphere, to look at them and to set up a situation, and its clock, to
// start it again at 0 or read the last time it gave. Everything else they
// ask through the scene's public calls.
#include "saver/scenes/scene.h"

struct SceneTestAccess {
  CScene& scene;

  CPuzzleBoard& Board() const { return scene.m_board; }
  CKVRTexture& Picture() const { return scene.m_picture; }
  D3DLIGHT9& Light() const { return scene.m_light; }
  CKVR3DObject& Sphere() const { return scene.m_sphere; }
  // The clock started again at 0, as Init's last step starts it.
  void StartClock() const { scene.StartClock(); }
  // The time the last ReadClock gave.
  float LastTime() const { return scene.m_lastTime; }
};

// The insides of a scene of any class.
inline SceneTestAccess Inside(CScene& scene) { return SceneTestAccess{scene}; }

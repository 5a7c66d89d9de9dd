#pragma once
// The screen saver's scenes: what every scene has (the window's camera, a
// scene clock, one puzzle board, the picture it is cut from, the scene light
// and the background sphere) and the helpers they share.
//
// The window drives a scene like this: construct it, SetCamera, Init()
// once, then every frame Update() followed by DrawSceneFrame (Render()
// inside the engine's frame), and at the end Release() before
// deleting it. Only SetCamera takes an argument.
//
// Time: the scene clock is a CKVRTimer on the program clock (NowSeconds), a
// 64-bit monotonic clock that never wraps; a test drives it with ManualClock.
// Init starts the clock as its last step, so building does not count.
//
// Random numbers come from the program's generator (platform/crt_random.h).
// Every board creation reseeds it with the board's 10-bit seed, so what a
// scene draws after CreatePuzzle follows from that seed.
//
// A scene's state is its own: the window gives it the camera and drives it
// through the calls above; tests reach the board, the picture, the light,
// the sphere and the clock through SceneTestAccess
// (tests/saver/scenes/scene_access.h).
//
// Sections: random values and colours - the frame - the scene base
#include <functional>
#include <vector>

#include "engine/camera.h"
#include "engine/draw_resources.h"
#include "engine/render_object.h"
#include "engine/timer.h"
#include "platform/d3d9/d3d9.h"
#include "puzzle/puzzle_board.h"

// ---- random values and colours -------------------------------------------------------
// (CrtRand() % 1001) / 1000: 0 .. 1 in steps of 0.001.
double RandomUnit();
// lo + RandomUnit() x (hi - lo) (the span in single precision), as a float.
float RandomRange(float lo, float hi);
// r, g, b drawn in that order, each (CrtRand() / 256) / 255 (0 .. 127/255);
// alpha 1.
D3DCOLORVALUE RandomLightColour();
// Spin rates about X, Y and Z, drawn in that order, each
// RandomRange(-1.57, 1.57) radians per second.
D3DXVECTOR3 RandomSpin();
// The colour as opaque ARGB, each channel x 255 truncated.
D3DCOLOR LightColourToArgb(const D3DCOLORVALUE& colour);

// ---- the frame -----------------------------------------------------------------------
// One frame of a scene (null: none) as the screen saver's window draws it:
// the engine's frame begun, solid fill, the scene drawn, then the overlay
// (when given) on top, and the frame ended. false when the engine drew
// nothing this frame.
class CScene;
bool DrawSceneFrame(CScene* scene, const std::function<void()>& overlay = {});

// ---- the scene base ------------------------------------------------------------------
inline constexpr int kSceneFallbackGrid = 14;  // grey picture: 14 x 14 pieces
inline constexpr UINT kSceneFallbackPictureSize = 64;
inline constexpr D3DCOLOR kSceneGrey = 0xFF808080;

struct SceneTestAccess;

class CScene {
 public:
  CScene() = default;
  // Takes the scene light out of the engine when it is still light 0; the
  // records remove themselves from the engine's lists.
  virtual ~CScene();
  CScene(const CScene&) = delete;
  CScene& operator=(const CScene&) = delete;

  // The scene's device objects go.
  virtual void Release() = 0;
  // Builds the scene and starts its clock.
  virtual void Init() = 0;
  // One frame's movement (starts with ReadClock).
  virtual void Update() = 0;
  // Draws the scene; the caller has begun the frame.
  virtual void Render() = 0;

  // A new puzzle of about wantedCount pieces at the given definition level
  // from a random picture of the picture folders (one draw), or, without a
  // usable picture, a 64 x 64 grey picture cut into 14 x 14 pieces. A picture
  // whose proportions would give more than 2,000 pieces counts as unusable.
  // Classic shape, irregularity 75, no turns, edge and back textures, shiny
  // tops; the pieces lie at their solved places. When the device runs out
  // of memory making the board, the next try has half the columns and rows
  // (at least one each); when not even one piece can be made, the board
  // stays empty and the scene runs without pieces.
  void CreatePuzzle(int wantedCount, int definition);
  // The inside-out background sphere: shaded from the colour at its equator
  // to black at its +z pole and white at its -z pole, turned by three draws of
  // RandomRange(0, pi) about Z, then Y, then X. Old buffers are released.
  static void CreateBackgroundSphere(CKVR3DObject& sphere, float radius, const D3DCOLORVALUE& colour);
  // t = seconds since the clock started (as a float), dt = t - the previous
  // reading; remembers t.
  void ReadClock(float* t, float* dt);
  // The window's camera (not owned; null: none) that the scene moves; set
  // before Init.
  void SetCamera(CKVRCamera* camera) { m_camera = camera; }

 protected:
  // What the scenes work on: the window's camera (may be null), the puzzle
  // board, the scene light (engine light 0 once set) and the background
  // sphere.
  CKVRCamera* Camera() const { return m_camera; }
  CPuzzleBoard& Board() { return m_board; }
  D3DLIGHT9& Light() { return m_light; }
  CKVR3DObject& Sphere() { return m_sphere; }
  // CreatePuzzle, then a light colour drawn and the background sphere built
  // in it: the opening of most scenes. Answers the colour.
  D3DCOLORVALUE CreatePuzzleAndSphere(int wantedCount, int definition, float sphereRadius);
  // The camera (when set) to eye, turned towards at.
  void PlaceCamera(const D3DXVECTOR3& eye, const D3DXVECTOR3& at);
  // The last step of every Init: clock started at 0, m_lastTime 0.
  void StartClock();
  // The sphere unlit and behind everything, then the board lit and
  // depth-tested.
  void RenderSphereAndBoard();
  // Depth test, depth writes and lighting all on (the board) or all off (the
  // sphere), in that order.
  static void SetDepthAndLighting(bool on);
  // Sphere buffers, the picture's texture and the board.
  void ReleaseSphereAndPuzzle();
  // Every piece of the board in board order.
  std::vector<CPuzzlePiece*> BoardPieces();

 private:
  friend struct SceneTestAccess;

  void MakeGreyPicture();

  CKVRCamera* m_camera = nullptr;  // the window's; not owned
  CKVRTimer m_clock;
  float m_lastTime = 0.0f;
  CPuzzleBoard m_board;
  CKVRTexture m_picture;  // the board's picture
  D3DLIGHT9 m_light;
  CKVR3DObject m_sphere;
};

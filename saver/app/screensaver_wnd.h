#pragma once
// The screen saver's window: the device through the engine, the camera, the
// frame-rate font and the one scene of the run.
//
// InitScene makes the device, reads the options (saver/saver_options.h), picks the scene and starts it;
// RenderFrame moves and draws one frame; CloseScreensaver releases the font, the scene, the engine and the
// French texts, then destroys the window. The scene is drawn from the program's generator seeded with the
// wall time: CrtRand() % 4 picks black hole (0), falling wall (1), puzzle rain (2) or solving (3); the
// preview always shows the puzzle rain (the draw is still made).
//
// Full screen closes on a mouse move when CloseMouseMove is on: the first
// move message never closes; each later one closes (and is consumed) when
// the move recorded at the message before it was 3 pixels or more on an
// axis.
//
// Sections: options and scenes - window
#include <memory>

#include "engine/camera.h"
#include "engine/draw_resources.h"
#include "saver/app/framework.h"
#include "saver/saver_options.h"

class CScene;

// ---- options and scenes -----------------------------------------------------------------
enum SceneId { kSceneBlackHole = 0, kSceneFallingWall = 1, kScenePuzzleRain = 2, kSceneSolving = 3 };
inline constexpr int kSceneCount = 4;
// One draw of the program's generator picks the scene; the preview always
// gets the puzzle rain.
int ChooseSceneId(bool preview);
std::unique_ptr<CScene> CreateScene(int id);

// Language ids.
inline constexpr int kLanguageEnglish = 1;
inline constexpr int kLanguageFrench = 2;
// Loads the French texts (LanguageFrench/Brindle.strings of the installation)
// for id 2, else goes back to English; a file that cannot be read leaves
// English in place.
void LoadLanguageModule(int languageId);
// 2 when the profile's Language is "french" in any case, else 1.
int ProfileLanguageId();

// ---- window ------------------------------------------------------------------------------
class CScreensaverWnd : public CHVNScreensaverWnd {
 public:
  explicit CScreensaverWnd(ISystemSaverState* systemState);
  ~CScreensaverWnd() override;

  InitResult InitScene() override;
  void RenderFrame() override;
  void CloseScreensaver() override;
  bool PreTranslateMessage(const SaverMessage& message) override;
  void OnSize(int sizeType) override;

  // One frame's drawing: scene, FPS text, end of frame.
  void DrawFrame();
  // The 16-pixel Arial font on the engine's device; false when it cannot be
  // made.
  bool CreateFpsFont();

  CKVRFont m_fpsFont;
  CKVRCamera m_camera;
  std::unique_ptr<CScene> m_scene;
  int m_sceneId = -1;
  bool m_closeOnMouseMove = true;
  bool m_showFps = false;
  unsigned m_mouseMoveCount = 0;
  bool m_closed = false;
};

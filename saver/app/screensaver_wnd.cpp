// Sections: options and scenes - set-up - frames - input, size and close
#include "saver/app/screensaver_wnd.h"

#include <cstdlib>

#include "engine/engine.h"
#include "platform/clock.h"
#include "platform/crt_random.h"
#include "platform/d3d9/d3dx9.h"
#include "platform/profile.h"
#include "platform/toolkit_language.h"
#include "saver/scenes/black_hole.h"
#include "saver/scenes/falling_wall.h"
#include "saver/scenes/puzzle_rain.h"
#include "saver/scenes/solving.h"
#include "support/string_table.h"
#include "support/support.h"

// ---- options and scenes -----------------------------------------------------------------
int ChooseSceneId(bool preview) {
  static const int kTable[kSceneCount] = {kSceneBlackHole, kSceneFallingWall, kScenePuzzleRain,
                                          kSceneSolving};
  const int id = kTable[CrtRand() % kSceneCount];
  return preview ? kScenePuzzleRain : id;
}

std::unique_ptr<CScene> CreateScene(int id) {
  switch (id) {
    case kSceneBlackHole: return std::make_unique<CSceneBlackHole>();
    case kSceneFallingWall: return std::make_unique<CSceneFallingWall>();
    case kScenePuzzleRain: return std::make_unique<CScenePuzzleRain>();
    case kSceneSolving: return std::make_unique<CSceneSolving>();
    default: return nullptr;
  }
}

void LoadLanguageModule(int languageId) {
  SetToolkitLanguage(languageId == kLanguageFrench ? "french" : "english");
  UnloadLanguageStrings();
  if (languageId != kLanguageFrench) return;
  std::string folder = GetInstallDir();
  while (!folder.empty() && folder.back() == kPathSeparator) folder.pop_back();
  LoadLanguageStrings(folder + "/LanguageFrench/Brindle.strings");
}

int ProfileLanguageId() { return GetLanguage() == "french" ? kLanguageFrench : kLanguageEnglish; }

// ---- set-up ------------------------------------------------------------------------------
CScreensaverWnd::CScreensaverWnd(ISystemSaverState* systemState) : CHVNScreensaverWnd(systemState) {}

CScreensaverWnd::~CScreensaverWnd() {
  if (!m_closed) CloseScreensaver();
  g_Engine.UnregisterFont(&m_fpsFont);
}

InitResult CScreensaverWnd::InitScene() {
  InitResult result = g_Engine.InitDirect3D();
  if (!result.success) {
    g_Engine.Shutdown();
    return result;
  }
  const ScreensaverOptions options = ReadScreensaverOptions();
  result = g_Engine.CreateDevice(Window()->DeviceWindow(), options.limitFpsToRefreshRate);
  if (!result.success) {
    g_Engine.Shutdown();
    return result;
  }
  g_Engine.SetCamera(&m_camera);
  m_closeOnMouseMove = options.closeMouseMove;
  m_showFps = options.showFps;
  CreateFpsFont();
  CrtSrand(static_cast<std::uint32_t>(WallTime()));
  m_sceneId = ChooseSceneId(m_windowMode == kWindowPreview);
  m_scene = CreateScene(m_sceneId);
  m_scene->SetCamera(&m_camera);
  m_scene->Init();
  return InitResult{true, ""};
}

bool CScreensaverWnd::CreateFpsFont() { return m_fpsFont.Create(16, 10, 400, false, "Arial"); }

// ---- frames --------------------------------------------------------------------------------
void CScreensaverWnd::RenderFrame() {
  if (m_scene) m_scene->Update();
  DrawFrame();
}

void CScreensaverWnd::DrawFrame() {
  if (!g_Engine.ComboInUse() || !g_Engine.Device()) return;
  DrawSceneFrame(m_scene.get(), [this] {
    if (m_windowMode == kWindowPreview || !m_showFps) return;
    m_fpsFont.m_textColor = 0xFFFFFFFF;
    m_fpsFont.m_shadowColor = 0xFF000000;
    m_fpsFont.DrawShadowText(FormatString("FPS = %.0f", g_Engine.Fps()), 8, 8);
  });
}

// ---- input, size and close ---------------------------------------------------------------
bool CScreensaverWnd::PreTranslateMessage(const SaverMessage& message) {
  if (m_windowMode == kWindowFullScreen && message.type == SaverMessage::kMouseMove && m_closeOnMouseMove) {
    if (m_mouseMoveCount == 0) {
      m_mouseMoveCount = 1;
    } else if (std::abs(m_lastMove.x) >= 3 || std::abs(m_lastMove.y) >= 3) {
      CloseScreensaver();
      return true;
    } else {
      ++m_mouseMoveCount;
    }
  }
  return CHVNScreensaverWnd::PreTranslateMessage(message);
}

void CScreensaverWnd::OnSize(int sizeType) { g_Engine.Resize(sizeType); }

void CScreensaverWnd::CloseScreensaver() {
  if (m_closed) return;
  m_closed = true;
  if (m_fpsFont.m_font) m_fpsFont.Release();
  if (m_scene) {
    m_scene->Release();
    m_scene.reset();
  }
  g_Engine.Shutdown();
  g_Engine.ForgetCamera(&m_camera);
  UnloadLanguageStrings();
  DestroyWindow();
}

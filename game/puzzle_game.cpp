// Sections: settings - construction - start-up and shutdown - frame - screens
// and status - puzzle settings and creation - play time
#include "game/puzzle_game.h"

#include <filesystem>
#include <utility>
#include <vector>

#include "engine/engine.h"
#include "game/command_ids.h"
#include "game/dialog_services.h"
#include "game/game_host.h"
#include "game/game_profile.h"
#include "platform/clock.h"
#include "platform/crt_random.h"
#include "platform/d3d9/d3d9_resources.h"
#include "platform/input/input.h"
#include "sound/sound_manager.h"
#include "support/support.h"

CPuzzleGame* g_Game = nullptr;

namespace {
struct FontShape {
  int height;
  UINT width;
  UINT weight;
};
constexpr FontShape kFontShapes[CPuzzleGame::kFontCount] = {{25, 13, 400}, {17, 9, 400}, {14, 7, 700}};

void SwapTextureContents(CKVRTexture& a, CKVRTexture& b) {
  std::swap(a.m_d3dTexture, b.m_d3dTexture);
  std::swap(a.m_imageInfo, b.m_imageInfo);
  std::swap(a.m_width, b.m_width);
  std::swap(a.m_height, b.m_height);
}
}  // namespace

std::string FormatFPS(double fps) { return FormatString("FPS = %4.0f", fps); }

// ---- settings --------------------------------------------------------------------------
PuzzleSettings::PuzzleSettings() = default;

// ---- construction ------------------------------------------------------------------------
CPuzzleGame::CPuzzleGame() = default;
CPuzzleGame::~CPuzzleGame() = default;

UINT CPuzzleGame::TopBarMenuCommand(int barCommand) {
  static constexpr UINT kCommands[] = {ID_GAME_MENU,         ID_SAVE_PUZZLE,    ID_PUZZLE_INFORMATION,
                                       ID_SHOW_HIDE_PREVIEW, ID_COMMAND_HELPER, ID_HELP_COMMANDS,
                                       ID_TOGGLE_FULL_SCREEN};
  return barCommand >= kBarGameMenu && barCommand <= kBarFullScreen ? kCommands[barCommand - 1] : 0;
}

// ---- start-up and shutdown -----------------------------------------------------------------
void CPuzzleGame::SwitchToNoScreen(ScreenType type) {
  if (m_screenType == type) return;
  if (m_currentScreen) m_currentScreen->Deactivate();
  m_currentScreen = nullptr;
  m_screenType = type;
}

InitResult CPuzzleGame::Init() {
  SwitchToNoScreen(kScreenStarting);
  m_puzzleRunning = false;
  CrtSrand(static_cast<std::uint32_t>(WallTime()));
  HWND window = GameHost().DeviceWindow();
  InitResult result = g_Engine.InitDirect3D();
  if (result.success)
    result = g_Engine.CreateDevice(window, ReadProfileBool(profile::kLimitFPSToRefreshRate));
  if (result.success && !GameHost().CreateInput()) result = InitResult::Fail("DirectInput creation error.");
  if (!result.success) {
    Shutdown();
    return result;
  }
  if (GameHost().CreateSound()) g_SoundManager.SetPrimaryFormat();
  CreateFonts();
  ChooseDefaultPicture();
  g_Engine.SetCamera(&m_camera);
  if (m_topBar) {
    m_topBar->Activate();
    m_topBarActive = true;
  }
  if (m_rectTexture.CreateBlank(false)) {
    if (m_rectTexture.Lock()) {
      m_rectTexture.Fill(0xFF323246);
      m_rectTexture.Unlock();
    }
    m_rectSprite.Create(&m_rectTexture);
  }
  SetScreen(kScreenStart);
  m_showFPS = ReadProfileBool(profile::kShowFPS);
  m_showCommandHelper = GetShowCommandHelper();
  return InitResult::Ok();
}

void CPuzzleGame::Shutdown() {
  SwitchToNoScreen(kScreenNone);
  ReleaseDeviceObjects();
  if (m_topBar && m_topBarActive) m_topBar->Deactivate();
  m_topBarActive = false;
  m_rectSprite.Release();
  m_rectTexture.Release();
  g_Engine.Shutdown();
  g_Input.Release();
  g_SoundManager.Release();
}

void CPuzzleGame::CreateFonts() {
  for (int i = 0; i < kFontCount; ++i) {
    CKVRFont& font = m_fonts[i];
    const FontShape& shape = kFontShapes[i];
    font.Create(shape.height, shape.width, shape.weight, false, "Verdana");
  }
}

void CPuzzleGame::ReleaseDeviceObjects() {
  for (CKVRFont& font : m_fonts) font.Release();
  m_settings.m_board.Clear();
  m_settings.m_pictureTexture.Release();
  m_hasPuzzle = false;
}

// ---- frame -----------------------------------------------------------------------------------
void CPuzzleGame::RunFrame() {
  // The one read of the frame: the bar and the screen's dispatch below both
  // see this state (the order is in puzzle_game.h).
  g_Input.Read();
  int command = 0;
  const bool movingCamera = IsPlayScreenCurrent() && m_playScreen->IsMovingCamera();
  if (m_topBar && m_topBarActive && !movingCamera) command = m_topBar->Update();
  m_barCommand = command;
  if (const UINT id = TopBarMenuCommand(command))
    GameHost().PostCommand(id);
  else if (command == kBarMinimize)
    GameHost().MinimizeWindow();
  if (m_currentScreen) m_currentScreen->Update();
  if (command == 0) Render();
}

void CPuzzleGame::Render() {
  if (!g_Engine.Device() || !g_Engine.BeginFrame()) return;
  const unsigned long long lacks = OutOfMemoryCount();
  if (m_currentScreen) m_currentScreen->Render();
  if (m_topBar && m_topBarActive) m_topBar->Render();
  EndFrame();
  if (OutOfMemoryCount() != lacks && IsPlayScreenCurrent() && !std::exchange(m_tooLargePosted, true))
    GameHost().PostCommand(ID_PUZZLE_TOO_LARGE);
}

void CPuzzleGame::EndFrame() {
  const LONG width = g_Engine.LayoutSize().cx;
  if (m_showFPS) {
    CKVRFont& font = m_fonts[1];
    font.m_textColor = 0xFFFFFFFF;
    font.m_shadowColor = 0xFF000000;
    font.DrawShadowText(FormatFPS(g_Engine.Fps()), width - 170, 2);
  }
  if (m_statusTransition.m_active) {
    const double t = m_statusTransition.GetProgress();
    const float a = static_cast<float>(1.0 - t);
    m_rectSprite.Draw(RECT{0, 48, width - 1, 80}, 0.5f, 0.5f, 0.5f, a);
    m_rectSprite.Draw(RECT{0, 47, width - 1, 48}, 1.0f, 1.0f, 1.0f, a);
    m_rectSprite.Draw(RECT{0, 80, width - 1, 81}, 1.0f, 1.0f, 1.0f, a);
    const DWORD alpha = static_cast<DWORD>((1.0 - t) * 255.0);
    CKVRFont& font = m_fonts[0];
    font.m_textColor = (alpha << 24) | 0xFFFFFFu;
    font.m_shadowColor = alpha << 24;
    font.DrawShadowText(m_statusText, 32, 52);
    if (m_statusTransition.GetProgress() >= 1.0) {
      m_statusTransition.m_duration = 0.0;
      m_statusTransition.m_timer.Start(0.0);
      m_statusTransition.m_active = false;
    }
  }
  g_Engine.EndFrame();
}

// ---- screens and status ----------------------------------------------------------------------
void CPuzzleGame::SetScreen(ScreenType type) {
  if (type == m_screenType) return;
  if (type == kScreenPlay && !m_playScreen) return;  // no play screen plugged in: stay
  if (m_currentScreen) m_currentScreen->Deactivate();
  m_currentScreen = nullptr;
  if (type == kScreenStart) {
    m_startScreen.Activate();
    m_currentScreen = &m_startScreen;
    if (m_topBar) m_topBar->SetMode(0);
  } else if (type == kScreenPlay) {
    m_playScreen->Activate();
    m_currentScreen = m_playScreen;
    if (m_topBar) m_topBar->SetMode(1);
  }
  m_screenType = type;
}

void CPuzzleGame::ShowStatusMessage(const std::string& text, float seconds) {
  m_statusText = text;
  if (!(seconds > 0.0f)) {  // over at once; also a NaN
    m_statusTransition.m_active = false;
    return;
  }
  m_statusTransition.Start(seconds);
}

void CPuzzleGame::RotateSelection(int direction) {
  if (IsPlayScreenCurrent()) m_playScreen->RotateSelection(direction);
}

void CPuzzleGame::SetCommandHelperVisible(bool visible) {
  m_showCommandHelper = visible;
  if (IsPlayScreenCurrent()) m_playScreen->SetCommandHelperVisible(visible);
}

// ---- puzzle settings and creation ---------------------------------------------------------
bool CPuzzleGame::LoadPuzzleSettings() {
  m_settings.SetChoice(ReadPuzzleChoice());
  const std::string& picture = m_settings.picturePath;
  std::error_code error;
  return !picture.empty() && std::filesystem::exists(picture, error);
}

void CPuzzleGame::SavePuzzleSettings() { WritePuzzleChoice(m_settings.Choice()); }

bool CPuzzleGame::ChooseDefaultPicture() {
  if (LoadPuzzleSettings()) return true;
  const std::string folder = GetPuzzleSamplesDir();
  const std::vector<std::string> names = ListPictureFiles(folder);  // the dialogs' list
  if (names.empty()) return false;
  m_settings.picturePath = folder + kPathSeparator + names.front();
  return true;
}

bool CPuzzleGame::CreatePuzzle(PuzzleSettings& settings) {
  // The new picture goes into a texture of its own first: the puzzle on the
  // table keeps its picture, board and choices until the new one stands.
  auto fail = [&] {
    if (m_hasPuzzle) settings.SetChoice(m_lastChoice);
    return false;
  };
  CKVRTexture picture;
  if (!picture.LoadFromFile(settings.picturePath, 0)) return fail();
  if (!MakeBoard(settings, picture, static_cast<int>(WallTime() & 0x3FF))) return fail();
  settings.m_board.ScatterPieces();
  m_playTimer.Start(0.0);
  return true;  // the old picture goes with `picture`
}

bool CPuzzleGame::RestorePuzzle(const PuzzleChoice& choice, int seed, CKVRTexture& picture) {
  const PuzzleChoice old = m_settings.Choice();
  m_settings.SetChoice(choice);
  if (MakeBoard(m_settings, picture, seed)) return true;
  m_settings.SetChoice(old);
  return false;
}

bool CPuzzleGame::MakeBoard(PuzzleSettings& settings, CKVRTexture& picture, int seed) {
  const std::string edgePath = GetTexturesDir() + kPathSeparator + "PieceEdge.png";
  CPuzzleBoard& board = settings.m_board;
  const std::int32_t oldDefinition = board.m_definition;
  const bool oldShiny = board.m_shinyPieces;
  board.m_definition = ReadProfileInt(profile::kPuzzleDefinition);
  board.m_shinyPieces = ReadProfileBool(profile::kShinyPieces);
  SwapTextureContents(picture, settings.m_pictureTexture);
  if (!board.CreateWithSeed(seed, &settings.m_pictureTexture, settings.columns, settings.rows,
                            settings.rotatePieces, settings.pieceShape,
                            static_cast<unsigned>(settings.irregularity), edgePath, "")) {
    SwapTextureContents(picture, settings.m_pictureTexture);
    board.m_definition = oldDefinition;
    board.m_shinyPieces = oldShiny;
    return false;
  }
  settings.m_seed = board.m_seed;
  settings.m_currentFile.clear();
  m_lastChoice = settings.Choice();
  m_hasPuzzle = true;
  m_dropped = m_tooLargePosted = false;
  return true;
}

void CPuzzleGame::DropPuzzle() {
  m_playTimer.Pause();
  m_settings.m_board.Clear();
  m_settings.m_pictureTexture.Release();
  m_settings.m_currentFile.clear();
  m_hasPuzzle = false;
  m_dropped = true;
  SetScreen(kScreenStart);
}

// ---- play time ------------------------------------------------------------------------------
void CPuzzleGame::PausePlayTime() {
  if (m_settings.m_board.m_completion < 100.0f) m_playTimer.Pause();
}

void CPuzzleGame::ResumePlayTime() {
  if (!m_dropped && m_settings.m_board.m_completion < 100.0f) m_playTimer.Resume();
}

void CPuzzleGame::PauseForMinimise() {
  if (m_puzzleRunning) m_playTimer.Pause();
}

void CPuzzleGame::ResumeAfterMinimise() {
  if (m_puzzleRunning) ResumePlayTime();
}

// The game object on the recording device: start-up and shutdown, the frame,
// the status band, the FPS text, the puzzle settings and CreatePuzzle.
#include <gtest/gtest.h>

#include <limits>

#include "game/command_ids.h"
#include "game/game_profile.h"
#include "game_fixture.h"
#include "support/support.h"
#include "tests/engine/engine_access.h"

namespace {
constexpr LONG kBandTexture = 32;  // the band's texture is 32 x 32
}

// ---- start-up and shutdown ----------------------------------------------------------------
TEST_F(GameTest, StartsOnTheStartScreenWithItsProfileValues) {
  ProfileWriteInt("", "ShowFPS", 7);
  m_game->SetTopBar(&m_bar);
  StartGame();
  EXPECT_EQ(m_game->m_screenType, kScreenStart);
  EXPECT_EQ(m_game->m_currentScreen, &m_game->m_startScreen);
  EXPECT_EQ(m_bar.m_activated, 1);
  EXPECT_EQ(m_bar.m_mode, 0);
  EXPECT_TRUE(m_game->m_showFPS);
  EXPECT_TRUE(m_game->m_showCommandHelper);
  EXPECT_FALSE(m_game->m_puzzleRunning);
  EXPECT_EQ(g_Engine.Camera(), &m_game->m_camera);
  EXPECT_EQ(m_game->m_fonts[0].m_height, 25);
  EXPECT_EQ(m_game->m_fonts[2].m_height, 14);
  // The default picture: the first sample (no stored one).
  EXPECT_EQ(m_game->m_settings.picturePath.rfind(GetPuzzleSamplesDir(), 0), 0u);
}

TEST_F(GameTest, AFailedStartUpStepShutsDownOnce) {
  m_game->SetTopBar(&m_bar);
  m_host.m_inputWorks = false;
  const InitResult result = m_game->Init();
  EXPECT_FALSE(result.success);
  EXPECT_EQ(result.message, "DirectInput creation error.");
  EXPECT_EQ(g_Engine.Device(), nullptr);  // the device is released again
  EXPECT_EQ(m_game->m_screenType, kScreenNone);
  EXPECT_EQ(m_game->m_fonts[0].m_height, 0);
  EXPECT_EQ(m_bar.m_activated, 0);
  EXPECT_EQ(m_bar.m_deactivated, 0);  // never activated, never deactivated
  m_game->Shutdown();                 // again, at close: nothing twice
  EXPECT_EQ(m_bar.m_deactivated, 0);

  m_script.m_failDirect3DCreate = true;
  EXPECT_FALSE(m_game->Init().success);
}

TEST_F(GameTest, ShutdownDeactivatesTheScreenAndTheBarOnce) {
  m_game->SetTopBar(&m_bar);
  StartGame();
  m_game->Shutdown();
  m_game->Shutdown();
  EXPECT_EQ(m_bar.m_deactivated, 1);
  EXPECT_EQ(m_game->m_screenType, kScreenNone);
  EXPECT_EQ(g_Engine.Device(), nullptr);
}

// ---- frame -----------------------------------------------------------------------------------
TEST_F(GameTest, TopBarCommandsArePostedAndSkipTheirFrame) {
  m_game->SetTopBar(&m_bar);
  StartGame();
  const UINT expected[] = {ID_GAME_MENU,      ID_SAVE_PUZZLE,   ID_PUZZLE_INFORMATION, ID_SHOW_HIDE_PREVIEW,
                           ID_COMMAND_HELPER, ID_HELP_COMMANDS, ID_TOGGLE_FULL_SCREEN};
  for (int command = 1; command <= 8; ++command) {
    SCOPED_TRACE(command);
    m_host.m_posted.clear();
    m_bar.m_command = command;
    Frame();
    EXPECT_EQ(m_script.m_log.Count("Present"), 0);  // not drawn
    if (command <= 7)
      EXPECT_EQ(m_host.m_posted, std::vector<UINT>{expected[command - 1]});
    else
      EXPECT_TRUE(m_host.m_posted.empty());
  }
  EXPECT_EQ(m_host.m_minimized, 1);
  m_bar.m_command = 0;
  Frame();
  EXPECT_EQ(m_script.m_log.Count("Present"), 1);
  EXPECT_EQ(m_bar.m_renders, 1);
}

TEST_F(GameTest, BarIsNotUpdatedWhileThePlayScreenMovesTheCamera) {
  m_game->SetTopBar(&m_bar);
  m_game->SetPlayScreen(&m_play);
  StartGame();
  m_game->SetScreen(kScreenPlay);
  EXPECT_EQ(m_bar.m_mode, 1);
  m_play.m_movingCamera = true;
  m_bar.m_command = 3;
  Frame();
  EXPECT_EQ(m_bar.m_updates, 0);
  EXPECT_EQ(m_play.m_updates, 1);
  EXPECT_TRUE(m_host.m_posted.empty());
  // The same screen again is left alone.
  m_game->SetScreen(kScreenPlay);
  EXPECT_EQ(m_play.m_activated, 1);
  EXPECT_EQ(m_play.m_deactivated, 0);
}

TEST_F(GameTest, WithoutAPlayScreenThePlayScreenIsNotEntered) {
  StartGame();
  m_game->SetScreen(kScreenPlay);
  EXPECT_EQ(m_game->m_screenType, kScreenStart);
}

// ---- status band and FPS ---------------------------------------------------------------------
TEST_F(GameTest, StatusBandAtOneSecondOfFour) {
  StartGame();
  m_game->ShowStatusMessage("X", 4.0f);
  m_clock.Advance(1.0);
  Frame();
  // The start screen draws first; the band's draws are the last three sprites.
  ASSERT_GE(m_script.m_spriteDraws.size(), 3u);
  const size_t n = m_script.m_spriteDraws.size();
  const RecordedSpriteDraw& band = m_script.m_spriteDraws[n - 3];
  const RecordedSpriteDraw& above = m_script.m_spriteDraws[n - 2];
  const RecordedSpriteDraw& below = m_script.m_spriteDraws[n - 1];
  EXPECT_EQ(DestRect(band, kBandTexture, kBandTexture), (RECT{0, 48, 799, 80}));
  EXPECT_EQ(band.color, 0xBF808080u);
  EXPECT_EQ(DestRect(above, kBandTexture, kBandTexture), (RECT{0, 47, 799, 48}));
  EXPECT_EQ(DestRect(below, kBandTexture, kBandTexture), (RECT{0, 80, 799, 81}));
  EXPECT_EQ(above.color, 0xBFFFFFFFu);
  EXPECT_EQ(below.color, 0xBFFFFFFFu);
  const auto texts = TextsOf("X");
  ASSERT_EQ(texts.size(), 5u);  // four shadows, then the text
  EXPECT_EQ(texts[4].color, 0xBFFFFFFFu);
  EXPECT_EQ(texts[4].rect.left, 32);
  EXPECT_EQ(texts[4].rect.top, 52);
  EXPECT_EQ(texts[0].color, 0xBF000000u);
}

TEST_F(GameTest, StatusBandFadesOutAndEnds) {
  StartGame();
  m_game->ShowStatusMessage("Fade", 25.0f);
  m_clock.Advance(12.5);
  Frame();
  ASSERT_EQ(TextsOf("Fade").size(), 5u);
  EXPECT_EQ(TextsOf("Fade")[4].color >> 24, 127u);
  m_clock.Advance(12.5);
  Frame();  // the last frame draws at alpha 0 and ends the band
  ASSERT_EQ(TextsOf("Fade").size(), 5u);
  EXPECT_EQ(TextsOf("Fade")[4].color, 0x00FFFFFFu);
  EXPECT_FALSE(m_game->m_statusTransition.m_active);
  Frame();
  EXPECT_TRUE(TextsOf("Fade").empty());

  // A second message replaces the first and starts opaque.
  m_game->ShowStatusMessage("One", 10.0f);
  m_clock.Advance(5.0);
  m_game->ShowStatusMessage("Two", 10.0f);
  Frame();
  EXPECT_TRUE(TextsOf("One").empty());
  EXPECT_EQ(TextsOf("Two")[4].color, 0xFFFFFFFFu);
}

TEST_F(GameTest, StatusMessageWithoutDurationEndsAtOnce) {
  StartGame();
  for (float seconds : {0.0f, -3.0f, std::numeric_limits<float>::quiet_NaN()}) {
    SCOPED_TRACE(seconds);
    m_game->ShowStatusMessage("Gone", seconds);
    Frame();
    EXPECT_TRUE(TextsOf("Gone").empty());
    EXPECT_FALSE(m_game->m_statusTransition.m_active);
  }
}

TEST_F(GameTest, FPSTextAndPlace) {
  StartGame();
  m_game->m_showFPS = true;
  const struct {
    double fps;
    const char* text;
  } cases[] = {{59.7, "FPS =   60"}, {12345.6, "FPS = 12346"}, {0.0, "FPS =    0"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    m_script.m_textDraws.clear();
    ASSERT_TRUE(g_Engine.BeginFrame());
    Inside(g_Engine).Fps() = c.fps;
    m_game->EndFrame();
    const auto texts = TextsOf(c.text);
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[4].rect.left, 800 - 170);
    EXPECT_EQ(texts[4].rect.top, 2);
    EXPECT_EQ(texts[4].color, 0xFFFFFFFFu);
  }
}

// ---- puzzle settings and creation ----------------------------------------------------------
TEST_F(GameTest, PuzzleSettingsFromTheProfile) {
  const std::string picture = m_dir.WriteFile("mine.png", "not read here");
  const struct {
    int irregularity;
    int expected;
  } cases[] = {{150, 100}, {-5, 0}, {42, 42}};
  for (const auto& c : cases) {
    ProfileWriteInt("MenuSel", "LastPieceIrregularity", c.irregularity);
    ProfileWriteInt("MenuSel", "LastPuzzleSizeX", 12);
    ProfileWriteInt("MenuSel", "LastPuzzleSizeY", 8);
    ProfileWriteString("MenuSel", "LastPuzzlePictureFilePath", picture);
    EXPECT_TRUE(m_game->LoadPuzzleSettings());
    EXPECT_EQ(m_game->m_settings.irregularity, c.expected);
    EXPECT_EQ(m_game->m_settings.PieceCount(), 96);
  }
  // A stored picture that is gone: the first sample instead.
  ProfileWriteString("MenuSel", "LastPuzzlePictureFilePath", m_dir / "gone.png");
  EXPECT_TRUE(m_game->ChooseDefaultPicture());
  std::vector<std::string> samples;
  ListFilesInFolder(GetPuzzleSamplesDir(), samples, "bmp;gif;jpg;jpeg;png");
  ASSERT_FALSE(samples.empty());
  EXPECT_EQ(m_game->m_settings.picturePath, GetPuzzleSamplesDir() + "/" + samples.front());

  // Saving writes them back.
  m_game->m_settings.rotatePieces = true;
  m_game->SavePuzzleSettings();
  EXPECT_EQ(ProfileGetInt("MenuSel", "LastRotatePieces", 0), 1);
  EXPECT_EQ(GetLastPuzzlePictureFilePath(), m_game->m_settings.picturePath);
}

TEST_F(GameTest, AFailedNewPuzzleLeavesTheOldOnePlayable) {
  StartGame();
  PuzzleSettings& s = m_game->m_settings;
  s.columns = 4;
  s.rows = 3;
  ASSERT_TRUE(m_game->CreatePuzzle(s));
  const std::string oldPath = s.picturePath;
  IDirect3DTexture9* const oldPicture = s.m_pictureTexture.m_d3dTexture;
  const int oldSeed = s.m_seed;
  ASSERT_EQ(s.m_board.m_pieces.size(), 12u);

  const std::string corrupt = m_dir.WriteFile("corrupt.png", "\x89PNG\r\n\x1a\nbroken");
  const std::string tooMany = s.picturePath;
  const struct {
    const char* label;
    std::string path;
    int columns;
  } cases[] = {{"corrupt picture", corrupt, 6},
               {"missing picture", m_dir / "none.jpg", 6},
               {"too many pieces", tooMany, 5000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    s.picturePath = c.path;
    s.columns = c.columns;
    EXPECT_FALSE(m_game->CreatePuzzle(s));
    EXPECT_EQ(s.picturePath, oldPath);
    EXPECT_EQ(s.columns, 4);
    EXPECT_EQ(s.PieceCount(), 12);
    EXPECT_EQ(s.m_seed, oldSeed);
    EXPECT_EQ(s.m_pictureTexture.m_d3dTexture, oldPicture);
    EXPECT_EQ(s.m_board.m_pieces.size(), 12u);
    EXPECT_EQ(s.m_board.m_imageTexture, &s.m_pictureTexture);
  }
  // And the board still draws with its picture (all of it: no camera is set).
  s.m_board.m_cullToView = false;
  m_script.m_log.Clear();
  ASSERT_EQ(g_Engine.Device()->BeginScene(), D3D_OK);
  s.m_board.Render();
  g_Engine.Device()->EndScene();
  EXPECT_GT(m_script.m_log.Count("DrawIndexedPrimitive"), 0);
}

TEST_F(GameTest, CreatePuzzleStartsThePlayTimer) {
  StartGame();
  PuzzleSettings& s = m_game->m_settings;
  s.columns = 3;
  s.rows = 2;
  ProfileWriteInt("GameOptions", "PuzzleDefinition", 2);
  ProfileWriteInt("GameOptions", "ShinyPieces", 0);
  ASSERT_TRUE(m_game->CreatePuzzle(s));
  EXPECT_TRUE(m_game->m_playTimer.m_running);
  EXPECT_EQ(m_game->m_playTimer.GetElapsed(), 0.0);
  EXPECT_EQ(s.m_board.m_definition, 2);
  EXPECT_FALSE(s.m_board.m_shinyPieces);
  EXPECT_EQ(s.m_seed, s.m_board.m_seed);
  EXPECT_TRUE(s.m_currentFile.empty());
}

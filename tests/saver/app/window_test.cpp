// The screen saver's window on the recording device: the scene per start
// time, the close rules, the frame-rate text, resizing and the close.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "engine/engine.h"
#include "platform/crt_random.h"
#include "saver/app/screensaver_wnd.h"
#include "saver/scenes/scene.h"
#include "saver_fixture.h"
#include "support/support.h"
#include "tests/engine/engine_access.h"

namespace {

class SaverWindow : public SaverTest {
 protected:
  // A window of the mode, its scene started at wall time T.
  void Start(WindowMode mode, std::time_t startTime = 0) {
    m_clock.SetWallTime(startTime);
    m_window = std::make_unique<CScreensaverWnd>(&m_system);
    m_window->SetFactory(&m_factory);
    m_window->SetOnDestroyed([this] { ++m_destroyed; });
    m_factory.m_existingParent = 77;
    const bool created = mode == kWindowFullScreen ? m_window->CreateScreensaverWindow("Ravelle")
                                                   : m_window->CreatePreviewWindow(77, mode);
    ASSERT_TRUE(created);
    const InitResult result = m_window->InitScene();
    ASSERT_TRUE(result.success) << result.message;
  }
  bool Send(SaverMessage::Type type, int x = 0, int y = 0) {
    return m_window->PreTranslateMessage(SaverMessage{type, x, y});
  }
  bool Move(int x, int y) { return Send(SaverMessage::kMouseMove, x, y); }
  bool Closed() const { return !m_window->HasWindow(); }

  std::unique_ptr<CScreensaverWnd> m_window;
  int m_destroyed = 0;
};

}  // namespace

TEST_F(SaverWindow, TheStartTimePicksTheScene) {
  const struct {
    std::time_t time;
    int firstDraw;
    int scene;
  } kTable[] = {{0, 38, kScenePuzzleRain},
                {1, 41, kSceneFallingWall},
                {3, 48, kSceneBlackHole},
                {4, 51, kSceneSolving}};
  for (const auto& row : kTable) {
    CrtSrand(static_cast<std::uint32_t>(row.time));
    EXPECT_EQ(CrtRand(), row.firstDraw);
    Start(kWindowFullScreen, row.time);
    EXPECT_EQ(m_window->m_sceneId, row.scene) << "T = " << row.time;
    ASSERT_NE(m_window->m_scene, nullptr);
    m_window.reset();
    Start(kWindowPreview, row.time);
    EXPECT_EQ(m_window->m_sceneId, kScenePuzzleRain) << "preview, T = " << row.time;
    m_window.reset();
  }
}

TEST_F(SaverWindow, AMoveClosesWhenTheMoveBeforeItWasThreePixels) {
  m_factory.m_existingParent = 77;
  Start(kWindowFullScreen);  // the cursor is at (500, 400) when the window appears
  EXPECT_FALSE(Move(500, 400));
  EXPECT_FALSE(Move(502, 401));
  EXPECT_FALSE(Move(505, 401));
  EXPECT_FALSE(Closed());
  EXPECT_TRUE(Move(505, 401));  // tests the (3, 0) recorded by the one before
  EXPECT_TRUE(Closed());
  EXPECT_EQ(m_destroyed, 1);
}

TEST_F(SaverWindow, MovesNeverCloseWhenSwitchedOffOrInPreview) {
  SetOption("CloseMouseMove", 0);
  Start(kWindowFullScreen);
  for (int x : {500, 600, 700, 900}) EXPECT_FALSE(Move(x, 400));
  EXPECT_FALSE(Closed());
  EXPECT_TRUE(Send(SaverMessage::kKeyDown));  // keys still close
  EXPECT_TRUE(Closed());

  SetOption("CloseMouseMove", 1);
  for (WindowMode mode : {kWindowPreview, kWindowHosted}) {
    Start(mode);
    for (int x : {500, 600, 700, 900}) EXPECT_FALSE(Move(x, 400));
    EXPECT_FALSE(Send(SaverMessage::kKeyDown));
    EXPECT_FALSE(Send(SaverMessage::kButtonDown));
    EXPECT_FALSE(Closed()) << "mode " << mode;
  }
}

TEST_F(SaverWindow, PressesCloseAndAreConsumedReleasesAndWheelDoNot) {
  const struct {
    SaverMessage::Type type;
    bool closes;
  } kTable[] = {
      {SaverMessage::kKeyDown, true}, {SaverMessage::kButtonDown, true},
      {SaverMessage::kKeyUp, false},  {SaverMessage::kButtonUp, false},
      {SaverMessage::kWheel, false},  {SaverMessage::kOtherButtonDown, false},
  };
  for (const auto& row : kTable) {
    Start(kWindowFullScreen);
    EXPECT_EQ(Send(row.type), row.closes) << "message " << row.type;
    EXPECT_EQ(Closed(), row.closes) << "message " << row.type;
  }
}

TEST_F(SaverWindow, FrameRateTextHasFourShadowsThenTheText) {
  SetOption("ShowFPS", 1);
  for (WindowMode mode : {kWindowFullScreen, kWindowHosted}) {
    m_script.m_textDraws.clear();
    Start(mode);
    m_window->RenderFrame();
    const std::string text = FormatString("FPS = %.0f", g_Engine.Fps());
    const auto& draws = m_script.m_textDraws;
    ASSERT_EQ(draws.size(), 5u) << "mode " << mode;
    const POINT kAt[] = {{7, 7}, {9, 7}, {9, 9}, {7, 9}, {8, 8}};
    for (size_t i = 0; i < draws.size(); ++i) {
      EXPECT_EQ(draws[i].text, text);
      EXPECT_EQ(draws[i].rect.left, kAt[i].x) << i;
      EXPECT_EQ(draws[i].rect.top, kAt[i].y) << i;
      EXPECT_EQ(draws[i].color, i < 4 ? 0xFF000000u : 0xFFFFFFFFu) << i;
    }
    m_window.reset();
  }
  EXPECT_EQ(Log().Count("Present"), 2);
}

TEST_F(SaverWindow, NoFrameRateTextInPreviewOrWhenSwitchedOff) {
  SetOption("ShowFPS", 1);
  Start(kWindowPreview);
  m_window->RenderFrame();
  EXPECT_TRUE(m_script.m_textDraws.empty());
  SetOption("ShowFPS", 0);
  Start(kWindowFullScreen);
  m_window->RenderFrame();
  EXPECT_TRUE(m_script.m_textDraws.empty());
  EXPECT_EQ(Log().Count("Present"), 2);
}

TEST_F(SaverWindow, ResizeResetsTheDeviceAndMinimiseSuspendsDrawing) {
  Start(kWindowFullScreen);
  m_factory.m_last->m_device.SetClientSize(800, 600);
  m_window->OnSize(SIZE_RESTORED);
  EXPECT_EQ(g_SuspendCount, 0);
  EXPECT_TRUE(Inside(g_Engine).Active());
  EXPECT_EQ(g_Engine.PresentParameters().BackBufferWidth, 800u);
  EXPECT_EQ(g_Engine.PresentParameters().BackBufferHeight, 600u);
  EXPECT_EQ(Log().Count("Reset"), 1);

  m_factory.m_last->m_device.SetClientSize(0, 0);
  m_window->OnSize(SIZE_MINIMIZED);
  EXPECT_EQ(g_SuspendCount, 1);
  EXPECT_FALSE(Inside(g_Engine).Active());
  m_factory.m_last->m_device.SetClientSize(800, 600);
  m_window->OnSize(SIZE_RESTORED);
  EXPECT_EQ(g_SuspendCount, 0);
  EXPECT_TRUE(Inside(g_Engine).Active());
  EXPECT_EQ(Log().Count("Reset"), 1);  // same size as before the minimise
}

TEST_F(SaverWindow, CloseReleasesEverythingThenDestroysTheWindowOnce) {
  m_dir.WriteFile("LanguageFrench/Brindle.strings", "2133\tÉconomiseur d'écran Ravelle\n");
  LoadLanguageModule(kLanguageFrench);
  Start(kWindowFullScreen);
  ASSERT_TRUE(m_window->m_fpsFont.m_font);
  m_window->CloseScreensaver();
  EXPECT_EQ(m_window->m_fpsFont.m_font, nullptr);
  EXPECT_EQ(m_window->m_fpsFont.m_height, 0);
  EXPECT_EQ(m_window->m_scene, nullptr);
  EXPECT_EQ(g_Engine.Device(), nullptr);
  EXPECT_EQ(g_Engine.Camera(), nullptr);
  EXPECT_FALSE(LanguageStringsLoaded());
  EXPECT_TRUE(Closed());
  EXPECT_EQ(m_destroyed, 1);
  // The device and the French texts went before the window.
  EXPECT_EQ(m_factory.m_log.back(), "window destroyed; device 0, French texts 0");
  m_window->CloseScreensaver();
  m_window->OnClose();
  EXPECT_EQ(m_destroyed, 1);
}

TEST_F(SaverWindow, FrenchTextsFollowTheLanguageValue) {
  m_dir.WriteFile("LanguageFrench/Brindle.strings", "2133\tÉconomiseur d'écran Ravelle\n");
  const struct {
    const char* value;
    int id;
  } kTable[] = {{"french", 2}, {"FRENCH", 2}, {"", 1}, {"english", 1}, {"deutsch", 1}};
  for (const auto& row : kTable) {
    ProfileWriteString("", "Language", row.value);
    EXPECT_EQ(ProfileLanguageId(), row.id) << row.value;
  }
  LoadLanguageModule(kLanguageFrench);
  EXPECT_EQ(LoadResString(IDS_SAVER_PRODUCT_TITLE), "Économiseur d'écran Ravelle");
  LoadLanguageModule(kLanguageEnglish);
  EXPECT_EQ(LoadResString(IDS_SAVER_PRODUCT_TITLE), "Ravelle Screensaver");
  m_dir.WriteFile("LanguageFrench/Brindle.strings", "");
  std::remove((m_dir / "LanguageFrench/Brindle.strings").c_str());
  LoadLanguageModule(kLanguageFrench);  // missing: English stays
  EXPECT_EQ(LoadResString(IDS_SAVER_PRODUCT_TITLE), "Ravelle Screensaver");
}

// The saver's language reaches the toolkit's own texts of its dialogs.
TEST(SaverLanguage_Offscreen, TheToolkitsOwnTextsFollowTheSaversLanguage) {
  const auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
  const QString english = yes();
  LoadLanguageModule(kLanguageFrench);
  EXPECT_NE(yes(), english);
  LoadLanguageModule(kLanguageEnglish);
  EXPECT_EQ(yes(), english);
}

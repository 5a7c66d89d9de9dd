// The screen saver's application: every switch from start-up to the end,
// with the system state given back and the failure boxes; the frame pump's
// guards.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/engine.h"
#include "saver/app/install.h"
#include "saver/app/saver_app.h"
#include "saver/saver_text_ids.h"
#include "saver_fixture.h"

namespace {

const char* const kNotInitialised = "The screensaver could not be initialized.";

class SaverApp : public SaverTest {
 protected:
  void SetUp() override {
    SaverTest::SetUp();
    m_dataHome = std::make_unique<ScopedEnvironment>("XDG_DATA_HOME", m_dir / "data");
    SetModuleFilePathForTest("/opt/ravelle/Ravelle");
    m_app.m_runSettings = [this] {
      ++m_settingsRuns;
      m_settingsSawNoMainWindow = m_app.m_mainWindow == nullptr;
    };
  }
  void TearDown() override {
    m_app.m_mainWindow = nullptr;
    m_app.m_window.reset();
    SetModuleFilePathForTest("");
    m_dataHome.reset();
    SaverTest::TearDown();
  }
  // The program's end: the window object goes, then ExitInstance.
  void End() {
    m_app.m_mainWindow = nullptr;
    m_app.m_window.reset();
    m_app.ExitInstance();
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : m_shell.boxes) texts.push_back(box.text);
    return texts;
  }

  std::unique_ptr<ScopedEnvironment> m_dataHome;
  CRavelleGameApp m_app{&m_factory, &m_system};
  int m_settingsRuns = 0;
  bool m_settingsSawNoMainWindow = false;
};

}  // namespace

TEST_F(SaverApp, FullScreenRunsUntilClosedAndGivesTheSystemStateBack) {
  ASSERT_TRUE(m_app.InitInstance("/s"));
  EXPECT_EQ(m_factory.m_log.front(), "full screen Ravelle");
  EXPECT_FALSE(m_system.m_active);
  EXPECT_TRUE(m_system.m_running);
  EXPECT_TRUE(m_app.OnIdle());
  EXPECT_EQ(Log().Count("Present"), 1);
  m_app.m_window->PreTranslateMessage(SaverMessage{SaverMessage::kKeyDown});
  EXPECT_FALSE(m_app.OnIdle());
  End();
  EXPECT_EQ(m_system.m_log, (std::vector<std::string>{"running 1", "active 0", "active 1", "running 0"}));
  EXPECT_TRUE(m_shell.boxes.empty());
}

TEST_F(SaverApp, EveryWayOutGivesTheSystemStateBack) {
  const struct {
    const char* line;
    bool failDevice;
    bool runs;
    std::vector<std::string> boxes;  // "132" stands for the formatted failure text
  } kTable[] = {
      {"/s", true, false, {"132", kNotInitialised}},
      {"/p 77", true, false, {"132"}},             // preview: the fixed box is left out
      {"/p 78", false, false, {kNotInitialised}},  // no such window
      {"/p", false, false, {kNotInitialised}},
      {"/p 0x1F", false, false, {kNotInitialised}},
      {"/a", false, false, {kNotInitialised}},
      {"/x", false, false, {kNotInitialised}},
      {"/c", false, false, {}},
      {"/install", false, false, {}},
      {"/p 77", false, true, {}},
      {"/installandrun", false, true, {}},
  };
  for (const auto& row : kTable) {
    SCOPED_TRACE(row.line);
    m_system = FakeSystemSaverState();
    m_shell.boxes.clear();
    m_script.m_failDirect3DCreate = row.failDevice;
    CRavelleGameApp app(&m_factory, &m_system);
    app.m_runSettings = [] {};
    EXPECT_EQ(app.InitInstance(row.line), row.runs);
    std::vector<std::string> expected = row.boxes;
    if (!row.boxes.empty() && row.boxes[0] == "132") {
      // The engine's own message fills the format's slot.
      ASSERT_FALSE(m_shell.boxes.empty());
      expected[0] = m_shell.boxes[0].text;
      const std::string format = LoadResString(IDS_SAVER_INIT_FAILED);
      EXPECT_EQ(m_shell.boxes[0].text.rfind(format.substr(0, format.find("%s")), 0), 0u);
      EXPECT_GT(m_shell.boxes[0].text.size(), format.size() - 2);
    }
    EXPECT_EQ(BoxTexts(), expected);
    EXPECT_EQ(app.m_window != nullptr, row.runs || app.m_exitAfterInit);
    if (app.m_window) app.m_window->CloseScreensaver();
    app.m_mainWindow = nullptr;
    app.m_window.reset();
    app.ExitInstance();
    EXPECT_TRUE(m_system.m_active);
    EXPECT_FALSE(m_system.m_running);
    testkit::FreshEngine();
    UseRecordingDevice(&m_script);
  }
}

TEST_F(SaverApp, TheWindowIsHiddenBeforeAFailureBox) {
  m_script.m_failDirect3DCreate = true;
  EXPECT_FALSE(m_app.InitInstance("/s"));
  ASSERT_GE(m_factory.m_log.size(), 2u);
  EXPECT_EQ(m_factory.m_log[1], "hidden, boxes shown: 0");
  EXPECT_EQ(m_shell.boxes.size(), 2u);
}

TEST_F(SaverApp, TheFailureTextTakesTheMessageLiterally) {
  EXPECT_EQ(SubstituteFirstText("a %d %s %s %n", "x%sy%n"), "a %d x%sy%n %s %n");
  EXPECT_EQ(SubstituteFirstText("no slot", "x"), "no slot");
  // A translation whose format has more conversions than the English text
  // is refused when the table loads: the English text is shown.
  m_dir.WriteFile("LanguageFrench/Brindle.strings", "132\tErreur %d %s %s\n");
  ProfileWriteString("", "Language", "french");
  m_script.m_failDirect3DCreate = true;
  EXPECT_FALSE(m_app.InitInstance("/s"));
  ASSERT_FALSE(m_shell.boxes.empty());
  EXPECT_EQ(m_shell.boxes[0].text.rfind("Error 800: ", 0), 0u);
  EXPECT_EQ(m_shell.boxes[0].text.find("Erreur"), std::string::npos);
}

TEST_F(SaverApp, ConfigureRunsTheSettingsWithoutAnOwnerAndEnds) {
  EXPECT_FALSE(m_app.InitInstance(""));
  EXPECT_TRUE(m_app.m_exitAfterInit);
  EXPECT_EQ(m_settingsRuns, 1);
  EXPECT_TRUE(m_settingsSawNoMainWindow);
  EXPECT_EQ(m_app.m_mainWindow, m_app.m_window.get());
  EXPECT_TRUE(m_factory.m_log.empty());  // no window, no device
  EXPECT_EQ(g_Engine.Device(), nullptr);
}

TEST_F(SaverApp, InstallWritesTheEntryAndInstallAndRunThenRunsFullScreen) {
  EXPECT_FALSE(m_app.InitInstance("/install"));
  EXPECT_TRUE(m_app.m_exitAfterInit);
  EXPECT_EQ(ProfileGetString(kDesktopSaverSection, "ScreensaverPath", ""), "/opt/ravelle/Ravelle");
  std::remove((DesktopEntryFolder() + "/ravelle.desktop").c_str());
  End();

  CRavelleGameApp again(&m_factory, &m_system);
  ASSERT_TRUE(again.InitInstance("/installandrun"));
  EXPECT_TRUE(std::ifstream(DesktopEntryFolder() + "/ravelle.desktop").good());
  EXPECT_EQ(m_factory.m_log.front(), "full screen Ravelle");
  EXPECT_EQ(again.m_window->m_windowMode, kWindowFullScreen);
  again.m_mainWindow = nullptr;
  again.m_window.reset();
}

TEST_F(SaverApp, AnInstallThatCannotWriteItsEntryFails) {
  m_dir.WriteFile("blocker", "x");
  setenv("XDG_DATA_HOME", (m_dir / "blocker").c_str(), 1);
  EXPECT_FALSE(m_app.InitInstance("/installandrun"));
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{kNotInitialised}));
  EXPECT_TRUE(m_factory.m_log.empty());
}

TEST_F(SaverApp, HostedRunsLeaveTheSystemStateAlone) {
  ASSERT_TRUE(m_app.InitHosted(77, false));
  EXPECT_EQ(m_app.m_window->m_windowMode, kWindowHosted);
  EXPECT_NE(m_app.m_window->m_sceneId, -1);
  EXPECT_TRUE(m_app.OnIdle());
  End();
  EXPECT_FALSE(m_app.InitHosted(78, false));  // no such window
  EXPECT_TRUE(m_app.InitHosted(0, true));
  EXPECT_EQ(m_app.m_window->m_windowMode, kWindowPlain);
  End();
  EXPECT_TRUE(m_system.m_log.empty());
  EXPECT_TRUE(m_shell.boxes.empty());
}

namespace {
// A window that counts its frames; one frame may call back into the pump.
class CountingWindow : public CHVNScreensaverWnd {
 public:
  CountingWindow() : CHVNScreensaverWnd(nullptr) {}
  InitResult InitScene() override { return InitResult{true, ""}; }
  void RenderFrame() override {
    ++m_frames;
    if (m_during) m_during();
  }
  int m_frames = 0;
  std::function<void()> m_during;
};
}  // namespace

TEST_F(SaverApp, ThePumpSkipsFramesItMustNotRun) {
  CHVNScreensaverApp app;
  EXPECT_FALSE(app.OnIdle());  // no main window
  CountingWindow window;
  window.SetFactory(&m_factory);
  app.m_mainWindow = &window;
  EXPECT_FALSE(app.OnIdle());  // its native window is not there yet
  ASSERT_TRUE(window.CreatePreviewWindow(77, kWindowHosted));
  EXPECT_TRUE(app.OnIdle());
  EXPECT_EQ(window.m_frames, 1);

  m_factory.m_last->m_minimised = true;
  EXPECT_TRUE(app.OnIdle());
  m_factory.m_last->m_minimised = false;
  bool modal = true;
  app.m_modalOpen = [&modal] { return modal; };
  EXPECT_TRUE(app.OnIdle());
  EXPECT_EQ(window.m_frames, 1);
  modal = false;

  window.m_during = [&app] { EXPECT_TRUE(app.OnIdle()); };  // no frame inside a frame
  EXPECT_TRUE(app.OnIdle());
  EXPECT_EQ(window.m_frames, 2);
  window.m_during = nullptr;

  m_factory.m_last->m_parentAlive = false;  // the host window went away
  EXPECT_FALSE(app.OnIdle());
  EXPECT_FALSE(window.HasWindow());
  EXPECT_EQ(window.m_frames, 2);
}

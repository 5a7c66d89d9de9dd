#pragma once
// The game object on the recording device: a host with a recording window,
// a cursor and a list of posted commands; input written by hand into
// g_Input (no feed, so Read keeps it); a fresh profile; the built-in
// strings. Tests drive RunFrame frame by frame and read the draw log.
#include <functional>
#include <memory>
#include <vector>

#include "../engine/engine_fixture.h"
#include "game/frame_commands.h"
#include "game/game_host.h"
#include "game/puzzle_game.h"
#include "platform/input/input.h"
#include "platform/profile.h"
#include "resources/strings.h"
#include "support/string_table.h"
#include "testkit.h"

class RecordingGameHost : public IGameHost {
 public:
  explicit RecordingGameHost(HostWindow* window) : m_window(window) {}
  HWND DeviceWindow() override { return m_window; }
  bool CreateInput() override { return m_inputWorks; }
  bool CreateSound() override { return false; }
  POINT CursorPos() override { return m_cursor; }
  void PostCommand(UINT id) override { m_posted.push_back(id); }
  void MinimizeWindow() override { ++m_minimized; }
  int ShowCursor(bool show) override { return m_cursorCount += show ? 1 : -1; }
  void SetCursorPos(POINT layout) override {
    m_cursor = layout;
    m_cursorPuts.push_back(layout);
  }
  int WheelScrollLines() override { return m_wheelLines; }

  HostWindow* m_window;
  int m_cursorCount = 0;
  std::vector<POINT> m_cursorPuts;
  int m_wheelLines = 3;
  bool m_inputWorks = true;
  POINT m_cursor;
  std::vector<UINT> m_posted;
  int m_minimized = 0;
};

// Screens that plug into the game object's slots and record what they are
// asked.
class FakePlayScreen : public IPlayScreen {
 public:
  void Deactivate() override { ++m_deactivated; }
  void Activate() override { ++m_activated; }
  int Update() override {
    ++m_updates;
    if (m_onUpdate) m_onUpdate();
    return 0;
  }
  void Render() override {
    if (m_onRender) m_onRender();
  }
  void ResetPlayView(bool) override {
    ++m_resets;
    g_Game->m_puzzleRunning = true;
  }
  void RotateSelection(int direction) override { m_rotations.push_back(direction); }
  void DisconnectSelectedPiece() override { ++m_disconnects; }
  bool IsMovingCamera() const override { return m_movingCamera; }
  void SetCommandHelperVisible(bool visible) override { m_helper.push_back(visible); }
  void TogglePreview() override { ++m_previewToggles; }
  void LoadEnvironment() override { ++m_environmentLoads; }

  int m_activated = 0, m_deactivated = 0, m_updates = 0, m_resets = 0, m_disconnects = 0;
  int m_previewToggles = 0, m_environmentLoads = 0;
  bool m_movingCamera = false;
  std::vector<int> m_rotations;
  std::vector<bool> m_helper;
  std::function<void()> m_onUpdate;
  std::function<void()> m_onRender;
};

class FakeTopBar : public ITopBar {
 public:
  void Deactivate() override { ++m_deactivated; }
  void Activate() override { ++m_activated; }
  int Update() override {
    ++m_updates;
    if (m_onUpdate) m_onUpdate();
    return m_command;
  }
  void Render() override { ++m_renders; }
  void SetMode(int mode) override { m_mode = mode; }
  void LoadTooltips() override { ++m_tooltipLoads; }

  int m_activated = 0, m_deactivated = 0, m_updates = 0, m_renders = 0, m_tooltipLoads = 0;
  int m_command = 0;
  int m_mode = -1;
  std::function<void()> m_onUpdate;
};

// A frame window that does nothing, for the frame's commands.
class NoFrameWindow : public IFrameWindow {
 public:
  void CloseWindow() override {}
  bool IsFullScreen() const override { return false; }
  void SetFullScreen(bool) override {}
  void ReloadMenus() override {}
  void SetWaitCursor(bool) override {}
};

class GameTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    SetProfileFile(m_dir / "Ravelle.ini");
    SetBuiltInStrings(&GameStrings());
    UnloadLanguageStrings();
    SetGameHost(&m_host);
    g_Input.Release();
    ClearInput();
    m_game = std::make_unique<CPuzzleGame>();
    g_Game = m_game.get();
  }
  void TearDown() override {
    m_game->Shutdown();
    g_Game = nullptr;
    m_game.reset();
    SetGameHost(nullptr);
    SetBuiltInStrings(nullptr);
    UnloadLanguageStrings();
    SetProfileFile("");
    EngineTest::TearDown();
  }
  void StartGame() {
    const InitResult started = m_game->Init();
    ASSERT_TRUE(started.success) << started.message;
    m_script.m_log.Clear();
    m_script.m_spriteDraws.clear();
    m_script.m_textDraws.clear();
  }
  static void ClearInput() {
    std::fill(std::begin(g_Input.m_keys), std::end(g_Input.m_keys), BYTE{0});
    g_Input.m_mouseState = DIMOUSESTATE2{};
  }
  void Mouse(LONG x, LONG y, bool left) {
    m_host.m_cursor = POINT{x, y};
    g_Input.m_mouseState.rgbButtons[0] = left ? 0x80 : 0;
  }
  // One frame with a fresh draw log.
  void Frame() {
    m_script.m_log.Clear();
    m_script.m_spriteDraws.clear();
    m_script.m_textDraws.clear();
    m_game->RunFrame();
  }
  // The rectangle a sprite draw covered, for a source of the given size.
  static RECT DestRect(const RecordedSpriteDraw& d, LONG sourceWidth, LONG sourceHeight) {
    const LONG left = static_cast<LONG>(d.transform._41 + d.position.x * d.transform._11);
    const LONG top = static_cast<LONG>(d.transform._42 + d.position.y * d.transform._22);
    return RECT{left, top, left + static_cast<LONG>(d.transform._11 * sourceWidth + 0.5f),
                top + static_cast<LONG>(d.transform._22 * sourceHeight + 0.5f)};
  }
  // The text draws of one string (shadow copies included).
  std::vector<RecordedTextDraw> TextsOf(const std::string& text) const {
    std::vector<RecordedTextDraw> out;
    for (const RecordedTextDraw& t : m_script.m_textDraws)
      if (t.text == text) out.push_back(t);
    return out;
  }

  testkit::TempDir m_dir;
  RecordingGameHost m_host{&m_window};
  FakeTopBar m_bar;  // plugged in by the tests that want it
  FakePlayScreen m_play;
  std::unique_ptr<CPuzzleGame> m_game;
};

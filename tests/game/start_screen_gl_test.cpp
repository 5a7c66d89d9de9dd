// The start screen drawn through the GL device, as the player sees it, with
// the pointer over "Create New Puzzle". Written to
// <build>/demo/screens/start_screen.png.
#include <gtest/gtest.h>

#include <QImage>

#include "../engine/gl_engine_fixture.h"
#include "demo_picture.h"
#include "engine/engine.h"
#include "game/game_host.h"
#include "game/puzzle_game.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/d3d9/gl/gl_host.h"
#include "platform/input/input.h"
#include "platform/profile.h"
#include "resources/strings.h"
#include "testkit.h"

namespace {
class OffscreenGameHost : public IGameHost {
 public:
  explicit OffscreenGameHost(HostWindow* window) : m_window(window) {}
  HWND DeviceWindow() override { return m_window; }
  bool CreateInput() override { return true; }
  bool CreateSound() override { return false; }
  POINT CursorPos() override { return m_cursor; }
  void PostCommand(UINT) override {}
  void MinimizeWindow() override {}

  HostWindow* m_window;
  POINT m_cursor{40, 100};
};

// The game makes the device itself, on the fixture's window.
class StartScreenOnGL_X11 : public GLEngineFixture {
 protected:
  StartScreenOnGL_X11() : GLEngineFixture(1024, 640) {}
  void SetUp() override {
    testkit::FreshEngine();
    SetBuiltInStrings(&GameStrings());
    SetGameHost(&m_host);
    g_Input.Release();
    g_Input.m_mouseState = DIMOUSESTATE2{};
    g_Game = &m_game;
  }
  void TearDown() override {
    m_game.Shutdown();
    g_Game = nullptr;
    SetGameHost(nullptr);
    SetBuiltInStrings(nullptr);
    GLEngineFixture::TearDown();
  }

  testkit::TempDir m_dir;
  ScopedProfileFile m_profile{m_dir / "Ravelle.ini"};
  OffscreenGameHost m_host{&m_window};
  CPuzzleGame m_game;
};

bool IsWhite(QRgb c) { return qRed(c) > 235 && qGreen(c) > 235 && qBlue(c) > 235; }
bool IsMagenta(QRgb c) { return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) > 200; }
}  // namespace

TEST_F(StartScreenOnGL_X11, GlobeButtonsAndCaptions) {
  const InitResult started = m_game.Init();
  if (!started.success) GTEST_SKIP() << started.message;
  m_game.RunFrame();  // the first frame sets the clear colour
  m_game.RunFrame();
  QImage image;
  ASSERT_TRUE(GLReadBackBuffer(g_Engine.Device(), &image));
  ASSERT_TRUE(testkit::SaveDemoPicture(image, "screens", "start_screen"));
  ASSERT_EQ(image.size(), QSize(1024, 640));

  // The globe fills (384, 0)-(1024, 640): its middle is coloured, not the
  // white clear colour; the fill covers the left part.
  int coloured = 0;
  for (int y = 200; y < 440; y += 20)
    for (int x = 600; x < 800; x += 20) coloured += IsWhite(image.pixel(x, y)) ? 0 : 1;
  EXPECT_GT(coloured, 100);
  EXPECT_FALSE(IsWhite(image.pixel(200, 400)));
  // No magenta anywhere: the key colour is transparent.
  int magenta = 0;
  for (int y = 0; y < image.height(); y += 2)
    for (int x = 0; x < image.width(); x += 2) magenta += IsMagenta(image.pixel(x, y)) ? 1 : 0;
  EXPECT_EQ(magenta, 0);
  // The hovered caption is drawn opaque white with a dark shadow beside the
  // New Puzzle button (caption at (80, 78), 25 pixels high).
  int white = 0, dark = 0;
  for (int y = 78; y < 103; ++y)
    for (int x = 80; x < 300; ++x) {
      const QRgb c = image.pixel(x, y);
      white += IsWhite(c) ? 1 : 0;
      dark += qRed(c) + qGreen(c) + qBlue(c) < 60 ? 1 : 0;
    }
  EXPECT_GT(white, 150);
  EXPECT_GT(dark, 50);
  // The Exit button sits at the bottom left: (8, 568)-(72, 632).
  EXPECT_FALSE(IsWhite(image.pixel(40, 600)));
}

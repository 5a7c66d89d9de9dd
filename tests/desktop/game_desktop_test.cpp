// The game as a player meets it: the real RavelleGame on a desktop of its
// own with a window manager, driven by real pointer and key input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "desktop_session.h"
#include "wait.h"

using desktop::DesktopSession;
using desktop::Program;
using desktop::WindowInfo;

namespace {
constexpr int kStartMs = 60000;  // a first start builds its textures with a software renderer

class GameDesktop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!DesktopSession::Available()) GTEST_SKIP() << "Xvfb or openbox is missing";
    session = std::make_unique<DesktopSession>();
    ASSERT_TRUE(session->Ok()) << session->Error();
  }

  // Writes the player's profile before the game's first start.
  void WriteProfile(const std::string& text) {
    const std::string folder = session->ConfigHome() + "/Halvorn";
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/Ravelle.ini") << text;
  }

  // Starts the game and waits for its main window to be shown and its
  // start screen drawn; `main` then holds the window as it is placed.
  std::unique_ptr<Program> StartGame(WindowInfo* main = nullptr) {
    auto game = session->Start("RavelleGame");
    WindowInfo found;
    const bool up = testkit::WaitUntil(
        [&] {
          found = MainWindowOf(game->Pid());
          return (found.id && StartScreenShows(found)) || !game->Running();
        },
        kStartMs);
    if (!up || !found.id) session->Screenshot(std::string("failed-start-") + CurrentTest());
    EXPECT_TRUE(up && found.id && game->Running())
        << "main window " << found.id << " at " << found.x << "," << found.y << " " << found.width << "x"
        << found.height << ", Exit pixel " << std::hex << session->Pixel(ExitButton(found).first, ExitButton(found).second)
        << "\n" << game->Log();
    if (main) *main = found;
    return game;
  }

  WindowInfo MainWindowOf(pid_t pid) {
    for (const WindowInfo& w : session->WindowsOf(pid))
      if (w.name == "Ravelle") return w;
    return {};
  }

  // The start screen is drawn once its red Exit button shows in the bottom
  // left (left of the white sign in its middle).
  bool StartScreenShows(const WindowInfo& main) {
    const auto [x, y] = ExitButton(main);
    const unsigned c = session->Pixel(x - 19, y);
    const int r = static_cast<int>(c >> 16), g = static_cast<int>((c >> 8) & 0xff);
    return r > 150 && r > g + 80;
  }

  static const char* CurrentTest() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

  static std::pair<int, int> ExitButton(const WindowInfo& main) {
    return {main.x + 40, main.y + main.height - 44};
  }

  std::unique_ptr<DesktopSession> session;
};
using GameDesktop_Desktop = GameDesktop;
}  // namespace

TEST_F(GameDesktop_Desktop, OneClickOnExitEndsTheGameWithStatusZero) {
  WriteProfile("[General]\nShowTutorialDialog=0\n");
  WindowInfo main;
  auto game = StartGame(&main);
  ASSERT_NE(main.id, 0u);
  const auto [x, y] = ExitButton(main);
  session->MoveSmoothly(x + 200, y - 200, x, y);
  session->Screenshot("exit-before-click");
  session->Click(1);
  EXPECT_EQ(game->WaitForExit(20000), std::optional<int>(0)) << game->Log();
}

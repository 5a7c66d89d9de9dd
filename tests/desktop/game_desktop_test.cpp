// The game as a player meets it: the real RavelleGame on a desktop of its
// own with a window manager, driven by real pointer and key input.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

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

  // Starts the game (with `env` added to its environment) and waits for its
  // main window to be shown and its start screen drawn; `main` then holds
  // the window as it is placed.
  std::unique_ptr<Program> StartGame(WindowInfo* main = nullptr, const std::map<std::string, std::string>& env = {}) {
    auto game = session->Start("RavelleGame", {}, env);
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

  // Lets a dialog that just opened finish drawing: the screen no longer changes.
  void KeepStill() {
    std::vector<unsigned> last = session->Grab(0, 0, 1280, 1024);
    int same = 0;
    testkit::WaitUntil(
        [&] {
          std::vector<unsigned> now = session->Grab(0, 0, 1280, 1024);
          same = now == last ? same + 1 : 0;
          last = std::move(now);
          return same >= 5;
        },
        5000);
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

// A new player's first start: the tutorial is in front of the maximised
// main window, with the keyboard.
TEST_F(GameDesktop_Desktop, TheTutorialComesUpInFrontAtTheFirstStart) {
  WindowInfo main;
  auto game = StartGame(&main);
  ASSERT_NE(main.id, 0u);
  std::optional<WindowInfo> tutorial = session->WaitForWindow("Game Tutorials");
  ASSERT_TRUE(tutorial) << game->Log();
  const bool inFront = testkit::WaitUntil(
      [&] {
        return session->StackIndex(tutorial->id) > session->StackIndex(main.id) &&
               session->ActiveWindow() == tutorial->id;
      },
      10000);
  session->Screenshot("tutorial-at-first-start");
  EXPECT_TRUE(inFront) << "tutorial at " << session->StackIndex(tutorial->id) << ", main at "
                       << session->StackIndex(main.id) << ", active " << session->ActiveWindow();
  EXPECT_TRUE(session->HasState(main.id, "_NET_WM_STATE_MAXIMIZED_VERT"));
}

// Un-maximised with the window manager, the window is smaller than the
// screen and wholly on it, frame included.
TEST_F(GameDesktop_Desktop, TheRestoredWindowLiesWhollyOnTheScreen) {
  WriteProfile("[General]\nShowTutorialDialog=0\n");
  WindowInfo main;
  auto game = StartGame(&main);
  ASSERT_NE(main.id, 0u);
  ASSERT_TRUE(session->HasState(main.id, "_NET_WM_STATE_MAXIMIZED_VERT"));
  session->SetMaximised(main.id, false);
  WindowInfo framed;
  ASSERT_TRUE(testkit::WaitUntil(
      [&] {
        framed = session->Framed(main.id);
        return !session->HasState(main.id, "_NET_WM_STATE_MAXIMIZED_VERT") && framed.height < main.height;
      },
      10000));
  session->Screenshot("restored-window");
  EXPECT_GE(framed.x, 0);
  EXPECT_GE(framed.y, 0);
  EXPECT_LE(framed.x + framed.width, 1280);
  EXPECT_LE(framed.y + framed.height, 1024);
  EXPECT_GE(framed.width, 750);
  EXPECT_GE(framed.height, 500);
}

namespace {
// The near-white pixels of a rectangle: the top bar's tooltip is a white box
// on the dark sky below the icons.
int WhitePixels(const std::vector<unsigned>& pixels) {
  int count = 0;
  for (unsigned c : pixels)
    if ((c >> 16) > 0xE0 && ((c >> 8) & 0xff) > 0xE0 && (c & 0xff) > 0xE0) ++count;
  return count;
}
}  // namespace

// The pointer moved onto a top-bar icon without a button, in small steps,
// then left still: the icon's tooltip shows; moved off, it goes again.
TEST_F(GameDesktop_Desktop, ATooltipShowsAfterAMoveWithoutAButton) {
  WriteProfile("[General]\nShowTutorialDialog=0\n");
  WindowInfo main;
  auto game = StartGame(&main);
  ASSERT_NE(main.id, 0u);
  // The full-screen icon, right in the top bar; its tooltip opens below it,
  // to its left.
  const int iconX = main.x + main.width - 49, iconY = main.y + 34;
  auto tooltipArea = [&] { return session->Grab(main.x + main.width - 300, iconY + 25, 300, 40); };
  const int before = WhitePixels(tooltipArea());
  session->MoveSmoothly(iconX - 150, iconY + 250, iconX, iconY, 4);
  const bool shown = testkit::WaitUntil([&] { return WhitePixels(tooltipArea()) > before + 500; }, 10000);
  session->Screenshot("tooltip-after-plain-move");
  EXPECT_TRUE(shown) << "white pixels before " << before << ", now " << WhitePixels(tooltipArea());
  session->MoveSmoothly(iconX, iconY, iconX - 150, iconY + 250, 4);
  EXPECT_TRUE(testkit::WaitUntil([&] { return WhitePixels(tooltipArea()) <= before + 50; }, 10000))
      << "the tooltip stays after the pointer left";
}

// A second start while the game runs: the first comes back to the front
// (here from minimised), the second ends with 0 and opens nothing.
TEST_F(GameDesktop_Desktop, ASecondStartRaisesTheFirstAndEndsWithZero) {
  WriteProfile("[General]\nShowTutorialDialog=0\n");
  WindowInfo main;
  auto first = StartGame(&main);
  ASSERT_NE(main.id, 0u);
  session->Minimise(main.id);
  ASSERT_TRUE(testkit::WaitUntil([&] { return session->HasState(main.id, "_NET_WM_STATE_HIDDEN"); }, 10000));
  auto second = session->Start("RavelleGame");
  EXPECT_EQ(second->WaitForExit(30000), std::optional<int>(0)) << second->Log();
  EXPECT_TRUE(testkit::WaitUntil(
      [&] { return !session->HasState(main.id, "_NET_WM_STATE_HIDDEN") && session->ActiveWindow() == main.id; },
      10000));
  session->Screenshot("second-start-raised-the-first");
  EXPECT_TRUE(first->Running());
  EXPECT_EQ(session->FindWindows("RavelleGame").size(), 1u);
}

// The first game stopped (as when hung or busy in one long step): a second
// start says so in a box and ends; once the first runs again, a third start
// raises it; there is never a second game.
TEST_F(GameDesktop_Desktop, AStoppedFirstGameLeavesOneGame) {
  WriteProfile("[General]\nShowTutorialDialog=0\n");
  WindowInfo main;
  auto first = StartGame(&main);
  ASSERT_NE(main.id, 0u);
  first->Stop();
  auto second = session->Start("RavelleGame");
  std::vector<WindowInfo> boxes;
  ASSERT_TRUE(testkit::WaitUntil(
      [&] { return !(boxes = session->WindowsOf(second->Pid())).empty() || !second->Running(); }, 40000))
      << second->Log();
  session->Screenshot("stopped-first-game-box");
  ASSERT_EQ(boxes.size(), 1u) << second->Log();
  EXPECT_LT(boxes.front().height, 400) << "a box, not a game";
  session->Key("Return");
  EXPECT_EQ(second->WaitForExit(10000), std::optional<int>(0)) << second->Log();
  first->Continue();
  auto third = session->Start("RavelleGame");
  EXPECT_EQ(third->WaitForExit(30000), std::optional<int>(0)) << third->Log();
  EXPECT_TRUE(first->Running());
  EXPECT_TRUE(testkit::WaitUntil([&] { return session->ActiveWindow() == main.id; }, 10000));
  EXPECT_EQ(session->FindWindows("RavelleGame").size(), 1u);
}

// Two starts at the same instant: one of them ends with 0, the other plays.
TEST_F(GameDesktop_Desktop, TwoStartsAtTheSameInstantLeaveOneGame) {
  WriteProfile("[General]\nShowTutorialDialog=0\n");
  auto a = session->Start("RavelleGame");
  auto b = session->Start("RavelleGame");
  ASSERT_TRUE(testkit::WaitUntil([&] { return !a->Running() || !b->Running(); }, kStartMs))
      << a->Log() << b->Log();
  Program& ended = a->Running() ? *b : *a;
  Program& playing = a->Running() ? *a : *b;
  EXPECT_EQ(ended.WaitForExit(0), std::optional<int>(0)) << ended.Log();
  WindowInfo main;
  EXPECT_TRUE(testkit::WaitUntil([&] { return (main = MainWindowOf(playing.Pid())).id && StartScreenShows(main); },
                                 kStartMs));
  EXPECT_TRUE(playing.Running());
  EXPECT_EQ(session->FindWindows("RavelleGame").size(), 1u);
}

namespace {
// The mean brightness of each row of a band of the screen: the table's
// wood grain runs across, so the view's move up or down shows as a shift
// of this profile.
std::vector<double> RowProfile(DesktopSession& session, int x, int y, int width, int height) {
  const std::vector<unsigned> pixels = session.Grab(x, y, width, height);
  std::vector<double> rows(static_cast<size_t>(height), 0.0);
  for (int r = 0; r < height; ++r) {
    double sum = 0;
    for (int c = 0; c < width; ++c) {
      const unsigned p = pixels[static_cast<size_t>(r * width + c)];
      sum += (p >> 16) + ((p >> 8) & 0xff) + (p & 0xff);
    }
    rows[static_cast<size_t>(r)] = sum / width;
  }
  return rows;
}

// The shift (rows) that best lays `after` over `before`.
int ProfileShift(const std::vector<double>& before, const std::vector<double>& after) {
  const int n = static_cast<int>(before.size()), overlap = n / 3;
  int best = 0;
  double bestDifference = 1e300;
  for (int d = -(n - overlap); d <= n - overlap; ++d) {
    double difference = 0;
    int count = 0;
    for (int r = std::max(0, -d); r < std::min(n, n - d); ++r, ++count)
      difference += std::abs(before[static_cast<size_t>(r)] - after[static_cast<size_t>(r + d)]);
    if (count >= overlap && difference / count < bestDifference) bestDifference = difference / count, best = d;
  }
  return best;
}
}  // namespace

// A right-button drag after a move without a button moves the view as far
// as the same drag right after a click does: no jump by the way travelled
// since the last press.
TEST_F(GameDesktop_Desktop, ACameraDragAfterAPlainMoveDoesNotJump) {
  WriteProfile("[General]\nShowTutorialDialog=0\n");
  WindowInfo main;
  auto game = StartGame(&main);
  ASSERT_NE(main.id, 0u);
  session->MoveSmoothly(main.x + 200, main.y + 300, main.x + 42, main.y + 114);  // "Create New Puzzle"
  session->Click(1);
  const std::optional<WindowInfo> dialog = session->WaitForWindow("Create new puzzle");
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(testkit::WaitUntil([&] { return session->ActiveWindow() == dialog->id; }, 10000));
  session->Key("Return");
  // The play screen: the start screen's Exit button has gone, the dialog too.
  const bool playing = testkit::WaitUntil(
      [&] { return !StartScreenShows(main) && session->FindWindows("Create new puzzle").empty(); }, kStartMs);
  session->Screenshot("camera-drag-play-screen");
  ASSERT_TRUE(playing);
  const int bandX = main.x + 300, bandY = main.y + 420, bandW = 800, bandH = 560;
  // Still for half a second: the frames go on, the view no longer moves.
  auto settled = [&] {
    std::vector<double> last = RowProfile(*session, bandX, bandY, bandW, bandH);
    auto since = std::chrono::steady_clock::now();
    testkit::WaitUntil(
        [&] {
          std::vector<double> now = RowProfile(*session, bandX, bandY, bandW, bandH);
          if (now != last) since = std::chrono::steady_clock::now();
          last = std::move(now);
          return std::chrono::steady_clock::now() - since > std::chrono::milliseconds(500);
        },
        20000);
    return last;
  };
  auto drag = [&](int x, int y, int dy) {
    const std::vector<double> before = settled();
    session->Press(3);
    session->MoveSmoothly(x, y, x, y + dy, 3);
    session->Release(3);
    return std::abs(ProfileShift(before, settled()));
  };
  // As the player did: a click on the table, a plain move, then the drag.
  session->ClickAt(main.x + 600, main.y + 880);
  session->MoveSmoothly(main.x + 600, main.y + 880, main.x + 700, main.y + 740, 4);
  const int afterPlainMove = drag(main.x + 700, main.y + 740, -30);
  session->Screenshot("camera-drag-after-plain-move");
  // The same drag (back down) started right after a click at its start.
  session->ClickAt(main.x + 700, main.y + 740);
  const int afterClick = drag(main.x + 700, main.y + 740, 30);
  // Slow frames under load make two like drags differ by a few dozen rows;
  // the jump this guards against is several times the drag itself.
  EXPECT_GT(afterClick, 0);
  EXPECT_LE(std::abs(afterPlainMove - afterClick), std::max(40, afterClick))
      << "after a plain move " << afterPlainMove << " rows, after a click " << afterClick;
}

// The load dialog (F3) in French says its own words in French too: its
// top-left label ("Look in:") is drawn otherwise than in English.
TEST_F(GameDesktop_Desktop, FrenchFileDialogsAreInFrench) {
  auto labelOfLoadDialog = [&](const std::string& language) {
    WriteProfile("[General]\nShowTutorialDialog=0\nLanguage=" + language + "\n");
    WindowInfo main;
    auto game = StartGame(&main);
    EXPECT_NE(main.id, 0u);
    EXPECT_TRUE(testkit::WaitUntil([&] { return session->ActiveWindow() == main.id; }, 10000));
    session->Key("F3");
    WindowInfo dialog;
    EXPECT_TRUE(testkit::WaitUntil(
        [&] {
          for (const WindowInfo& w : session->WindowsOf(game->Pid()))
            if (w.id != main.id && session->ActiveWindow() == w.id) dialog = w;
          return dialog.id != 0;
        },
        20000))
        << game->Log();
    KeepStill();
    session->Screenshot("load-dialog-" + language);
    std::vector<unsigned> label = session->Grab(dialog.x, dialog.y, 140, 40);
    game->Terminate();
    game->WaitForExit(10000);
    return label;
  };
  const std::vector<unsigned> english = labelOfLoadDialog("english");
  session = std::make_unique<DesktopSession>();  // a fresh desktop and profile
  ASSERT_TRUE(session->Ok()) << session->Error();
  const std::vector<unsigned> french = labelOfLoadDialog("french");
  ASSERT_EQ(english.size(), french.size());
  EXPECT_NE(english, french) << "the dialog's own label is the same in both languages";
}

// On a desktop with neither a launcher nor a browser (an empty PATH), Help >
// System Information writes the report and says in a box that it could not
// be shown, instead of nothing but a line on stderr.
TEST_F(GameDesktop_Desktop, ASystemReportThatCannotBeShownSaysSo) {
  WriteProfile("[General]\nShowTutorialDialog=0\n");
  const std::string emptyPath = session->Scratch() + "/no-programs";
  std::filesystem::create_directories(emptyPath);
  WindowInfo main;
  auto game = StartGame(&main, {{"PATH", emptyPath}, {"BROWSER", ""}, {"DEFAULT_BROWSER", ""}});
  ASSERT_NE(main.id, 0u);
  ASSERT_TRUE(testkit::WaitUntil([&] { return session->ActiveWindow() == main.id; }, 10000));
  // "&Help" opens on its first item; three down: Commands, Show Tutorials,
  // System Information.
  session->Key("h", {"Alt_L"});
  for (int i = 0; i < 3; ++i) session->Key("Down");
  session->Key("Return");
  WindowInfo box;
  const bool shown = testkit::WaitUntil(
      [&] {
        for (const WindowInfo& w : session->WindowsOf(game->Pid()))
          if (w.id != main.id && session->ActiveWindow() == w.id) box = w;
        return box.id != 0;
      },
      20000);
  KeepStill();
  session->Screenshot("system-report-not-shown");
  EXPECT_TRUE(shown) << game->Log();
  EXPECT_TRUE(std::filesystem::exists(session->RuntimeDir() + "/Ravelle/RavelleGame_SystemInfo.txt"));
  session->Key("Return");
  EXPECT_TRUE(testkit::WaitUntil([&] { return session->ActiveWindow() == main.id; }, 10000));
}

// The game as a player meets it: the real RavelleGame on a desktop of its
// own with a window manager, driven by real pointer and key input.
#include <gtest/gtest.h>

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
  std::unique_ptr<Program> StartGame(WindowInfo* main = nullptr,
                                     const std::map<std::string, std::string>& env = {}) {
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
        << found.height << ", Exit pixel " << std::hex
        << session->Pixel(ExitButton(found).first, ExitButton(found).second) << "\n"
        << game->Log();
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
    const unsigned c = session->Pixel(x - 19 * scale, y);
    const int r = static_cast<int>(c >> 16), g = static_cast<int>((c >> 8) & 0xff);
    return r > 150 && r > g + 80;
  }

  // Lets a dialog that just opened finish drawing: the screen no longer
  // changes (for a tenth of a second); false when it kept changing.
  bool KeepStill() {
    return testkit::WaitUntilStill([&] { return session->Grab(0, 0, 1280, 1024); }, 100, 5000);
  }

  static const char* CurrentTest() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

  std::pair<int, int> ExitButton(const WindowInfo& main) const {
    return {main.x + 40 * scale, main.y + main.height - 44 * scale};
  }

  std::unique_ptr<DesktopSession> session;
  int scale = 1;  // the desktop's scale factor the game runs at
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
      [&] {
        return !session->HasState(main.id, "_NET_WM_STATE_HIDDEN") && session->ActiveWindow() == main.id;
      },
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
  EXPECT_TRUE(testkit::WaitUntil(
      [&] { return (main = MainWindowOf(playing.Pid())).id && StartScreenShows(main); }, kStartMs));
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
    if (count >= overlap && difference / count < bestDifference)
      bestDifference = difference / count, best = d;
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
    std::vector<double> last;
    EXPECT_TRUE(testkit::WaitUntilStill([&] { return RowProfile(*session, bandX, bandY, bandW, bandH); }, 500,
                                        20000, &last))
        << "the view kept moving";
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
    EXPECT_TRUE(KeepStill()) << "the Load dialog kept changing";
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
  EXPECT_TRUE(KeepStill()) << "the screen kept changing";
  session->Screenshot("system-report-not-shown");
  EXPECT_TRUE(shown) << game->Log();
  EXPECT_TRUE(std::filesystem::exists(session->RuntimeDir() + "/Ravelle/RavelleGame_SystemInfo.txt"));
  session->Key("Return");
  EXPECT_TRUE(testkit::WaitUntil([&] { return session->ActiveWindow() == main.id; }, 10000));
}

// ---- the desktop's scale factor ---------------------------------------------------------------------
namespace {
int Red(unsigned c) { return static_cast<int>(c >> 16); }
int Green(unsigned c) { return static_cast<int>((c >> 8) & 0xff); }
int Blue(unsigned c) { return static_cast<int>(c & 0xff); }
// The command helper's panel: white at 0.9 over the table.
bool PanelWhite(unsigned c) { return Red(c) > 215 && Green(c) > 215 && Blue(c) > 215; }
// The helper's key texts are green.
bool GreenInk(unsigned c) { return Green(c) > 90 && Green(c) > Red(c) + 50 && Green(c) > Blue(c) + 50; }
// The pieces of the sample picture are blue, green and grey; the wooden
// table is always redder than it is blue or green.
bool PieceColoured(unsigned c) { return Blue(c) > Red(c) + 10 || Green(c) > Red(c) + 10; }

// The mean difference per channel between a w x h grab and a 2w x 2h grab
// taken down to w x h by averaging 2 x 2 blocks.
double DifferenceToHalved(const std::vector<unsigned>& small, const std::vector<unsigned>& large, int w,
                          int h) {
  double sum = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned a = small[static_cast<size_t>(y * w + x)];
      for (int (*channel)(unsigned) : {Red, Green, Blue}) {
        int block = 0;
        for (int dy = 0; dy < 2; ++dy)
          for (int dx = 0; dx < 2; ++dx)
            block += channel(large[static_cast<size_t>((2 * y + dy) * 2 * w + 2 * x + dx)]);
        sum += std::abs(channel(a) - block / 4.0);
      }
    }
  return sum / (3.0 * w * h);
}

// What a player sees of the 2D layer at one scale factor (device pixels).
struct ScaledLook {
  int panelWidth = 0, panelHeight = 0;  // the command helper
  int greenRows = 0;                    // rows with ink of its green key texts
  std::vector<unsigned> icons;          // the top bar's icons 0..5, icon 1 hovered
  bool tooltip = false;                 // the full-screen icon's tooltip came up
  bool dragged = false;                 // a piece went where it was dragged to
};
}  // namespace

// On a 2560 x 1600 screen at Xft.dpi 192 the game's 2D layer is that of
// Xft.dpi 96 at twice the size: the command helper's panel and the green
// key texts in it, the top bar's icons (the same picture, taken down by
// 2 x 2 blocks); a hover on an icon of the start screen shows its
// tooltip, a piece drags.
TEST_F(GameDesktop_Desktop, AtXftDpi192TheViewsTextsAndIconsAreTwiceAsLarge) {
  auto look = [&](int factor, ScaledLook& seen) {
    scale = factor;
    session = std::make_unique<DesktopSession>(2560, 1600);
    ASSERT_TRUE(session->Ok()) << session->Error();
    if (factor == 2) session->SetResources("Xft.dpi:\t192\n");
    WriteProfile("[General]\nShowTutorialDialog=0\n");
    WindowInfo main;
    auto game = StartGame(&main);
    ASSERT_NE(main.id, 0u);
    const int s = factor;
    // The start screen's full-screen icon, right in the top bar: its
    // tooltip opens below it, to its left.
    const int iconX = main.x + main.width - 49 * s, iconY = main.y + 34 * s;
    auto tipArea = [&] {
      return WhitePixels(session->Grab(main.x + main.width - 300 * s, iconY + 25 * s, 300 * s, 40 * s));
    };
    const int before = tipArea();
    session->MoveSmoothly(iconX - 150 * s, iconY + 250 * s, iconX, iconY, 4);
    seen.tooltip = testkit::WaitUntil([&] { return tipArea() > before + 400 * s * s; }, 10000);
    session->Screenshot("scale-" + std::to_string(s) + "-tooltip");
    session->MoveSmoothly(iconX, iconY, main.x + 200 * s, main.y + 300 * s, 8);
    session->MoveSmoothly(main.x + 200 * s, main.y + 300 * s, main.x + 42 * s,
                          main.y + 114 * s);  // "Create New Puzzle"
    session->Click(1);
    const std::optional<WindowInfo> dialog = session->WaitForWindow("Create new puzzle");
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(testkit::WaitUntil([&] { return session->ActiveWindow() == dialog->id; }, 10000));
    session->Key("Return");
    ASSERT_TRUE(testkit::WaitUntil(
        [&] { return !StartScreenShows(main) && session->FindWindows("Create new puzzle").empty(); },
        kStartMs));
    // The view's top: with the pointer in the top bar the bar is opaque and
    // blue, below the grey menu bar.
    session->MoveSmoothly(main.x + 400 * s, main.y + 200 * s, main.x + 300 * s, main.y + 30 * s);
    int top = -1;
    ASSERT_TRUE(testkit::WaitUntil(
        [&] {
          const std::vector<unsigned> column = session->Grab(main.x + 300 * s, main.y, 1, 60 * s);
          for (int y = 0; y < 60 * s && top < 0; ++y)
            if (Blue(column[static_cast<size_t>(y)]) > Red(column[static_cast<size_t>(y)]) + 25)
              top = main.y + y;
          return top >= 0;
        },
        20000));
    const int left = main.x;
    // The fly-in over: the middle of the view stays still for half a second.
    const int cx = left + main.width / 2, cy = (top + main.y + main.height) / 2;
    ASSERT_TRUE(testkit::WaitUntilStill(
        [&] { return session->Grab(cx - 200 * s, cy - 200 * s, 400 * s, 400 * s); }, 500, 30000))
        << "the fly-in did not end";
    // The helper's panel, from a row and a column of its padding.
    const std::vector<unsigned> row = session->Grab(left, top + 40 * s, 600 * s, 1);
    int right = 10 * s;
    while (right < 600 * s && PanelWhite(row[static_cast<size_t>(right)])) ++right;
    int first = 10 * s;
    while (first > 0 && PanelWhite(row[static_cast<size_t>(first - 1)])) --first;
    const std::vector<unsigned> column = session->Grab(left + 10 * s, top, 1, 700 * s);
    int bottom = 100 * s;
    while (bottom < 700 * s && PanelWhite(column[static_cast<size_t>(bottom)])) ++bottom;
    int upper = 40 * s;
    while (upper > 0 && PanelWhite(column[static_cast<size_t>(upper - 1)])) --upper;
    seen.panelWidth = right - first;
    seen.panelHeight = bottom - upper;
    const int width = right - first, height = bottom - upper;
    const std::vector<unsigned> panel = session->Grab(left + first, top + upper, width, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (GreenInk(panel[static_cast<size_t>(y * width + x)])) {
          ++seen.greenRows;
          break;
        }
    // Icon 1 hovered: the bar opaque behind the icons.
    session->MoveSmoothly(main.x + 300 * s, main.y + 30 * s, left + 80 * s, top + 18 * s, 4);
    EXPECT_TRUE(testkit::WaitUntilStill(
        [&] { return session->Grab(left + 32 * s, top + 2 * s, 192 * s, 32 * s); }, 100, 5000, &seen.icons))
        << "the hovered bar kept changing";
    session->Screenshot("scale-" + std::to_string(s) + "-play-screen");
    // A piece of the ring round the empty middle (20 pixels into the first
    // run of 24 piece pixels above it, in the first column that has one),
    // dragged down into the middle.
    int pieceX = -1, pieceY = -1;
    for (int k = 0; k < 40 && pieceY < 0; ++k) {
      pieceX = cx + (k % 2 ? 1 : -1) * ((k + 1) / 2) * 20 * s;
      const std::vector<unsigned> up = session->Grab(pieceX, top + 60 * s, 1, cy - top - 60 * s);
      int run = 0;
      for (int y = static_cast<int>(up.size()) - 1; y >= 0 && pieceY < 0; --y) {
        run = PieceColoured(up[static_cast<size_t>(y)]) ? run + 1 : 0;
        if (run == 24 * s) pieceY = top + 60 * s + y + 4 * s;
      }
    }
    ASSERT_GE(pieceY, 0) << "no piece above the middle of the view";
    auto pieceInMiddle = [&] {
      int count = 0;
      for (unsigned c : session->Grab(pieceX - 50 * s, cy - 60 * s, 100 * s, 100 * s))
        count += PieceColoured(c);
      return count;
    };
    const int emptyMiddle = pieceInMiddle();
    session->MoveSmoothly(left + 80 * s, top + 18 * s, pieceX, pieceY, 6);
    session->Press(1);
    session->MoveSmoothly(pieceX, pieceY, pieceX, cy, 3);
    // Frames are slow at this size: the piece follows the held button there.
    seen.dragged = testkit::WaitUntil([&] { return pieceInMiddle() > emptyMiddle + 1500 * s * s; }, 30000);
    session->Release(1);
    session->Screenshot("scale-" + std::to_string(s) + "-dragged");
    EXPECT_TRUE(seen.dragged) << "piece-coloured pixels in the middle: before " << emptyMiddle << ", now "
                              << pieceInMiddle() << "; pressed at " << pieceX << "," << pieceY << ", middle "
                              << cx << "," << cy << ", view top " << top;
  };
  ScaledLook one, two;
  look(1, one);
  if (HasFatalFailure()) return;
  look(2, two);
  if (HasFatalFailure()) return;
  EXPECT_NEAR(two.panelWidth, 2 * one.panelWidth, 8) << one.panelWidth;
  EXPECT_NEAR(two.panelHeight, 2 * one.panelHeight, 8) << one.panelHeight;
  EXPECT_NEAR(two.greenRows, 2 * one.greenRows, 2 + one.greenRows / 5) << one.greenRows;
  EXPECT_TRUE(one.tooltip);
  EXPECT_TRUE(two.tooltip);
  EXPECT_LT(DifferenceToHalved(one.icons, two.icons, 192, 32), 16.0);
}

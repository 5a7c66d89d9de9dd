// The screen base's dispatch and the play screen's state machine on the
// recording device: every transition, the right button while dragging, the
// cursor that never stays hidden, the wheel, the large picture, and what
// Deactivate and a new view leave behind.
#include <gtest/gtest.h>

#include "game/command_ids.h"
#include "game/frame_commands.h"
#include "platform/shell.h"
#include "play_fixture.h"

namespace {

// A screen that writes down each call with both button flags as it saw them.
class CallRecordingScreen : public CGUIInterface {
 public:
  void Deactivate() override {}
  void Activate() override {}
  int Update() override { return 0; }
  void Render() override {}
  void OnLButtonDown(int x, int y) override { Note("LDown", x, y); }
  void OnLButtonUp(int x, int y) override { Note("LUp", x, y); }
  void OnRButtonDown(int x, int y) override { Note("RDown", x, y); }
  void OnRButtonUp(int x, int y) override { Note("RUp", x, y); }
  void OnMouseWheel(int delta) override { Note("Wheel", delta, 0); }
  void OnMouseMove(int, int, int dx, int dy) override { Note("Move", dx, dy); }

  std::vector<std::string> m_calls;

 private:
  void Note(const char* what, int a, int b) {
    m_calls.push_back(std::string(what) + " " + std::to_string(a) + " " + std::to_string(b) + " L" +
                      std::to_string(LeftDown()) + "R" + std::to_string(RightDown()));
  }
};

constexpr POINT kBareTable{512, 384};  // the middle of the ring of pieces

// Writes a press (down) or release of a button into the polled places, as
// the feed keeps it: where, after how much of the interval's motion, and
// its rank in the interval (0: from an earlier one).
void PutEdge(int button, bool down, POINT at, POINT motion, int rank) {
  MouseButtonPlaces& p = g_Input.m_buttonPlaces;
  (down ? p.hasPress : p.hasRelease)[button] = true;
  (down ? p.press : p.release)[button] = at;
  (down ? p.pressMotion : p.releaseMotion)[button] = motion;
  (down ? p.pressRank : p.releaseRank)[button] = rank;
}

class PlayScreenTest : public PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    NewPuzzle(3, 3);
  }
  std::int32_t State() const { return m_screen.State(); }
  POINT PiecePoint() { return ScreenOf(Piece(0)); }
};

}  // namespace

TEST_F(GameTest, DispatchGivesPressesThenMoveThenWheelWithFlagsSetFirst) {
  CallRecordingScreen screen;
  m_host.m_cursor = POINT{10, 40};
  g_Input.m_mouseState.rgbButtons[0] = g_Input.m_mouseState.rgbButtons[1] = 0x80;
  g_Input.m_mouseState.lX = 3;
  g_Input.m_mouseState.lY = -2;
  g_Input.m_mouseState.lZ = 120;
  screen.DispatchMouseInput();
  EXPECT_EQ(screen.m_calls, (std::vector<std::string>{"LDown 10 40 L1R0", "RDown 10 40 L1R1",
                                                      "Move 3 -2 L1R1", "Wheel 120 0 L1R1"}));
  // Held buttons and no motion: nothing; releases come left first.
  screen.m_calls.clear();
  g_Input.m_mouseState = DIMOUSESTATE2{};
  screen.DispatchMouseInput();
  EXPECT_EQ(screen.m_calls, (std::vector<std::string>{"LUp 10 40 L0R1", "RUp 10 40 L0R0"}));
}

// With the polled state's places: each press and release comes after the
// motion that came before it, in the order they came; a click that went up
// within the frame holds the pointer where it went up, and the motion after
// it comes in the next frame, after its release.
TEST_F(GameTest, DispatchReplaysTheFramesMotionAndButtonsInTheirOrder) {
  CallRecordingScreen screen;
  MouseButtonPlaces& places = g_Input.m_buttonPlaces;
  DIMOUSESTATE2& mouse = g_Input.m_mouseState;
  m_host.m_cursor = POINT{50, 60};
  mouse.rgbButtons[1] = 0x80;
  screen.DispatchMouseInput();  // the right button held
  screen.m_calls.clear();
  mouse = DIMOUSESTATE2{};
  mouse.rgbButtons[0] = 0x80;
  mouse.lX = 10;
  mouse.lY = 6;
  PutEdge(1, false, POINT{25, 35}, POINT{1, 1}, 1);
  PutEdge(0, true, POINT{20, 30}, POINT{4, 2}, 2);
  screen.DispatchMouseInput();
  EXPECT_EQ(screen.m_calls, (std::vector<std::string>{"Move 1 1 L0R1", "RUp 25 35 L0R0", "Move 3 1 L0R0",
                                                      "LDown 20 30 L1R0", "Move 6 4 L1R0"}));
  // The left button up in the next interval, down and up again in the one after.
  screen.m_calls.clear();
  places = MouseButtonPlaces{};
  mouse = DIMOUSESTATE2{};
  screen.DispatchMouseInput();
  PutEdge(0, true, POINT{40, 40}, POINT{2, 0}, 1);
  PutEdge(0, false, POINT{43, 40}, POINT{5, 0}, 2);
  mouse.rgbButtons[0] = 0x80;
  mouse.lX = 9;
  screen.DispatchMouseInput();
  PutEdge(0, true, POINT{40, 40}, POINT{}, 0);
  PutEdge(0, false, POINT{43, 40}, POINT{}, 0);
  mouse = DIMOUSESTATE2{};
  mouse.lX = 1;
  screen.DispatchMouseInput();
  EXPECT_EQ(screen.m_calls, (std::vector<std::string>{"LUp 50 60 L0R0", "Move 2 0 L0R0", "LDown 40 40 L1R0",
                                                      "Move 3 0 L1R0", "LUp 43 40 L0R0", "Move 5 0 L0R0"}));
  places = MouseButtonPlaces{};
}

TEST_F(PlayScreenTest, EveryTransitionOfTheStateMachine) {
  enum Where { kPiece, kTable, kStrip };
  struct Step {
    Where where;
    bool left, right;
    std::int32_t state;
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
  } cases[] = {
      {"pick and drop", {{kPiece, true, false, 2}, {kPiece, false, false, 1}}},
      {"band, view, band",
       {{kTable, true, false, 3},
        {kTable, true, true, 6},
        {kTable, true, false, 3},
        {kTable, false, false, 1}}},
      {"band ends while the view moves",
       {{kTable, true, false, 3},
        {kTable, true, true, 6},
        {kTable, false, true, 5},
        {kTable, false, false, 1}}},
      {"view alone",
       {{kTable, false, true, 5},
        {kPiece, true, true, 5},
        {kPiece, false, true, 5},
        {kTable, false, false, 1}}},
      {"drop while the view moves",
       {{kPiece, true, false, 2},
        {kPiece, true, true, 4},
        {kPiece, false, true, 5},
        {kPiece, false, false, 1}}},
      {"view stops, drag goes on",
       {{kPiece, true, false, 2},
        {kPiece, true, true, 4},
        {kPiece, true, false, 2},
        {kPiece, false, false, 1}}},
      {"double release in state 4",
       {{kPiece, true, false, 2}, {kPiece, true, true, 4}, {kPiece, false, false, 1}}},
      {"strip presses change nothing",
       {{kStrip, true, false, 1},
        {kStrip, false, false, 1},
        {kStrip, false, true, 1},
        {kStrip, false, false, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const POINT piece = PiecePoint();
    int step = 0;
    for (const Step& s : c.steps) {
      SCOPED_TRACE(step++);
      const POINT at = s.where == kPiece ? piece : s.where == kTable ? kBareTable : POINT{600, 25};
      Input(at.x, at.y, s.left, s.right);
      EXPECT_EQ(State(), s.state);
    }
    EXPECT_EQ(m_host.m_cursorCount, 0);
    EXPECT_FALSE(Hand().holding);
  }
}

TEST_F(PlayScreenTest, RightButtonWhileDragging) {
  // A piece under (400, 300), held.
  CPuzzlePiece& piece = Piece(4);
  D3DXVECTOR3 o, d;
  g_Engine.GetScreenRay(&o, &d, 400, 300);
  const D3DXVECTOR3 p400 = IntersectRayWithTable(d, o);
  piece.SetPosition(D3DXVECTOR3(p400.x, p400.y, 0));
  Input(400, 300, true, false);
  ASSERT_EQ(State(), kPlayDragging);
  ASSERT_EQ(Hand().heldPiece, &piece);

  Input(400, 300, true, true);
  EXPECT_EQ(State(), kPlayDraggingView);
  EXPECT_EQ(m_host.m_cursorCount, -1);

  // The view pans; the held piece stays under the hidden cursor.
  const D3DXVECTOR3 eye = m_game->m_settings.m_viewCamera.m_eye;
  Input(400, 300, true, true, 10, -20);
  EXPECT_NE(m_game->m_settings.m_viewCamera.m_eye, eye);
  g_Engine.GetScreenRay(&o, &d, 400, 300);
  const D3DXVECTOR3 under = IntersectRayWithTable(d, o);
  EXPECT_NEAR(Hand().grabPoint.x, under.x, 1e-3);
  EXPECT_NEAR(Hand().grabPoint.y, under.y, 1e-3);
  EXPECT_NEAR(piece.m_currentPosition.x, under.x, 1e-3);
  EXPECT_NEAR(piece.m_currentPosition.y, under.y, 1e-3);

  // Right up with the left held: dragging again, cursor back and shown,
  // and this frame's move does not drag.
  const D3DXVECTOR3 before = piece.m_currentPosition;
  Input(700, 500, true, false, 50, 50);
  EXPECT_EQ(State(), kPlayDragging);
  ASSERT_FALSE(m_host.m_cursorPuts.empty());
  EXPECT_EQ(m_host.m_cursorPuts.back(), (POINT{400, 300}));
  EXPECT_EQ(m_host.m_cursorCount, 0);
  EXPECT_EQ(piece.m_currentPosition.x, before.x);
  EXPECT_EQ(piece.m_currentPosition.y, before.y);
  // The next move drags again.
  Input(420, 300, true, false, 20, 0);
  EXPECT_NE(piece.m_currentPosition.x, before.x);
}

TEST_F(PlayScreenTest, RightReleaseInState4WithTheLeftUpLetsGoWithoutJoining) {
  const POINT at = PiecePoint();
  Input(at.x, at.y, true, false);
  Input(at.x, at.y, true, true);
  ASSERT_EQ(State(), kPlayDraggingView);
  // The left release got lost (it happened inside a dialog): the right one
  // finds the button up.
  g_Input.m_mouseState.rgbButtons[0] = 0;
  m_screen.OnRButtonUp(at.x, at.y);
  EXPECT_EQ(State(), kPlayIdle);
  EXPECT_FALSE(Hand().holding);
  EXPECT_TRUE(Hand().held.empty() && Hand().others.empty() && Hand().touching.empty());
  EXPECT_EQ(m_host.m_cursorCount, 0);
  EXPECT_EQ(m_host.m_cursorPuts.back(), at);
}

// Both buttons up in one frame in state 4, the right one first: the drag
// goes on until the left one goes up, and that drop joins.
TEST_F(PlayScreenTest, BothReleasesInOneFrameRightFirstStillDropWithTheJoinTest) {
  DragPiece(Piece(0), PlaceBeside(Piece(0), Piece(1)), false);
  const POINT at = m_host.m_cursor;
  Input(at.x, at.y, true, true);
  ASSERT_EQ(State(), kPlayDraggingView);
  PutEdge(1, false, at, POINT{}, 1);
  PutEdge(0, false, at, POINT{}, 2);
  Input(at.x, at.y, false, false);
  g_Input.m_buttonPlaces = MouseButtonPlaces{};
  EXPECT_EQ(State(), kPlayIdle);
  EXPECT_TRUE(Piece(0).m_joined[1]);
}

TEST_F(PlayScreenTest, ACommandThatOpensSomethingModalShowsTheCursorAndEndsTheViewMove) {
  ScopedRecordingShell shell;
  NoFrameWindow window;
  UnconnectedGameDialogs dialogs;
  UnconnectedSavedGames saved;
  CFrameCommands commands(*m_game, window, dialogs, saved);
  for (UINT id : {ID_PUZZLE_INFORMATION, ID_GAME_MENU, ID_OPTIONS, ID_CREATE_NEW_PUZZLE}) {
    SCOPED_TRACE(id);
    Input(kBareTable.x, kBareTable.y, false, true);
    ASSERT_EQ(State(), kPlayMovingView);
    ASSERT_EQ(m_host.m_cursorCount, -1);
    commands.Dispatch(id);
    EXPECT_EQ(m_host.m_cursorCount, 0);
    EXPECT_EQ(State(), kPlayIdle);
    Input(kBareTable.x, kBareTable.y, false, false);
    EXPECT_EQ(m_host.m_cursorCount, 0);
  }
  // A drag with the view moving is let go; a new view and leaving the
  // screen show the cursor too.
  const POINT at = PiecePoint();
  Input(at.x, at.y, true, false);
  Input(at.x, at.y, true, true);
  commands.Dispatch(ID_PUZZLE_INFORMATION);
  EXPECT_EQ(m_host.m_cursorCount, 0);
  EXPECT_FALSE(Hand().holding);
  Input(at.x, at.y, false, false);
  Input(kBareTable.x, kBareTable.y, false, true);
  m_screen.ResetPlayView(true);
  EXPECT_EQ(m_host.m_cursorCount, 0);
  Input(kBareTable.x, kBareTable.y, false, false);
  Input(kBareTable.x, kBareTable.y, false, true);
  m_game->SetScreen(kScreenStart);
  EXPECT_EQ(m_host.m_cursorCount, 0);
}

TEST_F(PlayScreenTest, ARightPressInTheStripDoesNotTurnALeftReleaseIntoAViewMove) {
  const POINT at = PiecePoint();
  Input(at.x, at.y, true, false);
  Input(at.x, 20, true, true);  // ignored, but the right button is down
  EXPECT_EQ(State(), kPlayDragging);
  Input(at.x, 20, false, true);
  EXPECT_EQ(State(), kPlayIdle);
  Input(at.x, 20, false, false);
  EXPECT_EQ(State(), kPlayIdle);
  EXPECT_TRUE(m_host.m_cursorPuts.empty());
  EXPECT_EQ(m_host.m_cursorCount, 0);
}

TEST_F(PlayScreenTest, APressOnAnIconIsTheBarsAlone) {
  // Icon 0 reaches down to y 33, below the strip the screen ignores.
  Input(40, 30, true, false);
  EXPECT_EQ(m_host.m_posted, (std::vector<UINT>{ID_GAME_MENU}));
  EXPECT_EQ(State(), kPlayIdle);
  EXPECT_FALSE(Hand().rubberBandActive);
  Input(40, 30, false, false);
  // Beside the icons the same height is the screen's.
  Input(600, 30, true, false);
  EXPECT_EQ(State(), kPlayBanding);
}

TEST_F(PlayScreenTest, WheelZoomsByTheSystemsLines) {
  const struct {
    int delta, lines, step;
  } cases[] = {{-240, 3, 16},
               {100, 3, -6},
               {7, 3, 0},
               {120, 1, -24},
               {120, 3, -8},
               // 0 lines would divide by zero, -1 (pages) would reverse: both count as 3.
               {120, 0, -8},
               {120, -1, -8}};
  for (const auto& c : cases) EXPECT_EQ(WheelZoomStep(c.delta, c.lines), c.step) << c.delta << "/" << c.lines;
  m_host.m_wheelLines = 0;
  const float z = m_game->m_settings.m_viewCamera.m_eye.z;
  Input(kBareTable.x, kBareTable.y, false, false, 0, 0, 120);
  EXPECT_FLOAT_EQ(m_game->m_settings.m_viewCamera.m_eye.z, z - 8.0f);
}

TEST(LargePreviewRect, FitsAndCentresThePicture) {
  EXPECT_EQ(LargePreviewRect(1280, 720, RECT{0, 0, 1024, 512}), (RECT{32, 62, 1248, 670}));
  EXPECT_EQ(LargePreviewRect(1024, 768, RECT{0, 0, 512, 1024}), (RECT{339, 44, 685, 736}));
  EXPECT_EQ(LargePreviewRect(1024, 768, RECT{0, 0, 1024, 768}), (RECT{51, 44, 973, 736}));
  EXPECT_EQ(LargePreviewRect(1024, 768, RECT{0, 0, 0, 0}), (RECT{512, 390, 512, 390}));  // no picture: empty
}

TEST_F(PlayScreenTest, NothingIsLeftHeldAfterDeactivateOrANewView) {
  // Hold a piece with others lying on it.
  const POINT at = PiecePoint();
  Input(at.x, at.y, true, false);
  ASSERT_TRUE(Hand().holding);
  Hand().touching.push_back(&Piece(1));
  Hand().selection.push_back(&Piece(2));
  m_screen.ResetPlayView(true);
  EXPECT_FALSE(Hand().holding || Hand().restackPending);
  EXPECT_TRUE(Hand().held.empty() && Hand().others.empty() && Hand().touching.empty() &&
              Hand().selection.empty());
  // Restack and settle do nothing while nothing is held.
  Piece(1).m_layer = 3;
  Hand().others = {&Piece(1)};
  Hand().touching = {&Piece(1)};
  Hand().restackPending = true;
  Frame();
  EXPECT_EQ(Piece(1).m_layer, 3);
  EXPECT_FALSE(Hand().restackPending);
  m_game->SetScreen(kScreenStart);
  EXPECT_TRUE(Hand().held.empty() && Hand().others.empty() && Hand().touching.empty() &&
              Hand().selection.empty());
  EXPECT_TRUE(Board().m_pieces.empty());
}

// A whole game of a 3 x 3 puzzle in a real window on the GL device: the
// puzzle made by the new-puzzle command (the dialog answered by the test)
// from the default picture with a fixed seed, every piece carried by the
// play screen's own drag code to its place through mouse input written into
// the polled state, the joins counted on the sound device, the
// congratulation at 100 %, and the finished table written to
// <build>/demo/screens/play_screen.png. And a 300-piece table drawn with and
// without skipping the pieces out of view, frame by frame: the same pixels.
// And a table whose first draw finds no memory for its uploads, given up.
#include <gtest/gtest.h>

#include <QImage>

#include "demo_picture.h"
#include "fresh_engine.h"
#include "game/command_ids.h"
#include "game/frame_commands.h"
#include "game/game_profile.h"
#include "platform/d3d9/d3d9_resources.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/d3d9/gl/gl_host_widget.h"
#include "platform/shell.h"
#include "play_fixture.h"
#include "wait.h"

namespace {

class WindowGameHost : public IGameHost {
 public:
  explicit WindowGameHost(GLHostWidget* window, int* plays) : m_window(window), m_plays(plays) {}
  HWND DeviceWindow() override { return m_window; }
  bool CreateInput() override { return true; }  // the test writes the polled state itself
  bool CreateSound() override {
    return g_SoundManager.CreateWithDevice(std::make_unique<CountingSoundDevice>(m_plays), nullptr);
  }
  POINT CursorPos() override { return m_cursor; }
  void PostCommand(UINT id) override { m_posted.push_back(id); }
  void MinimizeWindow() override {}

  GLHostWidget* m_window;
  int* m_plays;
  POINT m_cursor{900, 700};
  std::vector<UINT> m_posted;
};

// The new-puzzle dialog, answered: 3 x 3 Classic (or another grid), no
// turns unless asked for, the picture the game chose as its default.
class AnsweredDialogs : public UnconnectedGameDialogs {
 public:
  AnsweredDialogs(int columns = 3, int rows = 3, bool turns = false)
      : m_columns(columns), m_rows(rows), m_turns(turns) {}
  bool RunNewPuzzle(PuzzleSettings& settings) override {
    settings.columns = m_columns;
    settings.rows = m_rows;
    settings.rotatePieces = m_turns;
    settings.pieceShape = PieceShapeClassic;
    settings.irregularity = 70;
    return !settings.picturePath.empty();
  }
  int m_columns, m_rows;
  bool m_turns;
};

class PlayScreenOnGL_X11 : public ::testing::Test {
 protected:
  void SetUp() override {
    testkit::FreshEngine();
    SetBuiltInStrings(&GameStrings());
    SetGameHost(&m_host);
    g_Input.Release();
    g_Input.m_mouseState = DIMOUSESTATE2{};
    std::fill(std::begin(g_Input.m_keys), std::end(g_Input.m_keys), BYTE{0});
    m_window.resize(1024, 768);
    m_window.show();
    const bool showing = testkit::WaitUntil([this] { return m_window.IsShowing(); }, 5000);
    m_game.SetPlayScreen(&m_screen);
    m_game.SetTopBar(&m_topBar);
    g_Game = &m_game;
    ASSERT_TRUE(showing) << "the GL window did not show";
  }
  void TearDown() override {
    m_game.Shutdown();
    g_Game = nullptr;
    g_SoundManager.Release();
    SetGameHost(nullptr);
    SetBuiltInStrings(nullptr);
    testkit::FreshEngine();
  }
  void Input(POINT at, bool left, POINT motion = POINT{}) {
    m_host.m_cursor = at;
    g_Input.m_mouseState.rgbButtons[0] = left ? 0x80 : 0;
    g_Input.m_mouseState.lX = motion.x;
    g_Input.m_mouseState.lY = motion.y;
    m_game.RunFrame();
    g_Input.m_mouseState.lX = g_Input.m_mouseState.lY = 0;
  }
  // Presses on the piece, moves the cursor in eight steps so that the piece
  // centre ends on the target, releases.
  void Carry(CPuzzlePiece& piece, const D3DXVECTOR3& target) {
    const POINT press = ProjectToLayout(piece.m_currentPosition);
    Input(press, true);
    ASSERT_EQ(PlayScreenTestAccess{m_screen}.Hand().heldPiece, &piece);
    const D3DXVECTOR3 grab = TableAt(press);
    const D3DXVECTOR3 start = piece.m_currentPosition;
    POINT last = press;
    for (int i = 1; i <= 8; ++i) {
      const float f = float(i) / 8.0f;
      const POINT to = ProjectToLayout(
          D3DXVECTOR3(grab.x + (target.x - start.x) * f, grab.y + (target.y - start.y) * f, 0.0f));
      Input(to, true, POINT{to.x - last.x, to.y - last.y});
      last = to;
    }
    Input(last, false);
    m_clock.Advance(4.0);  // a player takes a few seconds per piece
  }

  ManualClock m_clock{1000.0, 1765432100};  // the wall time gives the seed
  testkit::TempDir m_dir;
  ScopedProfileFile m_profile{m_dir / "Ravelle.ini"};
  ScopedDirect3DFactory m_factory{[] { return Direct3DCreate9GL(); }};
  ScopedEngineSleep m_sleep{[](int) {}};
  GLHostWidget m_window;
  int m_plays = 0;
  WindowGameHost m_host{&m_window, &m_plays};
  CPuzzleGame m_game;
  CGUIInterfacePlayPuzzle m_screen;
  CPlayPuzzleTopMenuBar m_topBar;
};

}  // namespace

TEST_F(PlayScreenOnGL_X11, PlaysAThreeByThreePuzzleToTheEnd) {
  const InitResult started = m_game.Init();
  if (!started.success) GTEST_SKIP() << started.message;
  ScopedRecordingShell shell;
  NoFrameWindow window;
  AnsweredDialogs dialogs;
  UnconnectedSavedGames saved;
  CFrameCommands commands(m_game, window, dialogs, saved);
  m_game.RunFrame();
  ASSERT_TRUE(commands.Dispatch(ID_CREATE_NEW_PUZZLE));
  ASSERT_EQ(m_game.m_screenType, kScreenPlay);
  CPuzzleBoard& board = m_game.m_settings.m_board;
  ASSERT_EQ(board.m_pieceCount, 9);
  EXPECT_EQ(board.m_seed, 1765432100 & 0x3FF);
  m_game.RunFrame();
  m_clock.Advance(4.5);  // the fly-in
  m_game.RunFrame();
  EXPECT_NEAR(m_game.m_settings.m_viewCamera.m_eye.z, 300.0f, 1e-3);

  // Piece 0 to the middle of the view, then every other piece beside it.
  CPuzzlePiece& anchor = board.m_pieces[0];
  const D3DXVECTOR3 middle = TableAt(POINT{512, 400});
  Carry(anchor, anchor.m_homePosition +
                    D3DXVECTOR3(middle.x - board.m_width / 2.0f, middle.y - board.m_height / 2.0f, 0.0f));
  for (int i = 1; i < 9; ++i) {
    SCOPED_TRACE(i);
    CPuzzlePiece& piece = board.m_pieces[std::size_t(i)];
    Carry(piece, PlaceBeside(piece, anchor));
    EXPECT_EQ(m_plays, i);
  }
  EXPECT_FLOAT_EQ(board.m_completion, 100.0f);
  ASSERT_EQ(shell.boxes.size(), 1u);
  EXPECT_EQ(shell.boxes[0].text, "Congratulation! you completed the puzzle.");
  EXPECT_FALSE(m_game.m_playTimer.m_running);

  // The finished table a little later, the hint gone, the pointer aside.
  m_clock.Advance(30.0);
  Input(POINT{900, 700}, false, POINT{1, 1});
  m_game.RunFrame();
  QImage image;
  ASSERT_TRUE(GLReadBackBuffer(g_Engine.Device(), &image));
  ASSERT_TRUE(testkit::SaveDemoPicture(image, "screens", "play_screen"));
  // The picture covers the finished board: around its middle no pixel has
  // the table's blue clear colour.
  const POINT centre = ProjectToLayout(anchor.m_currentPosition + D3DXVECTOR3(25, 0, 0));
  int clear = 0;
  for (int dy = -20; dy <= 20; dy += 4)
    for (int dx = -20; dx <= 20; dx += 4) {
      const QRgb c = image.pixel(centre.x + dx, centre.y + dy);
      clear += (qRed(c) == 0x20 && qGreen(c) == 0x40 && qBlue(c) == 0x80) ? 1 : 0;
    }
  EXPECT_EQ(clear, 0);
}

// The same frame drawn twice, first skipping the pieces out of view, then
// drawing every piece: the pixels are the same. Returns how many pieces
// the first frame drew.
size_t SameFrameWithAndWithoutCulling(CPuzzleGame& game, CPuzzleBoard& board) {
  QImage culled, whole;
  board.m_cullToView = true;
  game.RunFrame();
  const size_t drawn = board.m_piecesInView.size();
  EXPECT_TRUE(GLReadBackBuffer(g_Engine.Device(), &culled));
  board.m_cullToView = false;
  game.RunFrame();
  EXPECT_TRUE(GLReadBackBuffer(g_Engine.Device(), &whole));
  board.m_cullToView = true;
  int differ = 0;
  for (int y = 0; y < culled.height(); ++y)
    for (int x = 0; x < culled.width(); ++x) differ += culled.pixel(x, y) != whole.pixel(x, y);
  EXPECT_EQ(differ, 0);
  EXPECT_EQ(culled.size(), whole.size());
  return drawn;
}

// A 20 x 15 puzzle with turned pieces, every piece selected (so highlights
// reach over the view's edges too): from the start of the fly-in, half way,
// at the play camera after it, with the preview open, zoomed out a little
// and over the whole table.
TEST_F(PlayScreenOnGL_X11, SkippingPiecesOutOfViewLeavesEveryPixel) {
  const InitResult started = m_game.Init();
  if (!started.success) GTEST_SKIP() << started.message;
  ScopedRecordingShell shell;
  NoFrameWindow window;
  AnsweredDialogs dialogs(20, 15, true);
  UnconnectedSavedGames saved;
  CFrameCommands commands(m_game, window, dialogs, saved);
  m_game.RunFrame();
  ASSERT_TRUE(commands.Dispatch(ID_CREATE_NEW_PUZZLE));
  CPuzzleBoard& board = m_game.m_settings.m_board;
  ASSERT_EQ(board.m_pieceCount, 300);
  for (CPuzzlePiece& piece : board.m_pieces) piece.m_selected = true;
  const size_t all = 300;
  {
    SCOPED_TRACE("fly-in starts");
    EXPECT_GT(SameFrameWithAndWithoutCulling(m_game, board), 0u);
  }
  m_clock.Advance(1.5);
  {
    SCOPED_TRACE("fly-in half way");
    EXPECT_GT(SameFrameWithAndWithoutCulling(m_game, board), 0u);
  }
  m_clock.Advance(3.0);
  m_game.RunFrame();
  {
    SCOPED_TRACE("play camera");
    const size_t drawn = SameFrameWithAndWithoutCulling(m_game, board);
    EXPECT_GT(drawn, 10u);
    EXPECT_LT(drawn, all);
  }
  m_screen.TogglePreview();
  {
    SCOPED_TRACE("preview open");
    EXPECT_LT(SameFrameWithAndWithoutCulling(m_game, board), all);
  }
  m_screen.TogglePreview();
  for (int i = 0; i < 40; ++i) m_screen.OnMouseWheel(-120);
  {
    SCOPED_TRACE("zoomed out a little");
    const size_t drawn = SameFrameWithAndWithoutCulling(m_game, board);
    EXPECT_GT(drawn, 50u);
    EXPECT_LT(drawn, all);
  }
  const float& height = m_game.m_settings.m_viewCamera.m_eye.z;
  for (int i = 0; i < 1000 && height < 2500; ++i) m_screen.OnMouseWheel(-120);
  {
    SCOPED_TRACE("whole table");
    EXPECT_EQ(SameFrameWithAndWithoutCulling(m_game, board), all);
  }
}

// Memory that runs out at the new table's first draw (its uploads fail on
// the GL device): the frame posts the command that gives the puzzle up, its
// box shows, and the start screen draws again.
TEST_F(PlayScreenOnGL_X11, MemoryThatRunsOutAtTheTablesFirstDrawGivesThePuzzleUp) {
  const InitResult started = m_game.Init();
  if (!started.success) GTEST_SKIP() << started.message;
  ScopedRecordingShell shell;
  NoFrameWindow window;
  AnsweredDialogs dialogs(20, 15);
  UnconnectedSavedGames saved;
  CFrameCommands commands(m_game, window, dialogs, saved);
  m_game.RunFrame();
  ASSERT_TRUE(commands.Dispatch(ID_CREATE_NEW_PUZZLE));
  ASSERT_TRUE(m_game.IsPlayScreenCurrent());
  m_host.m_posted.clear();
  {
    const ScopedAllocationFailure failing(0, true);
    m_game.RunFrame();
    m_game.RunFrame();
  }
  ASSERT_EQ(m_host.m_posted, std::vector<UINT>{ID_PUZZLE_TOO_LARGE});
  ASSERT_TRUE(commands.Dispatch(ID_PUZZLE_TOO_LARGE));
  ASSERT_EQ(shell.boxes.size(), 1u);
  EXPECT_EQ(shell.boxes[0].text.rfind("There is not enough memory", 0), 0u);
  EXPECT_EQ(m_game.m_screenType, kScreenStart);
  EXPECT_TRUE(m_game.m_settings.m_board.m_pieces.empty());
  EXPECT_FALSE(m_game.m_playTimer.m_running);
  m_game.RunFrame();
  EXPECT_EQ(m_host.m_posted.size(), 1u);
}

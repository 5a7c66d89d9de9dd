// The icon bar, the preview window and the command helper on the recording
// device (fonts of the recording device: every character Width pixels
// wide, every line Height pixels high).
#include <gtest/gtest.h>

#include <cmath>

#include "game/command_ids.h"
#include "game/game_profile.h"
#include "play_fixture.h"
#include "tests/engine/engine_access.h"

namespace {

class PanelsTest : public PlayTest {
 protected:
  NoFrameWindow m_frameWindow;
  UnconnectedGameDialogs m_dialogs;
  UnconnectedSavedGames m_saved;
  void ClearDraws() {
    m_script.m_spriteDraws.clear();
    m_script.m_textDraws.clear();
  }
};

const D3DCOLOR kShadow = 0x33000000;  // black at 0.2

}  // namespace

// ---- icon bar -------------------------------------------------------------------------------
TEST_F(PanelsTest, IconsGiveTheirCommandsOnThePressFrameOnly) {
  NewPuzzle(3, 3);
  const UINT posted[] = {ID_GAME_MENU,      ID_SAVE_PUZZLE,   ID_PUZZLE_INFORMATION, ID_SHOW_HIDE_PREVIEW,
                         ID_COMMAND_HELPER, ID_HELP_COMMANDS, ID_TOGGLE_FULL_SCREEN};
  Frame();  // icons 6 and 7 go to the right edge
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    m_host.m_posted.clear();
    m_host.m_minimized = 0;
    const RECT& r = m_topBar.m_icons[i].m_rect;
    const LONG x = i == 6 ? r.left + 2 : r.right - 2;  // clear of the overlap of 6 and 7
    Input(x, 10, true, false);
    Input(x, 10, true, false);  // held: nothing more
    Input(x, 10, false, false);
    if (i < 7)
      EXPECT_EQ(m_host.m_posted, (std::vector<UINT>{posted[i]}));
    else
      EXPECT_EQ(m_host.m_minimized, 1);
  }
  // On the start screen only full screen and minimise answer.
  m_game->SetScreen(kScreenStart);
  m_host.m_posted.clear();
  for (int i = 0; i < 8; ++i) {
    const RECT& r = m_topBar.m_icons[i].m_rect;
    Input(i == 6 ? r.left + 2 : r.right - 2, 10, true, false);
    Input(0, 200, false, false);
  }
  EXPECT_EQ(m_host.m_posted, (std::vector<UINT>{ID_TOGGLE_FULL_SCREEN}));
  EXPECT_EQ(m_host.m_minimized, 2);
}

TEST_F(PanelsTest, RightIconsFollowTheWidthAndTheirOverlapGoesToTheFirst) {
  NewPuzzle(3, 3);
  Frame();
  EXPECT_EQ(m_topBar.m_icons[6].m_rect, (RECT{960, 2, 992, 34}));
  EXPECT_EQ(m_topBar.m_icons[7].m_rect, (RECT{984, 2, 1016, 34}));
  EXPECT_EQ(m_topBar.m_icons[0].m_rect, (RECT{32, 2, 64, 34}));
  // x 986 lies on both: the hover shows the full-screen icon and the click takes it.
  Input(986, 10, false, false, 1, 0);
  EXPECT_EQ(m_topBar.m_hoveredIcon, 6);
  m_host.m_posted.clear();
  Input(986, 10, true, false);
  EXPECT_EQ(m_host.m_posted, (std::vector<UINT>{ID_TOGGLE_FULL_SCREEN}));
  EXPECT_EQ(m_host.m_minimized, 0);
  Input(986, 10, false, false);
  m_window.SetClientSize(1280, 720);
  ::Inside(g_Engine).HandleResize();
  Frame();
  EXPECT_EQ(m_topBar.m_icons[6].m_rect, (RECT{1216, 2, 1248, 34}));
  EXPECT_EQ(m_topBar.m_icons[7].m_rect, (RECT{1240, 2, 1272, 34}));
}

TEST_F(PanelsTest, TooltipBoxShadowsBorderAndText) {
  NewPuzzle(3, 3);
  Frame();
  // An 80 x 14 text under the minimise icon at W 1024: moved left to end 4
  // pixels before the edge.
  EXPECT_EQ(CPlayPuzzleTopMenuBar::TooltipRect(m_topBar.m_icons[7].m_rect, SIZE{80, 14}, 1024),
            (RECT{932, 46, 1020, 68}));
  EXPECT_EQ(CPlayPuzzleTopMenuBar::TooltipRect(m_topBar.m_icons[0].m_rect, SIZE{80, 14}, 1024),
            (RECT{28, 46, 116, 68}));
  // "Minimize" in Verdana 14 bold of the recording device: 56 x 14.
  ClearDraws();
  m_topBar.DrawTooltip(7);
  ASSERT_EQ(m_script.m_spriteDraws.size(), 8u);
  const RECT box{956, 46, 1020, 68};
  const LONG shadows[] = {3, 2, 1};
  for (int i = 0; i < 3; ++i) {
    const LONG d = shadows[i];
    EXPECT_EQ(DestRect(m_script.m_spriteDraws[i], 32, 32),
              (RECT{box.left + d, box.top + d, box.right + d, box.bottom + d}));
    EXPECT_EQ(m_script.m_spriteDraws[i].color, kShadow);
  }
  EXPECT_EQ(DestRect(m_script.m_spriteDraws[3], 32, 32), box);
  EXPECT_EQ(m_script.m_spriteDraws[3].color, 0xFFFFFFFFu);
  EXPECT_EQ(DestRect(m_script.m_spriteDraws[5], 32, 32), (RECT{956, 68, 1020, 69}));   // bottom line outside
  EXPECT_EQ(DestRect(m_script.m_spriteDraws[7], 32, 32), (RECT{1020, 46, 1021, 68}));  // right line outside
  ASSERT_EQ(m_script.m_textDraws.size(), 1u);
  EXPECT_EQ(m_script.m_textDraws[0].text, "Minimize");
  EXPECT_EQ(m_script.m_textDraws[0].rect.left, 960);
  EXPECT_EQ(m_script.m_textDraws[0].rect.top, 50);
  EXPECT_EQ(m_script.m_textDraws[0].color, 0xFF000000u);
}

TEST_F(PanelsTest, GameTimeIsDrawnAtTheRight) {
  EXPECT_EQ(FormatGameTime(665.5), "Game Time: 00:11:05");
  EXPECT_EQ(FormatGameTime(86399.9), "Game Time: 23:59:59");
  EXPECT_EQ(FormatGameTime(3725), "Game Time: 01:02:05");
  EXPECT_EQ(FormatGameTime(360000), "Game Time: 100:00:00");
  // Every double has a defined text: the bound and anything above it show
  // the bound, nothing below 0.
  for (double huge : {2147483647.0, 2147483648.0, 3e9, 1e10, 9007199254740993.0, 1e308, HUGE_VAL})
    EXPECT_EQ(FormatGameTime(huge), "Game Time: 596523:14:07") << huge;
  for (double none : {-1.0, -1e308, -HUGE_VAL, std::nan("")})
    EXPECT_EQ(FormatGameTime(none), "Game Time: 00:00:00");
  NewPuzzle(3, 3);
  m_game->m_playTimer.Start(665.5);
  Frame();
  const auto draws = TextsOf("Game Time: 00:11:05");
  ASSERT_EQ(draws.size(), 5u);
  EXPECT_EQ(draws[4].rect.left, 1024 - 470);
  EXPECT_EQ(draws[4].rect.top, 2);
}

// ---- preview window -----------------------------------------------------------------------------
TEST_F(PanelsTest, PreviewOpensAtTheStoredPlaceAndWidth) {
  CKVRTexture picture;
  const struct {
    int lastPos, lastWidth;
    LONG width, height;  // back buffer
    UINT pictureW, pictureH;
    RECT expected;
  } cases[] = {
      {0x00C80064, 500, 1024, 768, 1600, 900, {100, 200, 600, 481}},
      {0x00400020, 192, 1024, 768, 1024, 768, {32, 64, 224, 208}},  // first run, 4:3
      {0x00400020, 50, 1024, 768, 1024, 768, {32, 64, 128, 136}},   // at least 96 wide
      {0x00400020, 800, 800, 600, 1024, 768, {32, 64, 704, 568}},   // W - 128
      {0x00400020, 400, 1024, 768, 300, 1200, {32, 64, 176, 640}},  // too tall: H - 192 high
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lastWidth);
    WriteProfileInt(profile::kPreviewLastPos, c.lastPos);
    WriteProfileInt(profile::kPreviewLastWidth, c.lastWidth);
    m_window.SetClientSize(c.width, c.height);
    ::Inside(g_Engine).HandleResize();
    Frame();
    picture.m_imageInfo.Width = c.pictureW;
    picture.m_imageInfo.Height = c.pictureH;
    CImagePreviewWindow preview;
    m_host.m_cursor = POINT{c.expected.left + 1, c.expected.top + 1};
    preview.Open(&picture);
    EXPECT_EQ(preview.m_rect, c.expected);
    // The cursor is kept in layout pixels, like every later move: on the top-left grip.
    EXPECT_EQ(preview.Cursor(), m_host.m_cursor);
    EXPECT_EQ(preview.m_hoveredGrip, 0);
    preview.Close();
  }
}

TEST_F(PanelsTest, PreviewPositionRoundTripsThroughTheProfile) {
  EXPECT_EQ(CImagePreviewWindow::PackPosition(100, 200), 200 * 65536 + 100);
  EXPECT_EQ(CImagePreviewWindow::UnpackPosition(200 * 65536 + 100), (POINT{100, 200}));
  CKVRTexture picture;
  picture.m_imageInfo.Width = 400;
  picture.m_imageInfo.Height = 300;
  CImagePreviewWindow preview;
  preview.Open(&picture);
  // Dragged off the screen to negative coordinates: stored packed, it comes
  // back as large unsigned numbers and is repaired to (32, 40), same size.
  preview.m_rect = RECT{-50, -20, 150, 130};
  preview.Close();
  EXPECT_EQ(ReadProfileInt(profile::kPreviewLastPos), static_cast<int>(0xFFECFFCEu));
  EXPECT_EQ(ReadProfileInt(profile::kPreviewLastWidth), 200);
  preview.Open(&picture);
  EXPECT_EQ(preview.m_rect, (RECT{32, 40, 232, 190}));
  preview.m_rect = RECT{300, 400, 500, 550};
  preview.Close();
  preview.Open(&picture);
  EXPECT_EQ(preview.m_rect, (RECT{300, 400, 500, 550}));
}

TEST_F(PanelsTest, PreviewResizesWithEachGripKeepingTheOppositeCorner) {
  CKVRTexture picture;  // 2:1
  picture.m_imageInfo.Width = 400;
  picture.m_imageInfo.Height = 200;
  const RECT start{200, 200, 400, 300};
  const struct {
    int grip;
    POINT press, to;
    RECT expected;
  } cases[] = {
      {2, {398, 298}, {498, 398}, {200, 200, 500, 350}},  // bigger; top-left stays
      {2, {398, 298}, {250, 250}, {200, 200, 296, 248}},  // the 96 x 96 box holds a 96 x 48 picture
      {0, {201, 201}, {101, 151}, {100, 150, 400, 300}},  // top-left: bottom-right stays
      {0, {201, 201}, {500, 201}, {304, 252, 400, 300}},  // past the right edge: 96 wide ending there
      {1, {398, 201}, {498, 101}, {200, 150, 500, 300}},  // top-right: bottom-left stays
      {3, {201, 298}, {101, 398}, {100, 200, 400, 350}},  // bottom-left: top-right stays
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.grip);
    CImagePreviewWindow preview;
    preview.Open(&picture);
    preview.m_rect = start;
    preview.GetGripRects();
    preview.OnMouseMove(c.press.x, c.press.y);
    ASSERT_EQ(preview.m_hoveredGrip, c.grip);
    preview.OnLButtonDown(c.press.x, c.press.y);
    ASSERT_TRUE(preview.m_resizing);
    preview.OnMouseMove(c.to.x, c.to.y);
    EXPECT_EQ(preview.m_rect, c.expected);
    preview.OnLButtonUp();
    EXPECT_FALSE(preview.m_resizing);
  }
  // The inside moves the window.
  CImagePreviewWindow preview;
  preview.Open(&picture);
  preview.m_rect = start;
  preview.GetGripRects();
  preview.OnMouseMove(300, 250);
  preview.OnLButtonDown(300, 250);
  preview.OnMouseMove(250, 260);
  EXPECT_EQ(preview.m_rect, (RECT{150, 210, 350, 310}));
}

// ---- command helper ---------------------------------------------------------------------------------
TEST_F(PanelsTest, HelperLayoutFollowsTheState) {
  NewPuzzle(3, 3, 5, true);
  CCommandHelperWindow& helper = Inside().CommandHelper();
  ASSERT_TRUE(helper.Visible());
  // Idle: "Select a piece" and the idle view entry; the widest text is the
  // selection key text (40 characters of 6 pixels).
  EXPECT_EQ(helper.m_panelRect, (RECT{6, 35, 270, 325}));
  EXPECT_EQ(helper.m_closeRect, (RECT{242, 47, 258, 63}));
  EXPECT_EQ(helper.m_lines[0].m_textRect, (RECT{6, 47, 270, 65}));  // title, 18 high
  EXPECT_EQ(helper.m_lines[0].m_keyRect, (RECT{6, 65, 270, 77}));
  EXPECT_EQ(helper.m_lines[4].m_keyRect, (RECT{6, 117, 270, 129}));   // directly under its text
  EXPECT_EQ(helper.m_lines[13].m_keyRect, (RECT{6, 201, 270, 225}));  // two lines
  // Holding a joined piece of a puzzle with rotation.
  CPuzzlePiece& a = Piece(0);
  CPuzzlePiece& b = Piece(1);
  b.SetQuarterTurns(a.m_quarterTurns);
  ASSERT_TRUE(JoinPieces(b, a));
  const POINT at = ScreenOf(a);
  Input(at.x, at.y, true, false);
  ASSERT_EQ(m_screen.State(), kPlayDragging);
  EXPECT_FALSE(helper.m_lines[4].m_enabled);
  for (int i : {5, 6, 7, 11}) EXPECT_TRUE(helper.m_lines[std::size_t(i)].m_enabled) << i;
  EXPECT_FALSE(helper.m_lines[12].m_enabled);
  EXPECT_EQ(helper.m_panelRect, (RECT{6, 35, 258, 393}));
  EXPECT_EQ(helper.m_lines[4].m_textRect, (RECT{}));  // hidden lines take no room
  // The right button moves the view: entry 9 instead of 8.
  Input(at.x, at.y, true, true);
  EXPECT_FALSE(helper.m_lines[11].m_enabled);
  EXPECT_TRUE(helper.m_lines[12].m_enabled);
  EXPECT_EQ(helper.m_panelRect, (RECT{6, 35, 276, 393}));
  Input(at.x, at.y, false, false);
  // An id that is not in the panel changes nothing but lays out again.
  const RECT panel = helper.m_panelRect;
  helper.m_panelRect.right = 999;
  helper.EnableEntry(20, true);
  EXPECT_EQ(helper.m_panelRect, panel);
}

TEST_F(PanelsTest, HelperCloseBoxAndPressesOnThePanel) {
  m_host.m_cursor = POINT{100, 150};  // where the pointer is when the panel opens
  NewPuzzle(3, 3);
  const CCommandHelperWindow& helper = m_screen.CommandHelper();
  EXPECT_EQ(helper.Cursor(), (POINT{100, 150}));  // layout pixels, as every later move
  // A press inside the panel but off the close box neither picks nor bands.
  Input(100, 150, false, false, 1, 1);
  Input(100, 150, true, false);
  EXPECT_EQ(m_screen.State(), kPlayIdle);
  EXPECT_FALSE(Hand().rubberBandActive);
  EXPECT_TRUE(helper.Visible());
  Input(100, 150, false, false);
  // The close box hides it and remembers that.
  const POINT close{helper.m_closeRect.left + 4, helper.m_closeRect.top + 4};
  Input(close.x, close.y, false, false, 1, 1);
  Input(close.x, close.y, true, false);
  EXPECT_FALSE(helper.Visible());
  EXPECT_FALSE(helper.m_created);
  EXPECT_FALSE(m_game->m_showCommandHelper);
  EXPECT_FALSE(ReadProfileBool(profile::kShowCommandHelper));
  EXPECT_EQ(m_screen.State(), kPlayIdle);
  Input(close.x, close.y, false, false);
  // F6's path shows it again, rebuilt.
  m_game->SetCommandHelperVisible(true);
  EXPECT_TRUE(helper.Visible());
  EXPECT_EQ(helper.m_lines.size(), 19u);
}

TEST_F(PanelsTest, ALanguageSwitchRebuildsTheHelperAndTheTooltipsKeepingTheEntries) {
  NewPuzzle(3, 3);
  m_game->m_showCommandHelper = true;
  const POINT at = ScreenOf(Piece(0));
  Input(at.x, at.y, true, false);  // holding: "Move the selected piece(s)"
  CFrameCommands commands(*m_game, m_frameWindow, m_dialogs, m_saved);
  commands.SetLanguage(CFrameCommands::kFrench);
  const CCommandHelperWindow& helper = m_screen.CommandHelper();
  ASSERT_EQ(helper.m_lines.size(), 19u);
  EXPECT_EQ(helper.m_lines[0].m_text, "Aide des commandes");
  EXPECT_FALSE(helper.m_lines[4].m_enabled);
  EXPECT_TRUE(helper.m_lines[5].m_enabled);
  EXPECT_EQ(m_topBar.m_icons[7].m_tooltip, "Réduire");
  commands.SetLanguage(CFrameCommands::kEnglish);
  EXPECT_EQ(helper.m_lines[0].m_text, "Command Helper");
  Input(at.x, at.y, false, false);
}

// ---- at the desktop's scale factor ------------------------------------------------------------------
namespace {
// A 2048 x 1536 view at factor 2: in layout pixels the 1024 x 768 view of
// the tests above. Every rectangle of the 2D layer is where it is there
// and drawn at twice its size, text is made twice as high, and presses,
// hovers and picks come in layout pixels.
class ScaledPanelsTest : public PanelsTest {
 protected:
  void SetUp() override {
    PanelsTest::SetUp();
    m_window.m_scale = 2.0;
    m_window.SetClientSize(2048, 1536);
    ::Inside(g_Engine).HandleResize();
  }
  bool DrewSprite(const RECT& device, LONG sourceSide) const {
    for (const RecordedSpriteDraw& d : m_script.m_spriteDraws)
      if (DestRect(d, sourceSide, sourceSide) == device) return true;
    return false;
  }
  static INT DeviceHeight(const CKVRFont& font) {
    D3DXFONT_DESCA desc;
    return font.m_font && SUCCEEDED(font.m_font->GetDescA(&desc)) ? desc.Height : 0;
  }
};
}  // namespace

TEST_F(ScaledPanelsTest, IconsTooltipsAndTheTimeKeepTheirPlacesAtTwiceTheSize) {
  NewPuzzle(3, 3);
  m_game->m_playTimer.Start(665.5);
  Input(1000, 10, false, false, 1, 0);  // onto the minimise icon
  EXPECT_EQ(m_topBar.m_icons[0].m_rect, (RECT{32, 2, 64, 34}));
  EXPECT_EQ(m_topBar.m_icons[6].m_rect, (RECT{960, 2, 992, 34}));
  EXPECT_EQ(m_topBar.m_icons[7].m_rect, (RECT{984, 2, 1016, 34}));
  EXPECT_EQ(m_topBar.m_hoveredIcon, 7);
  EXPECT_TRUE(DrewSprite(RECT{64, 4, 128, 68}, 32));        // icon 0
  EXPECT_TRUE(DrewSprite(RECT{1968, 4, 2032, 68}, 32));     // icon 7
  EXPECT_TRUE(DrewSprite(RECT{1912, 92, 2040, 136}, 32));   // the tooltip box {956, 46, 1020, 68}
  EXPECT_TRUE(DrewSprite(RECT{1912, 136, 2040, 138}, 32));  // its bottom line, 2 pixels now
  const auto tip = TextsOf("Minimize");
  ASSERT_EQ(tip.size(), 1u);
  EXPECT_EQ(tip[0].rect.left, 1920);
  EXPECT_EQ(tip[0].rect.top, 100);
  EXPECT_EQ(DeviceHeight(m_game->m_fonts[2]), 28);
  const auto time = TextsOf("Game Time: 00:11:05");
  ASSERT_EQ(time.size(), 5u);
  EXPECT_EQ(time[4].rect.left, 2 * (1024 - 470));
  EXPECT_EQ(time[4].rect.top, 4);
  // The press where the icon is drawn gives its command.
  Input(1000, 10, true, false);
  EXPECT_EQ(m_host.m_minimized, 1);
  Input(1000, 10, false, false);
}

TEST_F(ScaledPanelsTest, TheHelperKeepsItsLayoutWithTextTwiceAsHigh) {
  NewPuzzle(3, 3, 5, true);
  const CCommandHelperWindow& helper = m_screen.CommandHelper();
  ASSERT_TRUE(helper.Visible());
  EXPECT_EQ(helper.m_panelRect, (RECT{6, 35, 270, 325}));
  EXPECT_EQ(helper.m_closeRect, (RECT{242, 47, 258, 63}));
  EXPECT_EQ(DeviceHeight(helper.m_fontRegular), 24);
  EXPECT_EQ(DeviceHeight(helper.m_fontTitle), 36);
  Frame();
  EXPECT_TRUE(DrewSprite(RECT{12, 70, 540, 650}, 32));  // the panel
  const auto title = TextsOf(helper.m_lines[0].m_text);
  ASSERT_EQ(title.size(), 1u);
  EXPECT_EQ(title[0].rect.left, 2 * (6 + 12));
  EXPECT_EQ(title[0].rect.top, 2 * 47);
  // The close box takes a press where it is drawn.
  const POINT close{helper.m_closeRect.left + 4, helper.m_closeRect.top + 4};
  Input(close.x, close.y, false, false, 1, 1);
  Input(close.x, close.y, true, false);
  EXPECT_FALSE(helper.Visible());
  Input(close.x, close.y, false, false);
}

TEST_F(ScaledPanelsTest, APieceIsPickedAndDraggedWhereItIsDrawn) {
  NewPuzzle(3, 3);
  CPuzzlePiece& piece = Piece(4);
  const POINT at = ScreenOf(piece);
  Input(at.x, at.y, true, false);
  ASSERT_EQ(m_screen.State(), kPlayDragging);
  EXPECT_EQ(Hand().heldPiece, &piece);
  Input(at.x, at.y, false, false);
  const D3DXVECTOR3 target = piece.m_currentPosition + D3DXVECTOR3(150.0f, -120.0f, 0.0f);
  DragPiece(piece, target);
  EXPECT_NEAR(piece.m_currentPosition.x, target.x, 4.0f);
  EXPECT_NEAR(piece.m_currentPosition.y, target.y, 4.0f);
}

// The start screen on the recording device: layout, clicks, hover and the
// captions of the current language.
#include <gtest/gtest.h>

#include "game/command_ids.h"
#include "game/frame_commands.h"
#include "game_fixture.h"
#include "tests/engine/engine_access.h"

namespace {
class StartScreenTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    m_window.SetClientSize(1280, 720);
    StartGame();
  }
  CGUIInterfaceStartMenu& Screen() { return m_game->m_startScreen; }
  // The sprite draws of the four buttons' textures, in button order.
  std::vector<RecordedSpriteDraw> ButtonDraws() const {
    std::vector<RecordedSpriteDraw> out;
    for (const RecordedSpriteDraw& d : m_script.m_spriteDraws)
      if (d.hasSource) out.push_back(d);
    return out;
  }
};

}  // namespace

TEST_F(StartScreenTest, LayoutAt1280x720) {
  Mouse(1000, 500, false);
  Frame();
  EXPECT_EQ(Inside(g_Engine).ClearColor(), 0xFFFFFFFFu);
  ASSERT_GE(m_script.m_spriteDraws.size(), 2u);
  EXPECT_EQ(DestRect(m_script.m_spriteDraws[0], 1024, 1024), (RECT{560, 0, 1280, 720}));  // globe
  EXPECT_EQ(DestRect(m_script.m_spriteDraws[1], 32, 1024), (RECT{0, 0, 560, 720}));       // fill
  const std::pair<const char*, POINT> captions[] = {{"Create New Puzzle", {80, 78}},
                                                    {"Load Saved Puzzle", {80, 154}},
                                                    {"Help", {80, 230}},
                                                    {"Exit", {80, 664}}};
  for (const auto& [text, at] : captions) {
    SCOPED_TRACE(text);
    const auto draws = TextsOf(text);
    ASSERT_EQ(draws.size(), 5u);  // shadows and text, nothing hovered
    EXPECT_EQ(draws[4].rect.left, at.x);
    EXPECT_EQ(draws[4].rect.top, at.y);
    EXPECT_EQ(draws[4].color, 0xC0FFFFFFu);
    EXPECT_EQ(draws[0].color, 0xC0000000u);
  }
  // The Exit button follows the height.
  m_window.SetClientSize(1280, 800);
  Inside(g_Engine).HandleResize();
  Frame();
  EXPECT_EQ(Screen().m_buttons[3].m_rect, (RECT{8, 728, 72, 792}));
  EXPECT_EQ(Screen().m_buttons[2].m_rect, (RECT{8, 214, 72, 278}));
}

TEST_F(StartScreenTest, APressOnAButtonPostsItsCommandOnce) {
  const struct {
    POINT at;
    std::vector<UINT> posted;
  } cases[] = {
      {{10, 710}, {ID_APP_EXIT}},
      {{10, 712}, {}},
      {{7, 70}, {}},
      {{8, 62}, {ID_CREATE_NEW_PUZZLE}},
      {{71, 138}, {ID_LOAD_PUZZLE}},
      {{40, 277}, {ID_HELP_CONTENTS}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.at.x * 1000 + c.at.y);
    m_host.m_posted.clear();
    Mouse(c.at.x, c.at.y, false);
    Frame();
    Mouse(c.at.x, c.at.y, true);
    Frame();
    Frame();  // held: no second click
    Mouse(c.at.x, c.at.y, false);
    Frame();
    EXPECT_EQ(m_host.m_posted, c.posted);
  }
  // Pressed outside, released over a button: nothing.
  m_host.m_posted.clear();
  Mouse(300, 300, true);
  Frame();
  Mouse(20, 80, true);
  Frame();
  Mouse(20, 80, false);
  Frame();
  EXPECT_TRUE(m_host.m_posted.empty());
}

TEST_F(StartScreenTest, HoverBrightensTheButtonAndItsCaption) {
  Mouse(40, 100, false);
  Frame();
  const auto buttons = ButtonDraws();
  ASSERT_EQ(buttons.size(), 4u);
  EXPECT_EQ(buttons[0].color, 0xFFFFFFFFu);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(buttons[i].color, 0xD9FFFFFFu) << i;
  const auto caption = TextsOf("Create New Puzzle");
  ASSERT_EQ(caption.size(), 10u);  // translucent, then opaque again
  EXPECT_EQ(caption[9].color, 0xFFFFFFFFu);
  EXPECT_EQ(caption[5].color, 0xFF000000u);
  EXPECT_EQ(TextsOf("Help").size(), 5u);
  // Leaving returns to the resting state.
  Mouse(400, 400, false);
  Frame();
  EXPECT_EQ(ButtonDraws()[0].color, 0xD9FFFFFFu);
  EXPECT_EQ(TextsOf("Create New Puzzle").size(), 5u);
}

TEST_F(StartScreenTest, CaptionsFollowTheLanguageAtOnce) {
  NoFrameWindow window;
  UnconnectedGameDialogs dialogs;
  UnconnectedSavedGames saved;
  CFrameCommands commands(*m_game, window, dialogs, saved);
  commands.SetLanguage(CFrameCommands::kFrench);
  Frame();
  EXPECT_EQ(TextsOf("Créer un nouveau casse-tête").size(), 5u);
  EXPECT_EQ(TextsOf("Quitter").size(), 5u);
  EXPECT_TRUE(TextsOf("Exit").empty());
  EXPECT_EQ(ProfileGetString("", "Language", ""), "french");
  commands.SetLanguage(CFrameCommands::kEnglish);
  Frame();
  EXPECT_EQ(TextsOf("Exit").size(), 5u);
  EXPECT_EQ(ProfileGetString("", "Language", ""), "english");
}

TEST_F(StartScreenTest, MissingArtIsLeftOutAndTheButtonsStillClick) {
  // An installation without its Textures folder.
  m_game->SetScreen(kScreenNone);
  {
    const testkit::ScopedInstallation bare(m_dir.MakeFolder("bare"), m_dir.path());
    m_game->SetScreen(kScreenStart);
  }
  Mouse(20, 80, false);
  Frame();
  EXPECT_TRUE(m_script.m_spriteDraws.empty()) << m_script.m_log.Dump();
  EXPECT_EQ(TextsOf("Create New Puzzle").size(), 10u);
  Mouse(20, 80, true);
  Frame();
  EXPECT_EQ(m_host.m_posted, std::vector<UINT>{ID_CREATE_NEW_PUZZLE});
}

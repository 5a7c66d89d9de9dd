// The frame's commands headless: the enable rules whatever the source, the
// information box, the options' rebuild rule, the new-puzzle command, the
// piece keys, and the frame driver (no re-entry, nothing while modal,
// posted commands after their frame, play time around minimising), and the
// boxes that name what the desktop could not open.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/command_ids.h"
#include "game/frame_commands.h"
#include "game/frame_driver.h"
#include "game/screens/command_helper.h"
#include "game_fixture.h"
#include "platform/crt_random.h"
#include "platform/d3d9/d3d9_resources.h"
#include "platform/shell.h"
#include "profile_watch.h"
#include "support/string_table.h"

namespace {
class FakeFrameWindow : public IFrameWindow {
 public:
  void CloseWindow() override { ++m_closes; }
  bool IsFullScreen() const override { return m_fullScreen; }
  void SetFullScreen(bool on) override { m_fullScreen = on; }
  void ReloadMenus() override { ++m_menuReloads; }
  void SetWaitCursor(bool on) override { m_waitCursor += on ? 1 : -1; }

  int m_closes = 0, m_menuReloads = 0, m_waitCursor = 0;
  bool m_fullScreen = false;
};

class FakeDialogs : public IGameDialogs {
 public:
  bool RunNewPuzzle(PuzzleSettings& settings) override {
    m_calls.push_back("new");
    if (m_newPuzzle) m_newPuzzle(settings);
    return m_answer;
  }
  bool RunChangeEnvironment() override {
    m_calls.push_back("environment");
    return m_answer;
  }
  bool RunOptions() override {
    m_calls.push_back("options");
    if (m_options) m_options();
    return m_answer;
  }
  void RunGameMenu() override { m_calls.push_back("game menu"); }
  void RunAbout() override { m_calls.push_back("about"); }
  void ShowTutorials() override { m_calls.push_back("tutorials"); }

  std::vector<std::string> m_calls;
  bool m_answer = true;
  std::function<void(PuzzleSettings&)> m_newPuzzle;
  std::function<void()> m_options;
};

class FakeSavedGames : public ISavedGames {
 public:
  void Load() override { m_calls.push_back("load"); }
  void Save() override { m_calls.push_back("save"); }
  std::vector<std::string> m_calls;
};

// A shell whose boxes can look at the game while they are open.
class WatchingShell : public ScopedRecordingShell {
 public:
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    if (m_whileOpen) m_whileOpen();
    return RecordingShell::MessageBox(text, caption, flags);
  }
  std::function<void()> m_whileOpen;
};

class FrameCommandsTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    m_commands = std::make_unique<CFrameCommands>(*m_game, m_frameWindow, m_dialogs, m_saved);
    m_commands->m_showHelp = [this](int topic) { m_helpTopics.push_back(topic); };
    m_driver = std::make_unique<FrameDriver>(*m_game, FrameDriver::Hooks{[this] { return m_minimized; },
                                                                         {},
                                                                         [this](UINT id) {
                                                                           m_dispatched.push_back(id);
                                                                           m_commands->Dispatch(id);
                                                                         }});
  }
  // The game on its play screen with a new puzzle made through the command.
  void StartWithPuzzle(int columns, int rows) {
    m_game->SetPlayScreen(&m_play);
    StartGame();
    m_dialogs.m_newPuzzle = [columns, rows](PuzzleSettings& s) {
      s.columns = columns;
      s.rows = rows;
    };
    ASSERT_TRUE(m_commands->Dispatch(ID_CREATE_NEW_PUZZLE));
    ASSERT_TRUE(m_game->IsPlayScreenCurrent());
  }
  // What running a command did, as one list of the fakes' records.
  std::vector<std::string> Effects() const {
    std::vector<std::string> all = m_dialogs.m_calls;
    all.insert(all.end(), m_saved.m_calls.begin(), m_saved.m_calls.end());
    for (int t : m_helpTopics) all.push_back("help " + std::to_string(t));
    if (m_frameWindow.m_fullScreen) all.push_back("full screen");
    for (size_t i = 0; i < m_shell.boxes.size(); ++i) all.push_back("box");
    return all;
  }
  void ClearEffects() {
    m_dialogs.m_calls.clear();
    m_saved.m_calls.clear();
    m_helpTopics.clear();
    m_frameWindow.m_fullScreen = false;
    m_shell.boxes.clear();
  }

  WatchingShell m_shell;
  FakeFrameWindow m_frameWindow;
  FakeDialogs m_dialogs;
  FakeSavedGames m_saved;
  std::vector<int> m_helpTopics;
  std::unique_ptr<CFrameCommands> m_commands;
  std::unique_ptr<FrameDriver> m_driver;
  std::vector<UINT> m_dispatched;
  bool m_minimized = false;
};
}  // namespace

// ---- enable rules ---------------------------------------------------------------------------
TEST_F(FrameCommandsTest, OnTheStartScreenPuzzleCommandsDoNothingFromAnySource) {
  m_game->SetPlayScreen(&m_play);
  StartGame();
  m_dialogs.m_answer = false;
  const struct {
    UINT id;
    std::vector<std::string> effects;  // empty: disabled
  } cases[] = {
      {ID_SHOW_START_SCREEN, {}},
      {ID_SAVE_PUZZLE, {}},
      {ID_CHANGE_ENVIRONMENT, {}},
      {ID_GAME_MENU, {}},
      {ID_PUZZLE_INFORMATION, {}},
      {ID_SHOW_HIDE_PREVIEW, {}},
      {ID_COMMAND_HELPER, {}},
      {ID_CREATE_NEW_PUZZLE, {"new"}},
      {ID_LOAD_PUZZLE, {"load"}},
      {ID_OPTIONS, {"options"}},
      {ID_TOGGLE_FULL_SCREEN, {"full screen"}},
      {ID_HELP_CONTENTS, {"help 0"}},
      {ID_HELP_COMMANDS, {"help 32502"}},
      {ID_APP_ABOUT, {"about"}},
      {ID_SHOW_TUTORIALS, {"tutorials"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    // From a menu or an accelerator: a direct dispatch.
    ClearEffects();
    EXPECT_EQ(m_commands->Router().IsEnabled(c.id), !c.effects.empty());
    EXPECT_EQ(m_commands->Dispatch(c.id), !c.effects.empty());
    EXPECT_EQ(Effects(), c.effects);
    // Posted by a screen: runs after the frame, by the same rule.
    ClearEffects();
    m_driver->Start();
    m_driver->Post(c.id);
    EXPECT_TRUE(m_driver->Turn());
    EXPECT_EQ(Effects(), c.effects);
  }
  EXPECT_EQ(m_play.m_previewToggles, 0);
  EXPECT_TRUE(m_play.m_helper.empty());
}

TEST_F(FrameCommandsTest, WhileAPuzzleRunsItsCommandsRun) {
  StartWithPuzzle(3, 3);
  ASSERT_TRUE(m_game->IsPlayScreenCurrent());
  EXPECT_EQ(m_play.m_resets, 1);
  EXPECT_EQ(m_game->m_statusText, "For help on how to play, press F1");
  EXPECT_EQ(m_frameWindow.m_waitCursor, 0);  // on and off again
  for (UINT id :
       {ID_SAVE_PUZZLE, ID_CHANGE_ENVIRONMENT, ID_GAME_MENU, ID_SHOW_HIDE_PREVIEW, ID_COMMAND_HELPER})
    EXPECT_TRUE(m_commands->Dispatch(id)) << id;
  EXPECT_EQ(m_saved.m_calls, std::vector<std::string>{"save"});
  EXPECT_EQ(m_play.m_environmentLoads, 1);
  EXPECT_EQ(m_play.m_previewToggles, 1);
  EXPECT_EQ(m_play.m_helper, std::vector<bool>{false});  // shown at start, hidden now
  EXPECT_TRUE(m_commands->Dispatch(ID_SHOW_START_SCREEN));
  EXPECT_EQ(m_game->m_screenType, kScreenStart);
  EXPECT_FALSE(m_game->m_puzzleRunning);
  EXPECT_FALSE(m_commands->Router().IsEnabled(ID_SAVE_PUZZLE));
}

TEST_F(FrameCommandsTest, ShowFPSTogglesAndIsStored) {
  StartGame();
  EXPECT_TRUE(m_commands->Dispatch(ID_SHOW_FPS));
  EXPECT_TRUE(m_game->m_showFPS);
  EXPECT_TRUE(m_commands->Router().IsChecked(ID_SHOW_FPS));
  EXPECT_EQ(ProfileGetInt("", "ShowFPS", -1), 1);
  EXPECT_TRUE(m_commands->Dispatch(ID_SHOW_FPS));
  EXPECT_FALSE(m_game->m_showFPS);
  EXPECT_EQ(ProfileGetInt("", "ShowFPS", -1), 0);
}

TEST_F(FrameCommandsTest, AFailedNewPuzzleShowsItsBoxAndStays) {
  m_game->SetPlayScreen(&m_play);
  StartGame();
  m_dialogs.m_newPuzzle = [this](PuzzleSettings& s) { s.picturePath = m_dir / "missing.png"; };
  EXPECT_TRUE(m_commands->Dispatch(ID_CREATE_NEW_PUZZLE));
  ASSERT_EQ(m_shell.boxes.size(), 1u);
  EXPECT_EQ(m_shell.boxes[0].text, "The puzzle could not be created.  Some files may be corrupted.");
  EXPECT_EQ(m_shell.boxes[0].caption, "Error");
  EXPECT_EQ(m_shell.boxes[0].flags, MB_ICONERROR);
  EXPECT_EQ(m_game->m_screenType, kScreenStart);
  EXPECT_EQ(m_frameWindow.m_waitCursor, 0);
}

// ---- lack of memory ----------------------------------------------------------------------------
// A new puzzle memory cannot hold, at each of its first allocations (its
// picture, the edge texture, the pieces' buffers), a middle and the last
// one (the pieces' own): one box says so, the
// puzzle on the table is given up for the start screen and the play time
// stays stopped; a puzzle that fits is then made as ever.
TEST_F(FrameCommandsTest, ANewPuzzleMemoryCannotHoldShowsOneBoxAndTheStartScreen) {
  StartWithPuzzle(3, 3);
  m_dialogs.m_newPuzzle = [](PuzzleSettings& s) {
    s.columns = 8;
    s.rows = 6;
  };
  long long allocations = 0;
  {
    const ScopedAllocationFailure counting(-1);
    ASSERT_TRUE(m_commands->Dispatch(ID_CREATE_NEW_PUZZLE));
    allocations = counting.Count();
  }
  ASSERT_GE(allocations, 3);
  for (long long n : testkit::FirstMiddleAndLast(allocations, 6)) {
    SCOPED_TRACE(n);
    ASSERT_TRUE(m_game->IsPlayScreenCurrent());
    ClearEffects();
    {
      const ScopedAllocationFailure failing(n);
      ASSERT_TRUE(m_commands->Dispatch(ID_CREATE_NEW_PUZZLE));
    }
    EXPECT_EQ(Effects(), (std::vector<std::string>{"new", "box"}));
    ASSERT_EQ(m_shell.boxes.size(), 1u);
    EXPECT_EQ(m_shell.boxes[0].text,
              "There is not enough memory for a puzzle of this size.  Choose fewer pieces, or close other "
              "programs, and try again.");
    EXPECT_EQ(m_shell.boxes[0].flags, MB_ICONERROR);
    EXPECT_EQ(m_game->m_screenType, kScreenStart);
    EXPECT_FALSE(m_game->m_puzzleRunning);
    EXPECT_FALSE(m_game->m_playTimer.m_running);
    EXPECT_TRUE(m_game->m_settings.m_board.m_pieces.empty());
    EXPECT_EQ(m_game->m_settings.m_pictureTexture.m_d3dTexture, nullptr);
    EXPECT_EQ(m_frameWindow.m_waitCursor, 0);
    m_script.m_unexpectedFailures.clear();  // the device's answers that memory ran out
    ASSERT_TRUE(m_commands->Dispatch(ID_CREATE_NEW_PUZZLE));
    EXPECT_EQ(m_game->m_settings.m_board.m_pieces.size(), 48u);
    EXPECT_TRUE(m_game->m_playTimer.m_running);
  }
}

// A new definition whose meshes memory cannot hold gives the puzzle up the
// same way.
TEST_F(FrameCommandsTest, ARebuildMemoryCannotHoldGivesThePuzzleUp) {
  StartWithPuzzle(4, 3);
  const int changed = m_game->m_settings.m_board.m_definition == 1 ? 2 : 1;
  m_dialogs.m_options = [changed] { ProfileWriteInt("GameOptions", "PuzzleDefinition", changed); };
  {
    const ScopedAllocationFailure failing(0, true);
    ASSERT_TRUE(m_commands->Dispatch(ID_OPTIONS));
  }
  ASSERT_EQ(m_shell.boxes.size(), 1u);
  EXPECT_EQ(m_shell.boxes[0].text.rfind("There is not enough memory", 0), 0u);
  EXPECT_EQ(m_game->m_screenType, kScreenStart);
  EXPECT_FALSE(m_game->m_playTimer.m_running);
  EXPECT_TRUE(m_game->m_settings.m_board.m_pieces.empty());
  m_script.m_unexpectedFailures.clear();  // the device's answers that memory ran out
}

// Memory that runs out while the play screen draws (an upload the device
// could not make) gives the puzzle up the same way, once, through the
// command the frame posts.
TEST_F(FrameCommandsTest, MemoryThatRunsOutDrawingThePuzzleGivesItUpOnce) {
  StartWithPuzzle(4, 3);
  RecordingGameHost& host = m_host;
  int failingFrames = 2;
  m_play.m_onRender = [&] {
    if (failingFrames > 0) --failingFrames, OutOfMemory(D3DERR_OUTOFVIDEOMEMORY);
  };
  host.m_posted.clear();
  m_game->RunFrame();
  m_game->RunFrame();
  EXPECT_EQ(host.m_posted, std::vector<UINT>{ID_PUZZLE_TOO_LARGE});
  EXPECT_TRUE(m_game->IsPlayScreenCurrent());  // until the command runs
  ASSERT_TRUE(m_commands->Dispatch(ID_PUZZLE_TOO_LARGE));
  ASSERT_EQ(m_shell.boxes.size(), 1u);
  EXPECT_EQ(m_shell.boxes[0].text.rfind("There is not enough memory", 0), 0u);
  EXPECT_EQ(m_game->m_screenType, kScreenStart);
  EXPECT_FALSE(m_game->m_playTimer.m_running);
  EXPECT_TRUE(m_game->m_settings.m_board.m_pieces.empty());
  // From the start screen the command does nothing.
  EXPECT_FALSE(m_commands->Dispatch(ID_PUZZLE_TOO_LARGE));
  EXPECT_EQ(m_shell.boxes.size(), 1u);
}

// ---- information box --------------------------------------------------------------------------
TEST_F(FrameCommandsTest, InformationBoxWithThePlayTimePaused) {
  EXPECT_EQ(PuzzleInformationText(12, 8, 37.5), "Dimension: 12 X 8 (96 pieces)\n37.5% completed\n");
  EXPECT_EQ(PuzzleInformationText(12, 8, 99.96), "Dimension: 12 X 8 (96 pieces)\n100.0% completed\n");

  StartWithPuzzle(4, 3);
  m_clock.Advance(10.0);
  bool runningWhileOpen = true;
  m_shell.m_whileOpen = [&] {
    runningWhileOpen = m_game->m_playTimer.m_running;
    m_clock.Advance(100.0);  // the box stays open a while
  };
  ASSERT_TRUE(m_commands->Dispatch(ID_PUZZLE_INFORMATION));
  ASSERT_EQ(m_shell.boxes.size(), 1u);
  EXPECT_EQ(m_shell.boxes[0].caption, "Puzzle Information");
  EXPECT_EQ(m_shell.boxes[0].flags, MB_ICONINFORMATION);
  EXPECT_EQ(m_shell.boxes[0].text.rfind("Dimension: 4 X 3 (12 pieces)\n", 0), 0u);
  EXPECT_FALSE(runningWhileOpen);
  EXPECT_TRUE(m_game->m_playTimer.m_running);
  EXPECT_DOUBLE_EQ(m_game->m_playTimer.GetElapsed(), 10.0);
}

// ---- options -----------------------------------------------------------------------------------
TEST_F(FrameCommandsTest, OptionsRebuildOnlyOnAChangedDefinition) {
  StartWithPuzzle(4, 3);
  CPuzzleBoard& board = m_game->m_settings.m_board;
  const std::int32_t definition = board.m_definition;

  // Nothing changed (shiny flipped only): the generator is left alone.
  m_dialogs.m_options = [] { ProfileWriteInt("GameOptions", "ShinyPieces", 0); };
  CrtSrand(777);
  const std::uint32_t untouched = CrtRandomState();
  ASSERT_TRUE(m_commands->Dispatch(ID_OPTIONS));
  EXPECT_EQ(CrtRandomState(), untouched);
  EXPECT_EQ(board.m_definition, definition);
  EXPECT_FALSE(board.m_shinyPieces);

  // A new definition: reseeded with the puzzle's seed and rebuilt.
  const int changed = definition == 1 ? 2 : 1;
  m_dialogs.m_options = [changed] { ProfileWriteInt("GameOptions", "PuzzleDefinition", changed); };
  ASSERT_TRUE(m_commands->Dispatch(ID_OPTIONS));
  EXPECT_EQ(board.m_definition, changed);
  EXPECT_NE(CrtRandomState(), untouched);
  const std::uint32_t afterRebuild = CrtRandomState();
  CrtSrand(static_cast<std::uint32_t>(m_game->m_settings.m_seed));
  ASSERT_TRUE(board.Rebuild());
  EXPECT_EQ(CrtRandomState(), afterRebuild);

  // Cancelled: nothing read.
  m_dialogs.m_answer = false;
  m_dialogs.m_options = [] { ProfileWriteInt("GameOptions", "PuzzleDefinition", 4); };
  ASSERT_TRUE(m_commands->Dispatch(ID_OPTIONS));
  EXPECT_EQ(board.m_definition, changed);
}

// ---- keys -----------------------------------------------------------------------------------------
TEST_F(FrameCommandsTest, PieceKeysActOnlyOnThePlayScreen) {
  m_game->SetPlayScreen(&m_play);
  StartGame();
  for (BYTE key : {DIK_BACK, DIK_LEFT, DIK_X}) m_commands->OnPieceKey(key);
  EXPECT_TRUE(m_play.m_rotations.empty());
  EXPECT_EQ(m_play.m_disconnects, 0);
  m_game->SetScreen(kScreenPlay);
  for (BYTE key : {DIK_BACK, DIK_LEFT, DIK_UP, DIK_Z, DIK_RIGHT, DIK_DOWN, DIK_X, DIK_A})
    m_commands->OnPieceKey(key);
  EXPECT_EQ(m_play.m_disconnects, 1);
  EXPECT_EQ(m_play.m_rotations, (std::vector<int>{-1, -1, -1, 1, 1, 1}));
}

// ---- frame driver ----------------------------------------------------------------------------------
TEST_F(FrameCommandsTest, NoFrameStartsInsideAFrameOrWhileModal) {
  m_game->SetPlayScreen(&m_play);
  StartGame();
  m_game->SetScreen(kScreenPlay);
  m_driver->Start();
  // A box opened from inside a frame (its loop keeps the timer going): the
  // turns it causes start no second frame.
  int nestedFrames = 0;
  m_play.m_onUpdate = [&] {
    m_host.PostCommand(ID_SHOW_FPS);  // what the box's owner might post
    m_driver->Post(ID_SHOW_FPS);
    for (int i = 0; i < 3; ++i) nestedFrames += m_driver->Turn() ? 1 : 0;
    EXPECT_TRUE(m_dispatched.empty());  // posted commands wait for the frame's end
  };
  EXPECT_TRUE(m_driver->Turn());
  EXPECT_EQ(nestedFrames, 0);
  EXPECT_EQ(m_play.m_updates, 1);
  EXPECT_EQ(m_dispatched, std::vector<UINT>{ID_SHOW_FPS});
  m_play.m_onUpdate = nullptr;

  // A command's dialog: no frame while it is open.
  m_dialogs.m_options = [&] { nestedFrames += m_driver->Turn() ? 1 : 0; };
  ASSERT_TRUE(m_commands->Dispatch(ID_OPTIONS));
  EXPECT_EQ(nestedFrames, 0);
  {
    ModalGuard open;
    EXPECT_FALSE(m_driver->Turn());
  }
  EXPECT_TRUE(m_driver->Turn());

  // An expose behind a dialog draws the picture again without updating.
  {
    ModalGuard open;
    m_script.m_log.Clear();
    const int updates = m_play.m_updates;
    m_driver->Repaint();
    EXPECT_EQ(m_script.m_log.Count("Present"), 1);
    EXPECT_EQ(m_play.m_updates, updates);
  }
  // Inside a frame it waits for the frame.
  m_play.m_onUpdate = [&] {
    m_script.m_log.Clear();
    m_driver->Repaint();
    EXPECT_EQ(m_script.m_log.Count("Present"), 0);
  };
  EXPECT_TRUE(m_driver->Turn());
  m_play.m_onUpdate = nullptr;

  // Not before Start, not after Stop.
  m_driver->Stop();
  EXPECT_FALSE(m_driver->Turn());
  m_script.m_log.Clear();
  m_driver->Repaint();
  EXPECT_EQ(m_script.m_log.Count("Present"), 0);
}

TEST_F(FrameCommandsTest, PlayTimeAroundMinimising) {
  m_game->SetPlayScreen(&m_play);
  StartGame();
  m_driver->Start();
  const struct {
    const char* label;
    bool running;
    float completion;
    double start, elapsedAt410;
    bool timerRunsAfter;
  } cases[] = {
      {"puzzle running", true, 10.0f, 340.0, 70.0, true},
      {"puzzle complete", true, 100.0f, 100.0, 60.0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    m_game->m_puzzleRunning = c.running;
    m_game->m_settings.m_board.m_completion = c.completion;
    m_clock.Set(100.0);
    m_game->m_playTimer.Start(0.0);
    m_clock.Set(160.0);
    m_minimized = true;
    EXPECT_FALSE(m_driver->Turn());
    EXPECT_FALSE(m_game->m_playTimer.m_running);
    m_clock.Set(400.0);
    EXPECT_FALSE(m_driver->Turn());  // still minimised: no frame
    m_minimized = false;
    EXPECT_TRUE(m_driver->Turn());
    EXPECT_DOUBLE_EQ(m_game->m_playTimer.m_startTime, c.start);
    EXPECT_EQ(m_game->m_playTimer.m_running, c.timerRunsAfter);
    m_clock.Set(410.0);
    EXPECT_DOUBLE_EQ(m_game->m_playTimer.GetElapsed(), c.elapsedAt410);
  }
  // On the start screen (it clears the running flag) the timer is left alone.
  m_game->SetScreen(kScreenPlay);
  m_game->SetScreen(kScreenStart);
  EXPECT_FALSE(m_game->m_puzzleRunning);
  m_clock.Set(500.0);
  m_game->m_playTimer.Start(0.0);
  m_minimized = true;
  m_driver->Turn();
  EXPECT_TRUE(m_game->m_playTimer.m_running);
}

// ---- language ----------------------------------------------------------------------------------
TEST_F(FrameCommandsTest, ALanguageSwitchRefreshesEverythingShown) {
  m_game->SetTopBar(&m_bar);
  StartWithPuzzle(3, 3);
  m_commands->SetLanguage(CFrameCommands::kFrench);
  EXPECT_EQ(m_bar.m_tooltipLoads, 1);
  EXPECT_EQ(m_frameWindow.m_menuReloads, 1);
  EXPECT_EQ(m_play.m_helper, (std::vector<bool>{false, true}));  // rebuilt in French
  EXPECT_EQ(ProfileGetInt("CommandHelperWindow", "ShowCommandHelper", -1),
            -1);  // the helper's setting untouched
  EXPECT_EQ(LoadResString(213), "Informations sur le casse-tête");
  EXPECT_TRUE(m_commands->Router().IsChecked(ID_LANGUAGE_FRENCH));

  // Without the French file: English texts, French chosen and stored.
  {
    const testkit::ScopedInstallation bare(m_dir.MakeFolder("bare"), m_dir.path());
    m_commands->SetLanguage(CFrameCommands::kEnglish);
    m_commands->SetLanguage(CFrameCommands::kFrench);
  }
  EXPECT_EQ(LoadResString(213), "Puzzle Information");
  EXPECT_TRUE(m_commands->Router().IsChecked(ID_LANGUAGE_FRENCH));
  EXPECT_FALSE(m_commands->Router().IsChecked(ID_LANGUAGE_ENGLISH));
  EXPECT_EQ(ProfileGetString("", "Language", ""), "french");
  EXPECT_EQ(CFrameCommands::StoredLanguage(), CFrameCommands::kFrench);
}

// ---- settings not saved ------------------------------------------------------------------------
// F6, the frame rate, the language menu and the helper's close box store
// their one value in one write. When the profile takes no write, what the
// player did stays done and one box says so, in the language in use (for
// the language menu, the one chosen).
TEST_F(FrameCommandsTest, ACommandWhoseSettingIsNotSavedSaysSoAndStaysDone) {
  StartWithPuzzle(3, 3);
  const auto name = [](int language) { return language == CFrameCommands::kFrench ? "french" : "english"; };
  struct Case {
    const char* what;
    std::function<void(int language)> run;
    std::function<bool(int language)> done;  // what the player sees afterwards
    const char* section;
    const char* entry;
    std::function<std::string(int language)> stored;
  };
  const Case cases[] = {
      {"F6", [this](int) { m_commands->Dispatch(ID_COMMAND_HELPER); },
       [this](int) { return !m_game->m_showCommandHelper; }, "CommandHelperWindow", "ShowCommandHelper",
       [](int) { return "0"; }},
      {"frame rate", [this](int) { m_commands->Dispatch(ID_SHOW_FPS); },
       [this](int) { return m_game->m_showFPS; }, "", "ShowFPS", [](int) { return "1"; }},
      {"language",
       [this](int language) {
         m_commands->Dispatch(language == CFrameCommands::kFrench ? ID_LANGUAGE_FRENCH : ID_LANGUAGE_ENGLISH);
       },
       [this](int language) { return m_commands->Language() == language; }, "", "Language", name},
      {"helper's close box", [](int) { CCommandHelperWindow().OnCloseClicked(); },
       [this](int) { return !m_game->m_showCommandHelper; }, "CommandHelperWindow", "ShowCommandHelper",
       [](int) { return "0"; }},
  };
  for (const int language : {CFrameCommands::kEnglish, CFrameCommands::kFrench}) {
    const int other =
        language == CFrameCommands::kFrench ? CFrameCommands::kEnglish : CFrameCommands::kFrench;
    for (const Case& c : cases) {
      const ScopedProfileFile profile(
          m_dir.WriteFile(c.what + std::string(name(language)) + "/Ravelle.ini", ""));
      for (const bool refused : {true, false}) {
        SCOPED_TRACE(std::string(c.what) + " in " + name(language) + (refused ? ", refused" : ""));
        m_commands->SetLanguage(c.what == std::string("language") ? other : language);
        m_game->m_showCommandHelper = true;
        m_game->m_showFPS = false;
        const std::string pipe = refused ? testkit::BlockProfileWrites() : "";
        testkit::FileReplacements replacements(ProfileFilePath());
        m_shell.boxes.clear();
        c.run(language);
        EXPECT_TRUE(c.done(language));
        const std::string stored = ProfileGetString(c.section, c.entry, "<none>");
        if (refused) {
          ASSERT_EQ(m_shell.boxes.size(), 1u);
          EXPECT_EQ(m_shell.boxes[0].text, testkit::BlockedProfileBox(language == CFrameCommands::kFrench));
          EXPECT_EQ(m_shell.boxes[0].caption, "Ravelle");
          EXPECT_NE(stored, c.stored(language));
          std::filesystem::remove(pipe);
        } else {
          EXPECT_TRUE(m_shell.boxes.empty());
          EXPECT_EQ(replacements.Count(), 1);
          EXPECT_EQ(stored, c.stored(language));
        }
      }
    }
  }
}

// ---- outside the game --------------------------------------------------------------------------
// On a desktop that cannot open an address or a file, or without the update
// checker, each command says so in a box naming what it could not open or
// start, in the interface's language; what opened shows nothing.
TEST_F(FrameCommandsTest, WhatCouldNotBeOpenedOrStartedIsNamedInABox) {
  const testkit::ScopedEnv runtime("XDG_RUNTIME_DIR", m_dir.MakeFolder("run").c_str());
  const std::string install = m_dir.MakeFolder("install");
  const std::string checker = install + "/Tidewatch";
  const std::string report = m_dir / "run/Ravelle/RavelleGame_SystemInfo.txt";
  struct Case {
    UINT command;
    unsigned address;  // the string id of the address; 0: the file below
    std::string file;
    const char* english;  // how the box opens in each language
    const char* french;
  };
  const std::vector<Case> cases = {
      {ID_COMPANY_HOME_PAGE, 239, "", "No web browser", "Aucun navigateur"},
      {ID_PRODUCT_HOME_PAGE, 244, "", "No web browser", "Aucun navigateur"},
      {ID_DOWNLOAD_NEW_PUZZLES, 233, "", "No web browser", "Aucun navigateur"},
      {ID_CONTACT, 232, "", "No web browser", "Aucun navigateur"},
      {ID_SYSTEM_INFORMATION, 0, report, "The system report", "Le rapport système"},
      {ID_CHECK_FOR_UPDATES, 0, checker, "No check for new versions",
       "Aucune recherche de nouvelles versions"},
  };
  std::string notInstalled;  // the update check's box without the checker
  for (const int language : {CFrameCommands::kEnglish, CFrameCommands::kFrench}) {
    m_commands->SetLanguage(language);  // from the build's installation
    const testkit::ScopedInstallation installed(install, m_dir.path());
    for (const bool desktopOpens : {false, true}) {
      m_shell.openSucceeds = desktopOpens;
      for (const Case& c : cases) {
        const std::string named = c.address ? LoadResString(c.address) : c.file;
        SCOPED_TRACE(named + (desktopOpens ? " (opens)" : " (fails)") + " in language " +
                     std::to_string(language));
        m_shell.boxes.clear();
        ASSERT_TRUE(m_commands->Dispatch(c.command));
        // Without the checker nothing is checked, whatever the desktop can open.
        if (desktopOpens && c.command != ID_CHECK_FOR_UPDATES) {
          EXPECT_TRUE(m_shell.boxes.empty());
          continue;
        }
        ASSERT_EQ(m_shell.boxes.size(), 1u);
        const std::string& text = m_shell.boxes[0].text;
        EXPECT_EQ(text.rfind(language == CFrameCommands::kFrench ? c.french : c.english, 0), 0u) << text;
        EXPECT_NE(text.find(named), std::string::npos) << text;
        EXPECT_EQ(m_shell.boxes[0].caption, "Ravelle");
        if (c.command == ID_CHECK_FOR_UPDATES) notInstalled = text;
      }
    }
    // A checker that is there but cannot be started: said otherwise.
    m_dir.WriteFile("install/Tidewatch", "#!/bin/sh\n");
    m_shell.openSucceeds = false;
    m_shell.boxes.clear();
    m_commands->Dispatch(ID_CHECK_FOR_UPDATES);
    ASSERT_EQ(m_shell.boxes.size(), 1u);
    EXPECT_NE(m_shell.boxes[0].text.find(checker), std::string::npos);
    EXPECT_NE(m_shell.boxes[0].text, notInstalled);
    m_shell.openSucceeds = true;
    m_shell.boxes.clear();
    m_commands->Dispatch(ID_CHECK_FOR_UPDATES);
    EXPECT_TRUE(m_shell.boxes.empty());
    std::filesystem::remove(checker);
  }
}

// Sections: registration - language - keys - handlers
#include "game/frame_commands.h"

#include "game/command_ids.h"
#include "game/dialog_services.h"
#include "game/game_profile.h"
#include "game/game_text_ids.h"
#include "game/system_services.h"
#include "platform/crt_random.h"
#include "platform/d3d9/d3d9_resources.h"
#include "platform/input/input.h"
#include "platform/shell.h"
#include "platform/toolkit_language.h"
#include "support/string_table.h"
#include "support/support.h"

std::string PuzzleInformationText(int columns, int rows, double completion) {
  return FormatString(LoadResString(IDS_PUZZLE_INFORMATION_TEXT).c_str(), columns, rows, columns * rows,
                      completion);
}

// ---- registration ------------------------------------------------------------------------
CFrameCommands::CFrameCommands(CPuzzleGame& game, IFrameWindow& window, IGameDialogs& dialogs,
                               ISavedGames& saved)
    : m_showHelp(ShowHelp), m_game(game), m_window(window), m_dialogs(dialogs), m_saved(saved) {
  Register();
}

void CFrameCommands::Register() {
  CommandRouter& r = m_router;
  const auto running = [this] { return m_game.m_puzzleRunning; };
  const auto open = [](unsigned id) { return [id] { OpenWebAddress(LoadResString(id)); }; };
  r.Add(
      ID_SHOW_START_SCREEN, [this] { OnShowStartScreen(); }, running);
  r.Add(ID_CREATE_NEW_PUZZLE, [this] { OnCreateNewPuzzle(); });
  r.Add(ID_LOAD_PUZZLE, [this] { m_saved.Load(); });
  r.Add(
      ID_SAVE_PUZZLE, [this] { m_saved.Save(); }, running);
  r.Add(
      ID_CHANGE_ENVIRONMENT, [this] { OnChangeEnvironment(); }, running);
  r.Add(ID_OPTIONS, [this] { OnOptions(); });
  r.Add(
      ID_PUZZLE_TOO_LARGE, [this] { OnPuzzleTooLarge(); }, running);
  r.Add(
      ID_LANGUAGE_ENGLISH, [this] { SwitchLanguage(kEnglish); }, {},
      [this] { return m_language == kEnglish; });
  r.Add(
      ID_LANGUAGE_FRENCH, [this] { SwitchLanguage(kFrench); }, {}, [this] { return m_language == kFrench; });
  r.Add(ID_APP_EXIT, [this] { m_window.CloseWindow(); });
  r.Add(
      ID_GAME_MENU, [this] { OnGameMenu(); }, running);
  r.Add(ID_TOGGLE_FULL_SCREEN, [this] { m_window.SetFullScreen(!m_window.IsFullScreen()); });
  r.Add(
      ID_SHOW_FPS, [this] { OnShowFPS(); }, {}, [this] { return m_game.m_showFPS; });
  r.Add(
      ID_COMMAND_HELPER, [this] { OnCommandHelper(); }, [this] { return m_game.IsPlayScreenCurrent(); },
      [this] { return m_game.m_showCommandHelper; });
  r.Add(
      ID_PUZZLE_INFORMATION, [this] { OnPuzzleInformation(); }, running);
  r.Add(
      ID_SHOW_HIDE_PREVIEW, [this] { OnShowHidePreview(); }, running);
  r.Add(ID_COMPANY_HOME_PAGE, open(IDS_URL_COMPANY_HOME));
  r.Add(ID_PRODUCT_HOME_PAGE, open(IDS_URL_PRODUCT_HOME));
  r.Add(ID_DOWNLOAD_NEW_PUZZLES, open(IDS_URL_MORE_PUZZLES));
  r.Add(ID_CHECK_FOR_UPDATES, [] { CheckForUpdates(); });
  r.Add(ID_HELP_CONTENTS, [this] { m_showHelp(0); });
  r.Add(ID_HELP_COMMANDS, [this] { m_showHelp(ID_HELP_COMMANDS); });
  r.Add(ID_SHOW_TUTORIALS, [this] { m_dialogs.ShowTutorials(); });
  r.Add(ID_SYSTEM_INFORMATION, [] { ShowSystemReport(); });
  r.Add(ID_CONTACT, open(IDS_URL_CONTACT));
  r.Add(ID_APP_ABOUT, [this] { OnAbout(); });
}

void CFrameCommands::Paused(const std::function<void()>& step) {
  if (m_game.IsPlayScreenCurrent()) m_game.PlayScreen()->EndCameraMove();
  m_game.PausePlayTime();
  step();
  m_game.ResumePlayTime();
}

// ---- language --------------------------------------------------------------------------------
int CFrameCommands::StoredLanguage() { return GetLanguage() == "french" ? kFrench : kEnglish; }

void CFrameCommands::LoadLanguage(int language) {
  SetToolkitLanguage(language == kFrench ? "french" : "english");
  UnloadLanguageStrings();
  if (language == kFrench) {
    const std::string folder = GetInstallDir();
    if (!folder.empty())
      LoadLanguageStrings(folder + kPathSeparator + "LanguageFrench" + kPathSeparator +
                          "RavelleGame.strings");
  }
}

void CFrameCommands::SetLanguage(int language) {
  ShowLanguage(language);
  if (language == kEnglish || language == kFrench)
    WriteProfileString(profile::kLanguage, LanguageName(language));
}

void CFrameCommands::SwitchLanguage(int language) {
  ShowLanguage(language);
  GameProfileChange().Set(profile::kLanguage, LanguageName(language)).SaveOrSay();
}

const char* CFrameCommands::LanguageName(int language) { return language == kFrench ? "french" : "english"; }

void CFrameCommands::ShowLanguage(int language) {
  m_language = language;
  LoadLanguage(language);
  m_window.ReloadMenus();
  if (m_game.m_screenType == kScreenStart) m_game.m_startScreen.LoadCaptions();
  if (m_game.TopBar()) m_game.TopBar()->LoadTooltips();
  if (m_game.m_showCommandHelper) {
    m_game.SetCommandHelperVisible(false);
    m_game.SetCommandHelperVisible(true);
  }
}

// ---- keys ----------------------------------------------------------------------------------------
void CFrameCommands::OnPieceKey(BYTE keyCode) {
  IPlayScreen* play = m_game.IsPlayScreenCurrent() ? m_game.PlayScreen() : nullptr;
  switch (keyCode) {
    case DIK_BACK:
      if (play) play->DisconnectSelectedPiece();
      break;
    case DIK_LEFT:
    case DIK_UP:
    case DIK_Z:
      if (play) play->RotateSelection(-1);
      break;
    case DIK_RIGHT:
    case DIK_DOWN:
    case DIK_X: m_game.RotateSelection(+1); break;
    default: break;
  }
}

// ---- handlers --------------------------------------------------------------------------------
void CFrameCommands::OnShowStartScreen() {
  m_game.m_settings.m_currentFile.clear();
  m_game.SetScreen(kScreenStart);
}

void CFrameCommands::OnCreateNewPuzzle() {
  Paused([this] {
    if (!m_dialogs.RunNewPuzzle(m_game.m_settings)) return;
    m_window.SetWaitCursor(true);
    const unsigned long long lacks = OutOfMemoryCount();
    if (m_game.CreatePuzzle(m_game.m_settings)) {
      m_game.SetScreen(kScreenPlay);
      if (m_game.IsPlayScreenCurrent()) m_game.PlayScreen()->ResetPlayView(true);
      m_game.ShowStatusMessage(LoadResString(IDS_HELP_HINT), 25.0f);
    } else if (OutOfMemoryCount() != lacks) {
      OnPuzzleTooLarge();
    } else {
      Shell().MessageBox(LoadResString(IDS_PUZZLE_NOT_CREATED), LoadResString(IDS_ERROR_CAPTION),
                         MB_ICONERROR);
    }
    m_window.SetWaitCursor(false);
  });
}

void CFrameCommands::OnPuzzleTooLarge() {
  m_game.DropPuzzle();
  Shell().MessageBox(LoadResString(IDS_PUZZLE_TOO_LARGE), LoadResString(IDS_ERROR_CAPTION), MB_ICONERROR);
}

void CFrameCommands::OnChangeEnvironment() {
  Paused([this] {
    if (!m_dialogs.RunChangeEnvironment()) return;
    m_window.SetWaitCursor(true);
    if (m_game.IsPlayScreenCurrent()) m_game.PlayScreen()->LoadEnvironment();
    m_window.SetWaitCursor(false);
  });
}

void CFrameCommands::OnOptions() {
  const int oldDefinition = ReadProfileInt(profile::kPuzzleDefinition);
  const bool oldShiny = ReadProfileBool(profile::kShinyPieces);
  Paused([&] {
    if (!m_dialogs.RunOptions()) return;
    m_window.SetWaitCursor(true);
    CPuzzleBoard& board = m_game.m_settings.m_board;
    const int definition = ReadProfileInt(profile::kPuzzleDefinition);
    if (definition != oldDefinition) {
      board.m_definition = definition;
      CrtSrand(static_cast<std::uint32_t>(m_game.m_settings.m_seed));
      const unsigned long long lacks = OutOfMemoryCount();
      if (!board.Rebuild() && OutOfMemoryCount() != lacks) OnPuzzleTooLarge();
    }
    const bool shiny = ReadProfileBool(profile::kShinyPieces);
    if (shiny != oldShiny) board.m_shinyPieces = shiny;
    m_window.SetWaitCursor(false);
  });
}

void CFrameCommands::OnGameMenu() {
  Paused([this] { m_dialogs.RunGameMenu(); });
}

void CFrameCommands::OnAbout() {
  Paused([this] { m_dialogs.RunAbout(); });
}

void CFrameCommands::OnShowFPS() {
  m_game.m_showFPS = !m_game.m_showFPS;
  GameProfileChange().Set(profile::kShowFPS, m_game.m_showFPS).SaveOrSay();
}

void CFrameCommands::OnCommandHelper() {
  m_game.SetCommandHelperVisible(!m_game.m_showCommandHelper);
  GameProfileChange().Set(profile::kShowCommandHelper, m_game.m_showCommandHelper).SaveOrSay();
}

void CFrameCommands::OnPuzzleInformation() {
  Paused([this] {
    const PuzzleSettings& s = m_game.m_settings;
    Shell().MessageBox(PuzzleInformationText(s.columns, s.rows, s.m_board.m_completion),
                       LoadResString(IDS_PUZZLE_INFORMATION_CAPTION), MB_ICONINFORMATION);
  });
}

void CFrameCommands::OnShowHidePreview() {
  if (m_game.IsPlayScreenCurrent()) m_game.PlayScreen()->TogglePreview();
}

#pragma once
// The main frame's commands: the 25 menu commands with their handlers and
// enable and check rules, registered in one CommandRouter. The Qt window
// (main_frame.h) gives them their window through IFrameWindow; the dialogs
// and saved games come through their seams (command_seams.h). Nothing here
// needs a Qt application, so the rules and handlers run headless in tests.
//
// Sections: window seam - commands
#include <functional>

#include "game/command_router.h"
#include "game/command_seams.h"

// ---- window seam ----------------------------------------------------------------------
class IFrameWindow {
 public:
  virtual ~IFrameWindow() = default;
  // Closes the main window (the close handler shuts the game down).
  virtual void CloseWindow() = 0;
  virtual bool IsFullScreen() const = 0;
  virtual void SetFullScreen(bool on) = 0;
  // Rebuilds the menu bar and the accelerators in the current language.
  virtual void ReloadMenus() = 0;
  virtual void SetWaitCursor(bool on) = 0;
};

// ---- commands ----------------------------------------------------------------------------
class CFrameCommands {
 public:
  static constexpr int kEnglish = 1;
  static constexpr int kFrench = 2;

  // Registers every command. The references must outlive this object.
  CFrameCommands(CPuzzleGame& game, IFrameWindow& window, IGameDialogs& dialogs, ISavedGames& saved);

  CommandRouter& Router() { return m_router; }
  // Runs a command through its rule (menus, accelerators, posted ones).
  bool Dispatch(UINT id) { return m_router.Dispatch(id); }

  // The interface language: 1 English, 2 French (a French file that does
  // not load leaves English texts, French stays chosen and stored). Other
  // values store nothing and use English. A failed store is said on stderr
  // only: this is the start-up's call.
  void SetLanguage(int language);
  // The player's choice of the language menu: as SetLanguage, and a store
  // that fails is said in a box, in the language chosen (which stays).
  void SwitchLanguage(int language);
  int Language() const { return m_language; }
  // The language the profile names: 2 for exactly "french", else 1.
  static int StoredLanguage();
  // Puts the texts of a language in place (what SetLanguage shows), storing
  // nothing: for what the program says before its frame exists.
  static void LoadLanguage(int language);

  // The keys the frame turns into piece actions before the accelerators
  // (Backspace, Left/Up/Z, Right/Down/X); only on the play screen. The
  // key goes on to the accelerators afterwards.
  void OnPieceKey(BYTE keyCode);  // a DIK_ code

  // Help pages: ShowHelp by default; tests replace it.
  std::function<void(int topic)> m_showHelp;

  // Handlers.
  void OnShowStartScreen();
  void OnCreateNewPuzzle();
  // Memory could not hold the puzzle: it is dropped (the start screen shows)
  // and a box says so.
  void OnPuzzleTooLarge();
  void OnChangeEnvironment();
  void OnOptions();
  void OnGameMenu();
  void OnShowFPS();
  void OnCommandHelper();
  void OnPuzzleInformation();
  void OnShowHidePreview();
  void OnAbout();

 private:
  void Register();
  // Shows the texts of a language everywhere, storing nothing.
  void ShowLanguage(int language);
  static const char* LanguageName(int language);
  // Pauses the play time around a modal step.
  void Paused(const std::function<void()>& step);

  CPuzzleGame& m_game;
  IFrameWindow& m_window;
  IGameDialogs& m_dialogs;
  ISavedGames& m_saved;
  CommandRouter m_router;
  int m_language = kEnglish;
};

// The text of the puzzle information box.
std::string PuzzleInformationText(int columns, int rows, double completion);

#pragma once
// The seams where the frame's commands meet the game's dialogs and saved
// games. The frame calls these (inside the command, so no frame runs while a
// dialog is open, and the play time is paused around the modal ones); the
// dialogs and the saved-game code plug in their own implementations. Until
// they do, the defaults below show nothing and change nothing (a dialog
// answers "cancelled").
//
// A dialog button that runs another command (the game menu's Save, Full
// Screen, Start Screen) posts it with GameHost().PostCommand: it runs after
// the dialog has closed, through the same enable rules.
#include "game/puzzle_game.h"

class IGameDialogs {
 public:
  virtual ~IGameDialogs() = default;
  // The new-puzzle dialog, modal. true on OK, after it wrote the player's
  // choices into settings and the profile.
  virtual bool RunNewPuzzle(PuzzleSettings& settings) = 0;
  // The environment dialog, modal; true on OK (the choice is stored).
  virtual bool RunChangeEnvironment() = 0;
  // The options dialog, modal; true on OK (its pages stored their values).
  virtual bool RunOptions() = 0;
  // The game menu, modal; its buttons post commands.
  virtual void RunGameMenu() = 0;
  virtual void RunAbout() = 0;
  // The tutorial window, modeless: opened, or raised when already open.
  virtual void ShowTutorials() = 0;
};

class ISavedGames {
 public:
  virtual ~ISavedGames() = default;
  virtual void Load() = 0;
  virtual void Save() = 0;
};

// Not connected yet: nothing is shown.
class UnconnectedGameDialogs : public IGameDialogs {
 public:
  bool RunNewPuzzle(PuzzleSettings&) override { return false; }
  bool RunChangeEnvironment() override { return false; }
  bool RunOptions() override { return false; }
  void RunGameMenu() override {}
  void RunAbout() override {}
  void ShowTutorials() override {}
};

class UnconnectedSavedGames : public ISavedGames {
 public:
  void Load() override {}
  void Save() override {}
};

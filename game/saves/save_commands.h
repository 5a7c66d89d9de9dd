#pragma once
// Save Puzzle and Load Saved Puzzle: the game on the table written to a file
// and read back.
//
// Saving writes the puzzle's record (game/saves/saved_game_file.h) through
// ReplaceFileWhole (platform/data_file.h: a temporary file renamed over the
// target only when complete, so a failed or interrupted save never harms an
// older file, and never over a pipe, device or folder) to the puzzle's
// current file, or to a file the player chooses when it has none. Loading
// opens the file without blocking (a pipe, device or folder reads as a
// damaged file), checks the whole file and loads the picture before
// anything changes; only then is the puzzle on the table replaced. Every failure is one message box and
// leaves the game as it was. The play time is paused around both.
//
// Games are saved by default in SavedPuzzlesFolder(), made on first save.
//
// Sections: file chooser seam - saved games
#include <string>

#include "game/command_seams.h"
#include "game/saves/saved_game_file.h"

class QWidget;

// ---- file chooser seam --------------------------------------------------------------------
class IFileChooser {
 public:
  virtual ~IFileChooser() = default;
  // Modal dialogs opened in a folder; the chosen path, "" when cancelled.
  virtual std::string ChooseSaveFile(const std::string& title, const std::string& folder,
                                     const std::string& filter) = 0;
  virtual std::string ChooseOpenFile(const std::string& title, const std::string& folder,
                                     const std::string& filter) = 0;
};

// Qt's file dialogs over a parent window (set once the window exists).
class QtFileChooser : public IFileChooser {
 public:
  void SetParent(QWidget* parent) { m_parent = parent; }
  std::string ChooseSaveFile(const std::string& title, const std::string& folder,
                             const std::string& filter) override;
  std::string ChooseOpenFile(const std::string& title, const std::string& folder,
                             const std::string& filter) override;

 private:
  QWidget* m_parent = nullptr;
};

// <user data folder>/Halvorn/RavelleGame/SavedPuzzles, normally
// ~/.local/share/Halvorn/RavelleGame/SavedPuzzles ($XDG_DATA_HOME).
std::string SavedPuzzlesFolder();

// ---- saved games ----------------------------------------------------------------------------
class CSavedGames : public ISavedGames {
 public:
  static constexpr float kStatusSeconds = 5.0f;

  // The references must outlive this object.
  CSavedGames(CPuzzleGame& game, IFileChooser& chooser) : m_game(game), m_chooser(chooser) {}

  // Play time paused: the current file, or a chosen one, is written.
  void Save() override;
  // Play time paused: a chosen file is loaded over the puzzle on the table.
  void Load() override;

  // The steps after the dialogs. Each failure shows its box and answers
  // false with the game unchanged.
  bool SaveTo(const std::string& path);
  bool LoadFrom(const std::string& path);

  // The record of the puzzle on the table.
  SavedGame Capture() const;

 private:
  // Loads the record's picture (the installation's sample of that name first,
  // then the stored path) at its stored size.
  bool LoadPicture(const SavedGame& game, CKVRTexture& picture, std::string& path) const;
  // The staged pieces, play time and camera onto the new board, then the
  // play screen.
  void Commit(const SavedGame& game, const std::string& file);

  CPuzzleGame& m_game;
  IFileChooser& m_chooser;
};

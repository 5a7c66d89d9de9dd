#pragma once
// The player's choice for a puzzle: the picture, the grid, whether pieces
// turn, the piece shape and the edge irregularity. The game's puzzle
// settings, the new-puzzle dialog and a saved game's restore all carry it as
// this one record; the profile keeps the last one under the six "MenuSel"
// keys of game/game_profile.h, read and put into changes only here.
//
// Sections: the record - the profile
#include <cstdint>
#include <string>

#include "puzzle/board_layout.h"

class GameProfileChange;

// ---- the record ------------------------------------------------------------------------
struct PuzzleChoice {
  std::string picturePath;
  std::int32_t columns = 0;
  std::int32_t rows = 0;
  bool rotatePieces = false;
  PieceShape pieceShape = PieceShapeClassic;
  std::int32_t irregularity = 0;

  std::int32_t PieceCount() const { return columns * rows; }
  bool operator==(const PuzzleChoice&) const = default;
};

// ---- the profile -----------------------------------------------------------------------
// The last choice, each value with its default (a stored shape number is
// taken as it stands).
PuzzleChoice ReadPuzzleChoice();
// Adds the six values to change.
void PutPuzzleChoice(GameProfileChange& change, const PuzzleChoice& choice);
// Saves the six values in one write, without a box; false when the profile
// could not be written (said on stderr).
bool WritePuzzleChoice(const PuzzleChoice& choice);

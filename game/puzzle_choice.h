#pragma once
// The player's choice for a puzzle: the picture, the grid, whether pieces
// turn, the piece shape and the edge irregularity. The game's puzzle
// settings, the new-puzzle dialog and a saved game's restore all carry it as
// this one record; the profile keeps the last one under the six "MenuSel"
// keys of game/game_profile.h, read and written only here.
//
// Sections: the record - the profile
#include <cstdint>
#include <string>

#include "puzzle/board_layout.h"

// ---- the record ------------------------------------------------------------------------
struct PuzzleChoice {
  std::string m_picturePath;
  std::int32_t m_columns = 0;
  std::int32_t m_rows = 0;
  bool m_rotatePieces = false;
  PieceShape m_pieceShape = PieceShapeClassic;
  std::int32_t m_irregularity = 0;

  std::int32_t PieceCount() const { return m_columns * m_rows; }
  bool operator==(const PuzzleChoice&) const = default;
};

// ---- the profile -----------------------------------------------------------------------
// The last choice, each value with its default (a stored shape number is
// taken as it stands).
PuzzleChoice ReadPuzzleChoice();
// The six values; false when the profile could not be written.
bool WritePuzzleChoice(const PuzzleChoice& choice);

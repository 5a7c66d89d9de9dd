#pragma once
// A readable puzzle choice in test failure messages, so that one record is
// compared in one assertion.
#include <ostream>

#include "game/puzzle_choice.h"

inline void PrintTo(const PuzzleChoice& c, std::ostream* os) {
  *os << "{picture \"" << c.picturePath << "\", " << c.columns << " x " << c.rows
      << (c.rotatePieces ? ", rotated" : ", unrotated") << ", shape " << int(c.pieceShape)
      << ", irregularity " << c.irregularity << "}";
}

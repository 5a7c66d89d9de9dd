#pragma once
// A readable puzzle choice in test failure messages, so that one record is
// compared in one assertion.
#include <ostream>

#include "game/puzzle_choice.h"

inline void PrintTo(const PuzzleChoice& c, std::ostream* os) {
  *os << "{picture \"" << c.m_picturePath << "\", " << c.m_columns << " x " << c.m_rows
      << (c.m_rotatePieces ? ", rotated" : ", unrotated") << ", shape " << int(c.m_pieceShape)
      << ", irregularity " << c.m_irregularity << "}";
}

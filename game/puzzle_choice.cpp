// Sections: the profile
#include "game/puzzle_choice.h"

#include "game/game_profile.h"

// ---- the profile -----------------------------------------------------------------------
PuzzleChoice ReadPuzzleChoice() {
  PuzzleChoice choice;
  choice.m_picturePath = GetLastPuzzlePictureFilePath();
  choice.m_columns = ReadProfileInt(profile::kLastPuzzleSizeX);
  choice.m_rows = ReadProfileInt(profile::kLastPuzzleSizeY);
  choice.m_rotatePieces = ReadProfileBool(profile::kLastRotatePieces);
  choice.m_pieceShape = static_cast<PieceShape>(ReadProfileInt(profile::kLastPieceShape));
  choice.m_irregularity = ReadProfileInt(profile::kLastPieceIrregularity);
  return choice;
}

bool WritePuzzleChoice(const PuzzleChoice& choice) {
  bool ok = WriteProfileString(profile::kLastPuzzlePictureFilePath, choice.m_picturePath);
  ok = WriteProfileInt(profile::kLastPuzzleSizeX, choice.m_columns) && ok;
  ok = WriteProfileInt(profile::kLastPuzzleSizeY, choice.m_rows) && ok;
  ok = WriteProfileBool(profile::kLastRotatePieces, choice.m_rotatePieces) && ok;
  ok = WriteProfileInt(profile::kLastPieceShape, choice.m_pieceShape) && ok;
  ok = WriteProfileInt(profile::kLastPieceIrregularity, choice.m_irregularity) && ok;
  return ok;
}

// Sections: the profile
#include "game/puzzle_choice.h"

#include "game/game_profile.h"

// ---- the profile -----------------------------------------------------------------------
PuzzleChoice ReadPuzzleChoice() {
  PuzzleChoice choice;
  choice.picturePath = GetLastPuzzlePictureFilePath();
  choice.columns = ReadProfileInt(profile::kLastPuzzleSizeX);
  choice.rows = ReadProfileInt(profile::kLastPuzzleSizeY);
  choice.rotatePieces = ReadProfileBool(profile::kLastRotatePieces);
  choice.pieceShape = static_cast<PieceShape>(ReadProfileInt(profile::kLastPieceShape));
  choice.irregularity = ReadProfileInt(profile::kLastPieceIrregularity);
  return choice;
}

bool WritePuzzleChoice(const PuzzleChoice& choice) {
  bool ok = WriteProfileString(profile::kLastPuzzlePictureFilePath, choice.picturePath);
  ok = WriteProfileInt(profile::kLastPuzzleSizeX, choice.columns) && ok;
  ok = WriteProfileInt(profile::kLastPuzzleSizeY, choice.rows) && ok;
  ok = WriteProfileBool(profile::kLastRotatePieces, choice.rotatePieces) && ok;
  ok = WriteProfileInt(profile::kLastPieceShape, choice.pieceShape) && ok;
  ok = WriteProfileInt(profile::kLastPieceIrregularity, choice.irregularity) && ok;
  return ok;
}

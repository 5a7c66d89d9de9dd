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

void PutPuzzleChoice(GameProfileChange& change, const PuzzleChoice& choice) {
  change.Set(profile::kLastPuzzlePictureFilePath, choice.picturePath)
      .Set(profile::kLastPuzzleSizeX, choice.columns)
      .Set(profile::kLastPuzzleSizeY, choice.rows)
      .Set(profile::kLastRotatePieces, choice.rotatePieces)
      .Set(profile::kLastPieceShape, choice.pieceShape)
      .Set(profile::kLastPieceIrregularity, choice.irregularity);
}

bool WritePuzzleChoice(const PuzzleChoice& choice) {
  GameProfileChange change;
  PutPuzzleChoice(change, choice);
  return change.Values().Save() == ProfileFault::None;
}

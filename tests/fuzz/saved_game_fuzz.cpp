// libFuzzer target for the saved-game reader: any bytes are either refused,
// leaving the record alone, or give a record that passes every check the
// game relies on and reads back the same after writing; never a crash, a
// leak or an out-of-bounds access.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/saves/saved_game_file.h"

namespace {
void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckRecord(const SavedGame& g) {
  Check(g.columns >= kMinSavedGridSide && g.rows >= kMinSavedGridSide);
  Check(g.columns * g.rows <= kMaxSavedPieces && g.pieces.size() == size_t(g.columns * g.rows));
  Check(g.seed >= 0 && g.seed <= kMaxSavedSeed && std::isfinite(g.playTime) && g.playTime >= 0.0);
  for (size_t i = 0; i < g.pieces.size(); ++i) {
    const SavedPiece& p = g.pieces[i];
    Check(p.id == int(i) + 1 && p.layer >= 0 && p.layer <= 7 && p.turns >= 0 && p.turns <= 3);
    Check(std::fabs(p.position.x) <= kMaxSavedCoordinate && std::fabs(p.position.y) <= kMaxSavedCoordinate);
    for (int side = 0; side < 4; ++side) {
      const int n = SavedNeighbourIndex(int(i), side, g.columns, g.rows);
      if (n < 0) {
        Check(!p.joined[side]);
        continue;
      }
      Check(p.joined[side] == g.pieces[size_t(n)].joined[(side + 2) % 4]);
      if (p.joined[side]) Check(p.turns == g.pieces[size_t(n)].turns);
    }
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  SavedGame g;
  g.picturePath = "untouched";
  if (ReadSavedGame(bytes, g).status != SavedGameStatus::kOk) {
    Check(g.picturePath == "untouched" && g.pieces.empty());
    return 0;
  }
  CheckRecord(g);
  SavedGame again;
  Check(ReadSavedGame(WriteSavedGame(g), again).status == SavedGameStatus::kOk);
  Check(again.pieces == g.pieces && again.seed == g.seed && again.playTime == g.playTime);
  return 0;
}

#pragma once
// The saved-game record: everything needed to put a puzzle back on the table
// exactly as it was, its JSON text, and the reader that checks a file fully
// before anything else sees it.
//
// A saved puzzle is a UTF-8 JSON object:
//     format    "RavelleGame saved puzzle"
//     version   1            (the layout of this object)
//     geometry  1            (the board generator and edge builders the
//                             seed stands for)
//     picture   { path, sample, width, height }   sample: the file name when
//               the picture is one of the installation's samples, else ""
//     board     { seed, columns, rows, shape, irregularity, rotation }
//     playTime  seconds
//     camera    { eye, direction, up, right }     each [x, y, z]
//     pieces    [ { id, position [x, y, z], layer, turns, joined [4 bools] } ]
// Numbers are written in the shortest form that reads back to the same
// value, so floats and the play time come back bit for bit.
//
// No game object, device or file here: the reader works on bytes and fills
// a staging record that the caller applies only once it is complete.
//
// Sections: record - writing - reading
#include <cstdint>
#include <string>
#include <vector>

inline constexpr const char* kSavedGameFormat = "RavelleGame saved puzzle";
inline constexpr int kSavedGameVersion = 1;
inline constexpr int kSavedGameGeometry = 1;
inline constexpr const char* kSavedGameExtension = "rvpuzzle";  // without the dot
// Larger files are refused unread.
inline constexpr std::int64_t kMaxSavedGameBytes = 4 * 1024 * 1024;
// Bounds the reader checks.
inline constexpr int kMaxSavedPieces = 2000;
inline constexpr int kMinSavedGridSide = 3;
inline constexpr int kMaxSavedSeed = 1023;
inline constexpr int kMaxSavedIrregularity = 100;
inline constexpr double kMaxSavedCoordinate = 2500.0;
inline constexpr int kMaxSavedPictureSide = 65536;
// Play seconds: the most whole seconds a 32-bit count holds (about 68 years
// of play), which no real game reaches; the top bar counts in them.
inline constexpr double kMaxSavedPlayTime = 2147483647.0;

// ---- record ------------------------------------------------------------------------------
struct SavedVector {
  float x = 0, y = 0, z = 0;
  bool operator==(const SavedVector&) const = default;
};

struct SavedPiece {
  std::int32_t id = 0;  // 1-based: row x columns + column + 1
  SavedVector position;
  std::int32_t layer = 0;
  std::int32_t turns = 0;
  bool joined[4] = {false, false, false, false};
  bool operator==(const SavedPiece&) const = default;
};

struct SavedCamera {
  SavedVector eye, direction, up, right;
  bool operator==(const SavedCamera&) const = default;
};

struct SavedGame {
  std::string picturePath;
  std::string sampleName;  // "" when the picture is not a sample
  std::int32_t pictureWidth = 0;
  std::int32_t pictureHeight = 0;
  std::int32_t seed = 0;
  std::int32_t columns = 0;
  std::int32_t rows = 0;
  std::int32_t shape = 1;
  std::int32_t irregularity = 0;
  bool rotatePieces = false;
  double playTime = 0.0;
  // false when the stored camera was missing or not finite: the view then
  // starts as for a new puzzle.
  bool hasCamera = false;
  SavedCamera camera;
  std::vector<SavedPiece> pieces;  // in id order after reading
  bool operator==(const SavedGame&) const = default;
};

// ---- writing -------------------------------------------------------------------------------
// The record as indented UTF-8 JSON.
std::string WriteSavedGame(const SavedGame& game);

// ---- reading -------------------------------------------------------------------------------
enum class SavedGameStatus {
  kOk,
  kDamaged,       // not JSON, not ours, a field missing or out of bounds
  kNewerVersion,  // written by a newer game (version or geometry)
};

struct SavedGameReadResult {
  SavedGameStatus status = SavedGameStatus::kDamaged;
  std::string reason;  // which check failed, for logs and tests; "" when ok
};

// Parses and checks bytes into out. On any failure out is left as it was.
// Checks: size at most kMaxSavedGameBytes, JSON object, format tag, version
// and geometry, picture size 1..65536 and a sample name that is a plain
// file name, shape 1, 2, 3 or 51, irregularity 0..100, seed 0..1023, grid at
// least 3 x 3 and at most 2,000 pieces, one piece per id 1..N, positions
// finite within +-2500, layers 0..7, turns 0..3 (0 without rotation), joined
// flags only on interior sides and matched by the neighbour, one turn value
// per joined group, play time finite, >= 0 and at most kMaxSavedPlayTime. A camera that is missing or
// not finite is not an error (hasCamera false).
SavedGameReadResult ReadSavedGame(const std::string& bytes, SavedGame& out);

// Grid neighbour of a piece index on a side 0..3 (0 up, 1 right, 2 down,
// 3 left), -1 at the border.
int SavedNeighbourIndex(int index, int side, int columns, int rows);

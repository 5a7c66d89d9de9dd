#pragma once
// Between a board and the pieces of a saved-game record: what a played board
// holds, read into a record, and a checked record put back onto a board made
// from the same seed and grid.
#include "game/saves/saved_game_file.h"
#include "puzzle/puzzle_board.h"

// A joined group is taken as it is stored while every piece lies within this
// distance of its place relative to the group's first piece, on that piece's
// layer; otherwise the group is placed round that piece again.
inline constexpr float kSavedGroupSlack = 0.1f;

inline SavedVector ToSaved(const D3DXVECTOR3& v) { return SavedVector{v.x, v.y, v.z}; }
inline D3DXVECTOR3 FromSaved(const SavedVector& v) { return D3DXVECTOR3{v.x, v.y, v.z}; }

// The board's part of a record: seed, grid, shape, irregularity and every
// piece's position, layer, quarter turns and joined sides, in id order.
void CaptureBoard(const CPuzzleBoard& board, SavedGame& out);

// Puts a checked record's pieces onto a board made from its seed and grid:
// quarter turns, positions, layers and joined sides, then every joined group
// that has come apart is placed round its first piece (see kSavedGroupSlack),
// and the completion is recomputed. False, with the board untouched, when
// the board's grid is not the record's.
bool ApplySavedPieces(const SavedGame& game, CPuzzleBoard& board);

#pragma once
// Operations on groups of pieces: joining a dropped group to the pieces it
// fits and snapping it into place, turning a group about one of its pieces,
// and the overlap test that decides which of the eight stack layers under a
// group are taken.
//
// A PieceGroup (puzzle/puzzle_piece.h) is a vector of pointers into a board's
// piece vector; it never owns its pieces and membership is by m_id. Groups
// are transient: the lasting results are the pieces' positions, layers,
// quarter turns and joined flags.
//
// Large groups are handled with id sets and a cell index over the grid
// positions or the table, which give the same answers, in the same order, as
// the plain double loops they replace.
//
// Sections: joining - turning - stacking
#include <cstdint>

#include "puzzle/puzzle_piece.h"

// Height of the start point of the vertical overlap probes.
inline constexpr float kProbeHeight = 100.0f;

// JoinGroups' answers.
inline constexpr int kGroupsJoined = 1;
inline constexpr int kGroupsNotJoined = 2;

// ---- joining ------------------------------------------------------------------------------
struct FittingPair {
  CPuzzlePiece* a = nullptr;  // from the first group; null: no pair fits
  CPuzzlePiece* b = nullptr;  // from the second group
};

// The first pair, a of groupA in the outer loop and b of groupB in the
// inner one, both in group order, for which PiecesFit(b, a) holds (b's
// position tested in a's turned frame). Quarter turns are not compared, so
// the first positional fit is answered even when the two pieces' turns
// differ (JoinGroups then refuses the join).
FittingPair FindFittingPair(const PieceGroup& groupA, const PieceGroup& groupB);

// Joins the moving group (the pieces the player dropped) to the target group
// (the pieces it may join): 1 when a piece of the moving group fitted a
// target piece b, was joined to it and the whole moving group snapped into
// place on b's layer, with every pair of grid neighbours in the merged group
// joined; 2 when nothing fits or the fitting pair cannot be joined
// (different quarter turns, no shared edge), and then nothing has changed.
// Only pieces of the moving group move.
int JoinGroups(const PieceGroup& moving, const PieceGroup& target);

// Every piece of the group except the anchor itself (the same object) takes
// its exact place relative to the anchor and the anchor's layer, z = layer x
// 1.5. The anchor does not move.
void AlignGroupTo(const PieceGroup& group, const CPuzzlePiece& anchor);

// Sets every joined flag of a piece of the group whose neighbour on that side
// is in the group too.
void JoinSidesWithinGroup(const PieceGroup& group);

// ---- turning ------------------------------------------------------------------------------
// t = (pivot's turns + delta) modulo 4 (delta -1 or +1; -1 from 0 gives 3);
// the pivot and every piece of the group get t and are placed at their home
// offset from the pivot turned by t, at the pivot's height. The pivot keeps
// its position.
void RotateGroup(const PieceGroup& group, int delta, CPuzzlePiece& pivot);

// ---- stacking -----------------------------------------------------------------------------
// The two pieces overlap in the table plane: an outline point of either, in
// its current placement, lies over the other's top, whatever their heights.
// Pieces whose bounding circles are apart never overlap.
bool PiecesOverlap(const CPuzzlePiece& a, const CPuzzlePiece& b);

// A ray from the point straight down meets the piece's top (pick triangles
// out to the real outline; side walls not tested).
bool IsPointOverPiece(const CPuzzlePiece& piece, const D3DXVECTOR3& point);

// out[L] = 1 when some piece of groupB on layer L overlaps some piece of
// groupA, else 0. Pieces of groupB whose layer lies outside 0..7 mark
// nothing.
void OccupiedLayers(std::int32_t out[kLayerCount], const PieceGroup& groupA, const PieceGroup& groupB);

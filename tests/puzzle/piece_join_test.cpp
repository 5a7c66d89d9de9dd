// Fitting, joining, separating and collecting single pieces.
#include <gtest/gtest.h>

#include <string>

#include "tests/puzzle/piece_test_fixture.h"

namespace {

int JoinedCount(const CPuzzlePiece& p) {
  return int(p.m_joined[0]) + p.m_joined[1] + p.m_joined[2] + p.m_joined[3];
}

std::string Ids(const PieceGroup& g) {
  std::string s;
  for (const CPuzzlePiece* p : g) s += std::to_string(p->m_id) + " ";
  return s;
}

struct FitCase {
  const char* name;
  int rowA, columnA;  // piece A, against B at (1, 1) of a 3 x 3 board
  float dx, dy;       // A's displacement from its place next to B
  int layerA;
  bool fits;
};

TEST(PiecesFit, OnlyGridNeighboursWithinFiveUnitsStrictly) {
  const FitCase cases[] = {
      {"right neighbour, off by (3, 3)", 1, 2, 3, 3, 0, true},
      {"right neighbour, off by (3, 4) = 5.0", 1, 2, 3, 4, 0, false},
      {"right neighbour, just under 5", 1, 2, 4.99f, 0, 0, true},
      {"lower neighbour, in place", 2, 1, 0, 0, 0, true},
      {"upper neighbour on another layer", 0, 1, 1, 1, 5, true},
      {"itself", 1, 1, 0, 0, 0, true},
      {"diagonal neighbour in place", 2, 2, 0, 0, 0, false},
  };
  for (const FitCase& c : cases) {
    HandBoard board(3, 3);
    CPuzzlePiece& b = board.At(1, 1);
    CPuzzlePiece& a = board.At(c.rowA, c.columnA);
    board.Put(b, 300, 400, 0);
    const D3DXVECTOR3 offset = a.m_homePosition - b.m_homePosition;
    board.Put(a, 300 + offset.x + c.dx, 400 + offset.y + c.dy, c.layerA);
    EXPECT_EQ(PiecesFit(a, b), c.fits) << c.name;
    EXPECT_EQ(PiecesFit(b, a), c.fits) << c.name << " (swapped)";
  }
}

TEST(PiecesFit, SameRowTwoColumnsApartNeverFits) {
  HandBoard board(3, 1);
  // Placed exactly where the home offset puts them, still not neighbours.
  EXPECT_FALSE(PiecesFit(board.At(0, 0), board.At(0, 2)));
}

TEST(PiecesFit, SeesThePositionInTheTurnedFrame) {
  HandBoard board(2, 1);
  CPuzzlePiece& b = board.At(0, 0);
  CPuzzlePiece& a = board.At(0, 1);  // home 25 to the right of b
  b.SetQuarterTurns(1);
  a.SetQuarterTurns(1);
  board.Put(b, 0, 0);
  board.Put(a, 25, 0);  // unturned place: wrong once both are turned
  EXPECT_FALSE(PiecesFit(a, b));
  board.Put(a, 2, 24);  // turned place (0, 25), off by (2, -1)
  EXPECT_TRUE(PiecesFit(a, b));
  EXPECT_TRUE(PiecesFit(b, a));
}

TEST(JoinPieces, JoinsOneSideAndSnapsIntoTurnedPlace) {
  HandBoard board(2, 2);
  CPuzzlePiece& b = board.At(0, 0);
  CPuzzlePiece& a = board.At(1, 0);  // below b: shares id 200001 (a side 0, b side 2)
  for (CPuzzlePiece* p : {&a, &b}) p->SetQuarterTurns(3);
  board.Put(b, 50, 60, 4);
  board.Put(a, 70, 61, 1);
  ASSERT_TRUE(JoinPieces(a, b));
  // Home offset (0, 25) turned by three quarters is (25, 0).
  EXPECT_EQ(a.m_currentPosition, D3DXVECTOR3(75, 60, 6));
  EXPECT_EQ(a.m_layer, 4);
  EXPECT_TRUE(a.m_joined[0]);
  EXPECT_TRUE(b.m_joined[2]);
  EXPECT_EQ(JoinedCount(a), 1);
  EXPECT_EQ(JoinedCount(b), 1);
  EXPECT_EQ(board.m_meshes.m_renderParams[std::size_t(a.m_topIndex)].m_position, a.m_currentPosition);
}

TEST(JoinPieces, RefusesWithoutChangingAnything) {
  HandBoard board(3, 3);
  CPuzzlePiece& centre = board.At(1, 1);
  CPuzzlePiece& right = board.At(1, 2);
  CPuzzlePiece& corner = board.At(0, 0);
  board.Put(right, 500, 500, 2);
  right.SetQuarterTurns(1);
  EXPECT_FALSE(JoinPieces(right, centre));   // different turns
  EXPECT_FALSE(JoinPieces(corner, centre));  // no shared edge id
  EXPECT_FALSE(JoinPieces(centre, centre));  // the same piece
  EXPECT_EQ(right.m_currentPosition, D3DXVECTOR3(500, 500, 3));
  EXPECT_EQ(right.m_layer, 2);
  for (const CPuzzlePiece& p : board.m_pieces) EXPECT_EQ(JoinedCount(p), 0) << p.m_id;
}

TEST(PieceDisconnect, ClearsOwnAndNeighbourFlags) {
  HandBoard board(3, 1);
  CPuzzlePiece& left = board.At(0, 0);
  CPuzzlePiece& middle = board.At(0, 1);
  CPuzzlePiece& right = board.At(0, 2);
  EXPECT_FALSE(middle.Disconnect());  // nothing joined: no change
  ASSERT_TRUE(JoinPieces(left, middle));
  ASSERT_TRUE(JoinPieces(right, middle));
  const D3DXVECTOR3 before = middle.m_currentPosition;
  EXPECT_TRUE(middle.Disconnect());
  for (const CPuzzlePiece& p : board.m_pieces) EXPECT_EQ(JoinedCount(p), 0) << p.m_id;
  EXPECT_EQ(middle.m_currentPosition, before);
  EXPECT_FALSE(middle.Disconnect());
}

TEST(PieceCollectGroup, DepthFirstThroughJoinedSidesOnly) {
  // 3 x 3, ids 1..9 row by row. Joined: 5-2 (up), 5-6 (right), 6-9 (down),
  // 5-4 (left); 1, 3, 7, 8 stay loose.
  HandBoard board(3, 3);
  ASSERT_TRUE(JoinPieces(board.At(0, 1), board.At(1, 1)));
  ASSERT_TRUE(JoinPieces(board.At(1, 2), board.At(1, 1)));
  ASSERT_TRUE(JoinPieces(board.At(2, 2), board.At(1, 2)));
  ASSERT_TRUE(JoinPieces(board.At(1, 0), board.At(1, 1)));
  PieceGroup g;
  board.At(1, 1).CollectGroup(g);
  EXPECT_EQ(Ids(g), "5 2 6 9 4 ");  // sides 0, 1 (then 6's side 2), 3
  PieceGroup fromCorner;
  board.At(2, 2).CollectGroup(fromCorner);
  EXPECT_EQ(Ids(fromCorner), "9 6 5 2 4 ");
  // Pieces already in the group (by id) are neither added nor walked through.
  PieceGroup seeded = {&board.At(1, 2)};
  board.At(1, 1).CollectGroup(seeded);
  EXPECT_EQ(Ids(seeded), "6 5 2 4 ");
  EXPECT_TRUE(GroupContains(seeded, board.At(0, 1)));
  EXPECT_FALSE(GroupContains(seeded, board.At(2, 2)));
}

}  // namespace

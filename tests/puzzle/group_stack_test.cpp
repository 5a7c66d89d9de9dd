// Overlap of pieces in the table plane and the stack layers a group covers.
#include <gtest/gtest.h>

#include <array>
#include <random>

#include "puzzle/piece_group.h"
#include "tests/puzzle/piece_test_fixture.h"

namespace {

using Layers = std::array<std::int32_t, kLayerCount>;

Layers Occupied(const PieceGroup& a, const PieceGroup& b) {
  Layers out;
  out.fill(-1);
  OccupiedLayers(out.data(), a, b);
  return out;
}

TEST(PiecesOverlap, ByOutlinePointsOverTheOtherTopWhateverTheLayers) {
  struct Case {
    const char* name;
    float dx, dy;
    bool overlaps;
  };
  const Case cases[] = {
      {"on top of each other", 0, 0, true},  {"half over", 12, 0, true},
      {"corner over corner", 20, -20, true}, {"a unit apart", 26, 0, false},
      {"far apart", 400, 0, false},
  };
  for (const Case& c : cases) {
    for (int layer : {0, 4}) {
      HandBoard board(2, 1);
      CPuzzlePiece &a = board.At(0, 0), &b = board.At(0, 1);
      board.Put(a, 100, 100, 0);
      board.Put(b, 100 + c.dx, 100 + c.dy, layer);
      EXPECT_EQ(PiecesOverlap(a, b), c.overlaps) << c.name << " layer " << layer;
      EXPECT_EQ(PiecesOverlap(b, a), c.overlaps) << c.name << " layer " << layer;
    }
  }
}

TEST(PiecesOverlap, BoundingCirclesApartNeverOverlap) {
  HandBoard board(2, 1);
  CPuzzlePiece &a = board.At(0, 0), &b = board.At(0, 1);
  // A top far larger than its radius claims: the circles still decide.
  a.m_topTriangles = {PickTriangle({-500, -500, 1}, {500, -500, 1}, {0, 500, 1})};
  board.Put(a, 0, 0);
  board.Put(b, 36, 0);  // radii 17.7 + 17.7 < 36
  EXPECT_FALSE(PiecesOverlap(a, b));
  board.Put(b, 35, 0);
  EXPECT_TRUE(PiecesOverlap(a, b));
}

TEST(PiecesOverlap, ProbesTheOutlineInItsTurnedPlacement) {
  HandBoard board(2, 1);
  CPuzzlePiece &a = board.At(0, 0), &b = board.At(0, 1);
  for (CPuzzleEdge& e : a.m_edges) e.m_points.clear();
  for (CPuzzleEdge& e : b.m_edges) e.m_points.clear();
  b.m_edges[2].m_points = {b.m_homePosition + D3DXVECTOR3(10, 0, 0)};  // one probe, 10 right
  board.Put(b, 0, 0);
  board.Put(a, 0, 22);  // a covers y 9.5 .. 34.5
  EXPECT_FALSE(PiecesOverlap(a, b));
  b.SetQuarterTurns(1);  // the probe turns to (0, 10), over a
  EXPECT_TRUE(PiecesOverlap(a, b));
}

TEST(IsPointOverPiece, StraightDownOntoTheTop) {
  HandBoard board(1, 1);
  CPuzzlePiece& p = board.At(0, 0);
  board.Put(p, 50, 50, 6);
  EXPECT_TRUE(IsPointOverPiece(p, {62, 38, kProbeHeight}));
  EXPECT_FALSE(IsPointOverPiece(p, {63, 50, kProbeHeight}));
  EXPECT_FALSE(IsPointOverPiece(p, {50, 50, -5}));  // below it, looking down
}

TEST(OccupiedLayers, MarksTheLayersOfCoveredPiecesOnly) {
  HandBoard board(4, 1);
  CPuzzlePiece &held = board.At(0, 0), &under = board.At(0, 1), &far = board.At(0, 2), &odd = board.At(0, 3);
  board.Put(held, 0, 0, 1);
  board.Put(under, 10, 5, 3);
  board.Put(far, 300, 0, 5);
  const PieceGroup others = board.Group({{0, 1}, {0, 2}});
  EXPECT_EQ(Occupied({}, others), (Layers{0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Occupied(board.Group({{0, 0}}), others), (Layers{0, 0, 0, 1, 0, 0, 0, 0}));
  EXPECT_EQ(Occupied(board.Group({{0, 0}}), {}), (Layers{0, 0, 0, 0, 0, 0, 0, 0}));
  // A layer outside 0..7 marks nothing (and writes nowhere).
  for (int layer : {8, -1}) {
    board.Put(odd, 0, 0, 0);
    odd.m_layer = layer;
    EXPECT_EQ(Occupied(board.Group({{0, 0}}), board.Group({{0, 3}})), (Layers{0, 0, 0, 0, 0, 0, 0, 0}));
  }
}

// Large groups go through a cell index over the table; the layers must be
// those of the plain double loop.
TEST(OccupiedLayers, LargeGroupsAnswerAsThePlainLoop) {
  std::mt19937 random(5);
  std::uniform_real_distribution<float> spread(0.0f, 600.0f);
  int marked = 0;
  for (int round = 0; round < 30; ++round) {
    const float scale = std::array<float, 4>{1, 3, 8, 20}[round % 4];  // crowded to sparse
    HandBoard board(20, 20);
    PieceGroup held, others;
    for (CPuzzlePiece& p : board.m_pieces) {
      board.Put(p, spread(random) * scale, spread(random) * scale, int(random() % 8));
      p.SetQuarterTurns(std::uint8_t(random() % 4));
      (random() % 5 == 0 ? held : others).push_back(&p);
    }
    Layers expected{};
    for (const CPuzzlePiece* q : others)
      for (const CPuzzlePiece* p : held)
        if (PiecesOverlap(*q, *p)) expected[std::size_t(q->m_layer)] = 1;
    EXPECT_EQ(Occupied(held, others), expected) << round;
    for (std::int32_t e : expected) marked += e;
  }
  EXPECT_GT(marked, 30);           // neither all free
  EXPECT_LT(marked, 30 * 8 - 30);  // nor all taken
}

}  // namespace

// Pieces of a real generated board (classic outlines, bevelled meshes) on the
// recording device: their sub-objects, picking against the full triangle
// lists, and a drop that joins.
#include <gtest/gtest.h>

#include <random>

#include "puzzle/piece_group.h"
#include "puzzle/puzzle_board.h"
#include "tests/engine/engine_fixture.h"
#include "tests/puzzle/piece_test_fixture.h"
#include "tests/puzzle/vector_print.h"

namespace {

const D3DXVECTOR3 kDown(0, 0, -1);

class PieceOnBoardTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartEngine();
    m_picture.m_imageInfo.Width = 300;
    m_picture.m_imageInfo.Height = 300;
    m_board.m_definition = 4;
    ASSERT_TRUE(
        m_board.CreateWithSeed(77, &m_picture, 4, 4, true, PieceShapeClassic, 100, "missing-edge.png", ""));
  }
  void TearDown() override {
    m_board.Clear();
    EngineTest::TearDown();
  }
  CPuzzlePiece& Piece(int r, int c) { return m_board.m_pieces[std::size_t(r * 4 + c)]; }

  CKVRTexture m_picture;
  CPuzzleBoard m_board;
};

TEST_F(PieceOnBoardTest, MovesItsTopAndSideSubObjects) {
  CPuzzlePiece& p = Piece(2, 1);  // index 9 of 16
  EXPECT_EQ(p.m_topIndex, 9);
  EXPECT_EQ(p.m_sideIndex, 25);
  EXPECT_EQ(p.m_backIndex, -1);
  EXPECT_GT(p.GetRadius(), 12.5f);
  p.SetPosition(D3DXVECTOR3(-300, 40, 3));
  EXPECT_EQ(m_board.m_meshes.m_renderParams[9].m_position, D3DXVECTOR3(-300, 40, 3));
  EXPECT_EQ(m_board.m_meshes.m_renderParams[25].m_position, D3DXVECTOR3(-300, 40, 3));
  EXPECT_EQ(m_board.m_meshes.m_renderParams[9].m_world._41, -300.0f);
}

// The shortcuts before the triangle tests give the answers of the full
// lists on real fans and walls, for camera rays and vertical probes.
TEST_F(PieceOnBoardTest, PickingAnswersAsTheFullTriangleLists) {
  m_board.ScatterPieces();
  std::mt19937 random(9);
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  int hits = 0, misses = 0;
  for (int i = 0; i < 16000; ++i) {
    const CPuzzlePiece& p = m_board.m_pieces[std::size_t(i % 16)];
    const D3DXVECTOR3 c = p.m_currentPosition;
    const D3DXVECTOR3 target(c.x + 20 * unit(random), c.y + 20 * unit(random), 1 + unit(random));
    if (i % 2) {
      const D3DXVECTOR3 eye(c.x + 900 * unit(random), c.y - 1500, 1200);
      const bool expected = ReferenceHit(p, eye, target - eye, false);
      ASSERT_EQ(p.HitTest(eye, target - eye), expected) << i;
      (expected ? hits : misses)++;
    } else {
      const D3DXVECTOR3 probe(target.x, target.y, kProbeHeight);
      const bool expected = ReferenceHit(p, probe, kDown, true);
      ASSERT_EQ(IsPointOverPiece(p, probe), expected) << i;
      (expected ? hits : misses)++;
    }
  }
  EXPECT_GT(hits, 1500);
  EXPECT_GT(misses, 1500);
}

TEST_F(PieceOnBoardTest, OuterBevelStripOfARealPieceIsHit) {
  CPuzzlePiece& corner = Piece(0, 0);  // left and top sides are straight borders
  corner.SetQuarterTurns(0);
  corner.SetPosition(corner.m_homePosition);
  const D3DXVECTOR3 home = corner.m_homePosition;
  // 0.2 inside the left border, where only the bevel's outer strip lies.
  EXPECT_TRUE(corner.HitTest(D3DXVECTOR3(0.2f, home.y, 50), kDown));
  EXPECT_TRUE(IsPointOverPiece(corner, D3DXVECTOR3(0.2f, home.y, 50)));
  EXPECT_FALSE(corner.HitTest(D3DXVECTOR3(-0.2f, home.y, 50), kDown));
}

TEST_F(PieceOnBoardTest, DropNextToItsPlaceJoinsAndCounts) {
  m_board.ScatterPieces();
  CPuzzlePiece& target = Piece(1, 1);
  CPuzzlePiece& moving = Piece(1, 2);
  target.SetQuarterTurns(2);
  moving.SetQuarterTurns(2);
  target.SetPosition(D3DXVECTOR3(0, 0, 0));
  // Half a turn: the right-hand neighbour's place lies to the left.
  const D3DXVECTOR3 offset = RotateOffset({0, 0, 0}, moving.m_homePosition - target.m_homePosition, 2);
  moving.SetPosition(offset + D3DXVECTOR3(2, -3, 0));
  PieceGroup others;
  for (CPuzzlePiece& p : m_board.m_pieces)
    if (&p != &moving) others.push_back(&p);
  EXPECT_EQ(JoinGroups({&moving}, others), kGroupsJoined);
  EXPECT_EQ(moving.m_currentPosition, offset);
  EXPECT_EQ(m_board.CountJoinedSides(), 2u);
  PieceGroup g;
  moving.CollectGroup(g);
  EXPECT_EQ(g.size(), 2u);
}

}  // namespace

// The overlap test passes over runs of outline points far from the other
// top; its answers are those of testing every outline point against the
// full triangle list, for pieces apart, touching, fitted side by side and
// lying on each other, in every quarter turn.
TEST_F(PieceOnBoardTest, OverlapAnswersAsEveryOutlinePointTested) {
  auto outlineOver = [](const CPuzzlePiece& outer, const CPuzzlePiece& under) {
    for (const CPuzzleEdge& edge : outer.m_edges)
      for (const D3DXVECTOR3& q : edge.m_points) {
        const D3DXVECTOR3 w =
            RotateOffset(D3DXVECTOR3(0, 0, 0), q - outer.m_homePosition, outer.m_quarterTurns);
        const D3DXVECTOR3 probe(outer.m_currentPosition.x + w.x, outer.m_currentPosition.y + w.y,
                                kProbeHeight);
        if (ReferenceHit(under, probe, kDown, true)) return true;
      }
    return false;
  };
  std::mt19937 random(21);
  std::uniform_real_distribution<float> spread(-45.0f, 45.0f), jitter(-0.02f, 0.02f);
  int overlaps = 0, apart = 0;
  for (int i = 0; i < 1200; ++i) {
    if (i == 600) {  // new outlines at another density: nothing remembered from the old ones
      m_board.m_definition = 2;
      ASSERT_TRUE(m_board.Rebuild());
    }
    CPuzzlePiece& a = Piece(int(random() % 4), int(random() % 4));
    CPuzzlePiece& b = Piece(int(random() % 4), int(random() % 4));
    if (&a == &b) continue;
    a.SetQuarterTurns(std::uint8_t(random() % 4));
    b.SetQuarterTurns(i % 3 == 0 ? a.m_quarterTurns : std::uint8_t(random() % 4));
    a.SetPosition(D3DXVECTOR3(spread(random) * 20, spread(random) * 20, 0));
    if (i % 3 == 0) {  // in its place beside a, or a hair off it
      b.PlaceRelativeTo(a);
      b.SetPosition(b.m_currentPosition + D3DXVECTOR3(jitter(random), jitter(random), 0));
    } else {
      b.SetPosition(a.m_currentPosition + D3DXVECTOR3(spread(random), spread(random), 1.5f));
    }
    const float s = a.GetRadius() + b.GetRadius();
    const bool expected = !(s * s < PieceDistanceSquared(a, b)) && (outlineOver(b, a) || outlineOver(a, b));
    ASSERT_EQ(PiecesOverlap(a, b), expected) << i;
    (expected ? overlaps : apart)++;
  }
  EXPECT_GT(overlaps, 240);
  EXPECT_GT(apart, 240);
}

#include "puzzle/board_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "platform/crt_random.h"
#include "vector_print.h"

namespace {

// The generator state after seeding and exactly `draws` draws.
std::uint32_t StateAfter(std::uint32_t seed, int draws) {
  CrtSrand(seed);
  for (int i = 0; i < draws; ++i) CrtRand();
  return CrtRandomState();
}

int InteriorEdgeCount(int columns, int rows) { return columns * (rows - 1) + (columns - 1) * rows; }

// A board's geometry built the way the board builds it: the corner grid and
// homes from the seed, then the edges from the seed again.
struct Layout {
  int columns, rows, width, height;
  std::vector<D3DXVECTOR3> corners, homes;
  std::vector<CPuzzleEdge> horizontal, vertical;

  Layout(int c, int r, int h, float irregularity, std::uint32_t seed)
      : columns(c), rows(r), width(c * kPieceSize), height(h) {
    CrtSrand(seed);
    EXPECT_TRUE(GenerateCornerGrid(corners, columns, rows, width, height, irregularity));
    EXPECT_TRUE(ComputeHomePositions(homes, corners, columns, rows));
  }
  void BuildEdges(std::uint32_t seed, int shape, int definition) {
    CrtSrand(seed);
    EXPECT_TRUE(GenerateEdgeShapes(horizontal, vertical, corners, homes, columns, rows, shape, definition));
  }
  const D3DXVECTOR3& Corner(int i, int k) const {
    return corners[static_cast<size_t>(CornerIndex(i, k, columns))];
  }
  const CPuzzleEdge& H(int i, int k) const {
    return horizontal[static_cast<size_t>(HorizontalEdgeIndex(i, k, columns))];
  }
  const CPuzzleEdge& V(int i, int k) const {
    return vertical[static_cast<size_t>(VerticalEdgeIndex(i, k, rows))];
  }
};

}  // namespace

TEST(BoardHeight, FromThePictureAspectInSinglePrecision) {
  struct Case {
    int width, pictureWidth, pictureHeight, expected;
  } cases[] = {{250, 1024, 768, 187}, {300, 800, 600, 224}, {75, 640, 640, 75},
               {100, 400, 800, 200},  {75, 0, 480, 0},      {75, 640, 0, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(BoardHeightFor(c.width, c.pictureWidth, c.pictureHeight), c.expected)
        << c.width << " " << c.pictureWidth << "x" << c.pictureHeight;
}

TEST(CornerGrid, SeedZeroWorkedExample) {
  const Layout b(3, 3, 75, 100.0f, 0);
  EXPECT_EQ(b.Corner(0, 1), D3DXVECTOR3(24.05f, 0, 0));
  EXPECT_EQ(b.Corner(1, 0), D3DXVECTOR3(0, 27.35f, 0));
  EXPECT_EQ(b.Corner(1, 1), D3DXVECTOR3(26.75f, 24.4f, 0));
  // The jitter is single precision per operation; rounding once from double
  // would give 25.2205009 here.
  const Layout c(3, 3, 75, 21.0f, 0);
  EXPECT_EQ(c.Corner(1, 3), D3DXVECTOR3(75, 25.220499f, 0));
}

TEST(CornerGrid, BordersStayARectangleAndJitterStaysSmall) {
  const Layout b(7, 5, 131, 100.0f, 977);
  for (int i = 0; i <= b.rows; ++i) {
    for (int k = 0; k <= b.columns; ++k) {
      const D3DXVECTOR3& p = b.Corner(i, k);
      const double x = double(k) / b.columns * b.width, y = double(i) / b.rows * b.height;
      if (k == 0 || k == b.columns) {
        EXPECT_EQ(p.x, float(x)) << i << "," << k;
      }
      if (i == 0 || i == b.rows) {
        EXPECT_EQ(p.y, float(y)) << i << "," << k;
      }
      EXPECT_LE(std::abs(p.x - x), 2.4501) << i << "," << k;
      EXPECT_LE(std::abs(p.y - y), 2.4501) << i << "," << k;
      EXPECT_EQ(p.z, 0.0f);
    }
  }
}

TEST(CornerGrid, DrawsTwicePerInteriorCoordinateAtAnyIrregularity) {
  struct Case {
    int columns, rows;
    float irregularity;
  } cases[] = {{3, 3, 100}, {3, 3, 0}, {12, 3, 50}, {1, 1, 100}, {1, 4, 75}};
  for (const Case& c : cases) {
    const Layout b(c.columns, c.rows, 80, c.irregularity, 5);
    const int draws = 2 * ((c.rows + 1) * (c.columns - 1) + (c.rows - 1) * (c.columns + 1));
    EXPECT_EQ(CrtRandomState(), StateAfter(5, draws)) << c.columns << "x" << c.rows;
  }
}

TEST(CornerGrid, NoIrregularityGivesARegularGridAndCentredHomes) {
  const Layout b(3, 4, 90, 0.0f, 321);
  for (int i = 0; i <= 4; ++i)
    for (int k = 0; k <= 3; ++k)
      EXPECT_EQ(b.Corner(i, k), D3DXVECTOR3(25.0f * k, float(i / 4.0 * 90), 0)) << i << "," << k;
  ASSERT_EQ(b.homes.size(), 12u);
  EXPECT_EQ(b.homes[0], D3DXVECTOR3(12.5f, 11.25f, 0));
  EXPECT_EQ(b.homes[11], D3DXVECTOR3(62.5f, 78.75f, 0));  // row 3, column 2
}

TEST(CornerGrid, RefusesAGridWithoutPiecesOrMismatchedCorners) {
  std::vector<D3DXVECTOR3> corners(3), homes(2);
  CrtSrand(9);
  EXPECT_FALSE(GenerateCornerGrid(corners, 0, 3, 0, 75, 100));
  EXPECT_TRUE(corners.empty());
  EXPECT_FALSE(ComputeHomePositions(homes, std::vector<D3DXVECTOR3>(15), 3, 3));
  EXPECT_TRUE(homes.empty());
  std::vector<CPuzzleEdge> horizontal(2), vertical;
  EXPECT_FALSE(GenerateEdgeShapes(horizontal, vertical, std::vector<D3DXVECTOR3>(16),
                                  std::vector<D3DXVECTOR3>(8), 3, 3, PieceShapeClassic, 3));
  EXPECT_EQ(horizontal.size(), 2u);
  EXPECT_EQ(CrtRandomState(), 9u) << "nothing drawn";
}

TEST(EdgeShapes, SeedZeroFirstTabAndFractions) {
  CrtSrand(0);
  EXPECT_EQ(RandomTab(), -2.4f);
  EXPECT_NEAR(RandomTabFraction(), 0.4151f, 1e-6f);
  EXPECT_NEAR(RandomTabFraction(), 0.4805f, 1e-6f);

  // The same draws on the board: grid line 1, column 0 bulges upward (g = -1),
  // into piece (0, 0).
  Layout b(3, 3, 75, 100.0f, 0);
  b.BuildEdges(0, PieceShapeClassic, 3);
  const CPuzzleEdge& first = b.H(1, 0);
  EXPECT_EQ(first.m_tabSide, -1);
  const auto polygon =
      ClassicControlPolygon(b.Corner(1, 0), b.Corner(1, 1), b.homes[0], b.homes[3],
                            0.5f + (217 / 1000.0f) * 0.3f - 0.15f, 0.5f + (435 / 1000.0f) * 0.3f - 0.15f);
  CPuzzleEdge expected;
  BuildClassicEdge(expected, polygon, -1);
  EXPECT_EQ(first.m_points, expected.m_points);
}

TEST(EdgeShapes, RandomMixDrawsTheKindAfterTheFractions) {
  // Seed 0 draws 38 7719 21238 2437 | 8855, then 11797 8365 32285 10450 | 30612,
  // then 5853 28100 1142 281 | 20537: kinds 2, 0, 2 (round, classic, round).
  Layout b(3, 3, 75, 100.0f, 0);
  b.BuildEdges(0, PieceShapeRandomMix, 3);
  EXPECT_EQ(b.H(1, 0).m_kind, EdgeKindRound);
  EXPECT_EQ(b.H(1, 0).m_tabOffset, D3DXVECTOR3(0, -2.4f, 0));
  EXPECT_EQ(b.H(1, 1).m_kind, EdgeKindClassic);
  EXPECT_EQ(b.H(1, 2).m_kind, EdgeKindRound);
}

TEST(EdgeShapes, RandomTabRange) {
  CrtSrand(77);
  int ones = 0;
  for (int i = 0; i < 4500; ++i) {
    const float t = RandomTab();
    ASSERT_GE(std::abs(t), 1.0f);
    ASSERT_LE(std::abs(t), 4.4f + 1e-6f);
    ones += std::abs(t) == 1.0f;
  }
  EXPECT_NEAR(ones, 4500 * 11 / 45, 150);
}

TEST(EdgeShapes, DrawsPerInteriorEdgeByShape) {
  struct Case {
    int shape, drawsPerEdge;
  } cases[] = {
      {PieceShapeClassic, 4}, {PieceShapeSquare, 4}, {PieceShapeRound, 4}, {PieceShapeRandomMix, 5}, {7, 4}};
  for (const Case& c : cases) {
    Layout b(5, 4, 95, 60.0f, 400);
    b.BuildEdges(400, c.shape, 3);
    EXPECT_EQ(CrtRandomState(), StateAfter(400, c.drawsPerEdge * InteriorEdgeCount(5, 4))) << c.shape;
    EXPECT_EQ(b.horizontal.size(), 5u * 5u);
    EXPECT_EQ(b.vertical.size(), 6u * 4u);
  }
}

TEST(EdgeShapes, EveryOutlineJoinsItsCornersExactly) {
  // A disturbed grid at every definition: no crack between neighbouring pieces.
  for (int shape : {PieceShapeClassic, PieceShapeRound, PieceShapeSquare, PieceShapeRandomMix}) {
    for (int definition : {1, 2, 3, 4}) {
      SCOPED_TRACE(testing::Message() << "shape " << shape << " definition " << definition);
      Layout b(6, 5, 117, 100.0f, 613);
      b.BuildEdges(613, shape, definition);
      for (int i = 0; i <= b.rows; ++i) {
        for (int k = 0; k <= b.columns; ++k) {
          if (k < b.columns) {
            const CPuzzleEdge& e = b.H(i, k);
            EXPECT_EQ(e.m_points.front(), b.Corner(i, k));
            EXPECT_EQ(e.m_points.back(), b.Corner(i, k + 1));
            if (i == 0 || i == b.rows) {
              EXPECT_EQ(e.m_kind, EdgeKindStraight);
            }
          }
          if (i < b.rows) {
            const CPuzzleEdge& e = b.V(i, k);
            EXPECT_EQ(e.m_points.front(), b.Corner(i, k));
            EXPECT_EQ(e.m_points.back(), b.Corner(i + 1, k));
            if (k == 0 || k == b.columns) {
              EXPECT_EQ(e.m_kind, EdgeKindStraight);
            }
          }
        }
      }
    }
  }
}

TEST(EdgeShapes, KindsAndBumpsByShape) {
  Layout b(6, 6, 150, 100.0f, 55);
  b.BuildEdges(55, PieceShapeSquare, 3);
  for (const CPuzzleEdge& e : b.horizontal) EXPECT_EQ(e.m_points.size(), 4u);
  for (const CPuzzleEdge& e : b.vertical) EXPECT_EQ(e.m_points.size(), 4u);

  b.BuildEdges(55, PieceShapeRound, 3);
  // Bumps are parallel to a grid axis: (0, t) across horizontal lines,
  // (t, 0) across vertical ones, pointing to the tab side.
  const CPuzzleEdge& h = b.H(2, 3);
  const CPuzzleEdge& v = b.V(2, 3);
  EXPECT_EQ(h.m_kind, EdgeKindRound);
  EXPECT_EQ(h.m_tabOffset.x, 0.0f);
  EXPECT_EQ(h.m_tabOffset.y > 0, h.m_tabSide > 0);
  EXPECT_EQ(v.m_tabOffset.y, 0.0f);
  EXPECT_EQ(v.m_tabOffset.x > 0, v.m_tabSide > 0);

  b.BuildEdges(55, PieceShapeRandomMix, 3);
  std::set<int> kinds;
  for (int i = 1; i < b.rows; ++i)
    for (int k = 0; k < b.columns; ++k) kinds.insert(b.H(i, k).m_kind);
  EXPECT_EQ(kinds, (std::set<int>{EdgeKindStraight, EdgeKindRound, EdgeKindClassic}));
}

TEST(EdgeShapes, ClassicKnobBulgesTowardItsTabSide) {
  Layout b(4, 4, 100, 0.0f, 808);
  b.BuildEdges(808, PieceShapeClassic, 3);
  for (int i = 1; i < b.rows; ++i) {
    for (int k = 0; k < b.columns; ++k) {
      const CPuzzleEdge& e = b.H(i, k);
      const float line = b.Corner(i, k).y;
      const float middle = e.m_points[e.m_points.size() / 2].y;
      EXPECT_GT((middle - line) * e.m_tabSide, 2.0f) << i << "," << k;
      EXPECT_EQ(e.m_definition, 3);
    }
  }
}

TEST(EdgeShapes, RebuildAtAnotherDefinitionKeepsShapesAndDraws) {
  for (int shape : {PieceShapeClassic, PieceShapeRound, PieceShapeRandomMix}) {
    Layout b(5, 5, 125, 100.0f, 1023);
    b.BuildEdges(1023, shape, 3);
    const std::vector<CPuzzleEdge> before = b.horizontal;
    const std::uint32_t stateBefore = CrtRandomState();
    b.BuildEdges(1023, shape, 1);
    EXPECT_EQ(CrtRandomState(), stateBefore);
    for (size_t n = 0; n < before.size(); ++n) {
      const CPuzzleEdge &was = before[n], &now = b.horizontal[n];
      EXPECT_EQ(now.m_kind, was.m_kind) << n;
      EXPECT_EQ(now.m_tabSide, was.m_tabSide) << n;
      EXPECT_EQ(now.m_tabOffset, was.m_tabOffset) << n;
      EXPECT_EQ(now.m_start, was.m_start) << n;
      EXPECT_EQ(now.m_end, was.m_end) << n;
      if (now.m_kind != EdgeKindStraight) {
        EXPECT_LT(now.m_points.size(), was.m_points.size()) << n;
      }
    }
    // Rebuilding at the first definition gives the first outlines back.
    b.BuildEdges(1023, shape, 3);
    for (size_t n = 0; n < before.size(); ++n) EXPECT_EQ(b.horizontal[n].m_points, before[n].m_points) << n;
  }
}

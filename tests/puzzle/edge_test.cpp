#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "puzzle/puzzle_edge.h"
#include "vector_print.h"

namespace {

const D3DXVECTOR3 kA(0, 0, 0);
const D3DXVECTOR3 kB(25, 0, 0);
// Home positions of the pieces below (+y) and above (-y) an undisturbed edge.
const D3DXVECTOR3 kBelow(12.5f, 12.5f, 0);
const D3DXVECTOR3 kAbove(12.5f, -12.5f, 0);

float Length2(const D3DXVECTOR3& p, const D3DXVECTOR3& q) { return std::hypot(q.x - p.x, q.y - p.y); }

CPuzzleEdge ClassicEdge(int definition, float f1 = 0.5f, float f2 = 0.5f) {
  CPuzzleEdge e;
  e.m_definition = definition;
  BuildClassicEdge(e, ClassicControlPolygon(kA, kB, kBelow, kAbove, f1, f2), 1);
  return e;
}

CPuzzleEdge RoundEdge(int definition, float tab) {
  CPuzzleEdge e;
  e.m_definition = definition;
  BuildRoundEdge(e, kA, kB, D3DXVECTOR3(0, tab, 0), tab > 0 ? 1 : -1, kBelow);
  return e;
}

void ExpectStartsAndEndsAtCorners(const CPuzzleEdge& e) {
  ASSERT_FALSE(e.m_points.empty());
  EXPECT_EQ(e.m_points.front(), e.m_start);
  EXPECT_EQ(e.m_points.back(), e.m_end);
  for (const D3DXVECTOR3& p : e.m_points) EXPECT_EQ(p.z, 0.0f);
}

}  // namespace

TEST(EdgeDensity, SamplesPerSpanByKindAndDefinition) {
  struct Case {
    int definition, round, classic;
  } cases[] = {{1, 2, 2}, {2, 4, 4}, {3, 6, 6}, {4, 8, 8}, {0, 4, 16}, {5, 4, 16}, {-1, 4, 16}};
  for (const Case& c : cases) {
    EXPECT_EQ(SamplesPerSpan(EdgeKindRound, c.definition), c.round) << c.definition;
    EXPECT_EQ(SamplesPerSpan(EdgeKindClassic, c.definition), c.classic) << c.definition;
    EXPECT_EQ(SamplesPerSpan(EdgeKindStraight, c.definition), 0);
  }
}

TEST(EdgeSampling, ClampIndex) {
  struct Case {
    int a, m, expected;
  } cases[] = {{-1, 10, 0}, {-5, 10, 0}, {0, 10, 0}, {9, 10, 9}, {10, 10, 9}, {12, 10, 9}};
  for (const Case& c : cases) EXPECT_EQ(ClampIndex(c.a, c.m), c.expected) << c.a << " " << c.m;
}

TEST(EdgeSampling, BSplinePointUsesTheUniformCubicBasis) {
  // A linear polygon is reproduced (P1 + t (P2 - P1)); a single raised point
  // weighs b1 / 6 = (3t^3 - 6t^2 + 4) / 6.
  const D3DXVECTOR2 l0(0, 0), l1(6, 0), l2(12, 0), l3(18, 0);
  const D3DXVECTOR2 z(0, 0), up(0, 6);
  struct Case {
    float t, lineX, bumpY;
  } cases[] = {{0.0f, 6.0f, 4.0f}, {0.5f, 9.0f, 2.875f}, {0.25f, 7.5f, 3.671875f}};
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(BSplinePoint(c.t, l0, l1, l2, l3).x, c.lineX) << c.t;
    EXPECT_FLOAT_EQ(BSplinePoint(c.t, z, up, z, z).y, c.bumpY) << c.t;
  }
}

TEST(EdgeSampling, FourCopiesOfOnePointGiveThatPointOnly) {
  for (const D3DXVECTOR2 p : {D3DXVECTOR2(7, -3), D3DXVECTOR2(1999, 2001), D3DXVECTOR2(0.1f, 24.7f)}) {
    std::vector<D3DXVECTOR2> out;
    SampleBSpline(out, {p, p, p, p}, 8);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0], p);
  }
}

TEST(EdgeSampling, CurveStartsAndEndsExactlyAtTheEndPoints) {
  const std::vector<D3DXVECTOR2> polygon = {
      {0.1f, 0.7f}, {3.3f, -2.9f}, {11.17f, 5.01f}, {19.9f, -0.3f}, {24.93f, 1.1f}};
  for (int n : {2, 6, 16}) {
    std::vector<D3DXVECTOR2> out;
    SampleBSpline(out, polygon, n);
    ASSERT_GE(out.size(), 3u);
    EXPECT_EQ(out.front(), polygon.front());
    EXPECT_EQ(out.back(), polygon.back());
    for (size_t i = 1; i < out.size(); ++i) EXPECT_FALSE(out[i] == out[i - 1]) << i;
  }
}

TEST(EdgeSampling, NothingToSampleGivesNothing) {
  std::vector<D3DXVECTOR2> out = {{1, 1}};
  SampleBSpline(out, {}, 6);
  EXPECT_TRUE(out.empty());
  out = {{1, 1}};
  SampleBSpline(out, {{0, 0}, {5, 5}}, 0);
  EXPECT_TRUE(out.empty());
}

TEST(StraightEdge, FourPointsAlongEitherAxis) {
  CPuzzleEdge e;
  BuildStraightEdge(e, kA, kB, false);
  EXPECT_EQ(e.m_points, (std::vector<D3DXVECTOR3>{{0, 0, 0}, {0.5f, 0, 0}, {24.5f, 0, 0}, {25, 0, 0}}));
  EXPECT_EQ(e.m_kind, EdgeKindStraight);
  EXPECT_EQ(e.m_tabStart, -1);
  EXPECT_EQ(e.m_tabEnd, -1);
  EXPECT_EQ(e.m_tabSide, 0);
  EXPECT_EQ(e.m_tabOffset, D3DXVECTOR3());

  BuildStraightEdge(e, kA, D3DXVECTOR3(0, 25, 0), true);
  EXPECT_EQ(e.m_points, (std::vector<D3DXVECTOR3>{{0, 0, 0}, {0, 0.5f, 0}, {0, 24.5f, 0}, {0, 25, 0}}));
  EXPECT_EQ(e.m_start, kA);
  EXPECT_EQ(e.m_end, D3DXVECTOR3(0, 25, 0));
}

TEST(ClassicEdge, ControlPolygonOfAnUndisturbedEdge) {
  // In the edge frame (u along, v toward the knob's piece, in edge lengths).
  struct Case {
    float f1, f2;
  } cases[] = {{0.5f, 0.5f}, {0.35f, 0.65f}, {0.65f, 0.41f}};
  for (const Case& c : cases) {
    const auto below = ClassicControlPolygon(kA, kB, kBelow, kAbove, c.f1, c.f2);
    const auto above = ClassicControlPolygon(kA, kB, kAbove, kBelow, c.f1, c.f2);
    const float f1 = c.f1, f2 = c.f2;
    const float expected[10][2] = {{0, 0},
                                   {0.05f, 0},
                                   {0.25f + 0.25f * f1, 0.25f * f1 - 0.25f},
                                   {0.4f, 0},
                                   {0.5f * f1, 0.5f * f1},
                                   {1 - 0.5f * f2, 0.5f * f2},
                                   {0.6f, 0},
                                   {0.75f - 0.25f * f2, 0.25f * f2 - 0.25f},
                                   {0.95f, 0},
                                   {1, 0}};
    ASSERT_EQ(below.size(), 10u);
    ASSERT_EQ(above.size(), 10u);
    for (int i = 0; i < 10; ++i) {
      EXPECT_NEAR(below[i].x, 25 * expected[i][0], 1e-4) << i;
      EXPECT_NEAR(below[i].y, 25 * expected[i][1], 1e-4) << i;
      EXPECT_NEAR(above[i].y, -25 * expected[i][1], 1e-4) << i;  // mirrored
    }
  }
}

TEST(ClassicEdge, OutlineCountsAndTabIndicesPerDefinition) {
  struct Case {
    int definition;
    size_t points;
    int tabStart, tabEnd;
  } cases[] = {{1, 17, 3, 13},  {2, 33, 7, 25},   {3, 45, 10, 34},
               {4, 59, 14, 44}, {0, 113, 28, 84}, {7, 113, 28, 84}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.definition);
    const CPuzzleEdge e = ClassicEdge(c.definition);
    EXPECT_EQ(e.m_points.size(), c.points);
    EXPECT_EQ(e.m_tabStart, c.tabStart);
    EXPECT_EQ(e.m_tabEnd, c.tabEnd);
    EXPECT_EQ(e.m_kind, EdgeKindClassic);
    EXPECT_EQ(e.m_tabSide, 1);
    ExpectStartsAndEndsAtCorners(e);
    // The knob region lies between the necks at 0.4 and 0.6 of the edge.
    EXPECT_LT(e.m_points[static_cast<size_t>(e.m_tabStart)].x, 10.0f);
    EXPECT_GT(e.m_points[static_cast<size_t>(e.m_tabEnd)].x, 15.0f);
  }
}

TEST(ClassicEdge, EndSegmentsAreAtLeastOneUnitLong) {
  // Skewed fractions and a slanted edge, as on a disturbed board.
  CPuzzleEdge e;
  for (int definition : {1, 2, 3, 4, 9}) {
    e.m_definition = definition;
    BuildClassicEdge(e,
                     ClassicControlPolygon({0.4f, 1.2f, 0}, {24.1f, -1.3f, 0}, {13, 14.1f, 0},
                                           {11.6f, -12.2f, 0}, 0.63f, 0.37f),
                     1);
    ExpectStartsAndEndsAtCorners(e);
    const size_t n = e.m_points.size();
    ASSERT_GT(n, 7u);
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_GE(Length2(e.m_points[i], e.m_points[i + 1]), 1.0f) << definition << " start " << i;
      EXPECT_GE(Length2(e.m_points[n - 2 - i], e.m_points[n - 1 - i]), 1.0f) << definition << " end " << i;
    }
  }
}

TEST(ClassicEdge, KnobReachesAboutAQuarterEdgeIntoItsPiece) {
  const CPuzzleEdge e = ClassicEdge(4);
  float most = 0, least = 0;
  for (const D3DXVECTOR3& p : e.m_points) {
    most = std::max(most, p.y);
    least = std::min(least, p.y);
  }
  EXPECT_NEAR(most / 25, 0.24f, 0.01f);
  EXPECT_NEAR(-least / 25, 1.0f / 12, 0.01f);
}

TEST(ClassicEdge, EmptyPolygonGivesAnEmptyOutline) {
  CPuzzleEdge e = ClassicEdge(3);
  BuildClassicEdge(e, {}, 1);
  EXPECT_TRUE(e.m_points.empty());
  EXPECT_EQ(e.m_tabStart, -1);
  EXPECT_EQ(e.m_tabEnd, -1);
}

TEST(RoundEdge, OutlineCountsPerDefinition) {
  struct Case {
    int definition;
    size_t points;
  } cases[] = {{1, 9}, {2, 15}, {3, 19}, {4, 21}, {0, 15}, {6, 15}};
  for (const Case& c : cases) {
    for (float tab : {1.0f, 2.4f, 4.4f, -1.0f, -4.4f}) {
      SCOPED_TRACE(testing::Message() << "definition " << c.definition << " tab " << tab);
      const CPuzzleEdge e = RoundEdge(c.definition, tab);
      EXPECT_EQ(e.m_points.size(), c.points);
      EXPECT_EQ(e.m_kind, EdgeKindRound);
      EXPECT_EQ(e.m_tabStart, -1);
      EXPECT_EQ(e.m_tabEnd, -1);
      EXPECT_EQ(e.m_tabSide, tab > 0 ? 1 : -1);
      EXPECT_EQ(e.m_tabOffset, D3DXVECTOR3(0, tab, 0));
      ExpectStartsAndEndsAtCorners(e);
    }
  }
}

TEST(RoundEdge, NeighboursAreOneUnitApartExceptAtTheMiddle) {
  for (int definition : {1, 2, 3, 4}) {
    const CPuzzleEdge e = RoundEdge(definition, 4.4f);
    const size_t n = e.m_points.size(), middle = n / 2;
    float peak = 0;
    for (size_t i = 0; i + 1 < n; ++i) {
      if (i + 1 != middle && i != middle) {
        EXPECT_GE(Length2(e.m_points[i], e.m_points[i + 1]), 1.0f) << definition << " " << i;
      }
      EXPECT_GT(e.m_points[i + 1].x, e.m_points[i].x) << "runs forward";
      peak = std::max(peak, e.m_points[i].y);
    }
    EXPECT_NEAR(peak, 4.2f, 0.1f) << definition;
  }
}

TEST(RoundEdge, KeptSamplesNeverRunBackwardsAroundThePieceCentre) {
  // A bump close to its piece's centre: the crowded end samples would turn
  // the wrong way around it.
  struct Case {
    D3DXVECTOR3 a, b, bump, center;
  } cases[] = {
      {{0, 0, 0}, {25, 0, 0}, {0, 4.4f, 0}, {5.5f, 9.0f, 0}},
      {{0, 0, 0}, {0, 25, 0}, {-4.4f, 0, 0}, {-1.0f, 23.0f, 0}},
  };
  for (const Case& c : cases) {
    for (int definition : {1, 3, 4}) {
      CPuzzleEdge e;
      e.m_definition = definition;
      BuildRoundEdge(e, c.a, c.b, c.bump, 1, c.center);
      ExpectStartsAndEndsAtCorners(e);
      const auto& p = e.m_points;
      const size_t middle = p.size() / 2;
      auto turn = [&](size_t i) {
        const float ux = p[i].x - c.center.x, uy = p[i].y - c.center.y;
        const float wx = p[i + 1].x - c.center.x, wy = p[i + 1].y - c.center.y;
        return ux * wy - uy * wx > 0 ? 1 : -1;
      };
      const int reference = turn(middle - 1);
      for (size_t i = 0; i + 1 < p.size(); ++i) {
        if (i + 1 != middle && i != middle) {
          EXPECT_EQ(turn(i), reference) << definition << " " << i;
        }
      }
    }
  }
}

TEST(EdgeThinning, DegenerateEdgesKeepBothCorners) {
  // Thinning may empty everything between the corners, never the corners.
  const D3DXVECTOR3 near(0.8f, 0.3f, 0);
  CPuzzleEdge e;
  for (int definition : {1, 3, 4, 0}) {
    SCOPED_TRACE(definition);
    e.m_definition = definition;
    BuildRoundEdge(e, kA, {25, 2.4f, 0}, {0, 3, 0}, 1, {2, 2, 0});  // centre on the bump
    ASSERT_GE(e.m_points.size(), 2u);
    ExpectStartsAndEndsAtCorners(e);
    BuildRoundEdge(e, kA, near, {0, 0.2f, 0}, 1, {0.4f, 5, 0});  // shorter than a unit
    ASSERT_GE(e.m_points.size(), 2u);
    ExpectStartsAndEndsAtCorners(e);
    BuildClassicEdge(e, ClassicControlPolygon(kA, near, {0.4f, 0.6f, 0}, {0.4f, -0.6f, 0}, 0.5f, 0.5f), 1);
    ASSERT_GE(e.m_points.size(), 2u);
    ExpectStartsAndEndsAtCorners(e);
    EXPECT_GE(e.m_tabStart, 0);
    EXPECT_LT(e.m_tabEnd, static_cast<int>(e.m_points.size()));
  }
}

TEST(NearestOutlinePoint, ShiftsAwayFromTheMiddle) {
  std::vector<D3DXVECTOR3> line;
  for (int i = 0; i < 60; ++i) line.emplace_back(static_cast<float>(i), 0.0f, 0.0f);
  struct Case {
    D3DXVECTOR3 target;
    int expected;
  } cases[] = {
      {{10.2f, 0.3f, 0}, 8}, {{39.8f, -0.2f, 0}, 42}, {{20.5f, 0, 0}, 18},  // tie: 20 wins
      {{45.5f, 0, 0}, 47},   {{0, 0, 0}, 0},          {{59, 0, 0}, 59},     // kept inside
      {{29, 0, 0}, 27},      {{30, 0, 0}, 32},
  };
  for (const Case& c : cases) EXPECT_EQ(FindNearestOutlinePoint(line, c.target), c.expected) << c.target.x;
  EXPECT_EQ(FindNearestOutlinePoint({}, kA), -1);
  EXPECT_EQ(FindNearestOutlinePoint(line, D3DXVECTOR3(0, 2e6f, 0)), -1);
}

TEST(EdgeRebuild, InPlaceEqualsAFreshBuild) {
  // One edge record rebuilt through every kind and definition keeps nothing
  // of its earlier outline.
  const auto polygon = ClassicControlPolygon(kA, kB, kBelow, kAbove, 0.42f, 0.58f);
  CPuzzleEdge reused;
  for (int definition : {4, 1, 3}) {
    CPuzzleEdge fresh;
    reused.m_definition = fresh.m_definition = definition;
    BuildClassicEdge(reused, polygon, -1);
    BuildClassicEdge(fresh, polygon, -1);
    EXPECT_EQ(reused.m_points, fresh.m_points);
    EXPECT_EQ(reused.m_tabStart, fresh.m_tabStart);
    EXPECT_EQ(reused.m_tabEnd, fresh.m_tabEnd);
    EXPECT_EQ(reused.m_start, kA);
    EXPECT_EQ(reused.m_end, kB);

    BuildRoundEdge(reused, kA, kB, D3DXVECTOR3(0, -3, 0), -1, kBelow);
    BuildRoundEdge(fresh, kA, kB, D3DXVECTOR3(0, -3, 0), -1, kBelow);
    EXPECT_EQ(reused.m_points, fresh.m_points);
    EXPECT_EQ(reused.m_tabStart, -1);

    BuildStraightEdge(reused, kA, kB, false);
    EXPECT_EQ(reused.m_points.size(), 4u);
    EXPECT_EQ(reused.m_tabOffset, D3DXVECTOR3());
  }
}

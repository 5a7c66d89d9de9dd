// Piece meshes built from plain edges: counts per definition, vertex
// positions and texture coordinates of a square piece, winding and pick
// coverage of straight-sided pieces, the fans of curved sides, and what the
// piece keeps after its build.
#include "puzzle/piece_mesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <set>
#include <vector>

#include "platform/crt_random.h"
#include "puzzle/board_layout.h"
#include "puzzle/puzzle_piece.h"
#include "vector_print.h"

namespace {

// The four edges of the cell with corners tl, tr, bl, br, all straight.
struct StraightCell {
  std::array<CPuzzleEdge, 4> edges;
  D3DXVECTOR3 home;
  StraightCell(D3DXVECTOR3 tl, D3DXVECTOR3 tr, D3DXVECTOR3 bl, D3DXVECTOR3 br) {
    BuildStraightEdge(edges[0], tl, tr, false);
    BuildStraightEdge(edges[1], tr, br, true);
    BuildStraightEdge(edges[2], bl, br, false);
    BuildStraightEdge(edges[3], tl, bl, true);
    home = (tl + tr + bl + br) * 0.25f;
  }
};

PieceMeshInput InputFor(const std::array<CPuzzleEdge, 4>& edges, D3DXVECTOR3 home, int definition,
                        bool withBack, int width = 25, int height = 25) {
  PieceMeshInput input;
  for (int i = 0; i < 4; ++i) input.edges[size_t(i)] = &edges[size_t(i)];
  input.home = home;
  input.definition = definition;
  input.boardWidth = width;
  input.boardHeight = height;
  input.withBack = withBack;
  return input;
}

PieceMeshOutput Build(const PieceMeshInput& input) {
  PieceMeshOutput out;
  EXPECT_TRUE(BuildPieceGeometry(input, out));
  return out;
}

// z of (b - a) x (c - a): positive for a triangle clockwise seen from above
// (Direct3D's front face with +z up).
float UpCross(const D3DXVECTOR3& a, const D3DXVECTOR3& b, const D3DXVECTOR3& c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// Area enclosed by a piece's outline: the four sides walked in order 0, 3,
// 2, 1 as the meshes walk them.
double OutlineArea(const std::array<CPuzzleEdge, 4>& edges) {
  std::vector<D3DXVECTOR3> loop;
  auto walk = [&](int side, bool reversed) {
    std::vector<D3DXVECTOR3> p = edges[size_t(side)].m_points;
    if (reversed) std::reverse(p.begin(), p.end());
    loop.insert(loop.end(), p.begin(), p.end());
  };
  walk(0, true);
  walk(3, false);
  walk(2, false);
  walk(1, true);
  double twice = 0;
  for (size_t i = 0; i < loop.size(); ++i) {
    const D3DXVECTOR3& a = loop[i];
    const D3DXVECTOR3& b = loop[(i + 1) % loop.size()];
    twice += double(a.x) * b.y - double(b.x) * a.y;
  }
  return std::fabs(twice) / 2;
}

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, float tolerance = 1e-5f) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

const StraightCell kSquare({0, 0, 0}, {25, 0, 0}, {0, 25, 0}, {25, 25, 0});

}  // namespace

TEST(PieceMesh, SquarePieceCountsFollowTheBevelBands) {
  // Definition, bands. Levels outside 1..4 use the bands of level 2.
  const int cases[][2] = {{1, 1}, {2, 2}, {3, 2}, {4, 4}, {0, 2}, {7, 2}, {-1, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "definition " << c[0]);
    const int b = c[1];
    EXPECT_EQ(BevelBandsFor(c[0]), b);
    const PieceMeshOutput out = Build(InputFor(kSquare.edges, kSquare.home, c[0], true));
    EXPECT_EQ(out.top.m_positions.size(), size_t(4 * ((b + 1) * 4 + 5) + 1));
    EXPECT_EQ(out.top.m_primitiveCount, 4 * (2 * b * 3 + 9));
    EXPECT_EQ(out.top.m_indices.size(), size_t(3 * out.top.m_primitiveCount));
    EXPECT_EQ(out.top.m_normals.size(), out.top.m_positions.size());
    EXPECT_EQ(out.top.m_texCoords.size(), out.top.m_positions.size());
    EXPECT_EQ(out.side.m_positions.size(), 32u);
    EXPECT_EQ(out.side.m_primitiveCount, 24);
    EXPECT_EQ(out.topTriangles.size(), 36u);
    EXPECT_EQ(out.sideTriangles.size(), 24u);
    EXPECT_EQ(out.back.m_positions.size(), 108u);
    EXPECT_EQ(out.back.m_primitiveCount, 36);
    for (const CKVR3DObjectCreateParam* p : {&out.top, &out.side, &out.back})
      for (int index : p->m_indices) {
        EXPECT_GE(index, 0);
        EXPECT_LT(index, int(p->m_positions.size()));
      }
  }
}

TEST(PieceMesh, SquarePieceAtDefinitionThreeHasTheseVertices) {
  const PieceMeshOutput out = Build(InputFor(kSquare.edges, kSquare.home, 3, true));
  const std::vector<D3DXVECTOR3>& p = out.top.m_positions;
  const D3DXVECTOR3 h = kSquare.home;  // (12.5, 12.5, 0): everything is local to it
  // Side 0 starts at the top-right corner: ring 0 (inner), ring 1, ring 2
  // (the outline), then Q1..Q4 and the chord midpoint.
  ExpectNear(p[0], D3DXVECTOR3(24.5f, 0.5f, 1.5f) - h);     // inner corner
  ExpectNear(p[1], D3DXVECTOR3(24.5f, 0.5f, 1.5f) - h);     // again, straight side
  ExpectNear(p[2], D3DXVECTOR3(0.5f, 0.5f, 1.5f) - h);      // inner top-left
  ExpectNear(p[4], D3DXVECTOR3(24.75f, 0.25f, 1.25f) - h);  // corner: straight blend
  // Between the corners ring 1 lies on the quarter circle round (24.5, 0.5, 1).
  const float s = 0.5f / std::sqrt(2.0f);
  ExpectNear(p[5], D3DXVECTOR3(24.5f, 0.5f - s, 1.0f + s) - h);
  ExpectNear(p[8], D3DXVECTOR3(25, 0, 1) - h);  // the outline: the real corner
  ExpectNear(p[9], D3DXVECTOR3(24.5f, 0, 1) - h);
  ExpectNear(p[11], D3DXVECTOR3(0, 0, 1) - h);
  const D3DXVECTOR3 f(24.5f, 0.5f, 1.5f), c(12.5f, 12.5f, 1.5f);
  ExpectNear(p[12], f + (c - f) * 0.15f - h);
  ExpectNear(p[15], f + (c - f) * 0.72f - h);
  ExpectNear(p[16], D3DXVECTOR3(12.5f, 0, 1.5f) - h);      // chord midpoint
  ExpectNear(p[17], D3DXVECTOR3(24.5f, 24.5f, 1.5f) - h);  // side 1 starts bottom-right
  ExpectNear(p[68], D3DXVECTOR3(0, 0, 1.5f));              // the centre
  // Normals: the outline's face out, the inner ring and the middle up, the
  // intermediate ring halfway.
  ExpectNear(out.top.m_normals[8], D3DXVECTOR3(0, -1, 0));
  ExpectNear(out.top.m_normals[0], D3DXVECTOR3(0, 0, 1));
  ExpectNear(out.top.m_normals[5], D3DXVECTOR3(0, -std::sqrt(0.5f), std::sqrt(0.5f)));
  ExpectNear(out.top.m_normals[17 + 8], D3DXVECTOR3(1, 0, 0));
  // Texture coordinates come from the board position.
  EXPECT_FLOAT_EQ(out.top.m_texCoords[8].x, 1.0f);
  EXPECT_FLOAT_EQ(out.top.m_texCoords[8].y, 0.0f);
  EXPECT_FLOAT_EQ(out.top.m_texCoords[68].x, 0.5f);
  // Walls start at the top-left corner going down the left side; the texture
  // runs along the travelled length, once over the height.
  const std::vector<D3DXVECTOR3>& w = out.side.m_positions;
  ExpectNear(w[0], D3DXVECTOR3(0, 0, 1) - h);
  ExpectNear(w[1], D3DXVECTOR3(0, 0, 0) - h);
  ExpectNear(w[2], D3DXVECTOR3(0, 0.5f, 1) - h);
  ExpectNear(out.side.m_normals[0], D3DXVECTOR3(-1, 0, 0));
  ExpectNear(out.side.m_normals[8], D3DXVECTOR3(0, 1, 0));  // bottom side
  EXPECT_FLOAT_EQ(out.side.m_texCoords[2].x, 0.5f);
  EXPECT_FLOAT_EQ(out.side.m_texCoords[1].y, 1.0f);
  EXPECT_FLOAT_EQ(out.side.m_texCoords[31].x, 100.0f);
  // The back: the top's pick triangles turned over at z 0, uv = position / 25.
  for (size_t t = 0; t < out.topTriangles.size(); ++t) {
    const PickTriangle& tri = out.topTriangles[t];
    ExpectNear(out.back.m_positions[3 * t], D3DXVECTOR3(tri.m_vertices[1].x, tri.m_vertices[1].y, 0));
    ExpectNear(out.back.m_positions[3 * t + 1], D3DXVECTOR3(tri.m_vertices[0].x, tri.m_vertices[0].y, 0));
  }
  ExpectNear(out.back.m_normals[0], D3DXVECTOR3(0, 0, -1));
  const D3DXVECTOR3 b0 = out.back.m_positions[0] + h;
  EXPECT_FLOAT_EQ(out.back.m_texCoords[0].x, b0.x / 25);
  EXPECT_FLOAT_EQ(out.back.m_texCoords[0].y, b0.y / 25);
}

TEST(PieceMesh, BackTextureRepeatsEveryPieceWidth) {
  const StraightCell cell({25, 0, 0}, {50, 0, 0}, {25, 25, 0}, {50, 25, 0});
  const PieceMeshOutput out = Build(InputFor(cell.edges, cell.home, 3, true, 75, 75));
  bool found = false;
  for (size_t i = 0; i < out.back.m_positions.size(); ++i) {
    const D3DXVECTOR3 board = out.back.m_positions[i] + cell.home;
    if (board.x == 50 && board.y == 25) {
      found = true;
      EXPECT_FLOAT_EQ(out.back.m_texCoords[i].x, 2.0f);
      EXPECT_FLOAT_EQ(out.back.m_texCoords[i].y, 1.0f);
    }
  }
  EXPECT_TRUE(found);
  // Without a back texture there is no back mesh.
  EXPECT_TRUE(Build(InputFor(cell.edges, cell.home, 3, false)).back.m_positions.empty());
}

// Straight-sided pieces, square and jittered: every top and bevel triangle
// faces up (degenerate ones aside), every pick triangle too, and the pick
// triangles cover exactly the outline.
TEST(PieceMesh, StraightSidedPiecesFaceUpAndPickTheirWholeOutline) {
  CrtSrand(7);
  std::vector<D3DXVECTOR3> corners, homes;
  ASSERT_TRUE(GenerateCornerGrid(corners, 4, 3, 100, 75, 100.0f));
  ASSERT_TRUE(ComputeHomePositions(homes, corners, 4, 3));
  auto corner = [&](int i, int k) { return corners[size_t(CornerIndex(i, k, 4))]; };
  for (int definition = 1; definition <= 4; ++definition)
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 4; ++c) {
        SCOPED_TRACE(testing::Message() << "definition " << definition << " piece " << r << "," << c);
        const StraightCell cell(corner(r, c), corner(r, c + 1), corner(r + 1, c), corner(r + 1, c + 1));
        const PieceMeshOutput out =
            Build(InputFor(cell.edges, homes[size_t(r * 4 + c)], definition, false, 100, 75));
        const std::vector<D3DXVECTOR3>& p = out.top.m_positions;
        const std::vector<int>& ix = out.top.m_indices;
        int upright = 0;
        for (size_t t = 0; t < ix.size(); t += 3) {
          const float z = UpCross(p[size_t(ix[t])], p[size_t(ix[t + 1])], p[size_t(ix[t + 2])]);
          EXPECT_GE(z, -1e-6f) << "triangle " << t / 3;
          upright += z > 1e-6f;
        }
        // Only the first bevel band's triangles at both ends of a straight
        // side (where the inner ring repeats a corner) are flat.
        EXPECT_EQ(upright, out.top.m_primitiveCount - 4 * 2);
        double area = 0;
        for (const PickTriangle& t : out.topTriangles) {
          const float z = UpCross(t.m_vertices[0], t.m_vertices[1], t.m_vertices[2]);
          EXPECT_GT(z, 0.0f);
          area += z / 2.0;
        }
        EXPECT_NEAR(area, OutlineArea(cell.edges), 1e-3);
      }
}

TEST(PieceMesh, WallsFaceOutwards) {
  const PieceMeshOutput out = Build(InputFor(kSquare.edges, kSquare.home, 3, false));
  for (const PickTriangle& t : out.sideTriangles) {
    D3DXVECTOR3 e1 = t.m_vertices[1] - t.m_vertices[0], e2 = t.m_vertices[2] - t.m_vertices[0], n;
    D3DXVec3Cross(&n, &e1, &e2);
    const D3DXVECTOR3 mid = (t.m_vertices[0] + t.m_vertices[1] + t.m_vertices[2]) * (1.0f / 3);
    // Clockwise seen from outside: the face normal points away from the centre.
    EXPECT_GT(n.x * mid.x + n.y * mid.y, 0.0f);
    EXPECT_FLOAT_EQ(n.z, 0.0f);
  }
}

// A classic edge along side 0 (top) by hand: 40 points, the tab between
// outline indices 10 and 20 bulging up (tab side -1: a knob for the piece
// below, a socket for the piece above).
CPuzzleEdge HandMadeClassicEdge(int tabSide) {
  CPuzzleEdge e;
  e.m_start = D3DXVECTOR3(0, 0, 0);
  e.m_end = D3DXVECTOR3(25, 0, 0);
  for (int k = 0; k < 40; ++k) {
    const float x = 25.0f * float(k) / 39.0f;
    const float y =
        (k > 10 && k < 20) ? tabSide * 3.0f * std::sin(float(k - 10) / 10.0f * 3.14159265f) : 0.0f;
    e.m_points.emplace_back(x, y, 0.0f);
  }
  e.m_points.back() = e.m_end;
  e.m_kind = EdgeKindClassic;
  e.m_tabStart = 10;
  e.m_tabEnd = 20;
  e.m_tabSide = tabSide;
  return e;
}

TEST(PieceMesh, FanTriangleCountsPerSideKind) {
  CPuzzleEdge straight;
  BuildStraightEdge(straight, {0, 0, 0}, {25, 0, 0}, false);
  CPuzzleEdge round;
  BuildRoundEdge(round, {0, 0, 0}, {25, 0, 0}, {0, 3, 0}, 1, {12.5f, 12.5f, 0});
  const int n = int(round.m_points.size());
  CPuzzleEdge up = HandMadeClassicEdge(-1);
  CPuzzleEdge shortSocket = up;  // five points: the socket thresholds coincide
  shortSocket.m_points.resize(5);
  struct Case {
    const CPuzzleEdge* edge;
    int side, expected;
  } cases[] = {
      {&straight, 0, 9},     {&round, 0, n + 7},
      {&round, 2, n + 7},    {&up, 0, 40 + 9},  // tab points away from the piece below: a knob
      {&up, 2, 40 + 7},                         // seen from the piece above: a socket (h = 20)
      {&shortSocket, 2, 10},                    // h = 2: switches at 0, 1, 1 -> one triangle fewer twice
  };
  for (const Case& c : cases) EXPECT_EQ(TopTriangleCount(*c.edge, c.side), c.expected);
}

// Side 0 with the knob: the tab fan runs from the chord midpoint over walk
// positions 19 .. 29 (the side is walked backwards: outline 20 .. 10).
TEST(PieceMesh, KnobTabIsFannedFromTheChordMidpoint) {
  const StraightCell cell({0, 0, 0}, {25, 0, 0}, {0, 25, 0}, {25, 25, 0});
  std::array<CPuzzleEdge, 4> edges = cell.edges;
  edges[0] = HandMadeClassicEdge(-1);
  const PieceMeshOutput out = Build(InputFor(edges, cell.home, 3, false));
  EXPECT_EQ(out.top.m_primitiveCount, 2 * 2 * 39 + 49 + 3 * (2 * 2 * 3 + 9));
  EXPECT_EQ(out.topTriangles.size(), size_t(49 + 27));
  const D3DXVECTOR3 m = D3DXVECTOR3(12.5f, 0, 1.5f) - cell.home;
  std::set<int> fanned;
  for (const PickTriangle& t : out.topTriangles) {
    if (!(t.m_vertices[1] == m)) continue;
    // (v(a + P), M, v(a + P + 1)) reaches out to the outline points.
    for (int j : {0, 2}) {
      const D3DXVECTOR3 board = t.m_vertices[j] + cell.home;
      for (int k = 0; k < 40; ++k)
        if (std::fabs(board.x - edges[0].m_points[size_t(k)].x) < 1e-4f &&
            std::fabs(board.y - edges[0].m_points[size_t(k)].y) < 1e-4f)
          fanned.insert(39 - k);
    }
  }
  std::set<int> expected;
  for (int k = 19; k <= 29; ++k) expected.insert(k);
  EXPECT_EQ(fanned, expected);
  // The same edge as the bottom side of the piece above is a socket there:
  // no fan from its chord midpoint.
  const StraightCell above({0, -25, 0}, {25, -25, 0}, {0, 0, 0}, {25, 0, 0});
  std::array<CPuzzleEdge, 4> aboveEdges = above.edges;
  aboveEdges[2] = edges[0];
  const PieceMeshOutput socket = Build(InputFor(aboveEdges, above.home, 3, false));
  const D3DXVECTOR3 ms = D3DXVECTOR3(12.5f, 0, 1.5f) - above.home;
  for (const PickTriangle& t : socket.topTriangles)
    for (const D3DXVECTOR3& v : t.m_vertices) EXPECT_FALSE(v == ms);
  EXPECT_EQ(socket.topTriangles.size(), size_t(47 + 27));
}

// A 3 x 3 board of 75 x 75 with irregularity 100: its corners and homes,
// and its edges of a shape and definition, from the generator seeded anew.
struct ThreeByThree {
  std::vector<D3DXVECTOR3> corners, homes;
  std::vector<CPuzzleEdge> horizontal, vertical;
  explicit ThreeByThree(unsigned seed) : m_seed(seed) {
    CrtSrand(seed);
    EXPECT_TRUE(GenerateCornerGrid(corners, 3, 3, 75, 75, 100.0f));
    EXPECT_TRUE(ComputeHomePositions(homes, corners, 3, 3));
  }
  bool Edges(int shape, int definition) {
    CrtSrand(m_seed);
    return GenerateEdgeShapes(horizontal, vertical, corners, homes, 3, 3, shape, definition);
  }
  // The edges of piece (r, c), sides 0..3.
  std::array<const CPuzzleEdge*, 4> PieceEdges(int r, int c) const {
    return {
        &horizontal[size_t(HorizontalEdgeIndex(r, c, 3))], &vertical[size_t(VerticalEdgeIndex(r, c + 1, 3))],
        &horizontal[size_t(HorizontalEdgeIndex(r + 1, c, 3))], &vertical[size_t(VerticalEdgeIndex(r, c, 3))]};
  }

 private:
  unsigned m_seed;
};

// Curved sides of a real board at every definition: indices in range, the
// inner ring ends at the inner corners, the outline at z 1 and the piece
// centre at the origin.
TEST(PieceMesh, CurvedPiecesOfABoardAreWellFormed) {
  ThreeByThree board(3);
  for (int shape : {PieceShapeClassic, PieceShapeRound, PieceShapeRandomMix})
    for (int definition = 1; definition <= 4; ++definition) {
      ASSERT_TRUE(board.Edges(shape, definition));
      const auto middle = board.PieceEdges(1, 1);  // four curved sides
      const std::array<CPuzzleEdge, 4> edges = {*middle[0], *middle[1], *middle[2], *middle[3]};
      const D3DXVECTOR3 home = board.homes[4];
      const PieceMeshOutput out = Build(InputFor(edges, home, definition, true, 75, 75));
      int fans = 0, vertices = 1;
      for (int s = 0; s < 4; ++s) fans += TopTriangleCount(edges[size_t(s)], s);
      const int b = BevelBandsFor(definition);
      for (int s = 0; s < 4; ++s) {
        const int n = edges[size_t(s)].m_kind == EdgeKindStraight ? 4 : int(edges[size_t(s)].m_points.size());
        vertices += (b + 1) * n + 5;
        fans += 2 * b * (n - 1);
      }
      EXPECT_EQ(out.top.m_primitiveCount, fans);
      EXPECT_EQ(int(out.top.m_positions.size()), vertices);
      for (int index : out.top.m_indices) ASSERT_LT(index, vertices);
      ExpectNear(out.top.m_positions.back(), D3DXVECTOR3(0, 0, 1.5f));
      // Side 0's inner ring starts at the inner top-right corner.
      const D3DXVECTOR3 tr = edges[0].m_end;
      ExpectNear(out.top.m_positions[0] + home, D3DXVECTOR3(tr.x - 0.5f, tr.y + 0.5f, 1.5f));
      for (const PickTriangle& t : out.sideTriangles)
        for (const D3DXVECTOR3& p : t.m_vertices) EXPECT_TRUE(p.z == 1.0f || p.z == 0.0f);
      EXPECT_EQ(out.back.m_positions.size(), 3 * out.topTriangles.size());
    }
}

TEST(PieceMesh, BuildingAPieceKeepsItsEdgesTrianglesAndHome) {
  CPuzzlePiece piece;
  piece.m_homePosition = kSquare.home;
  piece.m_currentPosition = D3DXVECTOR3(300, 200, 0);
  piece.m_definition = 1;
  piece.m_topTriangles.emplace_back();  // left over from an earlier build
  const std::array<const CPuzzleEdge*, 4> edges = {&kSquare.edges[0], &kSquare.edges[1], &kSquare.edges[2],
                                                   &kSquare.edges[3]};
  CKVR3DObjectCreateParam top, side, back;
  EXPECT_TRUE(BuildPieceMesh(piece, top, side, back, edges));
  EXPECT_EQ(piece.m_currentPosition, kSquare.home);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(piece.m_edges[i].m_points, kSquare.edges[size_t(i)].m_points);
  EXPECT_EQ(piece.m_topTriangles.size(), 36u);
  EXPECT_EQ(piece.SideWallTriangles().size(), 24u);
  EXPECT_EQ(top.m_positions.size(), size_t(4 * (2 * 4 + 5) + 1));  // one band
  EXPECT_TRUE(back.m_positions.empty());                           // no board, no back
  // Without a board the texture coordinates stay 0 instead of dividing by 0.
  for (const D3DXVECTOR2& uv : top.m_texCoords) EXPECT_TRUE(uv.x == 0 && uv.y == 0);
}

// A built piece keeps no side-wall triangles; those it works out later are
// the side mesh's triangles, bit for bit and in order, whatever the shape and
// definition (and so are the plain build's), and its pick bounds reach as far.
TEST(PieceMesh, SideWallPicksWorkedOutLaterAreTheSideMeshTriangles) {
  ThreeByThree board(5);
  for (int shape : {PieceShapeClassic, PieceShapeRound, PieceShapeRandomMix})
    for (int definition : {1, 4}) {
      ASSERT_TRUE(board.Edges(shape, definition));
      for (int piece = 0; piece < 9; ++piece) {
        const auto edges = board.PieceEdges(piece / 3, piece % 3);
        const D3DXVECTOR3 home = board.homes[size_t(piece)];
        CPuzzlePiece built;
        built.m_homePosition = home;
        built.m_definition = definition;
        CKVR3DObjectCreateParam top, side, back;
        ASSERT_TRUE(BuildPieceMesh(built, top, side, back, edges));
        EXPECT_TRUE(built.m_sideTriangles.empty());
        const std::vector<PickTriangle> later = built.SideWallTriangles();
        ASSERT_EQ(later.size() * 3, side.m_indices.size());
        for (size_t t = 0; t < later.size(); ++t)
          for (int k = 0; k < 3; ++k)
            ASSERT_EQ(std::memcmp(&later[t].m_vertices[k],
                                  &side.m_positions[size_t(side.m_indices[3 * t + size_t(k)])],
                                  sizeof(D3DXVECTOR3)),
                      0)
                << "shape " << shape << " definition " << definition << " piece " << piece;
        PieceMeshInput input;
        input.edges = edges;
        input.home = home;
        input.definition = definition;
        PieceMeshOutput plain;
        BuildPieceGeometry(input, plain);
        ASSERT_EQ(plain.sideTriangles.size(), later.size());
        EXPECT_EQ(std::memcmp(plain.sideTriangles.data(), later.data(), later.size() * sizeof(PickTriangle)),
                  0);
        double radius = 0;
        for (const PickTriangle& t : later) radius = std::max(radius, PickRadius(t.m_vertices, 3));
        EXPECT_EQ(built.m_sideWallRadius, radius);
      }
    }
}

TEST(PieceMesh, BevelRingsRefuseMismatchedRings) {
  const std::vector<D3DXVECTOR3> two(2), three(3);
  std::vector<D3DXVECTOR3> p, n;
  EXPECT_FALSE(BuildBevelRings(two, two, three, three, 2, p, n));
  EXPECT_FALSE(BuildBevelRings(std::vector<D3DXVECTOR3>(1), std::vector<D3DXVECTOR3>(1),
                               std::vector<D3DXVECTOR3>(1), std::vector<D3DXVECTOR3>(1), 2, p, n));
  EXPECT_FALSE(BuildBevelRings(two, two, two, two, 0, p, n));
  EXPECT_TRUE(p.empty() && n.empty());
  EXPECT_TRUE(BuildBevelRings(two, two, two, two, 4, p, n));
  EXPECT_EQ(p.size(), 10u);
}

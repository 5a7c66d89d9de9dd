#include "puzzle/piece_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "puzzle/puzzle_board.h"

// Sections: constants and work record - small operations - rings of one side -
// top face - side walls - back face and centring - plain build - the piece's
// build

namespace {

// ---- constants and work record ---------------------------------------------------
constexpr float kDiagonalFractions[4] = {0.15f, 0.22f, 0.33f, 0.72f};
constexpr float kFanThresholds[3] = {0.4f, 0.6f, 0.86f};

// Direction of the walk and outward normal of a straight side.
const D3DXVECTOR3 kWalkAxis[4] = {{-1, 0, 0}, {0, -1, 0}, {1, 0, 0}, {0, 1, 0}};
const D3DXVECTOR3 kAxisNormal[4] = {{0, -1, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}};
const D3DXVECTOR3 kUp(0, 0, 1);

enum class FanKind { Straight, Round, Socket, Knob };

// Where one side's vertices are in the top mesh.
struct SideMarks {
  int first = 0;     // s: ring 0, walk position 0
  int outer = 0;     // s + B x n: ring B, walk position 0
  int n = 0;         // points per ring
  int q[4] = {};     // Q1 .. Q4
  int mid = 0;       // v(0, n / 2)
  int chordMid = 0;  // M
  FanKind fan = FanKind::Straight;
  int tabA = 0, tabB = 0;  // knob: walk positions bracketing the tab
};

// The working record of one build.
struct PieceMeshWork {
  int bands = 2;
  std::vector<D3DXVECTOR3> positions, normals;  // top face, board coordinates
  std::vector<int> indices;                     // sized before writing
  int indexPosition = 0;
  D3DXVECTOR3 center;
  D3DXVECTOR3 chordMids[4];
  std::vector<D3DXVECTOR3> strips[4];                                 // walked outline of each side, z 0
  std::vector<D3DXVECTOR3> inner, innerNormals, outer, outerNormals;  // one side's rings
  SideMarks marks[4];
  int centerIndex = 0;
  std::vector<PickTriangle>* topTriangles = nullptr;
};

bool WalkedReversed(int side) { return side == 0 || side == 1; }

// The platform's normalise and length, inlined for the hot loops (the same
// arithmetic, so the same results).
inline float Length(const D3DXVECTOR3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }
inline D3DXVECTOR3 Normalized(const D3DXVECTOR3& v) {
  const float len = Length(v);
  return len == 0.0f ? D3DXVECTOR3() : v / len;
}

// How a side's flat top is fanned: its edge kind, and for classic edges
// whether the tab points into this piece (socket) or out of it (knob).
FanKind SideFan(const CPuzzleEdge& edge, int side) {
  if (edge.m_kind == EdgeKindStraight || edge.m_points.size() < 3) return FanKind::Straight;
  if (edge.m_kind != EdgeKindClassic) return FanKind::Round;
  const bool intoPiece =
      (edge.m_tabSide > 0 && (side == 0 || side == 3)) || (edge.m_tabSide < 0 && (side == 1 || side == 2));
  return intoPiece ? FanKind::Socket : FanKind::Knob;
}

// Walk positions a <= b bracketing a knob's tab, kept inside 1 .. n - 2.
void KnobRange(const CPuzzleEdge& edge, int side, int n, int& a, int& b) {
  if (WalkedReversed(side)) {
    a = n - 1 - edge.m_tabEnd;
    b = n - 1 - edge.m_tabStart;
  } else {
    a = edge.m_tabStart;
    b = edge.m_tabEnd;
  }
  a = std::clamp(a, 1, n - 2);
  b = std::clamp(b, a, n - 2);
}

// The socket fan's switch points over a half of h walk positions.
void FanSwitches(int h, int (&e)[3]) {
  for (int j = 0; j < 3; ++j) e[j] = static_cast<int>(kFanThresholds[j] * static_cast<float>(h));
}

// Triangles of one socket half: one per step plus one per switch point.
int SocketHalfCount(int h) {
  int e[3];
  FanSwitches(h, e);
  int count = h;
  for (int p = 0; p < h; ++p) count += (p == e[0] || p == e[1] || p == e[2]) ? 1 : 0;
  return count;
}

// The outline of a side as walked: reversed for sides 0 and 1.
std::vector<D3DXVECTOR3> WalkedOutline(const CPuzzleEdge& edge, int side) {
  std::vector<D3DXVECTOR3> walked(edge.m_points);
  if (WalkedReversed(side)) std::reverse(walked.begin(), walked.end());
  return walked;
}

// The four outline points of a straight side, walked.
std::vector<D3DXVECTOR3> StraightStrip(const CPuzzleEdge& edge, int side) {
  const D3DXVECTOR3 first = WalkedReversed(side) ? edge.m_end : edge.m_start;
  const D3DXVECTOR3 last = WalkedReversed(side) ? edge.m_start : edge.m_end;
  const D3DXVECTOR3 step = kWalkAxis[side] * kBevelInset;
  return {first, first + step, last - step, last};
}

// A side's outline as the walls follow it: walked, or the four points of a
// straight side.
std::vector<D3DXVECTOR3> WallStrip(const CPuzzleEdge& edge, int side) {
  return SideFan(edge, side) == FanKind::Straight ? StraightStrip(edge, side) : WalkedOutline(edge, side);
}

// The mean of the normals of the segments before and after point k (ends
// extrapolated), not renormalised.
D3DXVECTOR3 PointNormal(const std::vector<D3DXVECTOR3>& points, size_t k) {
  const size_t n = points.size();
  const D3DXVECTOR3& p = points[k];
  const D3DXVECTOR3 prev = k > 0 ? points[k - 1] : p * 2.0f - points[1];
  const D3DXVECTOR3 next = k + 1 < n ? points[k + 1] : p * 2.0f - points[n - 2];
  const D3DXVECTOR3 a = SegmentNormal(prev, p), b = SegmentNormal(p, next);
  return D3DXVECTOR3((a.x + b.x) / 2.0f, (a.y + b.y) / 2.0f, 0.0f);
}

D3DXVECTOR3 At(const D3DXVECTOR3& p, float z) { return D3DXVECTOR3(p.x, p.y, z); }

}  // namespace

// ---- small operations ----------------------------------------------------------------
int BevelBandsFor(int definition) {
  switch (definition) {
    case 1: return 1;
    case 4: return 4;
    default: return 2;  // levels 2 and 3, and any level outside 1..4
  }
}

D3DXVECTOR3 SegmentNormal(const D3DXVECTOR3& from, const D3DXVECTOR3& to) {
  return Normalized(D3DXVECTOR3(-(to.y - from.y), to.x - from.x, 0.0f));
}

void InnerCornerPoints(int side, const D3DXVECTOR3& firstCorner, const D3DXVECTOR3& lastCorner,
                       D3DXVECTOR3& innerFirst, D3DXVECTOR3& innerLast) {
  // Offsets into the piece of the corners top-right, bottom-right,
  // bottom-left and top-left, which are the first corners of sides 0..3.
  static const float kInto[4][2] = {{-1, 1}, {-1, -1}, {1, -1}, {1, 1}};
  const float* f = kInto[side & 3];
  const float* l = kInto[(side + 3) & 3];
  innerFirst =
      D3DXVECTOR3(firstCorner.x + f[0] * kBevelInset, firstCorner.y + f[1] * kBevelInset, kPieceTopFace);
  innerLast =
      D3DXVECTOR3(lastCorner.x + l[0] * kBevelInset, lastCorner.y + l[1] * kBevelInset, kPieceTopFace);
}

bool BuildBevelRings(const std::vector<D3DXVECTOR3>& inner, const std::vector<D3DXVECTOR3>& innerNormals,
                     const std::vector<D3DXVECTOR3>& outer, const std::vector<D3DXVECTOR3>& outerNormals,
                     int bands, std::vector<D3DXVECTOR3>& positions, std::vector<D3DXVECTOR3>& normals) {
  const size_t n = inner.size();
  if (n < 2 || outer.size() != n || innerNormals.size() != n || outerNormals.size() != n || bands < 1)
    return false;
  positions.insert(positions.end(), inner.begin(), inner.end());
  normals.insert(normals.end(), innerNormals.begin(), innerNormals.end());
  for (int r = 1; r < bands; ++r) {
    const float t = static_cast<float>(r) / static_cast<float>(bands);
    for (size_t k = 0; k < n; ++k) {
      const D3DXVECTOR3& i = inner[k];
      const D3DXVECTOR3 d = outer[k] - i;
      if (k == 0 || k == n - 1) {
        positions.push_back(i + d * t);
      } else {
        const D3DXVECTOR3 w = Normalized(D3DXVECTOR3(t * d.x, t * d.y, kBevelInset * (1.0f - t)));
        positions.push_back(At(i, kPieceWallTop) + w * kBevelInset);
      }
      normals.push_back(Normalized(innerNormals[k] * (1.0f - t) + outerNormals[k] * t));
    }
  }
  positions.insert(positions.end(), outer.begin(), outer.end());
  normals.insert(normals.end(), outerNormals.begin(), outerNormals.end());
  return true;
}

int TopTriangleCount(const CPuzzleEdge& edge, int side) {
  const int n = static_cast<int>(edge.m_points.size());
  switch (SideFan(edge, side)) {
    case FanKind::Straight: return 9;
    case FanKind::Round: return n + 7;
    case FanKind::Socket: {
      const int h = n / 2;
      return SocketHalfCount(h) + SocketHalfCount(n - h - 1) + 2;
    }
    case FanKind::Knob: return n + 9;
  }
  return 0;
}

PieceMeshSizes PieceMeshSizesFor(const std::array<const CPuzzleEdge*, 4>& edges, int definition,
                                 bool withBack) {
  const int bands = BevelBandsFor(definition);
  PieceMeshSizes sizes;
  int fans = 0, topTriangles = 0, sideTriangles = 0;
  for (int s = 0; s < 4; ++s) {
    const CPuzzleEdge& edge = *edges[size_t(s)];
    const int n = SideFan(edge, s) == FanKind::Straight ? 4 : static_cast<int>(edge.m_points.size());
    const int fan = TopTriangleCount(edge, s);
    sizes.topVertices += (bands + 1) * n + 5;
    topTriangles += 2 * bands * (n - 1) + fan;
    fans += fan;
    sizes.sideVertices += 2 * n;
    sideTriangles += 2 * (n - 1);
  }
  sizes.topVertices += 1;
  sizes.topIndices = 3 * topTriangles;
  sizes.sideIndices = 3 * sideTriangles;
  if (withBack) sizes.backVertices = sizes.backIndices = 3 * fans;
  return sizes;
}

namespace {

// ---- rings of one side ----------------------------------------------------------------
// Appends side `side`'s rings, diagonal points and chord midpoint to the top
// mesh, starting at vertex s; answers the next free vertex.
int BuildPieceOutline(const CPuzzleEdge& edge, int side, int s, PieceMeshWork& work) {
  SideMarks& m = work.marks[side];
  m.fan = SideFan(edge, side);
  std::vector<D3DXVECTOR3>& strip = work.strips[side];
  strip = WallStrip(edge, side);
  const size_t n = strip.size();
  std::vector<D3DXVECTOR3>& inner = work.inner;
  std::vector<D3DXVECTOR3>& outer = work.outer;
  std::vector<D3DXVECTOR3>& outerNormals = work.outerNormals;
  inner.resize(n);
  outer.resize(n);
  outerNormals.resize(n);
  work.innerNormals.assign(n, kUp);
  for (size_t k = 0; k < n; ++k) {
    const D3DXVECTOR3& p = strip[k];
    const D3DXVECTOR3 a = m.fan == FanKind::Straight ? kAxisNormal[side] : PointNormal(strip, k);
    outer[k] = At(p, kPieceWallTop);
    outerNormals[k] = a;
    inner[k] = D3DXVECTOR3(p.x - a.x / 2.0f, p.y - a.y / 2.0f, kPieceTopFace);
  }
  InnerCornerPoints(side, strip.front(), strip.back(), inner.front(), inner.back());
  if (m.fan == FanKind::Straight) {
    inner[1] = inner[0];
    inner[2] = inner[3];
  }
  m.first = s;
  m.n = static_cast<int>(n);
  m.outer = s + work.bands * m.n;
  m.mid = s + m.n / 2;
  if (m.fan == FanKind::Knob) KnobRange(edge, side, m.n, m.tabA, m.tabB);
  BuildBevelRings(inner, work.innerNormals, outer, outerNormals, work.bands, work.positions, work.normals);
  const D3DXVECTOR3 f = inner.front();
  for (int j = 0; j < 4; ++j) {
    m.q[j] = static_cast<int>(work.positions.size());
    work.positions.push_back(f + (work.center - f) * kDiagonalFractions[j]);
    work.normals.push_back(kUp);
  }
  work.chordMids[side] = At((edge.m_start + edge.m_end) * 0.5f, kPieceTopFace);
  m.chordMid = static_cast<int>(work.positions.size());
  work.positions.push_back(work.chordMids[side]);
  work.normals.push_back(kUp);
  return static_cast<int>(work.positions.size());
}

// ---- top face ------------------------------------------------------------------------------
// Writes a fan triangle and its pick triangle, whose inner-ring vertices of
// the side are replaced by the outer-ring vertices of the same walk position.
void AddTopTriangle(PieceMeshWork& work, const SideMarks& m, int i0, int i1, int i2) {
  AddTriangleIndices(work.indices, work.indexPosition, i0, i1, i2);
  auto reach = [&](int i) {
    return work.positions[size_t(i >= m.first && i < m.first + m.n ? i + (m.outer - m.first) : i)];
  };
  work.topTriangles->emplace_back(reach(i0), reach(i1), reach(i2));
}

void AddBevelTriangles(PieceMeshWork& work, const SideMarks& m) {
  auto v = [&](int r, int k) { return m.first + r * m.n + k; };
  for (int r = 0; r < work.bands; ++r)
    for (int k = 0; k + 1 < m.n; ++k) {
      AddTriangleIndices(work.indices, work.indexPosition, v(r, k), v(r, k + 1), v(r + 1, k));
      AddTriangleIndices(work.indices, work.indexPosition, v(r + 1, k), v(r, k + 1), v(r + 1, k + 1));
    }
}

// The five triangles from the side's own corner to the centre, and the five
// back from the centre to its last corner (round and knob fans).
void AddOpeningFan(PieceMeshWork& work, const SideMarks& m) {
  const int* q = m.q;
  const int v0 = m.first, v1 = m.first + 1, c = work.centerIndex;
  AddTopTriangle(work, m, v0, q[0], v1);
  AddTopTriangle(work, m, q[0], q[1], v1);
  AddTopTriangle(work, m, q[1], q[2], v1);
  AddTopTriangle(work, m, q[2], q[3], v1);
  AddTopTriangle(work, m, q[3], c, v1);
}

void AddClosingFan(PieceMeshWork& work, const SideMarks& m, const int (&qp)[4]) {
  const int a = m.first + m.n - 2, b = m.first + m.n - 1, c = work.centerIndex;
  AddTopTriangle(work, m, a, qp[0], b);
  AddTopTriangle(work, m, qp[1], qp[0], a);
  AddTopTriangle(work, m, qp[2], qp[1], a);
  AddTopTriangle(work, m, qp[3], qp[2], a);
  AddTopTriangle(work, m, c, qp[3], a);
}

void AddStraightFan(PieceMeshWork& work, const SideMarks& m, const int (&qp)[4]) {
  const int* q = m.q;
  const int c = work.centerIndex, v0 = m.first, v3 = m.first + 3;
  AddTopTriangle(work, m, c, qp[3], q[3]);
  for (int j = 3; j >= 1; --j) {
    AddTopTriangle(work, m, q[j], qp[j], qp[j - 1]);
    AddTopTriangle(work, m, q[j], qp[j - 1], q[j - 1]);
  }
  AddTopTriangle(work, m, q[0], qp[0], v0);
  AddTopTriangle(work, m, qp[0], v3, v0);
}

void AddRoundFan(PieceMeshWork& work, const SideMarks& m, const int (&qp)[4]) {
  for (int p = 0; p + 1 < m.n; ++p) {
    if (p == 0)
      AddOpeningFan(work, m);
    else if (p == m.n - 2)
      AddClosingFan(work, m, qp);
    else
      AddTopTriangle(work, m, m.first + p, work.centerIndex, m.first + p + 1);
  }
}

// The diagonal point a socket fan works from at step p.
int SocketHub(const int (&q)[4], const int (&e)[3], int p) {
  return p >= e[2] ? q[3] : p >= e[1] ? q[2] : p >= e[0] ? q[1] : q[0];
}

void AddSocketFan(PieceMeshWork& work, const SideMarks& m, const int (&qp)[4]) {
  const int(&q)[4] = m.q;
  auto v = [&](int k) { return m.first + k; };
  const int h = m.n / 2, h2 = m.n - h - 1;
  int e[3];
  FanSwitches(h, e);
  for (int p = 0; p < h; ++p) {
    if (p == e[0])
      AddTopTriangle(work, m, q[0], q[1], v(p));
    else if (p == e[1])
      AddTopTriangle(work, m, q[1], q[2], v(p));
    else if (p == e[2])
      AddTopTriangle(work, m, q[2], q[3], v(p));
    AddTopTriangle(work, m, SocketHub(q, e, p), v(p + 1), v(p));
  }
  FanSwitches(h2, e);
  for (int p = 0; p < h2; ++p) {
    const int w = m.n - 1 - p;
    if (p == e[0])
      AddTopTriangle(work, m, qp[1], qp[0], v(w));
    else if (p == e[1])
      AddTopTriangle(work, m, qp[2], qp[1], v(w));
    else if (p == e[2])
      AddTopTriangle(work, m, qp[3], qp[2], v(w));
    AddTopTriangle(work, m, SocketHub(qp, e, p), v(w), v(w - 1));
  }
  AddTopTriangle(work, m, q[3], work.centerIndex, m.mid);
  AddTopTriangle(work, m, m.mid, work.centerIndex, qp[3]);
}

void AddKnobFan(PieceMeshWork& work, const SideMarks& m, const int (&qp)[4]) {
  auto v = [&](int k) { return m.first + k; };
  const int a = m.tabA, b = m.tabB, c = work.centerIndex;
  for (int p = 0; p < a; ++p) {
    if (p == 0)
      AddOpeningFan(work, m);
    else
      AddTopTriangle(work, m, v(p), c, v(p + 1));
  }
  const int tail = m.n - b - 1;  // steps from b to the last point
  for (int p = 0; p < tail; ++p) {
    if (p == tail - 1)
      AddClosingFan(work, m, qp);
    else
      AddTopTriangle(work, m, v(b + p), c, v(b + p + 1));
  }
  AddTopTriangle(work, m, v(a), c, m.chordMid);
  AddTopTriangle(work, m, m.chordMid, c, v(b));
  for (int p = 0; p < b - a; ++p) AddTopTriangle(work, m, v(a + p), m.chordMid, v(a + p + 1));
}

void BuildTopFace(PieceMeshWork& work, const PieceMeshInput& input, CKVR3DObjectCreateParam& top) {
  int triangles = 0, fans = 0;
  for (int i = 0; i < 4; ++i) {
    const int fan = TopTriangleCount(*input.edges[i], i);
    triangles += 2 * work.bands * (work.marks[i].n - 1) + fan;
    fans += fan;
  }
  work.indices.assign(size_t(3 * triangles), 0);
  work.indexPosition = 0;
  work.topTriangles->reserve(work.topTriangles->size() + size_t(fans));
  for (const SideMarks& m : work.marks) AddBevelTriangles(work, m);
  for (int i = 0; i < 4; ++i) {
    const SideMarks& m = work.marks[i];
    const int(&qp)[4] = work.marks[(i + 3) & 3].q;
    switch (m.fan) {
      case FanKind::Straight: AddStraightFan(work, m, qp); break;
      case FanKind::Round: AddRoundFan(work, m, qp); break;
      case FanKind::Socket: AddSocketFan(work, m, qp); break;
      case FanKind::Knob: AddKnobFan(work, m, qp); break;
    }
  }
  top.m_texCoords.clear();
  top.m_texCoords.reserve(work.positions.size());
  const float w = static_cast<float>(input.boardWidth), h = static_cast<float>(input.boardHeight);
  for (const D3DXVECTOR3& p : work.positions)
    top.m_texCoords.emplace_back(w > 0 ? p.x / w : 0.0f, h > 0 ? p.y / h : 0.0f);
  top.m_positions = std::move(work.positions);
  top.m_normals = std::move(work.normals);
  top.m_indices = std::move(work.indices);
  top.m_primitiveCount = work.indexPosition / 3;
}

// ---- side walls ------------------------------------------------------------------------------
// One loop round the outline (sides 3, 2, 1, 0 as walked), two vertices per
// point (top at z 1.0, bottom at z 0), two triangles per segment of a side.
void BuildSideWalls(const PieceMeshWork& work, CKVR3DObjectCreateParam& side) {
  size_t points = 0, segments = 0;
  for (const auto& strip : work.strips) {
    points += strip.size();
    segments += strip.size() - 1;
  }
  side = CKVR3DObjectCreateParam();
  side.m_positions.reserve(2 * points);
  side.m_normals.reserve(2 * points);
  side.m_texCoords.reserve(2 * points);
  side.m_indices.assign(6 * segments, 0);
  int position = 0;
  float travelled = 0.0f;
  const D3DXVECTOR3* previous = nullptr;
  for (int s : {3, 2, 1, 0}) {
    const std::vector<D3DXVECTOR3>& strip = work.strips[s];
    const int base = static_cast<int>(side.m_positions.size());
    for (size_t k = 0; k < strip.size(); ++k) {
      const D3DXVECTOR3& p = strip[k];
      if (previous) {
        travelled += Length(p - *previous);
      }
      previous = &p;
      const D3DXVECTOR3 normal = Normalized(PointNormal(strip, k));
      side.m_positions.push_back(At(p, kPieceWallTop));
      side.m_positions.push_back(At(p, kPieceUnderside));
      side.m_normals.insert(side.m_normals.end(), 2, normal);
      side.m_texCoords.emplace_back(travelled, 0.0f);
      side.m_texCoords.emplace_back(travelled, 1.0f);
    }
    for (int j = 0; j + 1 < static_cast<int>(strip.size()); ++j) {
      const int v = base + 2 * j;
      AddTriangleIndices(side.m_indices, position, v, v + 2, v + 1);
      AddTriangleIndices(side.m_indices, position, v + 1, v + 2, v + 3);
    }
  }
  side.m_primitiveCount = position / 3;
}

// ---- back face and centring ----------------------------------------------------------------
// The top's pick triangles turned over at z 0, texture repeating every 25.
void BuildBackFace(const std::vector<PickTriangle>& topTriangles, CKVR3DObjectCreateParam& back) {
  back = CKVR3DObjectCreateParam();
  const size_t count = topTriangles.size();
  back.m_positions.reserve(3 * count);
  back.m_indices.reserve(3 * count);
  for (const PickTriangle& t : topTriangles)
    for (const D3DXVECTOR3* p : {&t.m_vertices[1], &t.m_vertices[0], &t.m_vertices[2]}) {
      back.m_indices.push_back(static_cast<int>(back.m_positions.size()));
      back.m_positions.push_back(At(*p, kPieceUnderside));
      back.m_normals.emplace_back(0.0f, 0.0f, -1.0f);
      back.m_texCoords.emplace_back(p->x / kBackTextureRepeat, p->y / kBackTextureRepeat);
    }
  back.m_primitiveCount = static_cast<int>(count);
}

void Subtract(std::vector<D3DXVECTOR3>& points, const D3DXVECTOR3& home) {
  for (D3DXVECTOR3& p : points) p -= home;
}

void Subtract(std::vector<PickTriangle>& triangles, const D3DXVECTOR3& home) {
  for (PickTriangle& t : triangles)
    for (D3DXVECTOR3& p : t.m_vertices) p -= home;
}

}  // namespace

// ---- plain build ------------------------------------------------------------------------------
bool BuildPieceGeometry(const PieceMeshInput& input, PieceMeshOutput& output) {
  output = PieceMeshOutput();
  PieceMeshWork work;
  work.bands = BevelBandsFor(input.definition);
  work.center = At(input.home, kPieceTopFace);
  work.topTriangles = &output.topTriangles;
  const PieceMeshSizes sizes = PieceMeshSizesFor(input.edges, input.definition, input.withBack);
  work.positions.reserve(size_t(sizes.topVertices));
  work.normals.reserve(size_t(sizes.topVertices));
  int next = 0;
  for (int i = 0; i < 4; ++i) next = BuildPieceOutline(*input.edges[i], i, next, work);
  work.centerIndex = next;
  work.positions.push_back(work.center);
  work.normals.push_back(kUp);
  BuildTopFace(work, input, output.top);
  BuildSideWalls(work, output.side);
  if (input.withSidePicks) BuildSideWallTriangles(input.edges, input.home, output.sideTriangles);
  if (input.withBack) BuildBackFace(output.topTriangles, output.back);
  Subtract(output.top.m_positions, input.home);
  Subtract(output.side.m_positions, input.home);
  Subtract(output.back.m_positions, input.home);
  Subtract(output.topTriangles, input.home);
  return true;
}

void BuildSideWallTriangles(const std::array<const CPuzzleEdge*, 4>& edges, const D3DXVECTOR3& home,
                            std::vector<PickTriangle>& triangles) {
  for (int s : {3, 2, 1, 0}) {
    const std::vector<D3DXVECTOR3> strip = WallStrip(*edges[size_t(s)], s);
    for (size_t j = 0; j + 1 < strip.size(); ++j) {
      const D3DXVECTOR3 top0 = At(strip[j], kPieceWallTop) - home;
      const D3DXVECTOR3 bottom0 = At(strip[j], kPieceUnderside) - home;
      const D3DXVECTOR3 top1 = At(strip[j + 1], kPieceWallTop) - home;
      const D3DXVECTOR3 bottom1 = At(strip[j + 1], kPieceUnderside) - home;
      triangles.emplace_back(top0, top1, bottom0);
      triangles.emplace_back(bottom0, top1, bottom1);
    }
  }
}

// ---- the piece's build ------------------------------------------------------------------------
bool BuildPieceMesh(CPuzzlePiece& piece, CKVR3DObjectCreateParam& top, CKVR3DObjectCreateParam& side,
                    CKVR3DObjectCreateParam& back, const std::array<const CPuzzleEdge*, 4>& edges) {
  piece.ClearGeometry();
  for (int i = 0; i < 4; ++i) piece.m_edges[i] = *edges[size_t(i)];
  PieceMeshInput input;
  for (int i = 0; i < 4; ++i) input.edges[size_t(i)] = &piece.m_edges[i];
  input.home = piece.m_homePosition;
  input.definition = piece.m_definition;
  if (const CPuzzleBoard* board = piece.m_board) {
    input.boardWidth = board->m_width;
    input.boardHeight = board->m_height;
    input.withBack = board->m_hasBackSide;
  }
  input.withSidePicks = false;
  PieceMeshOutput output;
  BuildPieceGeometry(input, output);
  top = std::move(output.top);
  side = std::move(output.side);
  back = std::move(output.back);
  piece.m_topTriangles = std::move(output.topTriangles);
  piece.m_sideWallsFromEdges = true;
  piece.m_sideWallsHome = input.home;
  piece.m_sideWallRadius = PickRadius(side.m_positions.data(), side.m_positions.size());
  piece.ReleaseHighlight();
  BuildGridMesh(piece.m_highlight, kHighlightSize, kHighlightSize, 1, 1);
  piece.m_currentPosition = piece.m_homePosition;
  return true;
}

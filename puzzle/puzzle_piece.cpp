// Pieces: placement on the board's sub-objects, quarter turns, joining and
// separating, groups of joined pieces, picking and the highlight quad.
//
// Sections: life cycle - placement - joining - groups - picking - highlight
#include "puzzle/puzzle_piece.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/draw_resources.h"
#include "engine/engine.h"
#include "puzzle/piece_mesh.h"

namespace {

// SetQuarterTurns' angles, as single-precision constants.
constexpr float kQuarterTurnAngles[4] = {0.0f, 1.5707964f, 3.1415927f, 4.712389f};

D3DXMATRIX Identity() {
  D3DXMATRIX m;
  D3DXMatrixIdentity(&m);
  return m;
}

}  // namespace

// ---- life cycle ------------------------------------------------------------------------
void CPuzzlePiece::AttachToBoard(CPuzzleBoard* board, CKVR3DMultiObject* meshes, int pieceCount,
                                 bool hasBackSide) {
  m_board = board;
  m_meshes = meshes;
  m_topIndex = m_id - 1;
  m_sideIndex = pieceCount + m_id - 1;
  m_backIndex = hasBackSide ? 2 * pieceCount + m_id - 1 : -1;
  m_worldValid = false;
  m_inverseValid = false;
}

void CPuzzlePiece::ClearGeometry() {
  m_topTriangles.clear();
  m_sideTriangles.clear();
  m_sideWallsFromEdges = false;
  m_boundsValid = false;
  for (OutlineRuns& runs : m_outlineRuns) runs.data = nullptr;  // the outlines are replaced next
}

void CPuzzlePiece::ReleaseHighlight() { m_highlight.ReleaseBuffers(); }

// ---- placement ------------------------------------------------------------------------------
void CPuzzlePiece::SetPosition(const D3DXVECTOR3& position) {
  m_currentPosition = position;
  if (HasMeshes()) {
    m_meshes->SetSubObjectPosition(m_topIndex, position);
    if (HasSubObject(m_sideIndex)) m_meshes->SetSubObjectPosition(m_sideIndex, position);
    if (HasSubObject(m_backIndex)) m_meshes->SetSubObjectPosition(m_backIndex, position);
    m_meshes->UpdateSubObjectMatrix(m_topIndex);
  }
  m_highlight.m_position = D3DXVECTOR3(position.x, position.y, position.z + 1.0f);
  D3DXMatrixTranslation(&m_highlight.m_translation, m_highlight.m_position.x, m_highlight.m_position.y,
                        m_highlight.m_position.z);
}

void CPuzzlePiece::SetRotation(float x, float y, float z) {
  if (!HasMeshes()) return;
  const D3DXVECTOR3 rotation(x, y, z);
  m_meshes->SetSubObjectRotationVec(m_topIndex, rotation);
  if (HasSubObject(m_sideIndex)) m_meshes->SetSubObjectRotationVec(m_sideIndex, rotation);
  m_meshes->UpdateSubObjectMatrix(m_topIndex);
  if (HasSubObject(m_backIndex)) m_meshes->SetSubObjectRotationVec(m_backIndex, rotation);
}

void CPuzzlePiece::SetQuarterTurns(std::uint8_t q) {
  m_quarterTurns = q;
  SetRotation(0.0f, 0.0f, kQuarterTurnAngles[q & 3]);
}

void CPuzzlePiece::SetScale(float s) {
  if (!HasMeshes()) return;
  m_meshes->SetSubObjectScale(m_topIndex, s, s, s);
  if (HasSubObject(m_sideIndex)) m_meshes->SetSubObjectScale(m_sideIndex, s, s, s);
  m_meshes->UpdateSubObjectMatrix(m_topIndex);
  if (HasSubObject(m_backIndex)) m_meshes->SetSubObjectScale(m_backIndex, s, s, s);
}

void CPuzzlePiece::PlaceRelativeTo(const CPuzzlePiece& reference) {
  const D3DXVECTOR3& r = reference.m_currentPosition;
  const D3DXVECTOR3 offset = m_homePosition - reference.m_homePosition;
  SetPosition(RotateOffset(r, r + offset, m_quarterTurns));
}

D3DXVECTOR3 RotateOffset(const D3DXVECTOR3& centre, const D3DXVECTOR3& point, int q) {
  const float dx = point.x - centre.x;
  const float dy = point.y - centre.y;
  switch (q & 3) {
    case 1: return D3DXVECTOR3(centre.x - dy, centre.y + dx, centre.z);
    case 2: return D3DXVECTOR3(centre.x - dx, centre.y - dy, centre.z);
    case 3: return D3DXVECTOR3(centre.x + dy, centre.y - dx, centre.z);
    default: return D3DXVECTOR3(centre.x + dx, centre.y + dy, centre.z);
  }
}

float PieceDistanceSquared(const CPuzzlePiece& a, const CPuzzlePiece& b) {
  const float dx = b.m_currentPosition.x - a.m_currentPosition.x;
  const float dy = b.m_currentPosition.y - a.m_currentPosition.y;
  return dx * dx + dy * dy;
}

// ---- joining --------------------------------------------------------------------------------
bool PiecesFit(const CPuzzlePiece& a, const CPuzzlePiece& b) {
  const bool sameRow = a.m_row == b.m_row && std::abs(a.m_column - b.m_column) <= 1;
  const bool sameColumn = a.m_column == b.m_column && std::abs(a.m_row - b.m_row) <= 1;
  if (!sameRow && !sameColumn) return false;
  const D3DXVECTOR3 r = RotateOffset(b.m_currentPosition, a.m_currentPosition, (4 - b.m_quarterTurns) % 4);
  const D3DXVECTOR3 e = r + (b.m_homePosition - a.m_homePosition);
  const D3DXVECTOR3 d = b.m_currentPosition - e;
  return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z) < kFitDistance;
}

bool JoinPieces(CPuzzlePiece& a, CPuzzlePiece& b) {
  if (a.m_id == b.m_id || a.m_quarterTurns != b.m_quarterTurns) return false;
  for (int i = 0; i < 4; ++i) {
    if (a.m_edgeIds[i] == 0) continue;
    for (int j = 0; j < 4; ++j) {
      if (b.m_edgeIds[j] != a.m_edgeIds[i]) continue;
      a.m_joined[i] = true;
      b.m_joined[j] = true;
      a.PlaceRelativeTo(b);
      a.m_layer = b.m_layer;
      return true;
    }
  }
  return false;
}

bool CPuzzlePiece::Disconnect() {
  bool any = false;
  for (int i = 0; i < 4; ++i) {
    if (m_edgeIds[i] == 0 || !m_joined[i]) continue;
    if (CPuzzlePiece* n = m_neighbours[i]) {
      for (int j = 0; j < 4; ++j) {
        if (n->m_edgeIds[j] == m_edgeIds[i]) {
          n->m_joined[j] = false;
          break;
        }
      }
    }
    m_joined[i] = false;
    any = true;
  }
  return any;
}

// ---- groups ---------------------------------------------------------------------------------
bool GroupContains(const PieceGroup& group, const CPuzzlePiece& piece) {
  for (const CPuzzlePiece* p : group) {
    if (p->m_id == piece.m_id) return true;
  }
  return false;
}

namespace {
constexpr std::int32_t kIdBitLimit = 1 << 20;  // larger or negative ids go to a list
}

void PieceIdSet::Insert(std::int32_t id) {
  if (id < 0 || id >= kIdBitLimit) {
    if (!Contains(id)) m_outside.push_back(id);
    return;
  }
  const std::size_t word = std::size_t(id) / 64;
  if (word >= m_bits.size()) m_bits.resize(word + 1, 0);
  m_bits[word] |= std::uint64_t(1) << (id % 64);
}

bool PieceIdSet::Contains(std::int32_t id) const {
  if (id < 0 || id >= kIdBitLimit)
    return std::find(m_outside.begin(), m_outside.end(), id) != m_outside.end();
  const std::size_t word = std::size_t(id) / 64;
  return word < m_bits.size() && (m_bits[word] >> (id % 64)) & 1;
}

void CPuzzlePiece::CollectGroup(PieceGroup& group) {
  // Depth first as a recursion would go (append on entry, then sides 0..3),
  // with an explicit stack and the members' ids in a set.
  PieceIdSet members;
  for (const CPuzzlePiece* p : group) members.Insert(p->m_id);
  if (members.Contains(m_id)) return;
  struct Frame {
    CPuzzlePiece* piece;
    int side;
  };
  std::vector<Frame> stack;
  members.Insert(m_id);
  group.push_back(this);
  stack.push_back({this, 0});
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.side == 4) {
      stack.pop_back();
      continue;
    }
    const int side = top.side++;
    CPuzzlePiece* next = top.piece->m_neighbours[side];
    if (!top.piece->m_joined[side] || !next || members.Contains(next->m_id)) continue;
    members.Insert(next->m_id);
    group.push_back(next);
    stack.push_back({next, 0});
  }
}

// ---- picking --------------------------------------------------------------------------------
// Picking and the overlap probes test rays against the pick triangles in the
// piece's own frame. Three shortcuts turn away rays that cannot hit before
// any triangle is tested, each with margins far above the triangle test's
// rounding, so that every answer is the one the full list would give: the
// bounding sphere of the triangles, the world-space circle under a vertical
// probe, and a grid of the triangles' x/y boxes. A hit anywhere in a list is
// all that matters, so the order triangles are visited in is free.
D3DXMATRIX CPuzzlePiece::WorldMatrix() const {
  if (!HasMeshes()) return Identity();
  D3DXMATRIX world;
  m_meshes->GetSubObjectMatrix(m_topIndex, &world);
  return world;
}

void CPuzzlePiece::RefreshWorldCache() const {
  const D3DXMATRIX world = WorldMatrix();
  if (m_worldValid && std::memcmp(&world, &m_inverseOf, sizeof world) == 0) return;
  m_inverseOf = world;
  m_worldValid = true;
  m_inverseValid = false;
  double frobenius = 0.0;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) frobenius += double(world.m[r][c]) * world.m[r][c];
  m_worldStretch = std::sqrt(frobenius);
  for (int c = 0; c < 3; ++c) m_worldCentre[c] = world.m[3][c];
  const bool affine = world._14 == 0.0f && world._24 == 0.0f && world._34 == 0.0f && world._44 == 1.0f;
  if (!affine) m_worldStretch = NAN;  // no world-space shortcut
}

void CPuzzlePiece::RefreshInverse() const {
  RefreshWorldCache();
  if (m_inverseValid) return;
  m_inverseSingular = !D3DXMatrixInverse(&m_inverse, nullptr, &m_inverseOf);
  if (m_inverseSingular) m_inverse = D3DXMATRIX();
  m_inverseValid = true;
}

const D3DXMATRIX& CPuzzlePiece::InverseWorldMatrix() const {
  RefreshInverse();
  return m_inverse;
}

// Whether the world ray origin + t direction (t >= 0) comes near the world
// image of a sphere of the given local radius about the piece origin. Call
// after RefreshWorldCache.
bool CPuzzlePiece::WorldRayMaySpan(const D3DXVECTOR3& o, const D3DXVECTOR3& d, double localRadius) const {
  const double reach = localRadius * m_worldStretch;
  const double ox = double(o.x) - m_worldCentre[0], oy = double(o.y) - m_worldCentre[1],
               oz = double(o.z) - m_worldCentre[2];
  const double dd = double(d.x) * d.x + double(d.y) * d.y + double(d.z) * d.z;
  if (!std::isfinite(reach) || !(dd > 0.0) || !std::isfinite(dd) || !std::isfinite(ox + oy + oz)) return true;
  const double t = std::max(-(ox * d.x + oy * d.y + oz * d.z) / dd, 0.0);
  const double cx = ox + t * d.x, cy = oy + t * d.y, cz = oz + t * d.z;
  const double scale = std::fabs(o.x) + std::fabs(o.y) + std::fabs(o.z) + std::fabs(m_worldCentre[0]) +
                       std::fabs(m_worldCentre[1]) + std::fabs(m_worldCentre[2]) + reach + t * std::sqrt(dd);
  const double limit = reach + 0.05 + 1e-4 * scale;
  return cx * cx + cy * cy + cz * cz <= limit * limit;
}

namespace {

constexpr int kGridMaxSide = 16;

// Bins the triangles by their x/y boxes, counting first and then filling,
// each cell's indices ascending.
void BuildGrid(PickTriangleGrid& grid, const std::vector<PickTriangle>& list) {
  grid = PickTriangleGrid();
  grid.built = true;
  if (list.size() < 8) return;  // a short list is tested whole
  grid.minX = grid.minY = grid.minZ = INFINITY;
  grid.maxX = grid.maxY = grid.maxZ = -INFINITY;
  for (const PickTriangle& t : list) {
    for (const D3DXVECTOR3& v : t.m_vertices) {
      if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) {
        grid = PickTriangleGrid();
        grid.built = true;
        return;
      }
      grid.minX = std::min(grid.minX, double(v.x));
      grid.maxX = std::max(grid.maxX, double(v.x));
      grid.minY = std::min(grid.minY, double(v.y));
      grid.maxY = std::max(grid.maxY, double(v.y));
      grid.minZ = std::min(grid.minZ, double(v.z));
      grid.maxZ = std::max(grid.maxZ, double(v.z));
    }
  }
  const int side = std::clamp(int(std::sqrt(double(list.size()) / 2.0)), 1, kGridMaxSide);
  grid.nx = grid.ny = side;
  grid.cellW = std::max((grid.maxX - grid.minX) / side, 1e-6);
  grid.cellH = std::max((grid.maxY - grid.minY) / side, 1e-6);
  auto cellX = [&](double x) {
    return std::clamp(int(std::floor((x - grid.minX) / grid.cellW)), 0, grid.nx - 1);
  };
  auto cellY = [&](double y) {
    return std::clamp(int(std::floor((y - grid.minY) / grid.cellH)), 0, grid.ny - 1);
  };
  struct Span {
    int x0, x1, y0, y1;
  };
  std::vector<Span> spans(list.size());
  grid.starts.assign(std::size_t(side * side + 1), 0);
  for (std::size_t i = 0; i < list.size(); ++i) {
    const D3DXVECTOR3* v = list[i].m_vertices;
    spans[i] = {cellX(std::min({v[0].x, v[1].x, v[2].x})), cellX(std::max({v[0].x, v[1].x, v[2].x})),
                cellY(std::min({v[0].y, v[1].y, v[2].y})), cellY(std::max({v[0].y, v[1].y, v[2].y}))};
    for (int cy = spans[i].y0; cy <= spans[i].y1; ++cy)
      for (int cx = spans[i].x0; cx <= spans[i].x1; ++cx) ++grid.starts[std::size_t(cy * side + cx) + 1];
  }
  for (std::size_t c = 1; c < grid.starts.size(); ++c) grid.starts[c] += grid.starts[c - 1];
  grid.items.resize(grid.starts.back());
  std::vector<std::uint32_t> fill(grid.starts.begin(), grid.starts.end() - 1);
  for (std::size_t i = 0; i < list.size(); ++i)
    for (int cy = spans[i].y0; cy <= spans[i].y1; ++cy)
      for (int cx = spans[i].x0; cx <= spans[i].x1; ++cx)
        grid.items[fill[std::size_t(cy * side + cx)]++] = std::uint32_t(i);
}

bool Intersects(const PickTriangle& t, const D3DXVECTOR3& origin, const D3DXVECTOR3& direction) {
  return D3DXIntersectTri(&t.m_vertices[0], &t.m_vertices[1], &t.m_vertices[2], &origin, &direction, nullptr,
                          nullptr, nullptr) != 0;
}

bool AnyTriangleHit(const std::vector<PickTriangle>& list, const D3DXVECTOR3& origin,
                    const D3DXVECTOR3& direction) {
  for (const PickTriangle& t : list)
    if (Intersects(t, origin, direction)) return true;
  return false;
}

// The list's triangles near the ray: those whose x/y box the ray passes
// (with a margin) while its height lies within the triangles' heights.
// Builds the grid on first use.
bool AnyTriangleHit(const std::vector<PickTriangle>& list, PickTriangleGrid& grid, const D3DXVECTOR3& o,
                    const D3DXVECTOR3& d) {
  if (!grid.built) BuildGrid(grid, list);
  if (grid.nx == 0) return AnyTriangleHit(list, o, d);
  const double scale = std::fabs(o.x) + std::fabs(o.y) + std::fabs(o.z) + std::fabs(grid.minX) +
                       std::fabs(grid.maxX) + std::fabs(grid.minY) + std::fabs(grid.maxY) +
                       std::fabs(grid.minZ) + std::fabs(grid.maxZ);
  const double margin = 0.05 + 1e-4 * scale;
  const double dz = d.z;
  const double dLength = std::sqrt(double(d.x) * d.x + double(d.y) * d.y + dz * dz);
  if (!(std::fabs(dz) > 1e-3 * dLength) || !std::isfinite(scale)) return AnyTriangleHit(list, o, d);
  double t0 = (grid.minZ - margin - o.z) / dz;
  double t1 = (grid.maxZ + margin - o.z) / dz;
  if (t0 > t1) std::swap(t0, t1);
  if (t1 < 0.0) return false;  // the triangles' heights lie behind the ray
  t0 = std::max(t0, 0.0);
  const double xa = o.x + t0 * d.x, xb = o.x + t1 * d.x;
  const double ya = o.y + t0 * d.y, yb = o.y + t1 * d.y;
  const double x0 = std::min(xa, xb) - margin, x1 = std::max(xa, xb) + margin;
  const double y0 = std::min(ya, yb) - margin, y1 = std::max(ya, yb) + margin;
  if (x1 < grid.minX || x0 > grid.maxX || y1 < grid.minY || y0 > grid.maxY) return false;
  auto cellX = [&](double x) {
    return std::clamp(int(std::floor((x - grid.minX) / grid.cellW)), 0, grid.nx - 1);
  };
  auto cellY = [&](double y) {
    return std::clamp(int(std::floor((y - grid.minY) / grid.cellH)), 0, grid.ny - 1);
  };
  const int cx0 = cellX(x0), cx1 = cellX(x1), cy0 = cellY(y0), cy1 = cellY(y1);
  if ((cx1 - cx0 + 1) * (cy1 - cy0 + 1) * 2 > grid.nx * grid.ny) return AnyTriangleHit(list, o, d);
  for (int cy = cy0; cy <= cy1; ++cy) {
    for (int cx = cx0; cx <= cx1; ++cx) {
      const std::size_t c = std::size_t(cy * grid.nx + cx);
      for (std::uint32_t k = grid.starts[c]; k < grid.starts[c + 1]; ++k)
        if (Intersects(list[grid.items[k]], o, d)) return true;
    }
  }
  return false;
}

}  // namespace

namespace {
// The largest squared distance from the origin, and whether a point was not
// finite.
struct RadiusScan {
  double r2 = 0.0;
  bool odd = false;
  void Add(const D3DXVECTOR3& v) {
    const double d2 = double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z;
    if (!std::isfinite(d2))
      odd = true;
    else if (d2 > r2)
      r2 = d2;
  }
  double Radius() const { return odd ? double(NAN) : std::sqrt(r2); }
};
}  // namespace

double PickRadius(const D3DXVECTOR3* points, std::size_t count) {
  RadiusScan scan;
  for (std::size_t i = 0; i < count; ++i) scan.Add(points[i]);
  return scan.Radius();
}

std::vector<PickTriangle> CPuzzlePiece::SideWallTriangles() const {
  if (!m_sideWallsFromEdges) return m_sideTriangles;
  std::vector<PickTriangle> triangles;
  BuildSideWallTriangles({&m_edges[0], &m_edges[1], &m_edges[2], &m_edges[3]}, m_sideWallsHome, triangles);
  return triangles;
}

void CPuzzlePiece::UpdatePickBounds() const {
  if (m_boundsValid && m_boundsTopCount == m_topTriangles.size() &&
      m_boundsSideCount == m_sideTriangles.size())
    return;
  auto largest = [](const std::vector<PickTriangle>& list) {
    RadiusScan scan;
    for (const PickTriangle& t : list)
      for (const D3DXVECTOR3& v : t.m_vertices) scan.Add(v);
    return scan.Radius();
  };
  m_topRadius = largest(m_topTriangles);
  m_topBoxValid = !std::isnan(m_topRadius);
  m_topBox[0] = m_topBox[1] = INFINITY;
  m_topBox[2] = m_topBox[3] = -INFINITY;
  for (const PickTriangle& t : m_topTriangles) {
    for (const D3DXVECTOR3& v : t.m_vertices) {
      m_topBox[0] = std::min(m_topBox[0], double(v.x));
      m_topBox[1] = std::min(m_topBox[1], double(v.y));
      m_topBox[2] = std::max(m_topBox[2], double(v.x));
      m_topBox[3] = std::max(m_topBox[3], double(v.y));
    }
  }
  const double sides = m_sideWallsFromEdges ? m_sideWallRadius : largest(m_sideTriangles);
  m_pickRadius = std::isnan(sides) ? sides : std::max(m_topRadius, sides);
  m_topGrid = PickTriangleGrid();  // built when a ray first comes near
  m_sideGrid = PickTriangleGrid();
  m_boundsTopCount = m_topTriangles.size();
  m_boundsSideCount = m_sideTriangles.size();
  m_boundsValid = true;
}

// Whether the local ray origin + t direction (t >= 0) comes near enough to
// the bounding sphere of the pick triangles that a triangle test might hit.
bool CPuzzlePiece::RayMaySpan(const D3DXVECTOR3& o, const D3DXVECTOR3& d, bool topOnly) const {
  const double radius = topOnly ? m_topRadius : m_pickRadius;
  const double dd = double(d.x) * d.x + double(d.y) * d.y + double(d.z) * d.z;
  const double oo = double(o.x) * o.x + double(o.y) * o.y + double(o.z) * o.z;
  if (!(dd > 0.0) || !std::isfinite(oo) || !std::isfinite(dd) || !std::isfinite(radius))
    return true;  // odd rays and geometry go to the triangle test
  const double od = double(o.x) * d.x + double(o.y) * d.y + double(o.z) * d.z;
  const double t = std::max(-od / dd, 0.0);
  const double cx = o.x + t * d.x, cy = o.y + t * d.y, cz = o.z + t * d.z;
  const double nearest = std::sqrt(cx * cx + cy * cy + cz * cz);
  const double margin = 1e-2 + 1e-4 * (radius + std::sqrt(oo) + t * std::sqrt(dd));
  return nearest <= radius + margin;
}

bool CPuzzlePiece::HitTest(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction) const {
  if (!HasMeshes()) return false;
  UpdatePickBounds();
  RefreshWorldCache();
  if (!WorldRayMaySpan(origin, direction, m_pickRadius)) return false;
  RefreshInverse();
  if (m_inverseSingular) return false;
  D3DXVECTOR3 o, d;
  D3DXVec3TransformCoord(&o, &origin, &m_inverse);
  D3DXVec3TransformNormal(&d, &direction, &m_inverse);
  if (!RayMaySpan(o, d, false)) return false;
  if (AnyTriangleHit(m_topTriangles, m_topGrid, o, d)) return true;
  if (!m_sideWallsFromEdges) return AnyTriangleHit(m_sideTriangles, m_sideGrid, o, d);
  // Worked out for this ray only, binned the same way.
  PickTriangleGrid grid;
  return AnyTriangleHit(SideWallTriangles(), grid, o, d);
}

bool CPuzzlePiece::IsPointOver(const D3DXVECTOR3& point) const { return AnyPointOver(&point, 1); }

const CPuzzlePiece::OutlineRuns& CPuzzlePiece::RunsOf(int side) const {
  const std::vector<D3DXVECTOR3>& points = m_edges[side].m_points;
  OutlineRuns& runs = m_outlineRuns[side];
  if (runs.data == points.data() && runs.size == points.size() && runs.home == m_homePosition) return runs;
  runs.data = points.data();
  runs.size = points.size();
  runs.home = m_homePosition;
  runs.valid = true;
  runs.boxes.clear();
  for (std::size_t start = 0; start < points.size(); start += kOutlineRun) {
    double box[4] = {INFINITY, INFINITY, -INFINITY, -INFINITY};
    for (std::size_t k = start; k < std::min(points.size(), start + kOutlineRun); ++k) {
      const D3DXVECTOR3 r = points[k] - m_homePosition;  // as the probes compute it
      if (!std::isfinite(r.x) || !std::isfinite(r.y)) runs.valid = false;
      box[0] = std::min(box[0], double(r.x));
      box[1] = std::min(box[1], double(r.y));
      box[2] = std::max(box[2], double(r.x));
      box[3] = std::max(box[3], double(r.y));
    }
    runs.boxes.insert(runs.boxes.end(), box, box + 4);
  }
  return runs;
}

bool CPuzzlePiece::AnyOutlinePointOver(const CPuzzlePiece& outer, float probeHeight) const {
  if (!HasMeshes()) return false;
  UpdatePickBounds();
  RefreshWorldCache();
  const double reach = m_topRadius * m_worldStretch;
  const double cx = m_worldCentre[0], cy = m_worldCentre[1];
  const bool circle = std::isfinite(reach) && std::isfinite(cx) && std::isfinite(cy);
  const D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f);
  const D3DXVECTOR3& at = outer.m_currentPosition;
  D3DXVECTOR3 probes[kOutlineRun];
  // With a straight-down direction in the top's own frame, a run whose box,
  // brought into that frame, lies clear of the top's x/y box is passed over
  // whole too.
  RefreshInverse();
  if (m_inverseSingular) return false;
  D3DXVECTOR3 down;
  const D3DXVECTOR3 worldDown(0.0f, 0.0f, -1.0f);
  D3DXVec3TransformNormal(&down, &worldDown, &m_inverse);
  const bool vertical = m_topBoxValid && down.x == 0.0f && down.y == 0.0f && down.z < 0.0f;
  const double topBoxSize =
      std::fabs(m_topBox[0]) + std::fabs(m_topBox[1]) + std::fabs(m_topBox[2]) + std::fabs(m_topBox[3]);
  for (int side = 0; side < 4; ++side) {
    const std::vector<D3DXVECTOR3>& points = outer.m_edges[side].m_points;
    const OutlineRuns& runs = outer.RunsOf(side);
    for (std::size_t start = 0, run = 0; start < points.size(); start += kOutlineRun, ++run) {
      if (circle && runs.valid) {
        // The run's box, turned and moved as its points are; every point of
        // a box clear of the top's circle (by more than the margin each
        // point gets) is passed over by AnyPointOver too.
        const double* b = &runs.boxes[run * 4];
        double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
        for (int corner = 0; corner < 4; ++corner) {
          const D3DXVECTOR3 c(float(b[(corner & 1) ? 2 : 0]), float(b[(corner & 2) ? 3 : 1]), 0.0f);
          const D3DXVECTOR3 w = RotateOffset(origin, c, outer.m_quarterTurns);
          x0 = std::min(x0, double(at.x) + w.x);
          y0 = std::min(y0, double(at.y) + w.y);
          x1 = std::max(x1, double(at.x) + w.x);
          y1 = std::max(y1, double(at.y) + w.y);
        }
        if (std::isfinite(x0 + y0 + x1 + y1)) {
          const double dx = std::max({x0 - cx, 0.0, cx - x1}), dy = std::max({y0 - cy, 0.0, cy - y1});
          const double largest =
              std::max(std::fabs(x0), std::fabs(x1)) + std::max(std::fabs(y0), std::fabs(y1));
          const double margin = 0.1 + 2e-4 * (reach + largest + std::fabs(cx) + std::fabs(cy));
          if (dx * dx + dy * dy > (reach + margin) * (reach + margin)) continue;
          if (vertical) {
            double l0 = INFINITY, m0 = INFINITY, l1 = -INFINITY, m1 = -INFINITY;
            for (int corner = 0; corner < 4; ++corner) {
              const D3DXVECTOR3 w(float((corner & 1) ? x1 : x0), float((corner & 2) ? y1 : y0), probeHeight);
              D3DXVECTOR3 local;
              D3DXVec3TransformCoord(&local, &w, &m_inverse);
              l0 = std::min(l0, double(local.x));
              m0 = std::min(m0, double(local.y));
              l1 = std::max(l1, double(local.x));
              m1 = std::max(m1, double(local.y));
            }
            const double far =
                std::max(std::fabs(l0), std::fabs(l1)) + std::max(std::fabs(m0), std::fabs(m1));
            const double slack = 0.1 + 2e-4 * (far + topBoxSize);
            if (std::isfinite(far) && (l1 < m_topBox[0] - slack || l0 > m_topBox[2] + slack ||
                                       m1 < m_topBox[1] - slack || m0 > m_topBox[3] + slack))
              continue;
          }
        }
      }
      const std::size_t n = std::min(kOutlineRun, points.size() - start);
      for (std::size_t k = 0; k < n; ++k) {
        const D3DXVECTOR3 w =
            RotateOffset(origin, points[start + k] - outer.m_homePosition, outer.m_quarterTurns);
        probes[k] = D3DXVECTOR3(at.x + w.x, at.y + w.y, probeHeight);
      }
      if (AnyPointOver(probes, n)) return true;
    }
  }
  return false;
}

bool CPuzzlePiece::AnyPointOver(const D3DXVECTOR3* points, std::size_t count) const {
  if (!HasMeshes() || count == 0) return false;
  UpdatePickBounds();
  RefreshWorldCache();
  const double reach = m_topRadius * m_worldStretch;
  const D3DXVECTOR3 down(0.0f, 0.0f, -1.0f);
  D3DXVECTOR3 d;  // the downward direction in the piece's frame
  bool haveInverse = false;
  bool vertical = false;  // d is straight down: the top's x/y box decides first
  for (std::size_t i = 0; i < count; ++i) {
    const D3DXVECTOR3& point = points[i];
    // The vertical line through the point against the top's bounding circle
    // in the world.
    if (std::isfinite(reach) && std::isfinite(point.x) && std::isfinite(point.y)) {
      const double dx = point.x - m_worldCentre[0], dy = point.y - m_worldCentre[1];
      const double margin = 0.05 + 1e-4 * (reach + std::fabs(point.x) + std::fabs(point.y) +
                                           std::fabs(m_worldCentre[0]) + std::fabs(m_worldCentre[1]));
      if (dx * dx + dy * dy > (reach + margin) * (reach + margin)) continue;
    }
    if (!haveInverse) {
      RefreshInverse();
      if (m_inverseSingular) return false;
      D3DXVec3TransformNormal(&d, &down, &m_inverse);
      vertical = m_topBoxValid && d.x == 0.0f && d.y == 0.0f && d.z < 0.0f;
      haveInverse = true;
    }
    D3DXVECTOR3 o;
    D3DXVec3TransformCoord(&o, &point, &m_inverse);
    if (vertical && std::isfinite(o.x) && std::isfinite(o.y)) {
      // A vertical line meets a triangle only above or below it.
      const double margin =
          0.05 + 1e-4 * (std::fabs(o.x) + std::fabs(o.y) + std::fabs(m_topBox[0]) + std::fabs(m_topBox[1]) +
                         std::fabs(m_topBox[2]) + std::fabs(m_topBox[3]));
      if (o.x < m_topBox[0] - margin || o.x > m_topBox[2] + margin || o.y < m_topBox[1] - margin ||
          o.y > m_topBox[3] + margin)
        continue;
    }
    if (!RayMaySpan(o, d, true)) continue;
    if (AnyTriangleHit(m_topTriangles, m_topGrid, o, d)) return true;
  }
  return false;
}

// ---- highlight ------------------------------------------------------------------------------
void CPuzzlePiece::RenderHighlight() {
  if (!m_selected) return;
  if (m_joined[0] && m_joined[1] && m_joined[2] && m_joined[3]) return;
  IDirect3DDevice9* device = g_Engine.Device();
  if (!device) return;
  device->SetTexture(0, m_highlight.m_texture ? m_highlight.m_texture->m_d3dTexture : nullptr);
  g_Engine.SetTextureStageModulateAlpha();
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  m_highlight.RenderNoTexture();
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
}

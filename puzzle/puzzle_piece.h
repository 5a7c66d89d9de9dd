#pragma once
// One piece of a board: where it belongs (home position, grid cell), where it
// lies now (position, stack layer, quarter turns), how it is linked to its
// grid neighbours (shared edge ids, joined flags), copies of its four edges,
// the triangles used to pick it and to test overlaps, and a selection
// highlight quad.
//
// The board owns its pieces by value in one vector; neighbour pointers and
// groups point into it. A piece's meshes are three sub-objects of the
// board's multi-object: top id - 1, side walls pieceCount + id - 1, back
// 2 x pieceCount + id - 1 (only when the board has backs). Their geometry is
// relative to the piece origin, so a piece is placed by the translation and
// rotation of those sub-objects; the board draws all three with the top's
// world matrix.
//
// Units: a piece is 25 units wide; the table is z = 0, +z up; a piece on
// stack layer L (0..7) rests at z = L x 1.5. Sides: 0 top (row - 1, smaller
// y), 1 right (column + 1, larger x), 2 bottom (row + 1, larger y), 3 left
// (column - 1, smaller x).
//
// Sections: pick triangles and groups - the piece - placement helpers -
// joining and id sets
#include <cstdint>
#include <vector>

#include "engine/render_object.h"
#include "platform/d3d9/d3dx_math.h"
#include "puzzle/puzzle_edge.h"

class CPuzzleBoard;
class CPuzzlePiece;

// ---- pick triangles and groups ---------------------------------------------------
// Three piece-local positions of one triangle of a piece's top face (reaching
// out to the real outline) or of its side walls. Held by value.
struct PickTriangle {
  PickTriangle() = default;
  PickTriangle(const D3DXVECTOR3& a, const D3DXVECTOR3& b, const D3DXVECTOR3& c) : m_vertices{a, b, c} {}
  D3DXVECTOR3 m_vertices[3];
};

// Pointers into a board's piece vector, in the order they were added. Never
// owns its pieces; membership is decided by m_id (GroupContains).
using PieceGroup = std::vector<CPuzzlePiece*>;

// The triangles of one pick list binned by their extent in the piece's x/y
// plane (piece-local), so that a ray test only visits the triangles whose
// box the ray passes near. Built lazily by the piece; a built grid without
// cells stands for "test the whole list".
struct PickTriangleGrid {
  bool built = false;
  double minX = 0, minY = 0, minZ = 0, maxX = 0, maxY = 0, maxZ = 0;
  double cellW = 1, cellH = 1;
  int nx = 0, ny = 0;
  std::vector<std::uint32_t> starts;  // nx x ny + 1 offsets into items
  std::vector<std::uint32_t> items;   // triangle indices, cell by cell
};

inline constexpr float kLayerHeight = 1.5f;
inline constexpr int kLayerCount = 8;
inline constexpr float kFitDistance = 5.0f;

// ---- the piece ------------------------------------------------------------------------
// Movable, not copyable: it owns its highlight quad's buffers (released by the
// quad itself or by ReleaseHighlight) and its pick triangles. A move is
// member by member: the buffers, triangles and outlines change hands, and the
// pick caches go along with what they were worked out from (the triangles,
// the outlines' storage, the same sub-object's world matrix), so they stay
// right for the destination. A moved-from piece may only be destroyed or
// assigned to. Neighbour pointers are not fixed up by a move: the board
// links its pieces after its vector has its final size.
class CPuzzlePiece {
 public:
  CPuzzlePiece() = default;
  CPuzzlePiece(const CPuzzlePiece&) = delete;
  CPuzzlePiece& operator=(const CPuzzlePiece&) = delete;
  CPuzzlePiece(CPuzzlePiece&&) noexcept = default;
  CPuzzlePiece& operator=(CPuzzlePiece&&) noexcept = default;
  ~CPuzzlePiece() = default;

  // Makes the piece reach its meshes: sub-objects m_id - 1 (top),
  // pieceCount + m_id - 1 (side) and, with hasBackSide, 2 x pieceCount +
  // m_id - 1 (back) of meshes. Call after m_id is set. A piece with meshes
  // "belongs to a board"; until the multi-object actually holds those
  // sub-objects (before the board builds its meshes) the operations below
  // leave them alone, as for a piece without a board.
  void AttachToBoard(CPuzzleBoard* board, CKVR3DMultiObject* meshes, int pieceCount, bool hasBackSide);

  // Drops both pick-triangle lists.
  void ClearGeometry();
  // Releases the highlight quad's buffers.
  void ReleaseHighlight();

  // Stores m_currentPosition; with a board also the translation of the top,
  // side and back sub-objects and the top's world matrix. Finally the
  // highlight quad goes to the position raised by 1.0. The side and back
  // translations are only kept in step (the board draws all three with the
  // top's matrix), so that every sub-object's own transform stays that of
  // its piece, as SetRotation and SetScale keep theirs.
  void SetPosition(const D3DXVECTOR3& position);
  // With a board: rotation of top and side, the top's world matrix, then the
  // back's rotation. The highlight quad is not turned. Without a board:
  // nothing.
  void SetRotation(float x, float y, float z);
  // m_quarterTurns = q (0..3) and SetRotation(0, 0, q x pi/2 as a float).
  void SetQuarterTurns(std::uint8_t q);
  // With a board: uniform scale of top then side, the top's world matrix,
  // then the back's scale. Without a board: nothing.
  void SetScale(float s);
  // Places the piece where its home offset from the reference, turned by this
  // piece's quarter turns, puts it, at the reference's height.
  void PlaceRelativeTo(const CPuzzlePiece& reference);

  // Clears every joined side and the matching side of its neighbour; true
  // when at least one side was joined. The piece does not move.
  bool Disconnect();
  // Appends the piece and, depth first through joined sides (sides 0..3 in
  // order), every piece reachable from it, skipping pieces whose id is
  // already in the group.
  void CollectGroup(PieceGroup& group);

  // The side walls' pick triangles: m_sideTriangles, or those worked out
  // from the edges.
  std::vector<PickTriangle> SideWallTriangles() const;
  // The world-space ray hits a pick triangle (top list, then sides).
  // Without a board: false.
  bool HitTest(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction) const;
  // The ray from point straight down (0, 0, -1) meets a top pick triangle.
  // Without a board: false.
  bool IsPointOver(const D3DXVECTOR3& point) const;
  // IsPointOver of each point in turn, true at the first that is over the
  // top; the piece's bounds and world matrix are looked at once for all.
  bool AnyPointOver(const D3DXVECTOR3* points, std::size_t count) const;
  // An outline point of outer, in its current placement (turned and moved,
  // at kProbeHeight), lies over this piece's top: AnyPointOver of the
  // points of outer's four outlines in order. Runs of outline points whose
  // box lies clear of the top are passed over whole.
  bool AnyOutlinePointOver(const CPuzzlePiece& outer, float probeHeight) const;
  // Bounding radius of the top sub-object; 25.0 without a board.
  float GetRadius() const {
    return HasMeshes() ? m_meshes->m_renderParams[std::size_t(m_topIndex)].m_radius : 25.0f;
  }
  // The highlight quad when selected and not joined on all four sides.
  void RenderHighlight();

  // The top sub-object's world matrix (identity without a board), and its
  // inverse, which is cached and recomputed whenever the world matrix
  // differs from the one it was computed from.
  D3DXMATRIX WorldMatrix() const;
  const D3DXMATRIX& InverseWorldMatrix() const;

  // Set by AttachToBoard; -1 = none. First, beside the position and layer,
  // so that a scan over many pieces reads few cache lines.
  CKVR3DMultiObject* m_meshes = nullptr;  // not owned
  int m_topIndex = -1;
  int m_sideIndex = -1;
  int m_backIndex = -1;

  std::int32_t m_id = 0;                   // 1-based, index + 1
  D3DXVECTOR3 m_homePosition{0, 0, 0};     // solved position of the origin, z 0
  D3DXVECTOR3 m_currentPosition{0, 0, 0};  // current origin; z = layer x 1.5
  std::int32_t m_row = -1;
  std::int32_t m_column = -1;
  std::int32_t m_layer = 0;                  // 0..7
  std::uint8_t m_quarterTurns = 0;           // 0..3
  std::int32_t m_edgeIds[4] = {0, 0, 0, 0};  // 0 = border side
  bool m_joined[4] = {false, false, false, false};
  CPuzzleBoard* m_board = nullptr;  // not owned
  CPuzzlePiece* m_neighbours[4] = {nullptr, nullptr, nullptr, nullptr};
  CPuzzleEdge m_edges[4];                     // copies of the board edges, board coordinates
  std::vector<PickTriangle> m_topTriangles;   // piece-local, out to the outline
  std::vector<PickTriangle> m_sideTriangles;  // piece-local side walls
  // A board's pieces keep no side-wall triangles: they are worked out from
  // m_edges and the home the meshes were built at whenever a ray comes near
  // (BuildSideWallTriangles), the same triangles in the same order, and
  // their largest distance from the origin is kept for the pick bounds.
  bool m_sideWallsFromEdges = false;
  D3DXVECTOR3 m_sideWallsHome{0, 0, 0};
  double m_sideWallRadius = 0.0;
  CKVR3DObject m_highlight;  // 40 x 40 selection quad
  std::int32_t m_definition = 3;
  bool m_selected = false;

 private:
  bool HasSubObject(int index) const {
    return m_meshes && index >= 0 && std::size_t(index) < m_meshes->m_renderParams.size();
  }
  bool HasMeshes() const { return HasSubObject(m_topIndex); }
  // Pick bounds: largest distance of any top / any pick vertex from the
  // origin, recomputed when the triangle counts change or after
  // ClearGeometry. Rejects rays that cannot reach a triangle.
  void UpdatePickBounds() const;
  bool RayMaySpan(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, bool topOnly) const;
  // The world matrix's cached bounds and inverse (see InverseWorldMatrix).
  void RefreshWorldCache() const;
  void RefreshInverse() const;
  bool WorldRayMaySpan(const D3DXVECTOR3& origin, const D3DXVECTOR3& direction, double localRadius) const;

  mutable bool m_boundsValid = false;
  mutable std::size_t m_boundsTopCount = 0;
  mutable std::size_t m_boundsSideCount = 0;
  mutable double m_topRadius = 0.0;
  mutable double m_pickRadius = 0.0;
  // Boxes round runs of kOutlineRun outline points of each side, relative
  // to the home position (the unturned frame): x0, y0, x1, y1 per run.
  // Rebuilt when the outline vector or the home position changes, and after
  // ClearGeometry (the outlines are replaced then).
  static constexpr std::size_t kOutlineRun = 12;
  struct OutlineRuns {
    const D3DXVECTOR3* data = nullptr;
    std::size_t size = 0;
    D3DXVECTOR3 home{0, 0, 0};
    bool valid = false;
    std::vector<double> boxes;
  };
  const OutlineRuns& RunsOf(int side) const;
  mutable OutlineRuns m_outlineRuns[4];
  // Box round the top triangles in the piece's x/y plane; not valid when a
  // vertex is not finite.
  mutable bool m_topBoxValid = false;
  mutable double m_topBox[4] = {0, 0, 0, 0};  // min x, min y, max x, max y
  mutable PickTriangleGrid m_topGrid;
  mutable PickTriangleGrid m_sideGrid;
  mutable bool m_worldValid = false;
  mutable bool m_inverseValid = false;
  mutable D3DXMATRIX m_inverseOf;  // the world matrix the cached inverse belongs to
  mutable D3DXMATRIX m_inverse;
  mutable bool m_inverseSingular = false;
  // World-space centre of the top sub-object's origin and an upper bound of
  // how much the world matrix stretches a length.
  mutable double m_worldCentre[3] = {0, 0, 0};
  mutable double m_worldStretch = 1.0;
};

// Largest distance of count points from the origin (0 for none); NaN when
// one of them is not finite.
double PickRadius(const D3DXVECTOR3* points, std::size_t count);

// ---- placement helpers ---------------------------------------------------------------
// centre + R(q)(point - centre) in x and y, z from centre, exactly:
// R(0) (dx, dy), R(1) (-dy, dx), R(2) (-dx, -dy), R(3) (dy, -dx). q is taken
// modulo 4.
D3DXVECTOR3 RotateOffset(const D3DXVECTOR3& centre, const D3DXVECTOR3& point, int q);
// (xB - xA)^2 + (yB - yA)^2 of the current positions, single precision.
float PieceDistanceSquared(const CPuzzlePiece& a, const CPuzzlePiece& b);

// ---- joining -----------------------------------------------------------------------------
// a and b are grid neighbours (same row with columns at most 1 apart, or same
// column with rows at most 1 apart; a piece passes against itself) and a lies
// within 5.0 (strictly) of where its home offset from b, seen in b's turned
// frame, puts it. Heights and a's own turns play no part.
bool PiecesFit(const CPuzzlePiece& a, const CPuzzlePiece& b);
// Joins a's first side that shares an edge id with some side of b (both
// flags set), places a relative to b and gives it b's layer. False (nothing
// changed) for the same id, different quarter turns or no shared edge id.
// Positions are not tested.
bool JoinPieces(CPuzzlePiece& a, CPuzzlePiece& b);
// A piece with piece's m_id is in the group.
bool GroupContains(const PieceGroup& group, const CPuzzlePiece& piece);

// A set of piece ids for membership tests over large groups: one bit per id
// for ids 0 .. 2^20 - 1 (a board's ids are 1 .. 2,000), a list for others.
class PieceIdSet {
 public:
  PieceIdSet() = default;
  explicit PieceIdSet(const PieceGroup& group) {
    for (const CPuzzlePiece* p : group) Insert(p->m_id);
  }
  void Insert(std::int32_t id);
  bool Contains(std::int32_t id) const;

 private:
  std::vector<std::uint64_t> m_bits;
  std::vector<std::int32_t> m_outside;
};

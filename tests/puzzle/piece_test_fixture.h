#pragma once
// A small hand-made board for piece and group tests: columns x rows square
// pieces 25 units wide, linked like a real board (ids index + 1, shared edge
// ids from 100001 on vertical and 200001 on horizontal edges, neighbours),
// straight outlines, and pick triangles of a 25 x 25 top (a fan of 40
// triangles rising from the outline at z 1.0 to the centre at 1.5) and of
// four walls (80 triangles). The pieces reach a multi-object with 2 x N render params (no
// buffers and no device needed) and lie at home, unturned.
#include <cmath>
#include <vector>

#include "engine/render_object.h"
#include "puzzle/puzzle_edge.h"
#include "puzzle/puzzle_piece.h"
#include "tests/puzzle/vector_print.h"

class HandBoard {
 public:
  // Half the piece width.
  static constexpr float kHalf = 12.5f;
  // Outline points per side of the pick triangles' rim.
  static constexpr int kRimSteps = 10;

  HandBoard(int columns, int rows, bool backs = false)
      : m_columns(columns), m_rows(rows), m_pieces(std::size_t(columns * rows)) {
    const int n = columns * rows;
    m_meshes.m_renderParams.resize(std::size_t((backs ? 3 : 2) * n));
    int h = 100001, v = 200001;
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < columns; ++c) {
        CPuzzlePiece& p = At(r, c);
        p.m_id = r * columns + c + 1;
        p.m_row = r;
        p.m_column = c;
        p.m_homePosition = D3DXVECTOR3(c * 25.0f + kHalf, r * 25.0f + kHalf, 0.0f);
        if (c + 1 < columns) Link(p, 1, At(r, c + 1), 3, h++);
      }
    }
    for (int r = 0; r + 1 < rows; ++r)
      for (int c = 0; c < columns; ++c) Link(At(r, c), 2, At(r + 1, c), 0, v++);
    for (CPuzzlePiece& p : m_pieces) {
      p.AttachToBoard(nullptr, &m_meshes, n, backs);
      Shape(p);
      m_meshes.m_renderParams[std::size_t(p.m_topIndex)].m_radius = std::sqrt(2.0f * kHalf * kHalf + 1.0f);
      p.SetPosition(p.m_homePosition);
      p.SetQuarterTurns(0);
    }
  }
  HandBoard(const HandBoard&) = delete;
  HandBoard& operator=(const HandBoard&) = delete;

  CPuzzlePiece& At(int r, int c) { return m_pieces[std::size_t(r * m_columns + c)]; }
  PieceGroup Group(std::initializer_list<std::pair<int, int>> cells) {
    PieceGroup g;
    for (auto [r, c] : cells) g.push_back(&At(r, c));
    return g;
  }
  PieceGroup All() {
    PieceGroup g;
    for (CPuzzlePiece& p : m_pieces) g.push_back(&p);
    return g;
  }
  // Moves a piece by (dx, dy) from its home, onto a layer.
  void Put(CPuzzlePiece& p, float x, float y, int layer = 0) {
    p.m_layer = layer;
    p.SetPosition(D3DXVECTOR3(x, y, float(layer) * kLayerHeight));
  }

  int m_columns, m_rows;
  CKVR3DMultiObject m_meshes;
  std::vector<CPuzzlePiece> m_pieces;

 private:
  static void Link(CPuzzlePiece& a, int sideA, CPuzzlePiece& b, int sideB, int id) {
    a.m_edgeIds[sideA] = id;
    b.m_edgeIds[sideB] = id;
    a.m_neighbours[sideA] = &b;
    b.m_neighbours[sideB] = &a;
  }
  // Straight outlines in board coordinates, the pick triangles piece-local.
  static void Shape(CPuzzlePiece& p) {
    const float x0 = p.m_homePosition.x - kHalf, x1 = p.m_homePosition.x + kHalf;
    const float y0 = p.m_homePosition.y - kHalf, y1 = p.m_homePosition.y + kHalf;
    BuildStraightEdge(p.m_edges[0], {x0, y0, 0}, {x1, y0, 0}, false);
    BuildStraightEdge(p.m_edges[1], {x1, y0, 0}, {x1, y1, 0}, true);
    BuildStraightEdge(p.m_edges[2], {x0, y1, 0}, {x1, y1, 0}, false);
    BuildStraightEdge(p.m_edges[3], {x0, y0, 0}, {x0, y1, 0}, true);
    // The top: a fan from the centre (z 1.5) to 40 points round the square
    // outline (z 1.0); the walls: two triangles per outline segment.
    const float h = kHalf;
    const D3DXVECTOR3 corners[5] = {{-h, -h, 1}, {h, -h, 1}, {h, h, 1}, {-h, h, 1}, {-h, -h, 1}};
    std::vector<D3DXVECTOR3> rim;
    for (int side = 0; side < 4; ++side)
      for (int k = 0; k < kRimSteps; ++k)
        rim.push_back(corners[side] + (corners[side + 1] - corners[side]) * (float(k) / kRimSteps));
    rim.push_back(rim.front());
    const D3DXVECTOR3 centre(0, 0, 1.5f);
    for (std::size_t i = 0; i + 1 < rim.size(); ++i) {
      const D3DXVECTOR3 top0 = rim[i], top1 = rim[i + 1];
      const D3DXVECTOR3 bottom0(top0.x, top0.y, 0), bottom1(top1.x, top1.y, 0);
      p.m_topTriangles.push_back(PickTriangle(centre, top1, top0));
      p.m_sideTriangles.push_back(PickTriangle(top0, top1, bottom0));
      p.m_sideTriangles.push_back(PickTriangle(bottom0, top1, bottom1));
    }
  }
};

// Every pick triangle in list order against the ray in the piece's frame,
// with nothing skipped: what HitTest's shortcuts must agree with.
inline bool ReferenceHit(const CPuzzlePiece& p, const D3DXVECTOR3& origin, const D3DXVECTOR3& dir,
                         bool topOnly = false) {
  D3DXMATRIX world = p.WorldMatrix(), inverse;
  if (!D3DXMatrixInverse(&inverse, nullptr, &world)) return false;
  D3DXVECTOR3 o, d;
  D3DXVec3TransformCoord(&o, &origin, &inverse);
  D3DXVec3TransformNormal(&d, &dir, &inverse);
  const std::vector<PickTriangle> none, sides = p.SideWallTriangles();
  for (const auto* list : {&p.m_topTriangles, topOnly ? &none : &sides})
    for (const PickTriangle& t : *list)
      if (D3DXIntersectTri(&t.m_vertices[0], &t.m_vertices[1], &t.m_vertices[2], &o, &d, nullptr, nullptr,
                           nullptr))
        return true;
  return false;
}

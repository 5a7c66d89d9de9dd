#pragma once
// The rubber band of the play screen: a flat translucent textured quad just
// above the table (z 0.25: above the table, below every piece top) between
// two table points, and the test that tells which pieces it encloses.
#include "engine/render_object.h"
#include "puzzle/puzzle_piece.h"

class CKVRTexture;
class CPuzzleBoard;

class CSelectionRect {
 public:
  ~CSelectionRect() { m_quad.ReleaseBuffers(); }

  // Builds the quad (4 vertices, triangles (0, 1, 3) and (1, 2, 3), normals
  // +z, texture 0..1) with the fill texture record (not owned). True.
  bool Create(CKVRTexture* fillTexture);
  // Stores the corners and moves the quad's vertices; when the buffers cannot
  // be locked only the stored corners change.
  void SetCorners(float x1, float y1, float x2, float y2);
  // Draws the quad alpha-blended from both sides; leaves blending off and
  // culling CCW. Depth states stay as they are.
  void Render();
  // The board's pieces, in board order, whose current position lies strictly
  // inside the rectangle (corners in either order); out is emptied first.
  void CollectPiecesInside(CPuzzleBoard& board, PieceGroup& out) const;

  float m_x1 = 0, m_y1 = 0;
  float m_x2 = 0, m_y2 = 0;
  CKVR3DObject m_quad;
};

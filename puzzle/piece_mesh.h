#pragma once
// The three meshes of one puzzle piece, built from its four edges:
// - the top face: the picture, with a rounded bevel round its rim
//   (B bands between an inner ring at z 1.5 and the outline at z 1.0) and a
//   flat fan inside the inner ring;
// - the side walls from the outline at z 1.0 down to the table at z 0,
//   carrying the edge texture (repeating every unit along the wall);
// - the back face at z 0 (only when the board has a back texture), the pick
//   triangles of the top turned over, texture repeating every 25 units.
// With them come the piece's pick triangles: one per fan triangle of the top,
// reaching out to the real outline (inner-ring corners replaced by the outer
// ones), and one per wall triangle.
//
// Meshes are built in board coordinates (texture coordinates follow the board
// position: u = x / board width, v = y / board height) and finally made local
// to the piece's home position.
//
// Sides: 0 top (smaller y), 1 right, 2 bottom, 3 left. Sides 0 and 1 are
// walked from their edge's end to its start, sides 2 and 3 from start to end,
// so every side turns the same way and the outward normal of a segment with
// direction (dx, dy) is (-dy, dx, 0) normalised. The first walked point of
// side i is its own corner (top-right, bottom-right, bottom-left, top-left);
// its last is the first of side (i + 3) mod 4.
//
// Triangles are clockwise seen from the side they face (Direct3D's front
// face): the top and the bevel face up, the walls outwards, the back down.
//
// Sections: constants - small operations - plain build - the piece's build
#include <array>
#include <vector>

#include "engine/render_object.h"
#include "platform/d3d9/d3dx_math.h"
#include "puzzle/puzzle_edge.h"
#include "puzzle/puzzle_piece.h"

// ---- constants ---------------------------------------------------------------
inline constexpr float kBevelInset = 0.5f;      // inner ring and corners lie this far inside
inline constexpr float kPieceUnderside = 0.0f;  // table
inline constexpr float kPieceWallTop = 1.0f;    // top of the walls, outer bevel edge
inline constexpr float kPieceTopFace = 1.5f;    // the flat top
inline constexpr float kBackTextureRepeat = 25.0f;
inline constexpr float kHighlightSize = 40.0f;

// ---- small operations --------------------------------------------------------
// Bevel bands at a definition level: 1, 2, 2, 4 at levels 1..4. A level
// outside 1..4 uses the bands of level 2.
int BevelBandsFor(int definition);

// The outward horizontal normal of the segment from -> to: (-dy, dx, 0)
// normalised; the zero vector for a segment without length.
D3DXVECTOR3 SegmentNormal(const D3DXVECTOR3& from, const D3DXVECTOR3& to);

// The two inner corner points of side `side` (0..3): its first and last
// walked corner moved kBevelInset into the piece along both axes.
void InnerCornerPoints(int side, const D3DXVECTOR3& firstCorner, const D3DXVECTOR3& lastCorner,
                       D3DXVECTOR3& innerFirst, D3DXVECTOR3& innerLast);

// B + 1 rings of n vertices from the inner ring (ring 0) to the outer ring
// (ring B), appended ring by ring to positions and normals. Ring r lies at
// t = r / B: its end points on the straight blend, the others on a quarter
// circle of radius kBevelInset about (I.x, I.y, 1.0); normals blended and
// normalised (rings 0 and B keep theirs). Appends nothing and answers false
// when the rings differ in length, have fewer than 2 points, or bands < 1.
bool BuildBevelRings(const std::vector<D3DXVECTOR3>& inner, const std::vector<D3DXVECTOR3>& innerNormals,
                     const std::vector<D3DXVECTOR3>& outer, const std::vector<D3DXVECTOR3>& outerNormals,
                     int bands, std::vector<D3DXVECTOR3>& positions, std::vector<D3DXVECTOR3>& normals);

// ---- plain build ---------------------------------------------------------------
// What one piece's meshes are built from.
struct PieceMeshInput {
  std::array<const CPuzzleEdge*, 4> edges{};  // sides 0..3, board coordinates; all set
  D3DXVECTOR3 home;                           // the piece's home position (z 0)
  int definition = 3;                         // chooses the bevel bands
  int boardWidth = 0;                         // whole units; 0 gives texture u 0
  int boardHeight = 0;                        // whole units; 0 gives texture v 0
  bool withBack = false;                      // build the back face
  bool withSidePicks = true;                  // fill sideTriangles
};

// The three meshes and both pick-triangle lists (the side walls' only when
// asked for), local to the home position.
struct PieceMeshOutput {
  CKVR3DObjectCreateParam top, side, back;  // back empty unless withBack
  std::vector<PickTriangle> topTriangles;
  std::vector<PickTriangle> sideTriangles;
};

// Builds everything for one piece. A side of a round or classic edge needs at
// least 3 outline points; a shorter one is built as a straight side between
// its corners. Always true.
bool BuildPieceGeometry(const PieceMeshInput& input, PieceMeshOutput& output);

// The side walls' pick triangles of a piece with these edges, local to home,
// appended to triangles: the triangles of the side mesh BuildPieceGeometry
// makes, in its order (sides 3, 2, 1, 0 as walked, two per segment), so a
// piece can work them out when a ray comes near instead of keeping them.
void BuildSideWallTriangles(const std::array<const CPuzzleEdge*, 4>& edges, const D3DXVECTOR3& home,
                            std::vector<PickTriangle>& triangles);

// Fan triangles of one side (what the top index list is sized by):
// straight 9, round n + 7, classic socket n + 7, classic knob n + 9 for n
// outline points (fewer where the socket's fan thresholds coincide).
int TopTriangleCount(const CPuzzleEdge& edge, int side);

// Vertex and index counts of the three meshes BuildPieceGeometry makes from
// these edges (back counts 0 without a back), so that buffers can be sized
// before any piece is built.
struct PieceMeshSizes {
  int topVertices = 0, topIndices = 0;
  int sideVertices = 0, sideIndices = 0;
  int backVertices = 0, backIndices = 0;
};
PieceMeshSizes PieceMeshSizesFor(const std::array<const CPuzzleEdge*, 4>& edges, int definition,
                                 bool withBack);

// ---- the piece's build -----------------------------------------------------------
// Builds the piece's meshes from the four board edges (sides 0..3): clears its
// geometry, copies the edges into m_edges, fills the three create params
// (back only when the piece's board has a back side), the piece's top pick
// triangles (the side walls' are worked out from m_edges when needed, see
// CPuzzlePiece::m_sideWallsFromEdges) and its highlight quad (40 x 40, one cell; needs a device, else
// the quad stays without buffers), and puts m_currentPosition at the home
// position. The bands follow the piece's m_definition; texture coordinates
// the piece's board (a piece without a board gets no back and texture
// coordinates 0). Always true.
bool BuildPieceMesh(CPuzzlePiece& piece, CKVR3DObjectCreateParam& top, CKVR3DObjectCreateParam& side,
                    CKVR3DObjectCreateParam& back, const std::array<const CPuzzleEdge*, 4>& edges);

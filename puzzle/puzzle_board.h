#pragma once
// One puzzle: a picture cut into a grid of pieces along randomly disturbed
// grid lines, an outline shape on every interior edge, one bevelled mesh per
// piece, the pieces' places on the table and the completion percentage.
//
// The board owns its pieces (by value, row-major: index = row x columns +
// column), its edges, its grid corners, one multi-object holding every
// piece's meshes (sub-object i the top of piece i, N + i its side walls,
// 2N + i its back when the board has backs), two materials and the edge and
// back textures. The picture texture belongs to the caller.
//
// A board is generated from a 10-bit seed: the same seed, picture
// proportions, grid, irregularity and shape give the same corners, outlines
// and (with rotation) starting quarter turns. Random draws go through the
// program's generator: CrtSrand(seed), the corner grid, CrtSrand(seed) again,
// the edge shapes, then one CrtRand() % 4 per piece when rotation is allowed;
// the owner's ScatterPieces continues from there.
//
// Units: a piece is 25 units wide; the board spans x 0 .. m_width and
// y 0 .. m_height, row 0 at the smallest y; the table is z = 0.
//
// Ownership: the destructor frees everything, device objects included, so
// an owner that forgets Clear leaks nothing. A board is neither copied nor
// moved (its pieces point back at it).
//
// Sections: the board - grid sizes (puzzle/grid_sizes.h)
#include <cstdint>
#include <string>
#include <vector>

#include "engine/draw_resources.h"
#include "engine/render_object.h"
#include "engine/view_volume.h"
#include "platform/d3d9/d3dx_math.h"
#include "puzzle/board_layout.h"
#include "puzzle/grid_sizes.h"
#include "puzzle/piece_mesh.h"
#include "puzzle/puzzle_edge.h"
#include "puzzle/puzzle_piece.h"

// Width of the margin round the board that scattering leaves free, and the
// spacing of the rings the pieces are scattered on.
inline constexpr int kScatterMargin = 50;
inline constexpr double kScatterSlot = 43.75;
inline constexpr int kScatterRingStep = 43;

class CPuzzleBoard {
 public:
  CPuzzleBoard();
  ~CPuzzleBoard();
  CPuzzleBoard(const CPuzzleBoard&) = delete;
  CPuzzleBoard& operator=(const CPuzzleBoard&) = delete;

  // Back to the empty state: sizes, seed, irregularity and completion 0, the
  // multi-object's buffers and both owned textures released, the picture
  // forgotten, no back side, every piece's geometry and highlight freed and
  // its selection cleared, pieces, corners and edges emptied. m_shape,
  // m_definition and m_shinyPieces stay.
  void Clear();

  // A new puzzle with the seed WallTime() & 0x3FF (see CreateWithSeed).
  bool Create(CKVRTexture* picture, int columns, int rows, bool rotationAllowed, int shape,
              unsigned irregularity, const std::string& edgeTexturePath, const std::string& backTexturePath);
  // A new puzzle from a given seed (its low 10 bits): clears the board, sizes
  // it from the picture's image size (m_height = m_width / aspect,
  // truncated), loads the edge texture and, for a non-empty back path, the
  // back texture (a texture that fails to load leaves that face untextured),
  // links the pieces, builds corners, homes, outlines and meshes at
  // m_definition, puts every piece at home and, when rotation is allowed,
  // gives each CrtRand() % 4 quarter turns. False, with the board left as it
  // was, without a picture (or one without an image size), with columns or
  // rows below 1 or with more than kMaxPieceCount pieces; false, with the
  // board cleared, when memory ran out on the way (a texture or the meshes'
  // buffers could not be made, or the geometry's own work did not fit: that
  // is counted in OutOfMemoryCount too).
  bool CreateWithSeed(int seed, CKVRTexture* picture, int columns, int rows, bool rotationAllowed, int shape,
                      unsigned irregularity, const std::string& edgeTexturePath,
                      const std::string& backTexturePath);

  // Lays the pieces, in index order, on rectangular rings round the board
  // (the first ring the board's rectangle centred on the origin grown by 50,
  // slots at least 43.75 apart, rings 43 apart), then shuffles the positions:
  // for each piece i, swap with piece CrtRand() % N.
  void ScatterPieces();

  // Outlines and meshes again from m_seed at the current m_definition; every
  // piece keeps its position (and so its layer) and quarter turns; corners,
  // homes, links, joined flags and the selection stay. Control polygons,
  // kinds and tab sides come out the same, only the sampling density
  // follows the definition. The generator ends in the same state as after
  // the edge shapes of Create. False (nothing changed) on an empty board;
  // false, with the board cleared, when the device ran out of memory.
  bool Rebuild();

  // m_completion = joined / interior sides x 100 (0 without interior sides).
  void UpdateCompletion();
  // Piece index's top takes up the position, turn and scale last set on the
  // piece: the world matrix Render draws all of the piece's sub-objects
  // with. Nothing for an index the meshes have no sub-object for.
  void UpdatePieceMatrix(size_t index);
  // Sides with a non-zero edge id, over all pieces; those also joined.
  unsigned CountInteriorSides() const;
  unsigned CountJoinedSides() const;

  // Draws the pieces in view with g_Engine's device: the tops with the
  // picture (shiny or matte material), the side walls with the edge texture
  // (matte; not for pieces joined on all four sides), the backs with the
  // back texture when the board has them, then the highlights, each pass in
  // index order. Every sub-object is drawn with its piece's top world
  // matrix. Nothing without a device or pieces.
  // In view (with m_cullToView; otherwise every piece): the piece's box
  // (m_pieceBoxes) or, when it is selected, its highlight quad, each carried
  // by the world matrix it is drawn with, may touch the view volume of the
  // device's current view and projection (engine/view_volume.h), so a
  // skipped piece would not have changed a pixel. Render leaves the pieces
  // it drew in m_piecesInView.
  void Render();
  // Fills m_piecesInView (ascending indices) for volume.
  void CollectPiecesInView(const CKVRViewVolume& volume);

  // ---- steps of Create and Rebuild -------------------------------------------------
  // Ids (index + 1), rows and columns, shared edge ids (100001.. between a
  // piece and its right-hand neighbour, row by row; 200001.. between a piece
  // and the one below, row pair by row pair), neighbour links, and each
  // piece's reach into m_meshes.
  void LinkPieces();
  // The jittered corner grid (draws, see board_layout.h).
  void BuildCornerGrid();
  // Each piece's home: the mean of its four corners.
  void ComputePieceCenters();
  // Every edge at m_definition (draws, see board_layout.h).
  void BuildEdgeShapes();
  // Each piece's meshes into m_meshes (tops, then sides, then backs: the
  // layout the multi-object's BuildFromCreateParams gives), world matrices
  // reset and top radii computed. The buffers are sized first and every
  // piece's meshes written straight into them. False, without buffers, when
  // they cannot be made or locked or a mesh is too large (the pieces'
  // geometry is built all the same).
  bool BuildMeshes();
  // Sub-object ranges for pieces of these mesh sizes (tops, sides, backs),
  // one after the other in the shared buffers; false when a mesh has more
  // vertices than 16-bit indices reach.
  bool LayOutSubObjects(const std::vector<PieceMeshSizes>& sizes);
  // Copies a mesh into its sub-object's range of the locked buffers.
  void WriteSubObject(const CKVR3DObjectCreateParam& mesh, size_t subObject);
  // SetPosition(home) for every piece.
  void PlacePiecesAtHome();

  // The edge of piece (row, column) on side 0..3.
  const CPuzzleEdge& PieceEdge(int row, int column, int side) const;

  std::int32_t m_seed = 0;
  std::int32_t m_columns = 0;
  std::int32_t m_rows = 0;
  std::int32_t m_pieceCount = 0;
  std::int32_t m_width = 0;
  std::int32_t m_height = 0;
  float m_irregularity = 0.0f;
  std::vector<CPuzzlePiece> m_pieces;
  std::vector<D3DXVECTOR3> m_corners;
  std::vector<CPuzzleEdge> m_horizontalEdges;
  std::vector<CPuzzleEdge> m_verticalEdges;
  CKVR3DMultiObject m_meshes;
  D3DMATERIAL9 m_matteMaterial;
  D3DMATERIAL9 m_shinyMaterial;
  CKVRTexture* m_imageTexture = nullptr;  // not owned
  CKVRTexture m_edgeTexture;
  CKVRTexture m_backTexture;
  bool m_hasBackSide = false;
  std::int32_t m_shape = PieceShapeClassic;
  std::int32_t m_definition = 3;
  bool m_shinyPieces = true;
  float m_completion = 0.0f;
  // Piece i's top, side walls and back in its own frame; made with the
  // meshes (empty without them: every piece counts as in view).
  std::vector<ViewBox> m_pieceBoxes;
  bool m_cullToView = true;
  std::vector<int> m_piecesInView;
};

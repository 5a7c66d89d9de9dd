#include "puzzle/puzzle_board.h"

#include <array>
#include <cstddef>
#include <new>
#include <utility>

#include "engine/engine.h"
#include "platform/clock.h"
#include "platform/crt_random.h"
#include "platform/d3d9/d3d9_resources.h"
#include "puzzle/piece_mesh.h"

// Sections: materials - construction and clearing - creation - steps -
// scattering - rebuilding - completion - rendering

namespace {

constexpr int kFirstAcrossId = 100001;  // between a piece and its right-hand neighbour
constexpr int kFirstDownId = 200001;    // between a piece and the one below it
constexpr DWORD kVertexStride = 36;
constexpr DWORD kVertexFormat = 0x152;
constexpr D3DCOLOR kVertexColour = 0xFFFFFFFF;  // as the multi-object's own builder packs them
constexpr int kMaxSubObjectVertices = 65536;    // 16-bit indices per sub-object

// The built meshes have the sizes they were laid out with.
bool Matches(const PieceMeshSizes& s, const CKVR3DObjectCreateParam& top, const CKVR3DObjectCreateParam& side,
             const CKVR3DObjectCreateParam& back) {
  auto same = [](const CKVR3DObjectCreateParam& m, int vertices, int indices) {
    return m.m_positions.size() == size_t(vertices) && m.m_normals.size() == size_t(vertices) &&
           m.m_texCoords.size() == size_t(vertices) && m.m_indices.size() == size_t(indices) &&
           m.m_primitiveCount * 3 == indices;
  };
  return same(top, s.topVertices, s.topIndices) && same(side, s.sideVertices, s.sideIndices) &&
         same(back, s.backVertices, s.backIndices);
}

// ---- materials -------------------------------------------------------------------------
D3DMATERIAL9 MatteMaterial() {
  D3DMATERIAL9 m{};
  m.Diffuse = {1, 1, 1, 1};
  m.Ambient = {0.7f, 0.7f, 0.7f, 1};
  m.Specular = {0, 0, 0, 0};
  m.Emissive = {0, 0, 0, 0};
  m.Power = 0;
  return m;
}

D3DMATERIAL9 ShinyMaterial() {
  D3DMATERIAL9 m = MatteMaterial();
  m.Specular = {0.8f, 0.8f, 0.8f, 1};
  m.Power = 135;
  return m;
}

// Joins pieces a and b on sides sa / sb with edge id `id`.
void LinkPair(CPuzzlePiece& a, int sa, CPuzzlePiece& b, int sb, int id) {
  a.m_edgeIds[sa] = id;
  b.m_edgeIds[sb] = id;
  a.m_neighbours[sa] = &b;
  b.m_neighbours[sb] = &a;
}

}  // namespace

// ---- construction and clearing ---------------------------------------------------------------
CPuzzleBoard::CPuzzleBoard() : m_matteMaterial(MatteMaterial()), m_shinyMaterial(ShinyMaterial()) {}

CPuzzleBoard::~CPuzzleBoard() {
  // The texture records release their textures and leave the engine's list
  // themselves; the pieces release their highlight quads.
  m_meshes.ReleaseBuffers();
}

void CPuzzleBoard::Clear() {
  m_irregularity = 0.0f;
  m_seed = m_columns = m_rows = m_pieceCount = m_width = m_height = 0;
  m_meshes.ReleaseBuffers();
  m_meshes.m_renderParams.clear();
  m_meshes.m_vertexCount = m_meshes.m_indexCount = m_meshes.m_primitiveCount = 0;
  m_pieceBoxes.clear();
  m_piecesInView.clear();
  m_imageTexture = nullptr;
  m_edgeTexture.Release();
  m_backTexture.Release();
  m_hasBackSide = false;
  for (CPuzzlePiece& piece : m_pieces) {
    piece.ClearGeometry();
    piece.ReleaseHighlight();
    piece.m_selected = false;
  }
  m_pieces.clear();
  m_corners.clear();
  m_horizontalEdges.clear();
  m_verticalEdges.clear();
  m_completion = 0.0f;
}

// ---- creation ------------------------------------------------------------------------------------
namespace {
// Runs a step of building the board; its own work running out of memory
// (the geometry of a large board) counts as the device's would.
template <class Step>
void CountingLackOfMemory(Step step) {
  try {
    step();
  } catch (const std::bad_alloc&) {
    OutOfMemory();
  }
}
}  // namespace

bool CPuzzleBoard::Create(CKVRTexture* picture, int columns, int rows, bool rotationAllowed, int shape,
                          unsigned irregularity, const std::string& edgeTexturePath,
                          const std::string& backTexturePath) {
  return CreateWithSeed(static_cast<int>(WallTime() & 0x3FF), picture, columns, rows, rotationAllowed, shape,
                        irregularity, edgeTexturePath, backTexturePath);
}

bool CPuzzleBoard::CreateWithSeed(int seed, CKVRTexture* picture, int columns, int rows, bool rotationAllowed,
                                  int shape, unsigned irregularity, const std::string& edgeTexturePath,
                                  const std::string& backTexturePath) {
  if (!picture || picture->m_imageInfo.Width == 0 || picture->m_imageInfo.Height == 0 || columns < 1 ||
      rows < 1 || static_cast<long long>(columns) * rows > kMaxPieceCount)
    return false;
  Clear();
  const unsigned long long lacks = OutOfMemoryCount();
  m_seed = seed & 0x3FF;
  CrtSrand(static_cast<std::uint32_t>(m_seed));
  m_columns = columns;
  m_rows = rows;
  m_pieceCount = columns * rows;
  m_shape = shape;
  m_irregularity = static_cast<float>(irregularity);
  m_width = columns * kPieceSize;
  m_imageTexture = picture;
  m_height = BoardHeightFor(m_width, static_cast<int>(picture->m_imageInfo.Width),
                            static_cast<int>(picture->m_imageInfo.Height));
  m_edgeTexture.LoadFromFile(edgeTexturePath, 0);
  if (!backTexturePath.empty()) {
    m_backTexture.LoadFromFile(backTexturePath, 0);
    m_hasBackSide = true;
  }
  CountingLackOfMemory([&] {
    m_pieces = std::vector<CPuzzlePiece>(static_cast<size_t>(m_pieceCount));
    LinkPieces();
    BuildCornerGrid();
    ComputePieceCenters();
    CrtSrand(static_cast<std::uint32_t>(m_seed));
    BuildEdgeShapes();
    BuildMeshes();
  });
  if (OutOfMemoryCount() != lacks) {
    Clear();
    return false;
  }
  PlacePiecesAtHome();
  if (rotationAllowed)
    for (CPuzzlePiece& piece : m_pieces) piece.SetQuarterTurns(static_cast<std::uint8_t>(CrtRand() % 4));
  m_completion = 0.0f;
  return true;
}

// ---- steps ---------------------------------------------------------------------------------------
void CPuzzleBoard::LinkPieces() {
  auto at = [&](int r, int c) -> CPuzzlePiece& { return m_pieces[size_t(r * m_columns + c)]; };
  for (size_t i = 0; i < m_pieces.size(); ++i) {
    CPuzzlePiece& piece = m_pieces[i];
    piece.m_id = static_cast<std::int32_t>(i + 1);
    piece.m_row = static_cast<std::int32_t>(i) / m_columns;
    piece.m_column = static_cast<std::int32_t>(i) % m_columns;
    piece.AttachToBoard(this, &m_meshes, m_pieceCount, m_hasBackSide);
  }
  int across = kFirstAcrossId;
  for (int r = 0; r < m_rows; ++r)
    for (int c = 0; c + 1 < m_columns; ++c) LinkPair(at(r, c), 1, at(r, c + 1), 3, across++);
  int down = kFirstDownId;
  for (int r = 0; r + 1 < m_rows; ++r)
    for (int c = 0; c < m_columns; ++c) LinkPair(at(r, c), 2, at(r + 1, c), 0, down++);
}

void CPuzzleBoard::BuildCornerGrid() {
  GenerateCornerGrid(m_corners, m_columns, m_rows, m_width, m_height, m_irregularity);
}

void CPuzzleBoard::ComputePieceCenters() {
  std::vector<D3DXVECTOR3> homes;
  if (!ComputeHomePositions(homes, m_corners, m_columns, m_rows)) return;
  for (size_t i = 0; i < m_pieces.size(); ++i) m_pieces[i].m_homePosition = homes[i];
}

void CPuzzleBoard::BuildEdgeShapes() {
  std::vector<D3DXVECTOR3> homes;
  homes.reserve(m_pieces.size());
  for (const CPuzzlePiece& piece : m_pieces) homes.push_back(piece.m_homePosition);
  GenerateEdgeShapes(m_horizontalEdges, m_verticalEdges, m_corners, homes, m_columns, m_rows, m_shape,
                     m_definition);
}

const CPuzzleEdge& CPuzzleBoard::PieceEdge(int row, int column, int side) const {
  switch (side & 3) {
    case 0: return m_horizontalEdges[size_t(HorizontalEdgeIndex(row, column, m_columns))];
    case 1: return m_verticalEdges[size_t(VerticalEdgeIndex(row, column + 1, m_rows))];
    case 2: return m_horizontalEdges[size_t(HorizontalEdgeIndex(row + 1, column, m_columns))];
    default: return m_verticalEdges[size_t(VerticalEdgeIndex(row, column, m_rows))];
  }
}

namespace {

ViewBox PieceBox(const CKVR3DObjectCreateParam& top, const CKVR3DObjectCreateParam& side,
                 const CKVR3DObjectCreateParam& back, bool withBack) {
  auto around = [](const CKVR3DObjectCreateParam& mesh) {
    return BoxAround(mesh.m_positions.data(), mesh.m_positions.size());
  };
  ViewBox box = UniteBoxes(around(top), around(side));
  return withBack ? UniteBoxes(box, around(back)) : box;
}

}  // namespace

bool CPuzzleBoard::BuildMeshes() {
  const size_t n = m_pieces.size();
  std::vector<std::array<const CPuzzleEdge*, 4>> edges(n);
  std::vector<PieceMeshSizes> sizes(n);
  for (size_t i = 0; i < n; ++i) {
    CPuzzlePiece& piece = m_pieces[i];
    piece.m_definition = m_definition;
    const int r = piece.m_row, c = piece.m_column;
    edges[i] = {&PieceEdge(r, c, 0), &PieceEdge(r, c, 1), &PieceEdge(r, c, 2), &PieceEdge(r, c, 3)};
    sizes[i] = PieceMeshSizesFor(edges[i], m_definition, m_hasBackSide);
  }
  m_meshes.ReleaseBuffers();
  bool ok = LayOutSubObjects(sizes) && m_meshes.CreateBuffers() && m_meshes.LockBuffers();
  // Each piece's meshes go straight into the shared buffers, so the whole
  // board's meshes never exist twice.
  CKVR3DObjectCreateParam top, side, back;
  m_pieceBoxes.clear();
  for (size_t i = 0; i < n; ++i) {
    BuildPieceMesh(m_pieces[i], top, side, back, edges[i]);
    if (!ok) continue;
    m_pieceBoxes.push_back(PieceBox(top, side, back, m_hasBackSide));
    ok = Matches(sizes[i], top, side, back);
    if (!ok) break;
    WriteSubObject(top, i);
    WriteSubObject(side, n + i);
    if (m_hasBackSide) WriteSubObject(back, 2 * n + i);
  }
  if (ok)
    for (size_t i = 0; i < n; ++i) m_meshes.ComputeSubObjectRadius(static_cast<int>(i));
  if (m_meshes.m_lockedVertices) m_meshes.UnlockBuffers();
  if (!ok) {
    m_meshes.ReleaseBuffers();
    m_pieceBoxes.clear();
    return false;
  }
  for (size_t i = 0; i < n; ++i) m_meshes.UpdateSubObjectMatrix(static_cast<int>(i));
  return true;
}

bool CPuzzleBoard::LayOutSubObjects(const std::vector<PieceMeshSizes>& sizes) {
  const size_t n = sizes.size();
  m_meshes.m_renderParams.assign((m_hasBackSide ? 3 : 2) * n, CKVR3DObjectRenderParam());
  m_meshes.m_vertexCount = m_meshes.m_indexCount = m_meshes.m_primitiveCount = 0;
  bool fits = true;
  auto lay = [&](size_t j, int vertices, int indices) {
    CKVR3DObjectRenderParam& r = m_meshes.m_renderParams[j];
    r.m_vertexCount = vertices;
    r.m_baseVertex = m_meshes.m_vertexCount;
    r.m_lastVertex = r.m_baseVertex + vertices - 1;
    r.m_indexCount = indices;
    r.m_startIndex = m_meshes.m_indexCount;
    r.m_primitiveCount = indices / 3;
    m_meshes.m_vertexCount += vertices;
    m_meshes.m_indexCount += indices;
    m_meshes.m_primitiveCount += r.m_primitiveCount;
    fits = fits && vertices <= kMaxSubObjectVertices;
  };
  for (size_t i = 0; i < n; ++i) lay(i, sizes[i].topVertices, sizes[i].topIndices);
  for (size_t i = 0; i < n; ++i) lay(n + i, sizes[i].sideVertices, sizes[i].sideIndices);
  if (m_hasBackSide)
    for (size_t i = 0; i < n; ++i) lay(2 * n + i, sizes[i].backVertices, sizes[i].backIndices);
  return fits;
}

void CPuzzleBoard::WriteSubObject(const CKVR3DObjectCreateParam& mesh, size_t subObject) {
  const CKVR3DObjectRenderParam& r = m_meshes.m_renderParams[subObject];
  VertexPNDT* vertex = m_meshes.m_lockedVertices + r.m_baseVertex;
  for (size_t k = 0; k < mesh.m_positions.size(); ++k) {
    const D3DXVECTOR3& p = mesh.m_positions[k];
    const D3DXVECTOR3& nrm = mesh.m_normals[k];
    const D3DXVECTOR2& t = mesh.m_texCoords[k];
    VertexPNDT& v = vertex[k];
    v.x = p.x, v.y = p.y, v.z = p.z;
    v.nx = nrm.x, v.ny = nrm.y, v.nz = nrm.z;
    v.diffuse = kVertexColour;
    v.u = t.x, v.v = t.y;
  }
  WORD* index = m_meshes.m_lockedIndices + r.m_startIndex;
  for (size_t k = 0; k < mesh.m_indices.size(); ++k) index[k] = static_cast<WORD>(mesh.m_indices[k]);
}

void CPuzzleBoard::PlacePiecesAtHome() {
  for (CPuzzlePiece& piece : m_pieces) piece.SetPosition(piece.m_homePosition);
}

// ---- scattering -----------------------------------------------------------------------------------
void CPuzzleBoard::ScatterPieces() {
  const size_t count = m_pieces.size();
  if (count == 0) return;
  int left = -(m_width / 2) - kScatterMargin, top = -(m_height / 2) - kScatterMargin;
  int right = m_width / 2 + kScatterMargin, bottom = m_height / 2 + kScatterMargin;
  size_t next = 0;
  auto place = [&](double x, double y) {
    if (next < count)
      m_pieces[next++].SetPosition(D3DXVECTOR3(static_cast<float>(x), static_cast<float>(y), 0));
  };
  while (next < count) {
    const int w = right - left, h = bottom - top;
    const int across = static_cast<int>(w / kScatterSlot), down = static_cast<int>(h / kScatterSlot);
    for (int k = 0; k <= across; ++k) {
      const double x = left + static_cast<double>(k) / across * w;
      place(x, top);
      place(x, bottom);
    }
    for (int k = 1; k < down; ++k) {
      const double y = top + static_cast<double>(k) / down * h;
      place(left, y);
      place(right, y);
    }
    left -= kScatterRingStep;
    top -= kScatterRingStep;
    right += kScatterRingStep;
    bottom += kScatterRingStep;
  }
  for (size_t i = 0; i < count; ++i) {
    const size_t j = static_cast<size_t>(CrtRand()) % count;
    const D3DXVECTOR3 a = m_pieces[i].m_currentPosition, b = m_pieces[j].m_currentPosition;
    m_pieces[i].SetPosition(b);
    m_pieces[j].SetPosition(a);
  }
}

// ---- rebuilding ---------------------------------------------------------------------------------
bool CPuzzleBoard::Rebuild() {
  if (m_pieces.empty()) return false;
  std::vector<std::pair<D3DXVECTOR3, std::uint8_t>> saved;
  saved.reserve(m_pieces.size());
  for (const CPuzzlePiece& piece : m_pieces)
    saved.emplace_back(piece.m_currentPosition, piece.m_quarterTurns);
  const unsigned long long lacks = OutOfMemoryCount();
  CrtSrand(static_cast<std::uint32_t>(m_seed));
  CountingLackOfMemory([&] {
    BuildEdgeShapes();
    BuildMeshes();
  });
  if (OutOfMemoryCount() != lacks) {
    Clear();
    return false;
  }
  for (size_t i = 0; i < m_pieces.size(); ++i) {
    m_pieces[i].SetPosition(saved[i].first);
    m_pieces[i].SetQuarterTurns(saved[i].second);
  }
  return true;
}

// ---- completion ----------------------------------------------------------------------------------
unsigned CPuzzleBoard::CountInteriorSides() const {
  unsigned count = 0;
  for (const CPuzzlePiece& piece : m_pieces)
    for (int side = 0; side < 4; ++side) count += piece.m_edgeIds[side] != 0 ? 1u : 0u;
  return count;
}

unsigned CPuzzleBoard::CountJoinedSides() const {
  unsigned count = 0;
  for (const CPuzzlePiece& piece : m_pieces)
    for (int side = 0; side < 4; ++side)
      count += piece.m_edgeIds[side] != 0 && piece.m_joined[side] ? 1u : 0u;
  return count;
}

void CPuzzleBoard::UpdateCompletion() {
  const unsigned interior = CountInteriorSides();
  m_completion =
      interior == 0 ? 0.0f : static_cast<float>(static_cast<double>(CountJoinedSides()) / interior * 100.0);
}

void CPuzzleBoard::UpdatePieceMatrix(size_t index) {
  if (index < m_meshes.m_renderParams.size()) m_meshes.UpdateSubObjectMatrix(int(index));
}

// ---- rendering -----------------------------------------------------------------------------------
void CPuzzleBoard::CollectPiecesInView(const CKVRViewVolume& volume) {
  const int n = m_pieceCount;
  m_piecesInView.clear();
  const bool all = volume.LetsEverythingThrough() || m_pieceBoxes.size() != size_t(n) ||
                   m_meshes.m_renderParams.size() < size_t(n);
  // The highlight quad in its own frame (puzzle/piece_mesh.h).
  static const ViewBox highlight = [] {
    const D3DXVECTOR3 corners[2] = {{-kHighlightSize / 2, -kHighlightSize / 2, 0},
                                    {kHighlightSize / 2, kHighlightSize / 2, 0}};
    return BoxAround(corners, 2);
  }();
  for (int i = 0; i < n; ++i) {
    bool seen = all || volume.MayTouch(m_meshes.m_renderParams[size_t(i)].m_world, m_pieceBoxes[size_t(i)]);
    const CPuzzlePiece& piece = m_pieces[size_t(i)];
    if (!seen && piece.m_selected) {
      D3DXMATRIX world;
      piece.m_highlight.ComputeWorldMatrix(&world);
      seen = volume.MayTouch(world, highlight);
    }
    if (seen) m_piecesInView.push_back(i);
  }
}

void CPuzzleBoard::Render() {
  IDirect3DDevice9* device = g_Engine.Device();
  const int n = m_pieceCount;
  const size_t subObjects = size_t(m_hasBackSide ? 3 : 2) * size_t(n);
  if (!device || n == 0 || !m_meshes.m_vertexBuffer || m_meshes.m_renderParams.size() != subObjects) return;
  CollectPiecesInView(m_cullToView ? CKVRViewVolume::OfDevice(device) : CKVRViewVolume());
  D3DXMATRIX world;
  auto drawWith = [&](int piece, int subObject) {
    m_meshes.GetSubObjectMatrix(piece, &world);
    device->SetTransform(D3DTS_WORLD, &world);
    m_meshes.RenderSubObject(subObject);
  };
  device->SetTexture(0, m_imageTexture ? m_imageTexture->m_d3dTexture : nullptr);
  device->SetMaterial(m_shinyPieces ? &m_shinyMaterial : &m_matteMaterial);
  g_Engine.SetTextureStageModulate();
  device->SetStreamSource(0, m_meshes.m_vertexBuffer, 0, kVertexStride);
  device->SetFVF(kVertexFormat);
  device->SetIndices(m_meshes.m_indexBuffer);
  for (int i : m_piecesInView) drawWith(i, i);
  device->SetTexture(0, m_edgeTexture.m_d3dTexture);
  device->SetMaterial(&m_matteMaterial);
  for (int i : m_piecesInView) {
    const bool* joined = m_pieces[size_t(i)].m_joined;
    if (!(joined[0] && joined[1] && joined[2] && joined[3])) drawWith(i, n + i);
  }
  if (m_hasBackSide) {
    device->SetTexture(0, m_backTexture.m_d3dTexture);
    for (int i : m_piecesInView) drawWith(i, 2 * n + i);
  }
  for (int i : m_piecesInView) m_pieces[size_t(i)].RenderHighlight();
}

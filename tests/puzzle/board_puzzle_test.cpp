// The puzzle board on the recording device: the order and number of random
// draws, the worked seed-0 board, links and completion, scattering, the
// layout of the multi-object, rebuilding at another definition, refusals,
// the three draw passes, clearing and ownership.
//
// Sections: fixture - draws - geometry - links and completion - scatter -
// sub-objects - rebuild - refusals - render - clearing
#include "puzzle/puzzle_board.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "fresh_engine.h"
#include "platform/clock.h"
#include "platform/crt_random.h"
#include "platform/d3d9/recording/recording_device.h"
#include "puzzle/piece_mesh.h"
#include "refused_calls.h"
#include "testkit.h"
#include "tests/engine/engine_access.h"
#include "vector_print.h"

namespace {

// ---- fixture -------------------------------------------------------------------------
// A 24-bit BMP of one colour.
std::string SolidBmp(int w, int h, unsigned char r, unsigned char g, unsigned char b) {
  const int row = (3 * w + 3) / 4 * 4, size = 54 + row * h;
  std::string f(size_t(size), '\0');
  auto put = [&](int at, int value, int bytes) {
    for (int i = 0; i < bytes; ++i) f[size_t(at + i)] = char((value >> (8 * i)) & 0xFF);
  };
  f[0] = 'B';
  f[1] = 'M';
  put(2, size, 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, w, 4);
  put(22, h, 4);
  put(26, 1, 2);
  put(28, 24, 2);
  put(34, row * h, 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      f[size_t(54 + y * row + 3 * x)] = char(b);
      f[size_t(54 + y * row + 3 * x + 1)] = char(g);
      f[size_t(54 + y * row + 3 * x + 2)] = char(r);
    }
  return f;
}

class BoardTest : public ::testing::Test, public RefusedCallCheck {
 protected:
  void SetUp() override {
    testkit::FreshEngine();
    ASSERT_TRUE(g_Engine.InitDirect3D().success);
    ASSERT_TRUE(g_Engine.CreateDevice(&m_window, true).success);
    m_picture = std::make_unique<CKVRTexture>();
    ASSERT_TRUE(m_picture->CreateBlank(false));
    SetPictureSize(640, 640);
    m_edgePath = m_dir.WriteFile("edge.bmp", SolidBmp(4, 4, 90, 60, 30));
    m_backPath = m_dir.WriteFile("back.bmp", SolidBmp(4, 4, 20, 20, 200));
    m_board = std::make_unique<CPuzzleBoard>();
    m_script.m_log.Clear();
  }
  void TearDown() override {
    CheckRefusedCalls(m_script);
    m_board.reset();
    m_picture.reset();
    g_Engine.Shutdown();
    testkit::FreshEngine();
  }
  void SetPictureSize(UINT w, UINT h) {
    m_picture->m_imageInfo.Width = w;
    m_picture->m_imageInfo.Height = h;
  }
  bool Make(int seed, int columns, int rows, int shape = PieceShapeClassic, bool rotation = false,
            unsigned irregularity = 100, bool backs = false) {
    return m_board->CreateWithSeed(seed, m_picture.get(), columns, rows, rotation, shape, irregularity,
                                   m_edgePath, backs ? m_backPath : "");
  }
  // Render inside a scene, as a frame does. The device keeps its identity
  // view and projection, so the tests of the passes draw every piece.
  void RenderFrame(bool cull = false) {
    m_board->m_cullToView = cull;
    g_Engine.Device()->BeginScene();
    m_board->Render();
    g_Engine.Device()->EndScene();
  }
  CPuzzlePiece& Piece(int r, int c) { return m_board->m_pieces[size_t(r * m_board->m_columns + c)]; }
  const D3DXVECTOR3& Corner(int i, int k) const {
    return m_board->m_corners[size_t(CornerIndex(i, k, m_board->m_columns))];
  }

  ManualClock m_clock;
  RecordingScript m_script;
  ScopedRecordingDevice m_recordingFactory{&m_script};
  RecordingWindow m_window{800, 600};
  testkit::TempDir m_dir;
  std::string m_edgePath, m_backPath;
  std::unique_ptr<CKVRTexture> m_picture;
  std::unique_ptr<CPuzzleBoard> m_board;
};

// The generator after seeding and the corner-grid draws, and after reseeding
// and the edge draws: what a board of this size and shape must consume.
void ReplayCornerDraws(int seed, int columns, int rows) {
  CrtSrand(std::uint32_t(seed));
  for (int i = 0; i <= rows; ++i)
    for (int k = 0; k <= columns; ++k)
      for (bool jitters : {0 < k && k < columns, 0 < i && i < rows})
        if (jitters) CrtRand(), CrtRand();
}
void ReplayEdgeDraws(int seed, int columns, int rows, int shape) {
  CrtSrand(std::uint32_t(seed));
  const int edges = columns * (rows - 1) + (columns - 1) * rows;
  const int perEdge = shape == PieceShapeRandomMix ? 5 : 4;
  for (int i = 0; i < edges * perEdge; ++i) CrtRand();
}

// ---- draws ------------------------------------------------------------------------------
TEST_F(BoardTest, CreateConsumesExactlyTheListedDraws) {
  struct Case {
    int seed, columns, rows, shape;
    bool rotation;
  } cases[] = {
      {0, 3, 3, PieceShapeClassic, false},
      {5, 3, 3, PieceShapeSquare, true},
      {1023, 4, 2, PieceShapeRound, true},
      {77, 5, 3, PieceShapeRandomMix, true},
      {9, 1, 1, PieceShapeClassic, true},
      {300, 2, 1, PieceShapeRandomMix, false},
      {12, 3, 4, 7, true},  // an unknown shape code builds classic edges
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.columns << " x " << c.rows << " shape " << c.shape);
    ASSERT_TRUE(Make(c.seed, c.columns, c.rows, c.shape, c.rotation));
    const std::uint32_t after = CrtRandomState();
    ReplayCornerDraws(c.seed, c.columns, c.rows);
    ReplayEdgeDraws(c.seed, c.columns, c.rows, c.shape);
    for (const CPuzzlePiece& p : m_board->m_pieces) {
      const int turns = c.rotation ? CrtRand() % 4 : 0;
      EXPECT_EQ(p.m_quarterTurns, turns);
      EXPECT_FLOAT_EQ(m_board->m_meshes.m_renderParams[size_t(p.m_id - 1)].m_rotation.z,
                      float(turns) * 1.5707964f);
    }
    EXPECT_EQ(after, CrtRandomState());
    EXPECT_EQ(m_board->m_seed, c.seed);
  }
}

TEST_F(BoardTest, SeedIsTheLowTenBitsOfTheWallClockAndRebuildsTheSameBoard) {
  m_clock.SetWallTime(7 * 1024 + 517);
  ASSERT_TRUE(m_board->Create(m_picture.get(), 4, 3, true, PieceShapeRandomMix, 60, m_edgePath, ""));
  EXPECT_EQ(m_board->m_seed, 517);
  CPuzzleBoard again;
  ASSERT_TRUE(again.Create(m_picture.get(), 4, 3, true, PieceShapeRandomMix, 60, m_edgePath, ""));
  EXPECT_EQ(again.m_corners, m_board->m_corners);
  for (size_t i = 0; i < again.m_horizontalEdges.size(); ++i)
    EXPECT_EQ(again.m_horizontalEdges[i].m_points, m_board->m_horizontalEdges[i].m_points);
  for (size_t i = 0; i < again.m_verticalEdges.size(); ++i)
    EXPECT_EQ(again.m_verticalEdges[i].m_points, m_board->m_verticalEdges[i].m_points);
  for (size_t i = 0; i < again.m_pieces.size(); ++i)
    EXPECT_EQ(again.m_pieces[i].m_quarterTurns, m_board->m_pieces[i].m_quarterTurns);
  again.Clear();
  // A given seed keeps its low ten bits only.
  ASSERT_TRUE(Make(1024 + 3, 3, 3));
  EXPECT_EQ(m_board->m_seed, 3);
}

// ---- geometry -------------------------------------------------------------------------------
TEST_F(BoardTest, SeedZeroThreeByThreeBoardHasTheWorkedCorners) {
  SetPictureSize(300, 300);
  ASSERT_TRUE(Make(0, 3, 3, PieceShapeClassic, false, 100));
  EXPECT_EQ(m_board->m_width, 75);
  EXPECT_EQ(m_board->m_height, 75);
  EXPECT_FLOAT_EQ(m_board->m_irregularity, 100.0f);
  ASSERT_EQ(m_board->m_corners.size(), 16u);
  EXPECT_NEAR(Corner(0, 1).x, 24.05f, 1e-5f);
  EXPECT_EQ(Corner(0, 1).y, 0.0f);
  EXPECT_EQ(Corner(1, 0).x, 0.0f);
  EXPECT_NEAR(Corner(1, 0).y, 27.35f, 1e-5f);
  EXPECT_NEAR(Corner(1, 1).x, 26.75f, 1e-5f);
  EXPECT_NEAR(Corner(1, 1).y, 24.4f, 1e-5f);
  // The first interior edge (grid line 1, column 0) drew the tab -2.4.
  EXPECT_EQ(m_board->m_horizontalEdges[size_t(HorizontalEdgeIndex(1, 0, 3))].m_tabSide, -1);
  // Borders are straight; the left corners have x 0 and the top ones y 0.
  for (int i = 0; i <= 3; ++i) EXPECT_EQ(Corner(i, 0).x, 0.0f);
  for (int k = 0; k <= 3; ++k) EXPECT_EQ(Corner(0, k).y, 0.0f);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(m_board->m_horizontalEdges[size_t(HorizontalEdgeIndex(0, k, 3))].m_kind, EdgeKindStraight);
    EXPECT_EQ(m_board->m_verticalEdges[size_t(VerticalEdgeIndex(k, 3, 3))].m_kind, EdgeKindStraight);
  }
  // Homes are the corner means; pieces start there.
  const CPuzzlePiece& p = Piece(1, 1);
  const D3DXVECTOR3 home = (Corner(1, 1) + Corner(1, 2) + Corner(2, 1) + Corner(2, 2)) * 0.25f;
  EXPECT_EQ(p.m_homePosition, home);
  EXPECT_EQ(p.m_currentPosition, home);
  EXPECT_EQ(m_board->m_meshes.m_renderParams[4].m_position, home);
}

TEST_F(BoardTest, HeightFollowsThePictureNotTheTexture) {
  struct Case {
    UINT w, h;
    int columns, height;
  } cases[] = {{1024, 768, 10, 187}, {800, 600, 12, 224}, {480, 640, 3, 100}};
  for (const Case& c : cases) {
    SetPictureSize(c.w, c.h);  // the texture itself is 32 x 32
    ASSERT_TRUE(Make(1, c.columns, 3));
    EXPECT_EQ(m_board->m_height, c.height);
  }
}

TEST_F(BoardTest, IrregularityZeroGivesARegularGrid) {
  SetPictureSize(400, 300);
  ASSERT_TRUE(Make(11, 4, 3, PieceShapeClassic, false, 0));
  for (int i = 0; i <= 3; ++i)
    for (int k = 0; k <= 4; ++k) {
      EXPECT_EQ(Corner(i, k).x, float(k * 25));
      EXPECT_EQ(Corner(i, k).y, float(double(i) / 3 * m_board->m_height));
    }
}

// ---- links and completion ------------------------------------------------------------------------
TEST_F(BoardTest, PiecesShareEdgeIdsWithTheirNeighbours) {
  ASSERT_TRUE(Make(2, 3, 3));
  struct Case {
    int r, c, side, id, nr, nc;
  } cases[] = {
      {0, 0, 1, 100001, 0, 1}, {0, 1, 3, 100001, 0, 0}, {0, 1, 1, 100002, 0, 2},
      {2, 1, 1, 100006, 2, 2}, {0, 0, 2, 200001, 1, 0}, {1, 0, 0, 200001, 0, 0},
      {1, 2, 2, 200006, 2, 2}, {0, 0, 0, 0, -1, -1},    {2, 2, 1, 0, -1, -1},
  };
  for (const Case& k : cases) {
    const CPuzzlePiece& p = Piece(k.r, k.c);
    EXPECT_EQ(p.m_edgeIds[k.side], k.id) << k.r << "," << k.c << " side " << k.side;
    EXPECT_EQ(p.m_neighbours[k.side], k.nr < 0 ? nullptr : &Piece(k.nr, k.nc));
  }
  for (int i = 0; i < 9; ++i) {
    const CPuzzlePiece& p = m_board->m_pieces[size_t(i)];
    EXPECT_EQ(p.m_id, i + 1);
    EXPECT_EQ(p.m_row, i / 3);
    EXPECT_EQ(p.m_column, i % 3);
    EXPECT_EQ(p.m_board, m_board.get());
  }
}

TEST_F(BoardTest, CompletionCountsJoinedInteriorSides) {
  ASSERT_TRUE(Make(2, 3, 3));
  EXPECT_EQ(m_board->CountInteriorSides(), 24u);
  // Join the six horizontal pairs.
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 2; ++c) Piece(r, c).m_joined[1] = Piece(r, c + 1).m_joined[3] = true;
  Piece(0, 0).m_joined[0] = true;  // a border side never counts
  m_board->UpdateCompletion();
  EXPECT_EQ(m_board->CountJoinedSides(), 12u);
  EXPECT_FLOAT_EQ(m_board->m_completion, 50.0f);
  for (CPuzzlePiece& p : m_board->m_pieces)
    for (bool& j : p.m_joined) j = true;
  m_board->UpdateCompletion();
  EXPECT_FLOAT_EQ(m_board->m_completion, 100.0f);
  // A board without interior sides is 0 % done, not 0 / 0.
  ASSERT_TRUE(Make(2, 1, 1));
  EXPECT_EQ(m_board->CountInteriorSides(), 0u);
  m_board->UpdateCompletion();
  EXPECT_EQ(m_board->m_completion, 0.0f);
  ASSERT_TRUE(Make(2, 4, 2));
  EXPECT_EQ(m_board->CountInteriorSides(), 2u * (3 * 2 + 4 * 1));
}

// ---- scatter ----------------------------------------------------------------------------------
// Positions after the shuffle that ScatterPieces makes from the generator
// state it starts with, given the ring slots in placing order.
std::vector<D3DXVECTOR3> Shuffled(std::vector<D3DXVECTOR3> slots, std::uint32_t state) {
  CrtSetRandomState(state);
  for (size_t i = 0; i < slots.size(); ++i) std::swap(slots[i], slots[size_t(CrtRand()) % slots.size()]);
  return slots;
}

TEST_F(BoardTest, ScatterOfASquareThreeByThreeBoard) {
  ASSERT_TRUE(Make(0, 3, 3, PieceShapeSquare));
  const std::uint32_t before = CrtRandomState();
  m_board->ScatterPieces();
  const std::uint32_t after = CrtRandomState();
  const std::vector<D3DXVECTOR3> slots = {{-87, -87, 0}, {-87, 87, 0}, {-29, -87, 0},
                                          {-29, 87, 0},  {29, -87, 0}, {29, 87, 0},
                                          {87, -87, 0},  {87, 87, 0},  {-87, -29, 0}};
  const std::vector<D3DXVECTOR3> expected = Shuffled(slots, before);
  EXPECT_EQ(after, CrtRandomState());  // exactly one draw per piece
  for (size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(m_board->m_pieces[i].m_currentPosition, expected[i]) << "piece " << i;
    EXPECT_EQ(m_board->m_meshes.m_renderParams[9 + i].m_position, expected[i]);
  }
}

TEST_F(BoardTest, ScatterFillsRingAfterRing) {
  ASSERT_TRUE(Make(4, 10, 10));
  m_board->ScatterPieces();
  std::vector<D3DXVECTOR3> placed;
  for (const CPuzzlePiece& p : m_board->m_pieces) placed.push_back(p.m_currentPosition);
  auto has = [&](float x, float y) {
    return std::count(placed.begin(), placed.end(), D3DXVECTOR3(x, y, 0)) == 1;
  };
  // The first ring: 32 slots of 350 / 8 round -175 .. 175.
  for (int k = 0; k <= 8; ++k) {
    const float v = float(-175 + double(k) / 8 * 350);
    EXPECT_TRUE(has(v, -175) && has(v, 175)) << v;
    if (k > 0 && k < 8) {
      EXPECT_TRUE(has(-175, v) && has(175, v)) << v;
    }
  }
  // The second ring starts at (-218, -218) with 9 gaps of 436 / 9.
  EXPECT_TRUE(has(-218, -218));
  EXPECT_TRUE(has(float(-218 + 436.0 / 9), -218));
  EXPECT_TRUE(has(float(-218 + 8 * 436.0 / 9), 218));
  // Nothing lands inside the free rectangle round the board.
  for (const D3DXVECTOR3& p : placed) EXPECT_TRUE(std::fabs(p.x) >= 175 || std::fabs(p.y) >= 175);
}

// ---- sub-objects -------------------------------------------------------------------------------
TEST_F(BoardTest, SubObjectsAreTopsThenSidesThenBacks) {
  for (bool backs : {false, true}) {
    SCOPED_TRACE(backs ? "with backs" : "without backs");
    ASSERT_TRUE(Make(8, 4, 3, PieceShapeClassic, true, 100, backs));
    EXPECT_EQ(m_board->m_hasBackSide, backs);
    const int n = 12;
    const auto& params = m_board->m_meshes.m_renderParams;
    ASSERT_EQ(params.size(), size_t((backs ? 3 : 2) * n));
    for (int i = 0; i < n; ++i) {
      const CPuzzlePiece& p = m_board->m_pieces[size_t(i)];
      int wallPoints = 0;
      for (const CPuzzleEdge& e : p.m_edges) wallPoints += int(e.m_points.size());
      EXPECT_EQ(params[size_t(n + i)].m_vertexCount, 2 * wallPoints);
      EXPECT_EQ(params[size_t(n + i)].m_primitiveCount, int(p.SideWallTriangles().size()));
      if (backs) {
        EXPECT_EQ(params[size_t(2 * n + i)].m_vertexCount, 3 * int(p.m_topTriangles.size()));
      }
      EXPECT_GT(params[size_t(i)].m_radius, 12.5f);
      EXPECT_LT(params[size_t(i)].m_radius, 30.0f);  // knobs reach out
      for (int s : {i, n + i}) EXPECT_EQ(params[size_t(s)].m_position, p.m_currentPosition);
    }
    // Ranges follow each other in the shared buffers.
    for (size_t j = 1; j < params.size(); ++j)
      EXPECT_EQ(params[j].m_baseVertex, params[j - 1].m_baseVertex + params[j - 1].m_vertexCount);
  }
}

// The board writes each piece's meshes straight into the shared buffers;
// the result must be what packing all the meshes with the multi-object's own
// builder gives, byte for byte, for every shape and definition.
TEST_F(BoardTest, StreamedMeshesEqualTheMultiObjectsOwnPacking) {
  for (int shape : {PieceShapeClassic, PieceShapeSquare, PieceShapeRound, PieceShapeRandomMix})
    for (int definition : {1, 2, 3, 4, 9}) {
      SCOPED_TRACE(testing::Message() << "shape " << shape << " definition " << definition);
      m_board->m_definition = definition;
      ASSERT_TRUE(Make(13, 4, 3, shape, true, 100, true));
      CKVR3DMultiObject& built = m_board->m_meshes;
      ASSERT_NE(built.m_vertexBuffer, nullptr);
      const size_t n = m_board->m_pieces.size();
      std::vector<CKVR3DObjectCreateParam> params(3 * n);
      for (size_t i = 0; i < n; ++i) {
        const CPuzzlePiece& p = m_board->m_pieces[i];
        PieceMeshInput input;
        for (int s = 0; s < 4; ++s) input.edges[size_t(s)] = &p.m_edges[s];
        input.home = p.m_homePosition;
        input.definition = definition;
        input.boardWidth = m_board->m_width;
        input.boardHeight = m_board->m_height;
        input.withBack = true;
        PieceMeshOutput out;
        ASSERT_TRUE(BuildPieceGeometry(input, out));
        EXPECT_EQ(out.topTriangles.size(), p.m_topTriangles.size());
        params[i] = out.top;
        params[n + i] = out.side;
        params[2 * n + i] = out.back;
      }
      CKVR3DMultiObject reference;
      ASSERT_TRUE(reference.BuildFromCreateParams(params));
      ASSERT_EQ(reference.m_renderParams.size(), built.m_renderParams.size());
      for (size_t j = 0; j < params.size(); ++j) {
        const CKVR3DObjectRenderParam &a = reference.m_renderParams[j], &b = built.m_renderParams[j];
        EXPECT_EQ(a.m_baseVertex, b.m_baseVertex);
        EXPECT_EQ(a.m_vertexCount, b.m_vertexCount);
        EXPECT_EQ(a.m_lastVertex, b.m_lastVertex);
        EXPECT_EQ(a.m_startIndex, b.m_startIndex);
        EXPECT_EQ(a.m_indexCount, b.m_indexCount);
        EXPECT_EQ(a.m_primitiveCount, b.m_primitiveCount);
      }
      ASSERT_EQ(reference.m_vertexCount, built.m_vertexCount);
      ASSERT_EQ(reference.m_indexCount, built.m_indexCount);
      EXPECT_EQ(reference.m_primitiveCount, built.m_primitiveCount);
      ASSERT_TRUE(reference.LockBuffers() && built.LockBuffers());
      EXPECT_EQ(std::memcmp(reference.m_lockedVertices, built.m_lockedVertices,
                            size_t(built.m_vertexCount) * sizeof(VertexPNDT)),
                0);
      EXPECT_EQ(std::memcmp(reference.m_lockedIndices, built.m_lockedIndices,
                            size_t(built.m_indexCount) * sizeof(WORD)),
                0);
      reference.UnlockBuffers();
      built.UnlockBuffers();
      reference.ReleaseBuffers();
    }
}

TEST_F(BoardTest, SquarePiecesOfABoardHaveTheSquareMesh) {
  ASSERT_TRUE(Make(3, 3, 3, PieceShapeSquare, false, 100, true));
  for (int i = 0; i < 9; ++i) {
    const auto& params = m_board->m_meshes.m_renderParams;
    EXPECT_EQ(params[size_t(i)].m_vertexCount, 69);
    EXPECT_EQ(params[size_t(i)].m_primitiveCount, 84);
    EXPECT_EQ(params[size_t(9 + i)].m_vertexCount, 32);
    EXPECT_EQ(params[size_t(18 + i)].m_vertexCount, 108);
  }
}

// ---- rebuild ------------------------------------------------------------------------------------
TEST_F(BoardTest, RebuildAtAnotherDefinitionKeepsShapesPlacesAndTurns) {
  const int seed = 41;
  ASSERT_TRUE(Make(seed, 5, 4, PieceShapeRandomMix, true, 80));
  m_board->ScatterPieces();
  Piece(1, 1).m_joined[1] = Piece(1, 2).m_joined[3] = true;
  Piece(2, 3).SetPosition(D3DXVECTOR3(40, -30, 3 * kLayerHeight));
  Piece(2, 3).m_layer = 3;
  Piece(0, 4).m_selected = true;
  std::vector<CPuzzleEdge> before = m_board->m_horizontalEdges;
  before.insert(before.end(), m_board->m_verticalEdges.begin(), m_board->m_verticalEdges.end());
  std::vector<D3DXVECTOR3> positions;
  std::vector<int> turns;
  for (const CPuzzlePiece& p : m_board->m_pieces) {
    positions.push_back(p.m_currentPosition);
    turns.push_back(p.m_quarterTurns);
  }
  const std::vector<D3DXVECTOR3> corners = m_board->m_corners;
  const int topVertices = m_board->m_meshes.m_renderParams[6].m_vertexCount;

  m_board->m_definition = 1;
  ASSERT_TRUE(m_board->Rebuild());
  const std::uint32_t after = CrtRandomState();
  ReplayEdgeDraws(seed, 5, 4, PieceShapeRandomMix);
  EXPECT_EQ(after, CrtRandomState());
  std::vector<CPuzzleEdge> rebuilt = m_board->m_horizontalEdges;
  rebuilt.insert(rebuilt.end(), m_board->m_verticalEdges.begin(), m_board->m_verticalEdges.end());
  int fewer = 0;
  for (size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(rebuilt[i].m_kind, before[i].m_kind);
    EXPECT_EQ(rebuilt[i].m_tabSide, before[i].m_tabSide);
    EXPECT_EQ(rebuilt[i].m_start, before[i].m_start);
    EXPECT_EQ(rebuilt[i].m_end, before[i].m_end);
    EXPECT_EQ(rebuilt[i].m_tabOffset, before[i].m_tabOffset);
    EXPECT_EQ(rebuilt[i].m_definition, before[i].m_kind == EdgeKindStraight ? rebuilt[i].m_definition : 1);
    fewer += rebuilt[i].m_points.size() < before[i].m_points.size();
  }
  EXPECT_GT(fewer, 0);
  EXPECT_LT(m_board->m_meshes.m_renderParams[6].m_vertexCount, topVertices);
  EXPECT_EQ(m_board->m_corners, corners);
  for (size_t i = 0; i < positions.size(); ++i) {
    const CPuzzlePiece& p = m_board->m_pieces[i];
    EXPECT_EQ(p.m_currentPosition, positions[i]);
    EXPECT_EQ(p.m_quarterTurns, turns[i]);
    EXPECT_EQ(m_board->m_meshes.m_renderParams[i].m_position, positions[i]);
    EXPECT_EQ(p.m_definition, 1);
  }
  EXPECT_TRUE(Piece(1, 1).m_joined[1] && Piece(1, 2).m_joined[3]);
  EXPECT_EQ(Piece(2, 3).m_layer, 3);
  EXPECT_TRUE(Piece(0, 4).m_selected);
  // Back at the first definition the outlines are the first ones again.
  m_board->m_definition = 3;
  ASSERT_TRUE(m_board->Rebuild());
  for (size_t i = 0; i < m_board->m_horizontalEdges.size(); ++i)
    EXPECT_EQ(m_board->m_horizontalEdges[i].m_points, before[i].m_points);
}

// ---- refusals ------------------------------------------------------------------------------------
TEST_F(BoardTest, CreateRefusesWhatNoBoardCanBeAndKeepsTheOldOne) {
  ASSERT_TRUE(Make(6, 3, 3));
  // 2,000 pieces at aspect 0.1 come out as 15 x 141 = 2,115.
  EXPECT_FALSE(Make(6, 15, 141));
  EXPECT_FALSE(Make(6, 0, 3));
  EXPECT_FALSE(Make(6, 3, -2));
  EXPECT_FALSE(m_board->CreateWithSeed(6, nullptr, 3, 3, false, PieceShapeClassic, 50, m_edgePath, ""));
  SetPictureSize(0, 480);  // a picture that never decoded
  EXPECT_FALSE(Make(6, 4, 4));
  EXPECT_EQ(m_board->m_pieceCount, 9);
  EXPECT_EQ(m_board->m_meshes.m_renderParams.size(), 18u);
  SetPictureSize(640, 640);
  EXPECT_FALSE(CPuzzleBoard().Rebuild());          // nothing to rebuild
  ASSERT_TRUE(Make(6, 40, 50, PieceShapeSquare));  // the largest board
  EXPECT_EQ(m_board->m_pieceCount, 2000);
}

// ---- render -------------------------------------------------------------------------------------
TEST_F(BoardTest, RenderDrawsTopsSidesAndBacksInThreePasses) {
  ASSERT_TRUE(Make(6, 3, 3, PieceShapeClassic, true, 100, true));
  for (bool& j : Piece(1, 1).m_joined) j = true;           // no walls for this one
  for (int s : {0, 1, 2}) Piece(0, 1).m_joined[s] = true;  // three sides: walls stay
  m_script.m_log.Clear();
  RenderFrame();
  const CallLog& log = m_script.m_log;
  EXPECT_EQ(log.Count("DrawIndexedPrimitive"), 9 + 8 + 9) << log.Dump();
  EXPECT_EQ(log.Count("DrawIndexedPrimitive") - log.Count("DrawIndexedPrimitive 4"), 0);
  for (const std::string& e : log.Matching("DrawIndexedPrimitive"))
    EXPECT_EQ(e.find("INVALID"), std::string::npos) << e;
  const std::vector<std::string> textures = log.Matching("SetTexture 0");
  ASSERT_EQ(textures.size(), 3u);
  EXPECT_EQ(textures[0], "SetTexture 0 tex1");  // the picture
  EXPECT_NE(textures[1], textures[2]);
  EXPECT_EQ(textures[1].find("null"), std::string::npos);  // the edge texture loaded
  EXPECT_EQ(log.Count("SetFVF 338"), 1);
  EXPECT_EQ(log.Count("SetTransform 256"), 26);  // every draw with its piece's world
  // A selected piece adds its highlight.
  Piece(2, 2).m_selected = true;
  m_script.m_log.Clear();
  RenderFrame();
  EXPECT_EQ(log.Count("DrawIndexedPrimitive"), 27);
  // Without a back path there is no third pass.
  ASSERT_TRUE(Make(6, 3, 3));
  m_script.m_log.Clear();
  RenderFrame();
  EXPECT_EQ(log.Count("DrawIndexedPrimitive"), 18);
  EXPECT_EQ(log.Matching("SetTexture 0").size(), 2u);
  // An empty board draws nothing.
  m_board->Clear();
  m_script.m_log.Clear();
  RenderFrame();
  EXPECT_EQ(log.Count("DrawIndexedPrimitive"), 0);
}

// The camera straight down over piece (1, 2) of a 5 x 4 board sees
// about three by three pieces: only those are drawn, tops then walls, each pass in
// index order; a piece whose centre is in view is among them, one far out
// of view is not, and a piece just beside the view is drawn while its
// selection highlight reaches in.
TEST_F(BoardTest, RenderDrawsThePiecesInViewInTheirOrder) {
  ASSERT_TRUE(Make(6, 5, 4, PieceShapeClassic, false, 0));
  const D3DXVECTOR3 at = Piece(1, 2).m_currentPosition, eye = at + D3DXVECTOR3(0, 0, 40);
  const D3DXVECTOR3 up(0, 1, 0);
  D3DXMATRIX view, projection, clip;
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, 4.0f / 3.0f, 1, 1000);
  clip = view * projection;
  g_Engine.Device()->SetTransform(D3DTS_VIEW, &view);
  g_Engine.Device()->SetTransform(D3DTS_PROJECTION, &projection);
  CPuzzlePiece& far = Piece(3, 0);
  far.SetPosition(D3DXVECTOR3(-2000, 0, 0));
  m_script.m_log.Clear();
  RenderFrame(true);
  const std::vector<int>& seen = m_board->m_piecesInView;
  ASSERT_GE(seen.size(), 3u);
  EXPECT_LT(seen.size(), 12u);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(std::count(seen.begin(), seen.end(), far.m_id - 1), 0);
  for (const CPuzzlePiece& piece : m_board->m_pieces) {
    D3DXVECTOR3 s;
    D3DXVec3TransformCoord(&s, &piece.m_currentPosition, &clip);
    if (std::fabs(s.x) < 1 && std::fabs(s.y) < 1) {
      EXPECT_EQ(std::count(seen.begin(), seen.end(), piece.m_id - 1), 1) << piece.m_id;
    }
  }
  std::vector<std::string> expected;
  const int n = m_board->m_pieceCount;
  for (int pass = 0; pass < 2; ++pass)
    for (int i : seen) {
      const CKVR3DObjectRenderParam& r = m_board->m_meshes.m_renderParams[size_t(pass * n + i)];
      expected.push_back("DrawIndexedPrimitive 4 " + std::to_string(r.m_baseVertex) + " 0 " +
                         std::to_string(r.m_vertexCount) + " " + std::to_string(r.m_startIndex) + " " +
                         std::to_string(r.m_primitiveCount));
    }
  EXPECT_EQ(m_script.m_log.Matching("DrawIndexedPrimitive"), expected);

  // Piece (3, 4) slid out of view to the right, half a unit at a time: the
  // last place where it is still drawn because it is selected lies beyond
  // the last where its own meshes are.
  CPuzzlePiece& edge = Piece(3, 4);
  const int index = edge.m_id - 1;
  auto inViewAt = [&](float x, bool selected) {
    edge.SetPosition(D3DXVECTOR3(x, at.y, 0));
    edge.m_selected = selected;
    m_board->CollectPiecesInView(CKVRViewVolume(view, projection));
    return std::count(seen.begin(), seen.end(), index) == 1;
  };
  float lastPlain = at.x, lastSelected = at.x;
  for (float x = at.x; x < at.x + 150; x += 0.5f) {
    if (inViewAt(x, false)) lastPlain = x;
    if (inViewAt(x, true)) lastSelected = x;
  }
  EXPECT_GT(lastPlain, at.x + 30);
  EXPECT_LT(lastPlain, at.x + 100);
  EXPECT_GT(lastSelected, lastPlain + 1);
  EXPECT_TRUE(inViewAt(lastSelected, true));
  EXPECT_FALSE(inViewAt(lastSelected, false));
}

TEST_F(BoardTest, ShinyTopsUseTheShinyMaterial) {
  ASSERT_TRUE(Make(6, 3, 3));
  EXPECT_FLOAT_EQ(m_board->m_shinyMaterial.Power, 135.0f);
  EXPECT_FLOAT_EQ(m_board->m_shinyMaterial.Specular.r, 0.8f);
  EXPECT_FLOAT_EQ(m_board->m_matteMaterial.Ambient.g, 0.7f);
  EXPECT_FLOAT_EQ(m_board->m_matteMaterial.Specular.a, 0.0f);
  // The last material set is the matte one of the sides, whatever the tops.
  RenderFrame();
  D3DMATERIAL9 m;
  g_Engine.Device()->GetMaterial(&m);
  EXPECT_EQ(m.Power, 0.0f);
}

// A device that refuses the buffers (or their lock) leaves a board whose
// pieces have their geometry and places but draw nothing.
TEST_F(BoardTest, WithoutBuffersTheBoardDrawsNothing) {
  for (int failure = 0; failure < 2; ++failure) {
    m_script.m_failResourceCreation = failure == 0;
    m_script.m_failAllLocks = failure == 1;
    ASSERT_TRUE(Make(6, 3, 3));
    EXPECT_EQ(m_board->m_meshes.m_vertexBuffer, nullptr);
    EXPECT_FALSE(Piece(1, 1).m_topTriangles.empty());
    m_board->ScatterPieces();
    m_script.m_failResourceCreation = m_script.m_failAllLocks = false;
    m_script.m_log.Clear();
    RenderFrame();
    EXPECT_EQ(m_script.m_log.Count("DrawIndexedPrimitive"), 0);
    // Another definition with a willing device brings the meshes back.
    m_board->m_definition = 2;
    ASSERT_TRUE(m_board->Rebuild());
    EXPECT_NE(m_board->m_meshes.m_vertexBuffer, nullptr);
  }
}

// ---- clearing ----------------------------------------------------------------------------------
TEST_F(BoardTest, ClearEmptiesTheBoardAndKeepsTheChoices) {
  m_board->m_definition = 2;
  m_board->m_shinyPieces = false;
  ASSERT_TRUE(Make(6, 3, 3, PieceShapeRound, true, 100, true));
  m_board->Clear();
  EXPECT_TRUE(m_board->m_pieces.empty() && m_board->m_corners.empty());
  EXPECT_TRUE(m_board->m_horizontalEdges.empty() && m_board->m_verticalEdges.empty());
  EXPECT_EQ(m_board->m_meshes.m_vertexBuffer, nullptr);
  EXPECT_EQ(m_board->m_edgeTexture.m_d3dTexture, nullptr);
  EXPECT_EQ(m_board->m_backTexture.m_d3dTexture, nullptr);
  EXPECT_EQ(m_board->m_imageTexture, nullptr);
  EXPECT_FALSE(m_board->m_hasBackSide);
  EXPECT_EQ(m_board->m_seed + m_board->m_columns + m_board->m_rows + m_board->m_width, 0);
  EXPECT_EQ(m_board->m_shape, PieceShapeRound);
  EXPECT_EQ(m_board->m_definition, 2);
  EXPECT_FALSE(m_board->m_shinyPieces);
  m_board->Clear();  // twice is harmless
  ASSERT_TRUE(Make(6, 3, 3));
  EXPECT_EQ(m_board->m_pieces.size(), 9u);
}

// An owner that forgets Clear: the destructor frees the buffers and takes
// the texture records out of the engine's list (the leak checker of the
// sanitizer build catches what is left).
TEST_F(BoardTest, DestroyingAnUnclearedBoardReleasesEverything) {
  ASSERT_TRUE(Make(6, 4, 4, PieceShapeClassic, false, 100, true));
  const CKVRTexture* edge = &m_board->m_edgeTexture;
  m_board.reset();
  EXPECT_EQ(std::count(Inside(g_Engine).Textures().begin(), Inside(g_Engine).Textures().end(), edge), 0);
  m_board = std::make_unique<CPuzzleBoard>();
}

}  // namespace

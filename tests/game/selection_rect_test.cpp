#include <gtest/gtest.h>

#include "engine/draw_resources.h"
#include "game/selection_rect.h"
#include "puzzle/puzzle_board.h"
#include "tests/engine/engine_fixture.h"

namespace {
class SelectionRectTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartEngine();
    ASSERT_TRUE(m_rect.Create(&m_fill));
    m_rect.SetCorners(0, 0, 0, 0);
  }
  VertexPNDT Vertex(int i) {
    EXPECT_TRUE(m_rect.m_quad.LockBuffers());
    const VertexPNDT v = m_rect.m_quad.m_lockedVertices[i];
    m_rect.m_quad.UnlockBuffers();
    return v;
  }
  CKVRTexture m_fill;
  CSelectionRect m_rect;
};
}  // namespace

TEST_F(SelectionRectTest, QuadFollowsTheCornersJustAboveTheTable) {
  m_rect.SetCorners(10, 20, -30, 40);  // dragged to the left: the winding flips
  const float expected[4][4] = {{10, 20, 0, 0}, {-30, 20, 1, 0}, {-30, 40, 1, 1}, {10, 40, 0, 1}};
  for (int i = 0; i < 4; ++i) {
    const VertexPNDT v = Vertex(i);
    EXPECT_EQ(v.x, expected[i][0]) << i;
    EXPECT_EQ(v.y, expected[i][1]) << i;
    EXPECT_EQ(v.z, 0.25f) << i;
    EXPECT_EQ(v.u, expected[i][2]) << i;
    EXPECT_EQ(v.v, expected[i][3]) << i;
    EXPECT_EQ(v.nz, 1.0f) << i;
  }
  EXPECT_EQ(m_rect.m_quad.m_primitiveCount, 2);
  EXPECT_EQ(m_rect.m_quad.m_indexCount, 6);
}

TEST_F(SelectionRectTest, FailedLockKeepsOnlyTheNewCorners) {
  m_rect.SetCorners(1, 2, 3, 4);
  m_script.m_failAllLocks = true;
  m_rect.SetCorners(5, 6, 7, 8);
  EXPECT_EQ(m_rect.m_x1, 5);
  EXPECT_EQ(m_rect.m_y2, 8);
  m_script.m_failAllLocks = false;
  EXPECT_EQ(Vertex(0).x, 1);
}

TEST_F(SelectionRectTest, DrawsBlendedFromBothSidesAndRestoresCullingAndBlending) {
  m_rect.SetCorners(0, 0, 10, 10);
  ASSERT_TRUE(g_Engine.BeginFrame());
  m_script.m_log.Clear();
  m_rect.Render();
  const CallLog& log = Log();
  const auto state = [&](D3DRENDERSTATETYPE s, DWORD v) {
    return log.IndexOf("SetRenderState " + std::to_string(s) + " " + std::to_string(v));
  };
  const std::vector<std::string> draws = log.Matching("DrawIndexedPrimitive");
  ASSERT_EQ(draws.size(), 1u) << log.Dump();
  const int draw = log.IndexOf(draws[0]);
  const int cullNone = state(D3DRS_CULLMODE, D3DCULL_NONE), cullCcw = state(D3DRS_CULLMODE, D3DCULL_CCW);
  const int blendOn = state(D3DRS_ALPHABLENDENABLE, 1), blendOff = state(D3DRS_ALPHABLENDENABLE, 0);
  ASSERT_GE(cullNone, 0) << log.Dump();
  ASSERT_GE(blendOn, 0) << log.Dump();
  EXPECT_LT(cullNone, draw);
  EXPECT_LT(blendOn, draw);
  EXPECT_LT(draw, blendOff);
  EXPECT_LT(draw, cullCcw);
  EXPECT_EQ(RenderState(D3DRS_SRCBLEND), DWORD(D3DBLEND_SRCALPHA));
  EXPECT_EQ(RenderState(D3DRS_DESTBLEND), DWORD(D3DBLEND_INVSRCALPHA));
  DWORD alphaArg = 0;
  g_Engine.Device()->GetTextureStageState(0, D3DTSS_ALPHAARG1, &alphaArg);
  EXPECT_EQ(alphaArg, DWORD(D3DTA_TEXTURE));
}

TEST_F(SelectionRectTest, EnclosesPieceCentresStrictlyInsideInEitherCornerOrder) {
  CPuzzleBoard board;
  board.m_pieces.resize(5);
  const D3DXVECTOR3 at[5] = {{5, 5, 0}, {0, 5, 0}, {10, 9.99f, 1.5f}, {9.99f, 9.99f, 3}, {-1, 5, 0}};
  for (int i = 0; i < 5; ++i) board.m_pieces[size_t(i)].m_currentPosition = at[i];
  PieceGroup inside{&board.m_pieces[4]};  // emptied first
  const struct {
    float x1, y1, x2, y2;
    std::vector<int> expected;
  } cases[] = {
      {0, 0, 10, 10, {0, 3}},                     // pieces on an edge (x = 0, x = 10) are outside
      {10, 10, 0, 0, {0, 3}},                     // the same band dragged the other way
      {10, 0, 0, 10, {0, 3}}, {0, 0, 0, 10, {}},  // zero width
      {-5, 5, 20, 5, {}},                         // zero height
  };
  for (const auto& c : cases) {
    m_rect.SetCorners(c.x1, c.y1, c.x2, c.y2);
    m_rect.CollectPiecesInside(board, inside);
    std::vector<int> got;
    for (CPuzzlePiece* p : inside) got.push_back(int(p - board.m_pieces.data()));
    EXPECT_EQ(got, c.expected) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
  }
}

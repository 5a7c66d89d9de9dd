// Picking a piece by a ray, and the selection highlight it draws.
#include <gtest/gtest.h>

#include <random>

#include "engine/draw_resources.h"
#include "tests/engine/engine_fixture.h"
#include "tests/puzzle/piece_test_fixture.h"

namespace {

const D3DXVECTOR3 kDown(0, 0, -1);

struct RayCase {
  const char* name;
  D3DXVECTOR3 origin, direction;
  bool hits;
};

TEST(PieceHitTest, RaysThroughTopWallsAndBeside) {
  HandBoard board(1, 1);
  CPuzzlePiece& p = board.At(0, 0);
  p.SetQuarterTurns(1);
  board.Put(p, 100, 50, 2);  // z 3: top at 4, walls 3..4
  const RayCase cases[] = {
      {"straight down the middle", {100, 50, 90}, kDown, true},
      {"down the outer strip of the top", {112.3f, 37.8f, 90}, kDown, true},
      {"down just beside it", {113, 50, 90}, kDown, false},
      {"slanted from a camera", {0, -200, 300}, {100, 250, -296.5f}, true},
      {"pointing away", {100, 50, 90}, {0, 0, 1}, false},
      {"level into a wall", {0, 50, 3.5f}, {1, 0, 0}, true},
      {"level above the piece", {0, 50, 5}, {1, 0, 0}, false},
      {"level through the top's rise", {0, 50, 4.2f}, {1, 0, 0}, true},
  };
  for (const RayCase& c : cases) {
    EXPECT_EQ(p.HitTest(c.origin, c.direction), c.hits) << c.name;
    EXPECT_EQ(ReferenceHit(p, c.origin, c.direction), c.hits) << c.name << " (reference)";
  }
}

// The bounding-sphere shortcut only turns away rays that miss anyway: many
// rays aimed near the rim of turned, moved and scaled pieces answer as the
// full triangle test does.
TEST(PieceHitTest, ShortcutAnswersAsTheFullTest) {
  HandBoard board(3, 1);
  std::mt19937 random(7);
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  board.Put(board.At(0, 0), 0, 0, 0);
  board.Put(board.At(0, 1), 1800, -900, 7);
  board.At(0, 1).SetQuarterTurns(3);
  board.At(0, 2).SetScale(0.25f);
  int hits = 0, misses = 0;
  for (int i = 0; i < 20000; ++i) {
    const CPuzzlePiece& p = board.m_pieces[std::size_t(i % 3)];
    const D3DXVECTOR3 c = p.m_currentPosition;
    const D3DXVECTOR3 target(c.x + 19 * unit(random), c.y + 19 * unit(random), c.z + 2 * unit(random));
    const D3DXVECTOR3 origin(c.x + 3000 * unit(random), c.y + 3000 * unit(random), c.z + 1500 * unit(random));
    const D3DXVECTOR3 dir = target - origin;
    const bool expected = ReferenceHit(p, origin, dir);
    ASSERT_EQ(p.HitTest(origin, dir), expected) << i;
    (expected ? hits : misses)++;
  }
  EXPECT_GT(hits, 2000);
  EXPECT_GT(misses, 2000);
}

// The same for the vertical probes of the overlap test, over points round
// the rim of turned, moved and scaled pieces.
TEST(PieceHitTest, PointOverShortcutAnswersAsTheFullTest) {
  HandBoard board(3, 1);
  std::mt19937 random(3);
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  board.Put(board.At(0, 0), -40, 7, 2);
  board.At(0, 1).SetQuarterTurns(1);
  board.Put(board.At(0, 1), 2400, 1300, 5);
  board.At(0, 2).SetScale(1.7f);
  int hits = 0, misses = 0;
  for (int i = 0; i < 20000; ++i) {
    const CPuzzlePiece& p = board.m_pieces[std::size_t(i % 3)];
    const D3DXVECTOR3 c = p.m_currentPosition;
    const float reach = i % 3 == 2 ? 24.0f : 14.0f;
    const D3DXVECTOR3 point(c.x + reach * unit(random), c.y + reach * unit(random), 100);
    const bool expected = ReferenceHit(p, point, kDown, /*topOnly=*/true);
    ASSERT_EQ(p.IsPointOver(point), expected) << i;
    (expected ? hits : misses)++;
  }
  EXPECT_GT(hits, 2000);
  EXPECT_GT(misses, 2000);
}

TEST(PieceHitTest, PieceScaledToNothingIsNeverHit) {
  HandBoard board(1, 1);
  CPuzzlePiece& p = board.At(0, 0);
  p.SetScale(0.0f);
  EXPECT_FALSE(p.HitTest(p.m_currentPosition + D3DXVECTOR3(0, 0, 50), kDown));
  EXPECT_FALSE(p.IsPointOver(p.m_currentPosition + D3DXVECTOR3(0, 0, 50)));
  p.SetScale(1.0f);
  EXPECT_TRUE(p.HitTest(p.m_currentPosition + D3DXVECTOR3(0, 0, 50), kDown));
}

TEST(PieceHitTest, FollowsNewGeometryAfterClearGeometry) {
  HandBoard board(1, 1);
  CPuzzlePiece& p = board.At(0, 0);
  const D3DXVECTOR3 above = p.m_currentPosition + D3DXVECTOR3(30, 0, 50);
  EXPECT_FALSE(p.HitTest(above, kDown));
  p.ClearGeometry();
  EXPECT_FALSE(p.HitTest(p.m_currentPosition + D3DXVECTOR3(0, 0, 50), kDown));
  // A wider top, as a rebuild at another definition would bring.
  p.m_topTriangles = {PickTriangle({-40, -40, 1}, {40, -40, 1}, {40, 40, 1})};
  EXPECT_TRUE(p.HitTest(above, kDown));
}

// ---- the highlight quad, drawn on the recording device ----------------------------------
class PieceHighlightTest : public EngineTest {};

TEST_F(PieceHighlightTest, DrawnOnlyForSelectedPiecesNotJoinedAllRound) {
  StartEngine();
  HandBoard board(3, 3);
  for (CPuzzlePiece& p : board.m_pieces) ASSERT_TRUE(BuildGridMesh(p.m_highlight, 40, 40, 1, 1));
  CPuzzlePiece& centre = board.At(1, 1);
  CPuzzlePiece& corner = board.At(0, 0);
  for (CPuzzlePiece* p : {&centre, &corner}) p->m_selected = true;
  for (bool& j : centre.m_joined) j = true;  // joined all round: no highlight
  for (bool& j : corner.m_joined) j = true;
  corner.m_joined[0] = false;  // one free side is enough to show it
  m_script.m_log.Clear();
  g_Engine.Device()->BeginScene();
  for (CPuzzlePiece& p : board.m_pieces) p.RenderHighlight();
  g_Engine.Device()->EndScene();
  EXPECT_EQ(Log().Count("DrawIndexedPrimitive 4 0 0 4 0 2"), 1) << Log().Dump();
  EXPECT_TRUE(Log().Contains("SetRenderState 27 1")) << Log().Dump();  // alpha blend on
  EXPECT_EQ(RenderState(D3DRS_ALPHABLENDENABLE), 0u);                  // and off again
  EXPECT_EQ(RenderState(D3DRS_SRCBLEND), DWORD(D3DBLEND_SRCALPHA));
  EXPECT_EQ(RenderState(D3DRS_DESTBLEND), DWORD(D3DBLEND_INVSRCALPHA));
}

}  // namespace

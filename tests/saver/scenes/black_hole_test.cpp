// The black hole on the recording device, with the grey puzzle of board seed
// 0 (no pictures, wall time 0).
#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine.h"
#include "saver/scenes/black_hole.h"
#include "scene_fixture.h"
#include "tests/engine/engine_access.h"

namespace {

using BlackHole = OneScene<CSceneBlackHole>;

float AxisDistance(const D3DXVECTOR3& p) { return std::sqrt(p.x * p.x + p.y * p.y); }

}  // namespace

TEST_F(BlackHole, EverythingAfterThePuzzleFollowsTheBoardSeed) {
  EXPECT_EQ(Inside(m_scene).Board().m_pieceCount, 196);
  EXPECT_EQ(Inside(m_scene).Board().m_definition, 1);
  EXPECT_EQ(Inside(g_Engine).AmbientColor(), 0xFF6A5241u);
  EXPECT_EQ(Inside(g_Engine).ClearColor(), 0xFF6A5241u);
  EXPECT_EQ(m_camera.m_eye, D3DXVECTOR3(0, 2000, 150));
  EXPECT_TRUE(Near(m_camera.m_direction, D3DXVECTOR3(0, -0.99875f, 0.04994f), 1e-4f));
  EXPECT_EQ(Inside(g_Engine).Light(0), &Inside(m_scene).Light());

  // The same draws again by hand from the generator's state after the board.
  PuzzleOnlyScene opener;
  opener.CreatePuzzle(400, 1);
  const D3DCOLORVALUE colour = RandomLightColour();
  EXPECT_EQ(LightColourToArgb(colour), 0xFF6A5241u);
  const float rz = RandomRange(0, D3DX_PI), ry = RandomRange(0, D3DX_PI);
  EXPECT_EQ(Inside(m_scene).Sphere().m_rotation, D3DXVECTOR3(RandomRange(0, D3DX_PI), ry, rz));
  for (size_t i = 0; i < m_scene.m_pieces.size(); ++i) {
    const CPuzzlePiece& piece = *m_scene.m_pieces[i];
    ASSERT_EQ(&piece, &Inside(m_scene).Board().m_pieces[i]);
    const float angle = RandomRange(0, 2 * D3DX_PI);
    const float radius = RandomRange(510, 11000) - 500;
    ASSERT_EQ(piece.m_currentPosition, D3DXVECTOR3(std::cos(angle) * radius, std::sin(angle) * radius, 0))
        << i;
    ASSERT_EQ(m_scene.m_spins[i], RandomSpin()) << i;
    ASSERT_EQ(m_scene.m_scales[i], 1.0f);
  }
}

TEST_F(BlackHole, OneUpdateOrbitsSinksScalesRenewsAndFlowsIn) {
  struct Case {
    D3DXVECTOR3 start;
    double dt;
    D3DXVECTOR3 end;
    float scale;
  };
  const Case cases[] = {
      {{1000, 0, 0}, 0.1, {989.922f, -12.440f, 0}, 1.0f},
      {{200, 0, 0}, 0.1, {180.774f, -58.737f, -23.760f}, 0.8f},
      {{100, 0, 0}, 0.05, {79.259f, -57.585f, -220.431f}, 0.4f},
      {{250, 0, 0}, 0.1, {235.165f, -47.931f, 0}, 1.0f},  // on the funnel's rim: no sinking
  };
  CPuzzlePiece& piece = *m_scene.m_pieces[0];
  for (const Case& c : cases) {
    piece.SetPosition(c.start);
    m_scene.m_scales[0] = 1.0f;
    Step(m_scene, c.dt);
    EXPECT_TRUE(Near(piece.m_currentPosition, c.end)) << c.start.x;
    EXPECT_NEAR(m_scene.m_scales[0], c.scale, 1e-6f) << c.start.x;
    EXPECT_EQ(Inside(m_scene).Board().m_meshes.m_renderParams[0].m_scale,
              D3DXVECTOR3(m_scene.m_scales[0], m_scene.m_scales[0], m_scene.m_scales[0]));
  }
  // At exactly 5 the piece sinks to -600.25 at scale 0.02 and stays; below 5
  // (or at the very centre) it is renewed on the rim at scale 1 and has
  // already flowed 100 x dt inward.
  piece.SetPosition(D3DXVECTOR3(5, 0, 0));
  Step(m_scene, 0.1);
  EXPECT_NEAR(piece.m_currentPosition.z, -600.25f + 10.0f, 0.01f);
  EXPECT_NEAR(m_scene.m_scales[0], 0.02f, 1e-6f);
  for (float x : {4.99f, 0.0f}) {
    piece.SetPosition(D3DXVECTOR3(x, 0, -500));
    Step(m_scene, 0.1);
    const float d = AxisDistance(piece.m_currentPosition);
    EXPECT_TRUE(d >= 9990 && d <= 10990) << x << ": " << d;
    EXPECT_EQ(piece.m_currentPosition.z, 0.0f);
    EXPECT_EQ(m_scene.m_scales[0], 1.0f);
  }
  // Spins grow with the total time, a quarter of the rate.
  const float t = Inside(m_scene).LastTime();
  const D3DXVECTOR3 s = m_scene.m_spins[0];
  EXPECT_EQ(m_scene.m_rotations[0], D3DXVECTOR3(s.x * t * 0.25f, s.y * t * 0.25f, s.z * t * 0.25f));
  EXPECT_EQ(Inside(m_scene).Board().m_meshes.m_renderParams[0].m_rotation, m_scene.m_rotations[0]);
}

TEST_F(BlackHole, PiecesKeepFlowingInWhereAThirtyTwoBitMillisecondClockWraps) {
  // 4294967.296 s is where a 32-bit millisecond counter starts again at 0.
  m_clock.Set(4294967.0);
  Start(m_scene);
  for (int frame = 0; frame < 6; ++frame) {
    std::vector<float> before;
    for (const CPuzzlePiece* p : m_scene.m_pieces) before.push_back(AxisDistance(p->m_currentPosition));
    Step(m_scene, 0.1);
    for (size_t i = 0; i < before.size(); ++i) {
      // Closer to the axis, or renewed on the rim (or, right at the centre,
      // carried across it).
      const float now = AxisDistance(m_scene.m_pieces[i]->m_currentPosition);
      ASSERT_TRUE(now < before[i] || now >= 9900 || before[i] < 10) << frame << " " << i;
    }
  }
}

TEST_F(BlackHole, SphereFirstUnlitWithoutDepthThenTheBoardAndRelease) {
  Step(m_scene, 0.02);
  m_script.m_log.Clear();
  Frame(m_scene);
  const CallLog& log = Log();
  const int off = log.IndexOf("SetRenderState 7 0");
  const int sphere = log.IndexOf("DrawIndexedPrimitive 4 0 0 1089 0 2048", off);
  const int on = log.IndexOf("SetRenderState 7 1", sphere);
  ASSERT_GE(off, 0) << log.Dump();
  EXPECT_EQ(log.Entries()[size_t(off) + 1], "SetRenderState 14 0");
  EXPECT_EQ(log.Entries()[size_t(off) + 2], "SetRenderState 137 0");
  ASSERT_GT(sphere, off);
  ASSERT_GT(on, sphere);
  EXPECT_EQ(log.Entries()[size_t(on) + 1], "SetRenderState 14 1");
  EXPECT_EQ(log.Entries()[size_t(on) + 2], "SetRenderState 137 1");
  // Tops and walls of the pieces the scene's camera sees.
  const int seen = int(Inside(m_scene).Board().m_piecesInView.size());
  EXPECT_GT(seen, 0);
  EXPECT_GE(log.Count("DrawIndexedPrimitive"), 1 + seen * 2);
  EXPECT_EQ(log.Count("DrawIndexedPrimitive 4 0 0 1089"), 1);

  m_scene.Release();
  EXPECT_EQ(Inside(m_scene).Sphere().m_vertexBuffer, nullptr);
  EXPECT_EQ(Inside(m_scene).Picture().m_d3dTexture, nullptr);
  EXPECT_TRUE(Inside(m_scene).Board().m_pieces.empty());
}

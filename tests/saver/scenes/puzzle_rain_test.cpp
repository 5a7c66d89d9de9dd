// The puzzle rain on the recording device, with the grey puzzle of board seed
// 0 (no pictures, wall time 0).
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/engine.h"
#include "saver/scenes/puzzle_rain.h"
#include "scene_fixture.h"
#include "tests/engine/engine_access.h"

namespace {

using PuzzleRain = OneScene<CScenePuzzleRain>;

std::string State(int state, float value) {
  return "SetRenderState " + std::to_string(state) + " " + std::to_string(FloatToDWORD(value));
}

}  // namespace

TEST_F(PuzzleRain, FogClearAndSphereShareTheColourAndTheDrawsFollowTheSeed) {
  EXPECT_EQ(Inside(g_Engine).FogColor(), 0xFF6A5241u);
  EXPECT_EQ(Inside(g_Engine).ClearColor(), 0xFF6A5241u);
  EXPECT_EQ(RenderState(D3DRS_FOGCOLOR), 0xFF6A5241u);
  EXPECT_TRUE(Inside(g_Engine).FogEnable());
  EXPECT_EQ(RenderState(D3DRS_FOGENABLE), 1u);
  EXPECT_EQ(RenderState(D3DRS_RANGEFOGENABLE), 1u);
  EXPECT_EQ(RenderState(D3DRS_FOGVERTEXMODE), DWORD(D3DFOG_LINEAR));
  EXPECT_EQ(Inside(g_Engine).AmbientColor(), 0xFFFFFFFFu);  // left as the engine has it
  EXPECT_EQ(m_camera.m_eye, D3DXVECTOR3(0, 0, 0));
  EXPECT_EQ(m_camera.m_direction, D3DXVECTOR3(1, 0, 0));

  PuzzleOnlyScene opener;
  opener.CreatePuzzle(200, 3);
  EXPECT_EQ(LightColourToArgb(RandomLightColour()), 0xFF6A5241u);
  for (int i = 0; i < 3; ++i) RandomRange(0, D3DX_PI);  // the sphere's turns
  for (size_t i = 0; i < m_scene.m_pieces.size(); ++i) {
    const float angle = RandomRange(-1.57f, 1.57f);
    const float radius = RandomRange(20, 800);
    RandomRange(800, 1200);  // replaced by the start height
    const float z = RandomRange(-800, 800);
    ASSERT_EQ(m_scene.m_pieces[i]->m_currentPosition,
              D3DXVECTOR3(std::cos(angle) * radius, std::sin(angle) * radius, z))
        << i;
    const D3DXVECTOR3 spin = RandomSpin();
    ASSERT_EQ(m_scene.m_spins[i], spin);
    ASSERT_EQ(m_scene.m_rotations[i], spin);
    // Flat until the first update.
    ASSERT_EQ(Inside(m_scene).Board().m_meshes.m_renderParams[i].m_rotation, D3DXVECTOR3(0, 0, 0));
  }
}

TEST_F(PuzzleRain, SphereFoggedFarPiecesNear) {
  Step(m_scene, 0.02);
  m_script.m_log.Clear();
  Frame(m_scene);
  const std::vector<std::string> expected = {
      "SetRenderState 7 0",      "SetRenderState 14 0",   "SetRenderState 137 0", State(D3DRS_FOGSTART, 10),
      State(D3DRS_FOGEND, 7000), "SetRenderState 7 1",    "SetRenderState 14 1",  "SetRenderState 137 1",
      State(D3DRS_FOGSTART, 10), State(D3DRS_FOGEND, 800)};
  std::vector<std::string> states;
  int sphereDraw = -1, fogOfPieces = -1;
  const auto& entries = Log().Entries();
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].rfind("SetRenderState", 0) == 0) {
      states.push_back(entries[i]);
      if (entries[i] == State(D3DRS_FOGEND, 800)) fogOfPieces = int(i);
    }
    if (entries[i].rfind("DrawIndexedPrimitive 4 0 0 1089 0 2048", 0) == 0) sphereDraw = int(i);
  }
  // The frame begin sets the ambient colour (and the caller the fill mode)
  // before the scene; the scene's own states follow in this order.
  ASSERT_GE(states.size(), expected.size()) << Log().Dump();
  EXPECT_EQ(std::vector<std::string>(states.end() - long(expected.size()), states.end()), expected);
  EXPECT_GE(sphereDraw, 0);
  EXPECT_LT(sphereDraw, fogOfPieces);
  EXPECT_GT(Log().Count("DrawIndexedPrimitive"), int(Inside(m_scene).Board().m_piecesInView.size()));
  EXPECT_GT(Inside(m_scene).Board().m_piecesInView.size(), 0u);
  EXPECT_EQ(std::make_pair(Inside(g_Engine).FogStart(), Inside(g_Engine).FogEnd()),
            std::make_pair(10.0f, 800.0f));
}

TEST_F(PuzzleRain, PiecesFallFiftyASecondAndStartAgainAboveBelowMinus800) {
  // Every piece below -800 after the first half second is renewed at the
  // second: for this seed that is a known number of pieces.
  Step(m_scene, 0.5);
  std::vector<D3DXVECTOR3> before;
  int below = 0;
  for (const CPuzzlePiece* p : m_scene.m_pieces) {
    before.push_back(p->m_currentPosition);
    below += p->m_currentPosition.z < -800 ? 1 : 0;
  }
  Step(m_scene, 0.5);
  int renewed = 0;
  for (size_t i = 0; i < before.size(); ++i) {
    const D3DXVECTOR3 p = m_scene.m_pieces[i]->m_currentPosition;
    if (before[i].z < -800) {
      ++renewed;
      EXPECT_TRUE(p.z >= 775 && p.z <= 1175 && p.x >= 0) << i << ": " << p.z;
      const float r = std::sqrt(p.x * p.x + p.y * p.y);
      EXPECT_TRUE(r >= 19.99f && r <= 800.01f) << i;
    } else {
      EXPECT_EQ(p, D3DXVECTOR3(before[i].x, before[i].y, before[i].z - 25)) << i;
    }
  }
  EXPECT_EQ(renewed, below);
  EXPECT_EQ(renewed, 4);

  // Exactly -800 stays; just below is renewed. A step of no time moves
  // nothing and sets the same angles again: spin x total time.
  CPuzzlePiece& a = *m_scene.m_pieces[0];
  CPuzzlePiece& b = *m_scene.m_pieces[1];
  a.SetPosition(D3DXVECTOR3(100, 0, -800));
  b.SetPosition(D3DXVECTOR3(100, 0, -800.001f));
  Step(m_scene, 0.0);
  EXPECT_EQ(a.m_currentPosition, D3DXVECTOR3(100, 0, -800));
  EXPECT_GE(b.m_currentPosition.z, 800);
  Step(m_scene, 0.25);
  EXPECT_EQ(a.m_currentPosition.z, -812.5f);
  const float t = 1.25f;
  for (size_t i = 0; i < m_scene.m_pieces.size(); ++i) {
    const D3DXVECTOR3& s = m_scene.m_spins[i];
    ASSERT_EQ(Inside(m_scene).Board().m_meshes.m_renderParams[i].m_rotation,
              D3DXVECTOR3(s.x * t, s.y * t, s.z * t));
  }
}

// The falling wall on the recording device, with the grey puzzle of board
// seed 0 (no pictures, wall time 0): a wall of 350 x 350 units.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine.h"
#include "saver/scenes/falling_wall.h"
#include "scene_fixture.h"
#include "tests/engine/engine_access.h"

namespace {

class FallingWall : public OneScene<CSceneFallingWall> {
 protected:
  // Updates of dt until the state changes; answers how many. The scene clock
  // starts again at 0, so that the steps come out exact.
  int RunUntilStateChanges(double dt) {
    Inside(m_scene).StartClock();
    const int state = m_scene.m_state;
    int updates = 0;
    while (m_scene.m_state == state && updates < 100000) {
      Step(m_scene, dt);
      ++updates;
    }
    return updates;
  }
};

}  // namespace

TEST_F(FallingWall, WallStandsSolvedFacingTheCameraInAShuffledOrder) {
  EXPECT_EQ(m_scene.m_overlayRect, (RECT{0, 0, 1280, 1024}));  // the whole back buffer
  EXPECT_EQ(m_scene.m_overlayColor, (D3DCOLORVALUE{1, 1, 1, 1}));
  ASSERT_TRUE(m_scene.m_overlayTexture.Lock());
  EXPECT_EQ(*static_cast<const DWORD*>(m_scene.m_overlayTexture.m_lockedRect.pBits), 0xFF808080u);
  m_scene.m_overlayTexture.Unlock();
  EXPECT_EQ(m_scene.m_overlayTexture.m_width, 128u);
  EXPECT_NE(m_scene.m_overlaySprite.m_sprite, nullptr);
  EXPECT_TRUE(Near(Inside(m_scene).Light().Direction, D3DXVECTOR3(0.2357f, -0.2357f, -0.9428f), 1e-4f));
  EXPECT_EQ(Inside(g_Engine).AmbientColor(), 0xFF808080u);
  EXPECT_EQ(Inside(g_Engine).ClearColor(), 0xFF00000Cu);
  EXPECT_FALSE(Inside(g_Engine).FogEnable());
  EXPECT_EQ(m_scene.m_state, CSceneFallingWall::kFalling);

  const CPuzzleBoard& board = Inside(m_scene).Board();
  ASSERT_EQ(std::make_pair(board.m_width, board.m_height), std::make_pair(350, 350));
  for (size_t i = 0; i < m_scene.m_pieces.size(); ++i) {
    const CPuzzlePiece& p = *m_scene.m_pieces[i];
    ASSERT_EQ(p.m_currentPosition, D3DXVECTOR3(p.m_homePosition.x - 175, 0, 350 - p.m_homePosition.y));
    ASSERT_EQ(board.m_meshes.m_renderParams[i].m_rotation, D3DXVECTOR3(-1.5707964f, 0, 0));
    for (int side = 0; side < 4; ++side) ASSERT_EQ(p.m_joined[side], p.m_edgeIds[side] != 0);
  }
  // The fall order of this seed: every piece once, shuffled by the draws
  // that follow the puzzle, the light colour and the sphere's turns.
  const std::vector<int> order{
      110, 24,  104, 58,  106, 9,   83,  77,  59,  36,  87,  35,  119, 23,  111, 136, 42,  143, 43,  94,
      177, 168, 93,  117, 145, 158, 63,  187, 152, 108, 140, 40,  76,  137, 15,  53,  114, 184, 156, 123,
      45,  147, 29,  99,  179, 155, 2,   60,  17,  146, 56,  176, 69,  54,  71,  57,  142, 16,  13,  178,
      134, 95,  132, 52,  103, 126, 48,  122, 39,  101, 115, 180, 148, 149, 20,  34,  72,  21,  189, 124,
      141, 102, 61,  129, 159, 51,  89,  84,  194, 113, 67,  33,  193, 105, 38,  121, 144, 175, 41,  11,
      128, 118, 0,   47,  64,  1,   190, 169, 80,  139, 116, 171, 133, 167, 49,  127, 186, 28,  10,  174,
      7,   19,  6,   109, 30,  27,  97,  160, 86,  75,  166, 173, 55,  195, 5,   70,  164, 183, 162, 135,
      130, 3,   85,  31,  81,  154, 79,  8,   82,  157, 73,  185, 37,  18,  120, 107, 182, 32,  125, 138,
      90,  170, 192, 44,  91,  151, 150, 188, 172, 65,  4,   66,  74,  153, 50,  88,  161, 25,  14,  92,
      131, 46,  163, 96,  98,  191, 100, 12,  165, 112, 78,  22,  62,  68,  181, 26};
  std::vector<int> fallen;
  for (const CPuzzlePiece* piece : m_scene.m_fallOrder) fallen.push_back(piece->m_id - 1);
  EXPECT_EQ(fallen, order);
}

TEST_F(FallingWall, CameraFitsTheWallToTheScreen) {
  // The wall is 350 x 350; the field of view pi/4 high. d = half / tan(angle).
  const float f = D3DX_PI / 4;
  struct Case {
    UINT width, height;
    float expectedDistance;
  };
  const Case cases[] = {
      {1280, 1024, 175 / std::tan(1.25f * f * 0.5f)},  // wider than the wall
      {1024, 1280, 175 / std::tan(f * 0.5f)},          // taller: fitted to the height
      {3800, 1000, 175 / std::tan(3.8f * f * 0.5f)},   // still the approximate angle
      // From aspect 4 the approximate angle reaches pi/2 (the camera would
      // stand on or behind the wall): the true horizontal half angle instead.
      {4000, 1000, 175 / (4.0f * std::tan(f * 0.5f))},
      {6000, 1000, 175 / (6.0f * std::tan(f * 0.5f))},
  };
  for (const Case& c : cases) {
    Inside(g_Engine).BackBufferDesc().Width = c.width;
    Inside(g_Engine).BackBufferDesc().Height = c.height;
    m_scene.SetupCamera();
    EXPECT_NEAR(m_camera.m_eye.y, c.expectedDistance, 1e-3f) << c.width << "x" << c.height;
    EXPECT_GT(m_camera.m_eye.y, 0.0f);
    EXPECT_EQ(m_camera.m_eye.x, 0.0f);
    EXPECT_EQ(m_camera.m_eye.z, 175.0f);
    EXPECT_TRUE(Near(m_camera.m_direction, D3DXVECTOR3(0, -1, 0), 1e-6f));
  }
}

TEST_F(FallingWall, OnePieceAtATimeFallsFasterAndSlidesForward) {
  CPuzzlePiece& first = *m_scene.m_fallOrder[0];
  const D3DXVECTOR3 start = first.m_currentPosition;
  Step(m_scene, 0.5);  // f = 0: no drop yet, the sides come loose
  EXPECT_EQ(first.m_currentPosition, D3DXVECTOR3(start.x, 0, start.z));
  for (int side = 0; side < 4; ++side) {
    EXPECT_FALSE(first.m_joined[side]);
    if (CPuzzlePiece* n = first.m_neighbours[side]) {
      for (int s = 0; s < 4; ++s) EXPECT_FALSE(n->m_edgeIds[s] == first.m_edgeIds[side] && n->m_joined[s]);
    }
  }
  Step(m_scene, 0.5);  // f = 0.5: down 0.25 x 100 x 0.5, forward to 0.5
  EXPECT_EQ(first.m_currentPosition, D3DXVECTOR3(start.x, 0.5f, start.z - 12.5f));
  EXPECT_EQ(m_scene.m_fallTime, 1.0f);
  // Only below -200 is it done; the next piece starts on the following update.
  first.SetPosition(D3DXVECTOR3(start.x, 1.0f, -150.0f));  // -150 - 1 x 100 x 0.5 = -200
  Step(m_scene, 0.5);
  EXPECT_EQ(first.m_currentPosition.z, -200.0f);
  EXPECT_EQ(m_scene.m_fallingIndex, 0);
  Step(m_scene, 0.5);
  EXPECT_EQ(m_scene.m_fallingIndex, 1);
  EXPECT_EQ(m_scene.m_fallTime, 0.0f);
  const D3DXVECTOR3 second = m_scene.m_fallOrder[1]->m_currentPosition;
  Step(m_scene, 0.5);
  EXPECT_EQ(m_scene.m_fallOrder[1]->m_currentPosition.z, second.z);
}

TEST_F(FallingWall, GreyFadesOutANewWallFadesInAndTheOldSphereIsReleased) {
  for (int cycle = 0; cycle < 3; ++cycle) {
    m_clock.SetWallTime(cycle + 1);  // a new board seed for every new wall
    IDirect3DVertexBuffer9* oldSphere = Inside(m_scene).Sphere().m_vertexBuffer;
    oldSphere->AddRef();
    RunUntilStateChanges(0.1);
    ASSERT_EQ(m_scene.m_state, CSceneFallingWall::kFadingToGrey);
    EXPECT_EQ(m_scene.m_fallingIndex, 196);
    // Just over four seconds to grey: the new wall is built at the first
    // alpha above 1, and the alpha is then exactly 1.
    EXPECT_EQ(RunUntilStateChanges(0.25), 17);
    ASSERT_EQ(m_scene.m_state, CSceneFallingWall::kFadingFromGrey);
    EXPECT_EQ(m_scene.m_overlayColor.a, 1.0f);
    EXPECT_EQ(Inside(m_scene).Board().m_seed, cycle + 1);
    EXPECT_EQ(m_scene.m_fallingIndex, 0);
    EXPECT_EQ(oldSphere->Release(), 0u) << "the old sphere's buffer is still held";
    for (const CPuzzlePiece* p : m_scene.m_pieces) ASSERT_EQ(p->m_currentPosition.y, 0.0f);
    EXPECT_EQ(RunUntilStateChanges(0.25), 17);
    EXPECT_EQ(m_scene.m_state, CSceneFallingWall::kFalling);
    EXPECT_EQ(m_scene.m_overlayColor.a, 0.0f);
  }
}

TEST_F(FallingWall, OverlayIsDrawnOverTheWallOnlyWhileFading) {
  Step(m_scene, 0.1);
  m_script.m_spriteDraws.clear();
  Frame(m_scene);
  EXPECT_TRUE(m_script.m_spriteDraws.empty());
  EXPECT_EQ(Log().Count("DrawIndexedPrimitive 4 0 0 1089 0 2048"), 1);

  m_scene.m_state = CSceneFallingWall::kFadingToGrey;
  m_scene.m_fadeTime = 0;
  Inside(m_scene).StartClock();
  Step(m_scene, 2.0);
  m_script.m_log.Clear();
  Frame(m_scene);
  ASSERT_EQ(m_script.m_spriteDraws.size(), 1u);
  const RecordedSpriteDraw& draw = m_script.m_spriteDraws[0];
  EXPECT_EQ(draw.color, 0x80FFFFFFu);    // alpha 0.5
  EXPECT_EQ(draw.transform._11, 10.0f);  // 128 texels over 1280 pixels
  EXPECT_EQ(draw.transform._22, 8.0f);   // and over 1024
  EXPECT_GT(Log().IndexOf("Sprite.Draw tex" + std::to_string(draw.texture)),
            Log().IndexOf("SetRenderState 137 1"));

  m_scene.Release();
  EXPECT_EQ(m_scene.m_overlaySprite.m_sprite, nullptr);
  EXPECT_EQ(m_scene.m_overlayTexture.m_d3dTexture, nullptr);
  EXPECT_EQ(Inside(m_scene).Sphere().m_vertexBuffer, nullptr);
  EXPECT_TRUE(Inside(m_scene).Board().m_pieces.empty());
}

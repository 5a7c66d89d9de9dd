// The solving scene on the recording device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/engine.h"
#include "saver/scenes/solving.h"
#include "scene_fixture.h"
#include "tests/engine/engine_access.h"

namespace {

using Solving = OneScene<CSceneSolving, false>;

// The drop order a board of the current wall time gives, as piece indices.
std::vector<int> ExpectedDropOrder() {
  PuzzleOnlyScene opener;
  opener.CreatePuzzle(200, 3);
  const int n = int(Inside(opener).Board().m_pieces.size());
  std::vector<int> order(size_t(n), 0);
  for (int i = 0; i < n; ++i) order[size_t(i)] = i;
  for (int i = 0; i < n; ++i) std::swap(order[size_t(i)], order[size_t(CrtRand() % n)]);
  return order;
}

std::vector<int> DropOrderOf(const CSceneSolving& scene) {
  std::vector<int> order;
  for (const CPuzzlePiece* p : scene.m_dropOrder) order.push_back(p->m_id - 1);
  return order;
}

}  // namespace

TEST_F(Solving, PiecesHoverAboveTheirCentredPlacesInAShuffledOrder) {
  AddPicture("board.png", 800, 600);  // 16 x 12 pieces: a board of 400 x 300
  CrtSrand(42);
  RandomLightColour();
  const float rz = RandomRange(0, D3DX_PI), ry = RandomRange(0, D3DX_PI);
  const float rx = RandomRange(0, D3DX_PI);
  CrtSrand(42);  // the window's time seed: the colour and sphere come before the puzzle
  Start(m_scene);
  EXPECT_EQ(Inside(m_scene).Sphere().m_rotation, D3DXVECTOR3(rx, ry, rz));
  EXPECT_EQ(Inside(g_Engine).ClearColor(), 0xFF0C0C0Cu);
  EXPECT_EQ(Inside(g_Engine).AmbientColor(), 0xFFFFFFFFu);
  EXPECT_EQ(Inside(m_scene).Board().m_pieceCount, 192);
  EXPECT_EQ(m_scene.m_cameraRadius, 320.0f);
  EXPECT_EQ(m_scene.m_state, CSceneSolving::kAssembling);
  EXPECT_EQ(m_scene.m_nextPiece, 0);
  const float halfHeight = float(Inside(m_scene).Board().m_height) * 0.5f;  // about 150
  for (const CPuzzlePiece* p : m_scene.m_pieces) {
    const D3DXVECTOR3& h = p->m_homePosition;
    ASSERT_EQ(p->m_currentPosition, D3DXVECTOR3(h.x - 200, h.y - halfHeight, 320));
  }
  EXPECT_EQ(DropOrderOf(m_scene), ExpectedDropOrder());

  // The camera circles at 0.4 R above the table, looking at the centre.
  Step(m_scene, 10.0);
  const float a = 10.0f * 0.05f;
  EXPECT_TRUE(Near(m_camera.m_eye, D3DXVECTOR3(std::cos(a) * 320, std::sin(a) * 320, 128)));
  EXPECT_EQ(m_camera.m_up, D3DXVECTOR3(0, 0, 1));
  D3DXVECTOR3 toCentre = -m_camera.m_eye;
  D3DXVec3Normalize(&toCentre, &toCentre);
  EXPECT_TRUE(Near(m_camera.m_direction, toCentre, 1e-5f));
}

TEST_F(Solving, APieceLandsWhenItsHeightGoesBelowZero) {
  Start(m_scene);
  CPuzzlePiece& first = *m_scene.m_dropOrder[0];
  m_scene.m_drops[0] = CSceneSolving::Drop{0.25f, 0.0f};
  Step(m_scene, 1.0);  // speed 1, height 0.25 - 0.25 = 0: not yet
  EXPECT_EQ(first.m_currentPosition.z, 0.0f);
  EXPECT_EQ(m_scene.m_nextPiece, 0);
  Step(m_scene, 0.5);
  EXPECT_EQ(first.m_currentPosition.z, 0.0f);
  EXPECT_EQ(m_scene.m_nextPiece, 1);
  // Only the dropping piece moves; the next starts from the hover height.
  Step(m_scene, 0.5);
  const CSceneSolving::Drop& next = m_scene.m_drops[1];
  EXPECT_EQ(next.speed, 0.5f);
  EXPECT_EQ(m_scene.m_dropOrder[1]->m_currentPosition.z, m_scene.m_cameraRadius - 0.0625f);
  int hovering = 0;
  for (const CPuzzlePiece* p : m_scene.m_pieces) hovering += p->m_currentPosition.z == m_scene.m_cameraRadius;
  EXPECT_EQ(hovering, 196 - 2);
}

TEST_F(Solving, AWholeCycleRunsToTheNextPuzzle) {
  Start(m_scene);
  int updates = 0;
  bool sawFallingAway = false;
  const int firstSeed = Inside(m_scene).Board().m_seed;
  m_clock.SetWallTime(1);  // the next board gets seed 1
  while (Inside(m_scene).Board().m_seed == firstSeed && updates < 100000) {
    const int state = m_scene.m_state;
    Step(m_scene, 1.0 / 30);
    ++updates;
    if (state == CSceneSolving::kAssembling && m_scene.m_state == CSceneSolving::kFallingAway) {
      sawFallingAway = true;
      EXPECT_EQ(m_scene.m_nextPiece, 196);
      for (const CPuzzlePiece* p : m_scene.m_pieces) ASSERT_EQ(p->m_currentPosition.z, 0.0f);
    }
  }
  EXPECT_TRUE(sawFallingAway);
  EXPECT_GT(updates, 20000);
  EXPECT_LT(updates, 40000);
  EXPECT_EQ(Inside(m_scene).Board().m_seed, 1);
  EXPECT_EQ(m_scene.m_state, CSceneSolving::kAssembling);
  EXPECT_EQ(m_scene.m_nextPiece, 0);
  EXPECT_NEAR(m_scene.m_cameraTime, updates / 30.0f, 0.05f);  // not reset by the new puzzle
  for (const CPuzzlePiece* p : m_scene.m_pieces) ASSERT_EQ(p->m_currentPosition.z, m_scene.m_cameraRadius);
  EXPECT_EQ(DropOrderOf(m_scene), ExpectedDropOrder());
}

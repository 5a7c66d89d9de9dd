// Placing and turning single pieces: RotateOffset, the sub-objects a piece
// moves, PlaceRelativeTo, and what a piece without a board does.
#include <gtest/gtest.h>

#include <utility>

#include "tests/puzzle/piece_test_fixture.h"

namespace {

struct RotateCase {
  D3DXVECTOR3 centre, point;
  int q;
  D3DXVECTOR3 expected;
};

TEST(RotateOffset, TurnsExactlyByQuarters) {
  const RotateCase cases[] = {
      {{10, 10, 7}, {15, 10, 99}, 0, {15, 10, 7}},
      {{10, 10, 7}, {15, 10, 99}, 1, {10, 15, 7}},
      {{10, 10, 7}, {15, 10, 99}, 2, {5, 10, 7}},
      {{10, 10, 7}, {15, 10, 99}, 3, {10, 5, 7}},
      {{10, 10, 7}, {15, 10, 99}, 5, {10, 15, 7}},  // modulo 4
      {{10, 10, 7}, {15, 10, 99}, -1, {10, 5, 7}},  // -1 is 3
      // No sine or cosine: fractional offsets come out bit exact.
      {{0.1f, 0.3f, 0}, {0.7f, 1.9f, 0}, 1, {0.1f - (1.9f - 0.3f), 0.3f + (0.7f - 0.1f), 0}},
      {{0.1f, 0.3f, 0}, {0.7f, 1.9f, 0}, 3, {0.1f + (1.9f - 0.3f), 0.3f - (0.7f - 0.1f), 0}},
  };
  for (const RotateCase& c : cases) {
    const D3DXVECTOR3 r = RotateOffset(c.centre, c.point, c.q);
    EXPECT_EQ(r.x, c.expected.x) << "q " << c.q;
    EXPECT_EQ(r.y, c.expected.y) << "q " << c.q;
    EXPECT_EQ(r.z, c.expected.z) << "q " << c.q;
  }
}

TEST(PiecePlacement, SetPositionMovesEverySubObjectAndTheHighlight) {
  HandBoard board(2, 1, /*backs=*/true);
  CPuzzlePiece& p = board.At(0, 1);  // id 2 of 2: top 1, side 3, back 5
  p.SetPosition(D3DXVECTOR3(40, -7, 3));
  for (int index : {1, 3, 5}) {
    const CKVR3DObjectRenderParam& rp = board.m_meshes.m_renderParams[std::size_t(index)];
    EXPECT_EQ(rp.m_position, D3DXVECTOR3(40, -7, 3)) << index;
    EXPECT_EQ(rp.m_translation._41, 40.0f) << index;
  }
  const D3DXMATRIX world = p.WorldMatrix();
  EXPECT_EQ(world._41, 40.0f);
  EXPECT_EQ(world._43, 3.0f);
  // The other piece's sub-objects stay put.
  EXPECT_EQ(board.m_meshes.m_renderParams[0].m_position, board.At(0, 0).m_homePosition);
  EXPECT_EQ(p.m_highlight.m_position, D3DXVECTOR3(40, -7, 4));
  EXPECT_EQ(p.m_highlight.m_translation._43, 4.0f);
}

TEST(PiecePlacement, QuarterTurnsAndScaleTouchTheRightSubObjects) {
  HandBoard board(1, 1);  // no backs: top 0, side 1
  CPuzzlePiece& p = board.At(0, 0);
  const float angles[4] = {0.0f, 1.5707964f, 3.1415927f, 4.712389f};
  for (std::uint8_t q = 0; q < 4; ++q) {
    p.SetQuarterTurns(q);
    EXPECT_EQ(p.m_quarterTurns, q);
    EXPECT_EQ(board.m_meshes.m_renderParams[0].m_rotation.z, angles[q]);
    EXPECT_EQ(board.m_meshes.m_renderParams[1].m_rotation.z, angles[q]);
  }
  // One quarter turn maps the local x axis onto +y in the world matrix.
  p.SetQuarterTurns(1);
  D3DXVECTOR3 turned, x(1, 0, 0);
  const D3DXMATRIX world = p.WorldMatrix();
  D3DXVec3TransformNormal(&turned, &x, &world);
  EXPECT_NEAR(turned.x, 0.0f, 1e-6f);
  EXPECT_NEAR(turned.y, 1.0f, 1e-6f);

  p.SetScale(0.5f);
  EXPECT_EQ(board.m_meshes.m_renderParams[0].m_scale, D3DXVECTOR3(0.5f, 0.5f, 0.5f));
  EXPECT_EQ(board.m_meshes.m_renderParams[1].m_scale, D3DXVECTOR3(0.5f, 0.5f, 0.5f));
  EXPECT_EQ(p.WorldMatrix()._33, 0.5f);
}

TEST(PiecePlacement, PlaceRelativeToTurnsTheHomeOffset) {
  HandBoard board(2, 2);
  CPuzzlePiece& reference = board.At(0, 0);
  CPuzzlePiece& right = board.At(0, 1);  // home 25 to the right
  CPuzzlePiece& below = board.At(1, 0);  // home 25 further down
  board.Put(reference, 100, 200, 2);
  const std::pair<std::uint8_t, D3DXVECTOR3> cases[] = {
      {0, {125, 200, 3}}, {1, {100, 225, 3}}, {2, {75, 200, 3}}, {3, {100, 175, 3}}};
  for (const auto& [q, expected] : cases) {
    right.SetQuarterTurns(q);
    right.PlaceRelativeTo(reference);
    EXPECT_EQ(right.m_currentPosition, expected) << int(q);
  }
  below.SetQuarterTurns(1);
  below.PlaceRelativeTo(reference);
  EXPECT_EQ(below.m_currentPosition, D3DXVECTOR3(75, 200, 3));
  EXPECT_EQ(below.m_layer, 0);  // the layer is the caller's business
}

TEST(PiecePlacement, WithoutBoardOnlyPositionAndHighlightChange) {
  CPuzzlePiece p;
  EXPECT_EQ(p.m_id, 0);
  EXPECT_EQ(p.m_row, -1);
  EXPECT_EQ(p.m_definition, 3);
  p.SetPosition(D3DXVECTOR3(1, 2, 3));
  p.SetQuarterTurns(2);
  p.SetScale(4.0f);
  EXPECT_EQ(p.m_currentPosition, D3DXVECTOR3(1, 2, 3));
  EXPECT_EQ(p.m_highlight.m_position, D3DXVECTOR3(1, 2, 4));
  EXPECT_EQ(p.m_quarterTurns, 2);
  EXPECT_EQ(p.GetRadius(), 25.0f);
  EXPECT_FALSE(p.HitTest(D3DXVECTOR3(0, 0, 100), D3DXVECTOR3(0, 0, -1)));
}

TEST(PiecePlacement, BeforeTheBoardBuiltItsMeshesSubObjectsAreLeftAlone) {
  CKVR3DMultiObject meshes;  // no render params yet
  CPuzzlePiece p;
  p.m_id = 3;
  p.AttachToBoard(nullptr, &meshes, 4, true);
  EXPECT_EQ(p.m_topIndex, 2);
  EXPECT_EQ(p.m_sideIndex, 6);
  EXPECT_EQ(p.m_backIndex, 10);
  p.SetPosition(D3DXVECTOR3(5, 5, 0));
  p.SetQuarterTurns(1);
  EXPECT_EQ(p.m_currentPosition, D3DXVECTOR3(5, 5, 0));
  EXPECT_EQ(p.GetRadius(), 25.0f);
}

TEST(PiecePlacement, MovingAPieceKeepsItsGeometry) {
  HandBoard board(1, 1);
  // A pick first, so that the pick caches travel with the moves.
  ASSERT_TRUE(board.m_pieces[0].HitTest(D3DXVECTOR3(12.5f, 12.5f, 50), D3DXVECTOR3(0, 0, -1)));
  std::vector<CPuzzlePiece> pieces;
  pieces.push_back(std::move(board.m_pieces[0]));
  pieces.resize(3);  // reallocation moves the first piece again
  const CPuzzlePiece& moved = pieces[0];
  EXPECT_EQ(moved.m_id, 1);
  EXPECT_EQ(moved.m_topTriangles.size(), 40u);
  EXPECT_EQ(moved.SideWallTriangles().size(), 80u);
  EXPECT_EQ(moved.m_edges[1].m_points.size(), 4u);
  EXPECT_TRUE(moved.HitTest(D3DXVECTOR3(12.5f, 12.5f, 50), D3DXVECTOR3(0, 0, -1)));
  EXPECT_TRUE(board.m_pieces[0].m_topTriangles.empty());
  EXPECT_EQ(board.m_pieces[0].m_highlight.m_vertexBuffer, nullptr);
}

}  // namespace

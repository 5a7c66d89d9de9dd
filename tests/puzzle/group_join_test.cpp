// Joining dropped groups, finding the fitting pair, and turning groups.
#include <gtest/gtest.h>

#include <random>

#include "puzzle/piece_group.h"
#include "tests/puzzle/piece_test_fixture.h"

namespace {

int JoinedCount(const CPuzzlePiece& p) {
  return int(p.m_joined[0]) + p.m_joined[1] + p.m_joined[2] + p.m_joined[3];
}

// Joins b to a in place (both flags of their shared side).
void JoinInPlace(CPuzzlePiece& a, CPuzzlePiece& b) { ASSERT_TRUE(JoinPieces(b, a)); }

TEST(JoinGroups, SinglePieceWithinFiveUnitsSnapsOntoTheTargetLayer) {
  struct Case {
    float dx, dy;
    int answer;
  };
  const Case cases[] = {{4, 0, kGroupsJoined},
                        {2.4f, -3.2f, kGroupsJoined},
                        {5, 0, kGroupsNotJoined},
                        {3, 4, kGroupsNotJoined}};
  for (const Case& c : cases) {
    HandBoard board(2, 1);
    CPuzzlePiece& target = board.At(0, 0);
    CPuzzlePiece& moving = board.At(0, 1);
    board.Put(target, 200, 100, 3);
    board.Put(moving, 225 + c.dx, 100 + c.dy, 0);
    const D3DXVECTOR3 before = moving.m_currentPosition;
    EXPECT_EQ(JoinGroups(board.Group({{0, 1}}), board.Group({{0, 0}})), c.answer) << c.dx;
    if (c.answer == kGroupsJoined) {
      EXPECT_EQ(moving.m_currentPosition, D3DXVECTOR3(225, 100, 4.5f));
      EXPECT_EQ(moving.m_layer, 3);
      EXPECT_TRUE(moving.m_joined[3]);
      EXPECT_TRUE(target.m_joined[1]);
    } else {
      EXPECT_EQ(moving.m_currentPosition, before);
      EXPECT_EQ(JoinedCount(moving) + JoinedCount(target), 0);
    }
    EXPECT_EQ(target.m_currentPosition, D3DXVECTOR3(200, 100, 4.5f));
  }
}

TEST(JoinGroups, TurnedGroupSnapsWholeAndJoinsEveryInnerNeighbour) {
  // 3 x 2, ids 1 2 3 / 4 5 6. Target: 1 and 4 joined. Moving: 2 and 3 joined,
  // all turned by one quarter, dropped 3 units off. 5 lies loose beside.
  HandBoard board(3, 2);
  for (CPuzzlePiece& p : board.m_pieces) p.SetQuarterTurns(1);
  CPuzzlePiece &p1 = board.At(0, 0), &p2 = board.At(0, 1), &p3 = board.At(0, 2);
  CPuzzlePiece &p4 = board.At(1, 0), &p5 = board.At(1, 1);
  board.Put(p1, 0, 0, 1);
  JoinInPlace(p1, p4);
  board.Put(p5, -300, 0, 0);
  // Turned by one quarter, an offset of (25, 0) becomes (0, 25).
  board.Put(p2, 3, 25, 0);
  JoinInPlace(p2, p3);
  ASSERT_EQ(p3.m_currentPosition, D3DXVECTOR3(3, 50, 0));
  EXPECT_EQ(JoinGroups(board.Group({{0, 1}, {0, 2}}), board.Group({{0, 0}, {1, 0}, {1, 1}})), kGroupsJoined);
  EXPECT_EQ(p2.m_currentPosition, D3DXVECTOR3(0, 25, 1.5f));
  EXPECT_EQ(p3.m_currentPosition, D3DXVECTOR3(0, 50, 1.5f));
  EXPECT_EQ(p3.m_layer, 1);
  EXPECT_TRUE(p2.m_joined[3] && p1.m_joined[1]);
  EXPECT_TRUE(p2.m_joined[1] && p3.m_joined[3]);
  // 2 borders 5, but 5 is not joined to the target piece: left alone.
  EXPECT_FALSE(p2.m_joined[2]);
  EXPECT_EQ(JoinedCount(p5), 0);
  EXPECT_EQ(p5.m_currentPosition, D3DXVECTOR3(-300, 0, 0));
}

TEST(JoinGroups, SecondEdgeToTheTargetGroupIsJoinedToo) {
  // 2 x 2: target 1-2-4 joined in an L, moving piece 3 dropped into the gap
  // fits 1 first and borders 4 as well.
  HandBoard board(2, 2);
  CPuzzlePiece &p1 = board.At(0, 0), &p2 = board.At(0, 1), &p3 = board.At(1, 0), &p4 = board.At(1, 1);
  board.Put(p1, 500, 500);
  JoinInPlace(p1, p2);
  JoinInPlace(p2, p4);
  board.Put(p3, 501, 526);
  EXPECT_EQ(JoinGroups(board.Group({{1, 0}}), board.Group({{0, 0}, {0, 1}, {1, 1}})), kGroupsJoined);
  EXPECT_TRUE(p3.m_joined[0] && p1.m_joined[2]);
  EXPECT_TRUE(p3.m_joined[1] && p4.m_joined[3]);
  EXPECT_EQ(p3.m_currentPosition, D3DXVECTOR3(500, 525, 0));
}

TEST(JoinGroups, FittingPositionWithOtherTurnsIsNotJoined) {
  HandBoard board(2, 1);
  CPuzzlePiece& target = board.At(0, 0);
  CPuzzlePiece& moving = board.At(0, 1);
  moving.SetQuarterTurns(2);
  // Half a turn puts the target 25 to the right of the moving piece: 1 off.
  board.Put(moving, -11.5f, 12.5f);
  const FittingPair pair = FindFittingPair(board.Group({{0, 1}}), board.Group({{0, 0}}));
  EXPECT_EQ(pair.a, &moving);  // the first positional fit, turns not compared
  EXPECT_EQ(pair.b, &target);
  EXPECT_EQ(JoinGroups(board.Group({{0, 1}}), board.Group({{0, 0}})), kGroupsNotJoined);
  EXPECT_EQ(moving.m_currentPosition, D3DXVECTOR3(-11.5f, 12.5f, 0));
  EXPECT_EQ(JoinGroups({}, board.Group({{0, 0}})), kGroupsNotJoined);
}

// Large groups go through a grid-cell index; the answer must be the pair the
// plain double loop finds, the first in group order.
TEST(FindFittingPair, LargeGroupsAnswerTheFirstPairInGroupOrder) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> jitter(-6.0f, 6.0f);
  for (int round = 0; round < 40; ++round) {
    HandBoard board(20, 20);
    PieceGroup a, b;
    for (CPuzzlePiece& p : board.m_pieces) {
      board.Put(p, p.m_homePosition.x + jitter(random), p.m_homePosition.y + jitter(random));
      p.SetQuarterTurns(std::uint8_t(random() % 4 == 0 ? 1 : 0));
      (random() % 2 ? a : b).push_back(&p);
      // Sparse rows on odd rounds (only pieces of a row stay neighbours), so
      // that both kinds of cell index are used.
      if (round % 2) p.m_row *= 1000;
    }
    std::shuffle(a.begin(), a.end(), random);
    std::shuffle(b.begin(), b.end(), random);
    FittingPair expected;
    for (CPuzzlePiece* pa : a) {
      for (CPuzzlePiece* pb : b) {
        if (PiecesFit(*pb, *pa)) {
          expected = {pa, pb};
          break;
        }
      }
      if (expected.a) break;
    }
    const FittingPair found = FindFittingPair(a, b);
    EXPECT_EQ(found.a, expected.a) << round;
    EXPECT_EQ(found.b, expected.b) << round;
  }
}

TEST(RotateGroup, TurnsAboutThePivot) {
  struct Case {
    std::uint8_t from;
    int delta;
    std::uint8_t turns;
    D3DXVECTOR3 rightOfPivot;  // where the piece whose home is 25 to the right ends
  };
  const Case cases[] = {{0, +1, 1, {100, 225, 3}},
                        {0, -1, 3, {100, 175, 3}},
                        {3, +1, 0, {125, 200, 3}},
                        {2, -1, 1, {100, 225, 3}}};
  for (const Case& c : cases) {
    HandBoard board(3, 1);
    CPuzzlePiece &left = board.At(0, 0), &pivot = board.At(0, 1), &right = board.At(0, 2);
    for (CPuzzlePiece& p : board.m_pieces) p.SetQuarterTurns(c.from);
    left.SetQuarterTurns(std::uint8_t((c.from + 1) % 4));  // a stray turn is evened out
    board.Put(pivot, 100, 200, 2);
    RotateGroup(board.Group({{0, 0}, {0, 1}, {0, 2}}), c.delta, pivot);
    EXPECT_EQ(pivot.m_currentPosition, D3DXVECTOR3(100, 200, 3));
    for (const CPuzzlePiece& p : board.m_pieces) EXPECT_EQ(p.m_quarterTurns, c.turns);
    EXPECT_EQ(right.m_currentPosition, c.rightOfPivot) << int(c.from) << " " << c.delta;
    const D3DXVECTOR3 mirrored = D3DXVECTOR3(200, 400, 6) - c.rightOfPivot;
    EXPECT_EQ(left.m_currentPosition, mirrored);
  }
}

}  // namespace

#pragma once
// A game with a played 6 x 5 Classic board with rotation on the recording
// device, and the checks that two boards hold the same pieces.
#include <gtest/gtest.h>

#include "game/saves/saved_game_file.h"
#include "puzzle/piece_group.h"
#include "tests/game/game_fixture.h"

class SavedPuzzleTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    m_clock.SetWallTime(0x12A5);  // seed 0x2A5
    PlugScreens();
    StartGame();
    PuzzleSettings& s = m_game->m_settings;
    s.columns = 6;
    s.rows = 5;
    s.pieceShape = PieceShapeClassic;
    s.irregularity = 60;
    s.rotatePieces = true;
    ASSERT_TRUE(m_game->CreatePuzzle(s));
  }

  // Before the game starts.
  virtual void PlugScreens() {}

  CPuzzleBoard& Board() { return m_game->m_settings.m_board; }

  // Puts piece a next to b, turned like b, off by (dx, dy), and drops it.
  static int DropNextTo(CPuzzleBoard& board, int a, int b, float dx, float dy) {
    CPuzzlePiece& pa = board.m_pieces[size_t(a)];
    const CPuzzlePiece& pb = board.m_pieces[size_t(b)];
    pa.SetQuarterTurns(pb.m_quarterTurns);
    pa.PlaceRelativeTo(pb);
    pa.SetPosition(pa.m_currentPosition + D3DXVECTOR3{dx, dy, 0});
    PieceGroup others;
    for (CPuzzlePiece& p : board.m_pieces)
      if (&p != &pa) others.push_back(&p);
    const int answer = JoinGroups(PieceGroup{&pa}, others);
    board.UpdateCompletion();
    return answer;
  }

  // Two joined groups, one of them dragged, a turned piece on layer 2.
  void Play(CPuzzleBoard& board) {
    board.m_pieces[0].SetQuarterTurns(1);
    ASSERT_EQ(DropNextTo(board, 1, 0, 2.0f, -1.5f), kGroupsJoined);
    board.m_pieces[8].SetQuarterTurns(3);
    board.m_pieces[8].SetPosition(D3DXVECTOR3{-301.7f, 222.2f, 0});
    ASSERT_EQ(DropNextTo(board, 14, 8, -0.7f, 3.1f), kGroupsJoined);
    for (int i : {0, 1}) {  // the first group dragged
      CPuzzlePiece& p = board.m_pieces[size_t(i)];
      p.SetPosition(p.m_currentPosition + D3DXVECTOR3{13.37f, -4.21f, 0});
    }
    CPuzzlePiece& loose = board.m_pieces[20];
    loose.SetQuarterTurns(2);
    loose.m_layer = 2;
    loose.SetPosition(D3DXVECTOR3{-1000.123f, 777.7f, 3.0f});
  }

  static void ExpectSamePieces(const CPuzzleBoard& a, const CPuzzleBoard& b) {
    ASSERT_EQ(a.m_pieces.size(), b.m_pieces.size());
    for (size_t i = 0; i < a.m_pieces.size(); ++i) {
      SCOPED_TRACE(i);
      const CPuzzlePiece& p = a.m_pieces[i];
      const CPuzzlePiece& q = b.m_pieces[i];
      EXPECT_EQ(p.m_currentPosition.x, q.m_currentPosition.x);
      EXPECT_EQ(p.m_currentPosition.y, q.m_currentPosition.y);
      EXPECT_EQ(p.m_currentPosition.z, q.m_currentPosition.z);
      EXPECT_EQ(p.m_layer, q.m_layer);
      EXPECT_EQ(p.m_quarterTurns, q.m_quarterTurns);
      for (int side = 0; side < 4; ++side) EXPECT_EQ(p.m_joined[side], q.m_joined[side]);
      EXPECT_EQ(p.WorldMatrix(), q.WorldMatrix());  // meshes placed and turned
    }
    EXPECT_EQ(a.m_completion, b.m_completion);
  }
};

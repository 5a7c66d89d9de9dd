// A played 6 x 5 Classic board with rotation, read into a record, written,
// read back and put onto a second board made from the record's seed: every
// piece comes back exactly, and the next join on both boards is the same.
#include "game/saves/board_record.h"

#include <gtest/gtest.h>

#include "support/support.h"
#include "tests/game/saves/saves_fixture.h"

namespace {

class SavedBoardTest : public SavedPuzzleTest {
 protected:
  // A second board from the record's seed and grid, with the same picture.
  void MakeBoard(const SavedGame& g, CPuzzleBoard& board) {
    board.m_definition = Board().m_definition;
    ASSERT_TRUE(board.CreateWithSeed(g.seed, &m_game->m_settings.m_pictureTexture, g.columns, g.rows,
                                     g.rotatePieces, g.shape, unsigned(g.irregularity),
                                     GetTexturesDir() + kPathSeparator + "PieceEdge.png", ""));
  }

  // The played board through the record's JSON text.
  SavedGame ThroughText() {
    SavedGame g;
    g.picturePath = "picture.jpg";
    g.pictureWidth = g.pictureHeight = 1;
    g.rotatePieces = true;
    CaptureBoard(Board(), g);
    SavedGame read;
    EXPECT_EQ(ReadSavedGame(WriteSavedGame(g), read).status, SavedGameStatus::kOk);
    return read;
  }
};

}  // namespace

TEST_F(SavedBoardTest, APlayedBoardComesBackExactlyAndPlaysOnTheSame) {
  Play(Board());
  ASSERT_GT(Board().m_completion, 0.0f);
  const SavedGame g = ThroughText();
  EXPECT_EQ(g.seed, Board().m_seed);
  EXPECT_EQ(g.shape, PieceShapeClassic);
  EXPECT_EQ(g.irregularity, 60);

  CPuzzleBoard loaded;
  MakeBoard(g, loaded);
  ASSERT_TRUE(ApplySavedPieces(g, loaded));
  for (size_t i = 0; i < loaded.m_pieces.size(); ++i)  // the same cut
    ASSERT_EQ(loaded.m_pieces[i].m_homePosition, Board().m_pieces[i].m_homePosition) << i;
  ExpectSamePieces(Board(), loaded);

  // The next drop joins the same way on both.
  for (CPuzzleBoard* board : {&Board(), &loaded})
    EXPECT_EQ(DropNextTo(*board, 2, 1, 1.0f, 1.0f), kGroupsJoined);
  ExpectSamePieces(Board(), loaded);
  loaded.Clear();
}

TEST_F(SavedBoardTest, AGroupThatCameApartIsPlacedRoundItsFirstPiece) {
  Play(Board());
  SavedGame g = ThroughText();
  g.pieces[1].position.x += 3.0f;  // piece 2 of the group 1-2 off its place
  g.pieces[1].layer = 4;
  CPuzzleBoard loaded;
  MakeBoard(g, loaded);
  ASSERT_TRUE(ApplySavedPieces(g, loaded));
  const CPuzzlePiece& first = loaded.m_pieces[0];
  const CPuzzlePiece& second = loaded.m_pieces[1];
  EXPECT_EQ(first.m_currentPosition, Board().m_pieces[0].m_currentPosition);  // the anchor stays
  EXPECT_NEAR(second.m_currentPosition.x, Board().m_pieces[1].m_currentPosition.x, 0.01f);
  EXPECT_NEAR(second.m_currentPosition.y, Board().m_pieces[1].m_currentPosition.y, 0.01f);
  EXPECT_EQ(second.m_layer, first.m_layer);
  EXPECT_TRUE(second.m_joined[3]);

  // A record of another grid is not applied.
  g.columns = 5;
  g.rows = 6;
  const D3DXVECTOR3 before = loaded.m_pieces[7].m_currentPosition;
  g.pieces[7].position.x = 99.0f;
  EXPECT_FALSE(ApplySavedPieces(g, loaded));
  EXPECT_EQ(loaded.m_pieces[7].m_currentPosition, before);
  loaded.Clear();
}

// Picking, dragging, stacking, selecting, dropping, turning and separating
// on the play screen, with a generated board on the recording device and
// the mouse driven frame by frame.
#include <gtest/gtest.h>

#include <random>

#include "game/frame_driver.h"
#include "platform/shell.h"
#include "play_fixture.h"
#include "puzzle/piece_group.h"

namespace {

// Notes, when a box shows, whether the play time still ran and whether
// frames were held off.
class BoxWatchingShell : public ScopedRecordingShell {
 public:
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    m_timerRan = g_Game->m_playTimer.m_running;
    m_modal = ModalGuard::Active();
    return RecordingShell::MessageBox(text, caption, flags);
  }
  bool m_timerRan = true;
  bool m_modal = false;
};

class PlayPiecesTest : public PlayTest {
 protected:
  void Put(CPuzzlePiece& piece, float x, float y, int layer = 0) {
    piece.m_layer = layer;
    piece.SetPosition(D3DXVECTOR3(x, y, float(layer) * kLayerHeight));
  }
  // Every piece far out of view, 100 apart, so a test lays out only its own.
  void ClearTable() {
    for (CPuzzlePiece& p : Board().m_pieces) Put(p, -2000.0f + 100.0f * float(p.m_id), -2000.0f);
  }
};

}  // namespace

TEST(FirstFreeLayer, LowestFreeOfTheFirstSevenElseTheTop) {
  const struct {
    std::int32_t occupied[kLayerCount];
    std::int32_t free;
  } cases[] = {{{0, 0, 0, 0, 0, 0, 0, 0}, 0},
               {{1, 0, 1, 0, 0, 0, 0, 0}, 1},
               {{1, 1, 1, 1, 1, 1, 0, 0}, 6},
               {{1, 1, 1, 1, 1, 1, 1, 0}, 7},
               {{1, 1, 1, 1, 1, 1, 1, 1}, 7}};
  for (const auto& c : cases) EXPECT_EQ(FirstFreeLayer(c.occupied), c.free);
}

TEST_F(PlayPiecesTest, TheHighestLayerWinsAndTiesGoToTheLaterPiece) {
  NewPuzzle(3, 3);
  Put(Piece(2), 0, 0, 0);
  Put(Piece(5), 0, 0, 0);
  const POINT at = ScreenOf(Piece(5));
  Input(at.x, at.y, true, false);
  EXPECT_EQ(Hand().heldPiece, &Piece(5));
  Input(at.x, at.y, false, false);
  Put(Piece(2), 0, 0, 1);
  Put(Piece(5), 0, 0, 0);
  Input(at.x, at.y, true, false);
  EXPECT_EQ(Hand().heldPiece, &Piece(2));
  Input(at.x, at.y, false, false);
}

TEST_F(PlayPiecesTest, AStepThatTakesACentreOffTheTableIsRefusedWhole) {
  NewPuzzle(3, 3);
  CPuzzlePiece& a = Piece(0);
  const POINT at = ScreenOf(a);
  Input(at.x, at.y, true, false);
  ASSERT_TRUE(Hand().holding);
  const POINT cursor{500, 400};
  const D3DXVECTOR3 under = TableAt(cursor);
  // A step of +10 in x from 2490 ends exactly on the edge: allowed.
  Put(a, 2490, 0);
  Hand().grabPoint = under - D3DXVECTOR3(10, 0, 0);
  Inside().DragSelection(cursor.x, cursor.y);
  EXPECT_FLOAT_EQ(a.m_currentPosition.x, 2500.0f);
  // One more unit is refused, and the grab point stays where it was.
  const D3DXVECTOR3 grab = under - D3DXVECTOR3(1, 0, 0);
  Hand().grabPoint = grab;
  Inside().DragSelection(cursor.x, cursor.y);
  EXPECT_FLOAT_EQ(a.m_currentPosition.x, 2500.0f);
  EXPECT_EQ(Hand().grabPoint, grab);
  Input(at.x, at.y, false, false);
}

TEST_F(PlayPiecesTest, HeldPiecesLiftOntoTheFirstFreeLayerAndWhatLayOnThemSettles) {
  NewPuzzle(3, 3);
  ClearTable();
  // Pieces 1 (layer 0) and 2 (layer 2) under a spot; piece 3 lies on the
  // piece we pick up (piece 0, layer 1).
  Put(Piece(1), 0, 0, 0);
  Put(Piece(2), 0, 0, 2);
  Put(Piece(0), -200, 0, 1);
  Put(Piece(3), -200, 0, 3);
  Put(Piece(4), -300, 100, 0);
  // Piece 4 dragged onto the stack goes between layers 0 and 2.
  DragPiece(Piece(4), D3DXVECTOR3(0, 0, 0), false);
  EXPECT_EQ(Piece(4).m_layer, 1);
  Input(ScreenOf(Piece(4)).x, ScreenOf(Piece(4)).y, false, false);
  // Piece 0 carried away from under piece 3: piece 0 drops to layer 0 and
  // piece 3 falls onto the bare table in the step that uncovers it.
  DragPiece(Piece(0), D3DXVECTOR3(-200, 150, 0), false);
  EXPECT_EQ(Piece(0).m_layer, 0);
  EXPECT_EQ(Piece(3).m_layer, 0);
  EXPECT_FLOAT_EQ(Piece(3).m_currentPosition.z, 0.0f);
  Input(ScreenOf(Piece(0)).x, ScreenOf(Piece(0)).y, false, false);
  EXPECT_FALSE(Hand().holding);
  EXPECT_TRUE(Hand().others.empty() && Hand().touching.empty());
}

TEST_F(PlayPiecesTest, SettlingTakesLowerLayersFirst) {
  NewPuzzle(3, 3);
  ClearTable();
  // Piece 0 held on layer 0 with piece 1 on layer 1 and piece 2 on layer 2
  // above it; the held piece moves away, so 1 falls to 0 and then 2 onto 1.
  Put(Piece(0), 0, 0, 0);
  Put(Piece(1), 0, 0, 1);
  Put(Piece(2), 0, 0, 2);
  Hand().touching.clear();
  const POINT at = ScreenOf(Piece(0));
  Input(at.x, at.y, true, false);
  ASSERT_EQ(Hand().heldPiece, &Piece(2));  // the top one is picked
  Input(at.x, at.y, false, false);
  Inside().SelectPieceGroup(D3DXVECTOR3(0, 0, 0), &Piece(0));
  Inside().MoveSelection(D3DXVECTOR3(300, 0, 0));
  EXPECT_EQ(Hand().touching, (PieceGroup{&Piece(1), &Piece(2)}));
  Inside().RestackSelection();
  Inside().SettleStackedGroups();
  EXPECT_EQ(Piece(1).m_layer, 0);
  EXPECT_EQ(Piece(2).m_layer, 1);
  EXPECT_EQ(Piece(0).m_layer, 0);
}

TEST_F(PlayPiecesTest, ASelectionHoldsWholeGroupsAndMovesTogether) {
  NewPuzzle(3, 3);
  ClearTable();
  // Pieces 0 and 1 joined; piece 0 inside the band, piece 1 outside; all
  // of it right of the command helper.
  Put(Piece(0), 250, 100);
  Piece(1).SetPosition(PlaceBeside(Piece(1), Piece(0)));
  ASSERT_TRUE(JoinPieces(Piece(1), Piece(0)));
  Put(Piece(4), 210, 100);
  // The band from above-left of piece 4 to below-right of piece 0's centre.
  const POINT from = ProjectToLayout(D3DXVECTOR3(180, 70, 0));
  const POINT to = ProjectToLayout(D3DXVECTOR3(262, 125, 0));
  Input(from.x, from.y, true, false);
  ASSERT_EQ(m_screen.State(), kPlayBanding);
  Input(to.x, to.y, true, false, to.x - from.x, to.y - from.y);
  Input(to.x, to.y, false, false);
  EXPECT_EQ(Hand().selection, (PieceGroup{&Piece(0), &Piece(4), &Piece(1)}));
  for (int i : {0, 1, 4}) EXPECT_TRUE(Piece(i).m_selected) << i;
  // Dragging a selected piece moves the whole selection.
  const D3DXVECTOR3 before = Piece(1).m_currentPosition;
  DragPiece(Piece(4), D3DXVECTOR3(210, 200, 0), false);
  EXPECT_EQ(Hand().held.size(), 3u);
  EXPECT_NEAR(Piece(1).m_currentPosition.y, before.y + 100.0f, 0.5f);
  Input(ScreenOf(Piece(4)).x, ScreenOf(Piece(4)).y, false, false);
  // Taking a piece outside the selection forgets it and its highlight.
  Put(Piece(8), 150, -100);
  DragPiece(Piece(8), D3DXVECTOR3(160, -100, 0));
  EXPECT_TRUE(Hand().selection.empty());
  for (int i : {0, 1, 4}) EXPECT_FALSE(Piece(i).m_selected) << i;
}

TEST_F(PlayPiecesTest, TwoJoinsInOneDropPlayTwiceAndCountTowardsCompletion) {
  // The grid: 0 1 2 / 3 4 5 / 6 7 8.
  UseCountingSound();
  NewPuzzle(3, 3);
  ASSERT_TRUE(m_screen.HasConnectSound());
  ClearTable();
  Put(Piece(1), -150, 150);
  Put(Piece(0), -150, 300);
  DragPiece(Piece(0), PlaceBeside(Piece(0), Piece(1)));
  EXPECT_EQ(m_plays, 1);
  EXPECT_NEAR(Board().m_completion, 100.0 / 12.0, 1e-4);
  EXPECT_TRUE(Piece(0).m_joined[1]);
  // A band round pieces 4 and 6, then both dragged at once so that 4 lands
  // beside 5 and 6 beside 3: two joins, two sounds.
  Put(Piece(5), 150, 150);
  Put(Piece(4), 150, 300);
  Put(Piece(6), 250, 300);
  const D3DXVECTOR3 shift = PlaceBeside(Piece(4), Piece(5)) - Piece(4).m_currentPosition;
  const D3DXVECTOR3 landing6 = Piece(6).m_currentPosition + shift;
  Piece(3).SetPosition(landing6 + (Piece(3).m_homePosition - Piece(6).m_homePosition));
  const POINT from = ProjectToLayout(D3DXVECTOR3(120, 270, 0));
  const POINT to = ProjectToLayout(D3DXVECTOR3(280, 330, 0));
  Input(from.x, from.y, true, false);
  Input(to.x, to.y, true, false, to.x - from.x, to.y - from.y);
  Input(to.x, to.y, false, false);
  ASSERT_EQ(Hand().selection, (PieceGroup{&Piece(4), &Piece(6)}));
  DragPiece(Piece(4), PlaceBeside(Piece(4), Piece(5)));
  EXPECT_EQ(m_plays, 3);
  EXPECT_NEAR(Board().m_completion, 300.0 / 12.0, 1e-4);
  EXPECT_TRUE(Piece(4).m_joined[1] && Piece(6).m_joined[0]);
  EXPECT_TRUE(Hand().selection.empty());
}

TEST_F(PlayPiecesTest, TheCompletingDropStopsTheTimeThenShowsTheBox) {
  BoxWatchingShell shell;
  NewPuzzle(2, 1);
  m_clock.Advance(30);
  DragPiece(Piece(1), PlaceBeside(Piece(1), Piece(0)));
  EXPECT_FLOAT_EQ(Board().m_completion, 100.0f);
  ASSERT_EQ(shell.boxes.size(), 1u);
  EXPECT_EQ(shell.boxes[0].text, "Congratulation! you completed the puzzle.");
  EXPECT_EQ(shell.boxes[0].flags, MB_ICONINFORMATION);
  EXPECT_FALSE(shell.m_timerRan);
  EXPECT_TRUE(shell.m_modal);
  const double shown = m_game->m_playTimer.GetElapsed();
  m_clock.Advance(100);
  EXPECT_EQ(m_game->m_playTimer.GetElapsed(), shown);
}

TEST_F(PlayPiecesTest, TurningAndSeparating) {
  UseCountingSound();
  NewPuzzle(3, 3, 5, true);
  for (CPuzzlePiece& p : Board().m_pieces) p.SetQuarterTurns(0);
  Put(Piece(0), -150, 150);
  Piece(1).SetPosition(PlaceBeside(Piece(1), Piece(0)));
  ASSERT_TRUE(JoinPieces(Piece(1), Piece(0)));
  Board().UpdateCompletion();
  // Backspace on a held piece without a joined side does nothing.
  const POINT lone = ScreenOf(Piece(8));
  Input(lone.x, lone.y, true, false);
  m_screen.DisconnectSelectedPiece();
  EXPECT_EQ(m_plays, 0);
  Input(lone.x, lone.y, false, false);
  // The wheel turns the held group about the held piece, a quarter per event.
  const POINT at = ScreenOf(Piece(0));
  Input(at.x, at.y, true, false);
  Input(at.x, at.y, true, false, 0, 0, -120);
  EXPECT_EQ(Piece(0).m_quarterTurns, 1);
  EXPECT_EQ(Piece(1).m_quarterTurns, 1);
  Input(at.x, at.y, true, false, 0, 0, 360);
  EXPECT_EQ(Piece(0).m_quarterTurns, 0);
  // Separating keeps the piece held alone, with the sound.
  m_screen.DisconnectSelectedPiece();
  EXPECT_EQ(m_plays, 1);
  EXPECT_EQ(Hand().held, (PieceGroup{&Piece(0)}));
  EXPECT_FALSE(Piece(0).m_joined[1] || Piece(1).m_joined[3]);
  EXPECT_EQ(Board().m_completion, 0.0f);
  Input(at.x, at.y, false, false);
}

// The drag step's overlap collection and settling find their neighbours
// through an index and skip empty layers; they answer as the plain loops.
TEST_F(PlayPiecesTest, CollectingAndSettlingAnswerAsThePlainLoops) {
  NewPuzzle(8, 8);
  std::mt19937 random(17);
  auto plainOccupied = [](std::int32_t out[kLayerCount], const PieceGroup& a, const PieceGroup& b) {
    for (int i = 0; i < kLayerCount; ++i) out[i] = 0;
    for (const CPuzzlePiece* q : b)
      for (const CPuzzlePiece* p : a)
        if (q->m_layer >= 0 && q->m_layer < kLayerCount && PiecesOverlap(*q, *p)) out[q->m_layer] = 1;
  };
  int touchingSeen = 0;
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    const float area = round % 2 ? 120.0f : 300.0f;
    std::uniform_real_distribution<float> spread(-area, area);
    for (CPuzzlePiece& p : Board().m_pieces) {
      for (bool& j : p.m_joined) j = false;
      Put(p, spread(random), spread(random), int(random() % 8));
      p.SetQuarterTurns(std::uint8_t(random() % 4));
    }
    Hand().holding = true;
    Hand().held.clear();
    for (CPuzzlePiece& p : Board().m_pieces)
      if (random() % 4 == 0) Hand().held.push_back(&p);
    if (Hand().held.empty()) Hand().held.push_back(&Piece(0));
    Inside().CollectOtherPieces(Hand().held, Hand().others);
    // Collecting.
    PieceGroup expected;
    for (CPuzzlePiece* h : Hand().held)
      for (CPuzzlePiece* o : Hand().others)
        if (unsigned(h->m_layer) < unsigned(o->m_layer) && !GroupContains(expected, *o) &&
            PiecesOverlap(*h, *o))
          expected.push_back(o);
    Inside().CollectOverlappingPieces();
    ASSERT_EQ(Hand().touching, expected);
    touchingSeen += int(expected.size());
    // Settling, after the held pieces moved away a little.
    for (CPuzzlePiece* h : Hand().held) h->SetPosition(h->m_currentPosition + D3DXVECTOR3(30, 10, 0));
    std::vector<std::int32_t> before;
    for (CPuzzlePiece& p : Board().m_pieces) before.push_back(p.m_layer);
    for (unsigned k = 1; k <= 7; ++k) {
      PieceGroup below;
      for (CPuzzlePiece* o : Hand().others)
        if (unsigned(o->m_layer) < k) below.push_back(o);
      below.insert(below.end(), Hand().held.begin(), Hand().held.end());
      for (CPuzzlePiece* t : Hand().touching) {
        if (unsigned(t->m_layer) != k) continue;
        std::int32_t occupied[kLayerCount];
        plainOccupied(occupied, PieceGroup{t}, below);
        t->m_layer = FirstFreeLayer(occupied);
      }
    }
    std::vector<std::int32_t> settled;
    for (CPuzzlePiece& p : Board().m_pieces) settled.push_back(p.m_layer);
    for (std::size_t i = 0; i < before.size(); ++i) Board().m_pieces[i].m_layer = before[i];
    Inside().SettleStackedGroups();
    for (std::size_t i = 0; i < settled.size(); ++i) ASSERT_EQ(Board().m_pieces[i].m_layer, settled[i]) << i;
  }
  Hand().holding = false;
  EXPECT_GT(touchingSeen, 100);
}

// Play-screen benchmarks on a 2,000-piece Classic board (50 x 40) on the
// recording device (no display), through the play screen's own operations:
// - one drag step of 1,000 held pieces beside 1,000 others, as the screen
//   runs it: MoveSelection (with the overlap collection before the move),
//   then RestackSelection and SettleStackedGroups (target 1 ms, also when
//   100 of the others lie on the held group); each phase also alone;
// - the pick under the cursor on the left press (target 0.5 ms).
// Run by hand: build/bin/game_bench (one core: taskset -c 0).
//
// Sections: the board - dragging - picking - entry point
#include <benchmark/benchmark.h>

#include "bench/bench_board.h"
#include "engine/engine.h"
#include "game/puzzle_game.h"
#include "game/screens/play_screen.h"
#include "tests/engine/engine_access.h"
#include "tests/game/play_screen_access.h"

namespace {

using bench::kColumns;
using bench::kRows;

// ---- the board ----------------------------------------------------------------------------
// The game with its play screen around the board.
struct PlayParts {
  static constexpr LONG kWidth = 1024, kHeight = 768;
  CPuzzleGame game;
  CGUIInterfacePlayPuzzle screen;

  CPuzzleBoard& Board() { return game.m_settings.m_board; }
  CKVRTexture& Picture() { return game.m_settings.m_pictureTexture; }
  // The play screen is the current one while the board is there, as in the
  // game: its activation sets up the play camera and makes it the engine's.
  void Enter() {
    g_Game = &game;
    screen.Activate();
  }
  void Leave() {
    screen.Deactivate();
    g_Game = nullptr;
  }
};
using BenchWorld = bench::BenchWorld<PlayParts>;

BenchWorld& World(int definition) { return bench::World<PlayParts>(definition); }

// ---- dragging -------------------------------------------------------------------------------
// The held group: rows 0..19 joined in one block, taken by the screen;
// scenarios: 0 the block lies in the empty middle beside the scattered
// others; 1 it covers part of the first ring of scattered pieces; 2 ten of
// the others lie on it (layer 1); 3 a hundred do.
void MakeDragScene(BenchWorld& w, int scenario) {
  const PieceGroup block = bench::ShiftedBlock(w.Board(), scenario);
  const PlayScreenTestAccess screen{w.screen};
  PieceHandling& hand = screen.Hand();
  hand.selection.clear();
  screen.SelectPieceGroup(block.front()->m_currentPosition, block.front());
  bench::LayOnBlock(scenario, hand.others, hand.held);
}

// One step as the screen runs it; the pieces that lay on the block stay on
// it (they are put back after the step, outside the timing).
void BM_DragStep(benchmark::State& state) {
  BenchWorld& w = World(int(state.range(1)));
  MakeDragScene(w, int(state.range(0)));
  const PlayScreenTestAccess screen{w.screen};
  PieceHandling& hand = screen.Hand();
  bool forth = true;
  std::size_t touched = 0;
  for (auto _ : state) {
    screen.MoveSelection(forth ? D3DXVECTOR3(3, 2, 0) : D3DXVECTOR3(-3, -2, 0));
    forth = !forth;
    screen.RestackSelection();
    screen.SettleStackedGroups();
    touched += hand.touching.size();
  }
  state.counters["held layer"] = hand.held.front()->m_layer;
  state.counters["touching"] = double(touched) / double(state.iterations());
}
BENCHMARK(BM_DragStep)
    ->ArgNames({"scene", "definition"})
    ->Args({0, 3})
    ->Args({1, 3})
    ->Args({2, 3})
    ->Args({3, 3})
    ->Args({0, 4})
    ->Args({1, 4})
    ->Args({2, 4})
    ->Args({3, 4})
    ->Unit(benchmark::kMicrosecond);

// The three phases of a step alone, with a hundred pieces lying on the block.
void BM_DragPhase(benchmark::State& state) {
  BenchWorld& w = World(3);
  MakeDragScene(w, 3);
  const PlayScreenTestAccess screen{w.screen};
  PieceHandling& hand = screen.Hand();
  const int phase = int(state.range(0));
  screen.CollectOverlappingPieces();
  for (auto _ : state) {
    if (phase == 0) screen.CollectOverlappingPieces();
    if (phase == 1) {
      hand.restackPending = true;
      screen.RestackSelection();
    }
    if (phase == 2) {
      state.PauseTiming();
      for (CPuzzlePiece* t : hand.touching) {
        t->m_layer = 1;
        t->SetPosition(D3DXVECTOR3(t->m_currentPosition.x, t->m_currentPosition.y, kLayerHeight));
      }
      state.ResumeTiming();
      screen.SettleStackedGroups();
    }
  }
  state.counters["touching"] = double(hand.touching.size());
}
BENCHMARK(BM_DragPhase)
    ->ArgName("collect,restack,settle")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond);

// ---- picking --------------------------------------------------------------------------------
// The press's pick through the play camera, placed above the table's front
// edge, at pixels over pieces and between them.
void BM_PickUnderCursor(benchmark::State& state) {
  BenchWorld& w = World(3);
  bench::Scatter(w.Board());
  const PlayScreenTestAccess screen{w.screen};
  CKVRCamera& camera = *screen.Camera();
  camera.SetEye(0, -1800, 1800);
  camera.LookAt(0, 0, 0);
  Inside(g_Engine).ApplyCameraTransforms();  // the projection of a frame begin
  PieceHandling& hand = screen.Hand();
  int x = 0;
  std::size_t picks = 0;
  for (auto _ : state) {
    hand.holding = false;
    hand.selection.clear();
    screen.PickAt(100 + (x * 37) % 800, 200 + (x * 53) % 500);
    ++x;
    picks += hand.holding;
    state.PauseTiming();
    hand.held.clear();
    hand.others.clear();
    hand.touching.clear();
    hand.rubberBandActive = false;
    state.ResumeTiming();
  }
  state.counters["hit share"] = double(picks) / double(state.iterations());
}
BENCHMARK(BM_PickUnderCursor)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

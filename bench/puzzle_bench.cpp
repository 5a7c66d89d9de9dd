// Puzzle-model benchmarks on a 2,000-piece Classic board (50 x 40) built on
// the recording device, so no display is needed:
// - the play screen's pick: every piece hit-tested by one ray (target
//   0.5 ms), with the inverse world matrices cached and freshly computed,
//   and the first pick after a rebuild;
// (the drag step is timed through the play screen itself, in game_bench);
// - JoinGroups of the 1,000-piece held group against the other 1,000 pieces,
//   joining and not fitting (target 1 ms).
// Run by hand: build/bin/puzzle_bench (one core: taskset -c 0).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/bench_board.h"
#include "engine/draw_resources.h"
#include "engine/engine.h"
#include "platform/d3d9/recording/recording_device.h"
#include "puzzle/board_layout.h"
#include "puzzle/piece_group.h"
#include "puzzle/puzzle_board.h"

namespace {

using bench::kColumns;
using bench::kRows;

// ---- the board ----------------------------------------------------------------------------
// The picture and the board alone.
struct BoardParts {
  static constexpr LONG kWidth = 800, kHeight = 600;
  CKVRTexture picture;
  CPuzzleBoard board;

  CPuzzleBoard& Board() { return board; }
  CKVRTexture& Picture() { return picture; }
  void Enter() {}
  void Leave() {}
  CPuzzlePiece& At(int r, int c) { return board.m_pieces[std::size_t(r * kColumns + c)]; }
};
using BenchWorld = bench::BenchWorld<BoardParts>;

// One board per definition level for the whole run.
BenchWorld& World(int definition) { return bench::World<BoardParts>(definition); }

void Scatter(BenchWorld& w) { bench::Scatter(w.board); }

// ---- picking --------------------------------------------------------------------------------
struct Ray {
  D3DXVECTOR3 origin, direction;
};

// Rays from a camera above the table's front edge toward pieces and between
// them.
std::vector<Ray> PickRays(BenchWorld& w) {
  std::vector<Ray> rays;
  const D3DXVECTOR3 eye(0, -1800, 1800);
  for (std::size_t i = 0; i < w.board.m_pieces.size(); i += 31) {
    const D3DXVECTOR3 target = w.board.m_pieces[i].m_currentPosition + D3DXVECTOR3(3, -4, 0);
    rays.push_back({eye, target - eye});
    rays.push_back({eye, target + D3DXVECTOR3(21, 21, 0) - eye});
  }
  return rays;
}

// The play screen's pick: the hit piece on the highest layer, the later one
// among equal layers.
const CPuzzlePiece* Pick(BenchWorld& w, const Ray& ray) {
  const CPuzzlePiece* best = nullptr;
  int bestLayer = 0;
  for (const CPuzzlePiece& p : w.board.m_pieces) {
    if (p.HitTest(ray.origin, ray.direction) && p.m_layer >= bestLayer) {
      best = &p;
      bestLayer = p.m_layer;
    }
  }
  return best;
}

void BM_PickEveryPiece(benchmark::State& state) {
  BenchWorld& w = World(int(state.range(0)));
  Scatter(w);
  const std::vector<Ray> rays = PickRays(w);
  std::size_t i = 0, hits = 0;
  for (auto _ : state) {
    const CPuzzlePiece* p = Pick(w, rays[i++ % rays.size()]);
    hits += p != nullptr;
    benchmark::DoNotOptimize(p);
  }
  state.counters["hit share"] = double(hits) / double(state.iterations());
}
BENCHMARK(BM_PickEveryPiece)->Arg(3)->Arg(4)->Unit(benchmark::kMicrosecond);

// Every piece moved between picks, so no cached inverse world matrix helps.
void BM_PickEveryPieceAfterMoves(benchmark::State& state) {
  BenchWorld& w = World(int(state.range(0)));
  Scatter(w);
  const std::vector<Ray> rays = PickRays(w);
  std::size_t i = 0;
  float nudge = 0.01f;
  for (auto _ : state) {
    state.PauseTiming();
    nudge = -nudge;
    for (CPuzzlePiece& p : w.board.m_pieces) p.SetPosition(p.m_currentPosition + D3DXVECTOR3(nudge, 0, 0));
    state.ResumeTiming();
    benchmark::DoNotOptimize(Pick(w, rays[i++ % rays.size()]));
  }
}
BENCHMARK(BM_PickEveryPieceAfterMoves)->Arg(3)->Arg(4)->Unit(benchmark::kMicrosecond);

// The first pick after the board built its meshes, when every piece still
// has to gather the bounds of its new pick triangles.
void BM_FirstPickAfterRebuild(benchmark::State& state) {
  BenchWorld& w = World(int(state.range(0)));
  Scatter(w);
  const std::vector<Ray> rays = PickRays(w);
  for (auto _ : state) {
    state.PauseTiming();
    w.board.Rebuild();
    state.ResumeTiming();
    benchmark::DoNotOptimize(Pick(w, rays[0]));
  }
}
BENCHMARK(BM_FirstPickAfterRebuild)->Arg(3)->Arg(4)->Iterations(5)->Unit(benchmark::kMillisecond);

// ---- joining --------------------------------------------------------------------------------
// The held block (rows 0..19) dropped 3 units beside its place above the
// other 1,000 pieces, which lie solved and joined at home; or, with
// fits = 0, dropped far from them.
void BM_JoinGroups(benchmark::State& state) {
  BenchWorld& w = World(3);
  const bool fits = state.range(0) != 0;
  PieceGroup held, others;
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kColumns; ++c) (r < kRows / 2 ? held : others).push_back(&w.At(r, c));
  int joined = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (CPuzzlePiece& p : w.board.m_pieces) {
      for (bool& j : p.m_joined) j = false;
      p.m_layer = 0;
      p.SetPosition(p.m_homePosition);
    }
    JoinSidesWithinGroup(held);
    JoinSidesWithinGroup(others);
    const D3DXVECTOR3 drop = fits ? D3DXVECTOR3(3, -2, 0) : D3DXVECTOR3(4000, 0, 0);
    for (CPuzzlePiece* p : held) p->SetPosition(p->m_homePosition + drop);
    state.ResumeTiming();
    joined += JoinGroups(held, others) == kGroupsJoined;
  }
  if (joined != (fits ? int(state.iterations()) : 0)) state.SkipWithError("unexpected join result");
}
BENCHMARK(BM_JoinGroups)->ArgName("fits")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

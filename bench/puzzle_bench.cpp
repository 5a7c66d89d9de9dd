// Puzzle-model benchmarks on a 2,000-piece Classic board (50 x 40) built on
// the recording device, so no display is needed:
// - the play screen's pick: every piece hit-tested by one ray (target
//   0.5 ms), with the inverse world matrices cached and freshly computed,
//   and the first pick after a rebuild;
// - one drag step of 1,000 held pieces over 1,000 others: the overlap
//   collection, the move, the restack and the settling of the pieces that
//   lay on the held ones, as the play screen runs them (target 1 ms);
// - JoinGroups of the 1,000-piece held group against the other 1,000 pieces,
//   joining and not fitting (target 1 ms).
// Run by hand: build/bin/puzzle_bench (one core: taskset -c 0).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
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
struct BenchWorld {
  RecordingScript script;
  RecordingWindow window{800, 600};
  CKVRTexture picture;
  CPuzzleBoard board;

  explicit BenchWorld(int definition) {
    bench::StartRecordingEngine(script, window);
    bench::CreateBoard(board, picture, definition);
  }
  ~BenchWorld() {
    board.Clear();
    bench::StopEngine();
  }
  BenchWorld(const BenchWorld&) = delete;
  BenchWorld& operator=(const BenchWorld&) = delete;
  CPuzzlePiece& At(int r, int c) { return board.m_pieces[std::size_t(r * kColumns + c)]; }
};

// One board per definition level for the whole run.
BenchWorld& World(int definition) {
  static std::unique_ptr<BenchWorld> worlds[5];
  if (!worlds[definition]) {
    for (auto& w : worlds) w.reset();  // one board (and device) at a time
    worlds[definition] = std::make_unique<BenchWorld>(definition);
  }
  return *worlds[definition];
}

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
    for (CPuzzlePiece& p : w.board.m_pieces)
      p.SetPosition(p.m_currentPosition + D3DXVECTOR3(nudge, 0, 0));
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

// ---- dragging -------------------------------------------------------------------------------
// The held group: rows 0..19 joined in one block; the others: rows 20..39.
struct DragScene {
  PieceGroup held, others, touching;
};

std::int32_t FirstFreeLayer(const std::int32_t occupied[kLayerCount]) {
  for (int l = 0; l < kLayerCount - 1; ++l)
    if (occupied[l] == 0) return l;
  return kLayerCount - 1;
}

void SetLayer(CPuzzlePiece& p, std::int32_t layer) {
  p.m_layer = layer;
  D3DXVECTOR3 position = p.m_currentPosition;
  position.z = float(unsigned(layer)) * kLayerHeight;
  p.SetPosition(position);
}

// Scenarios: 0 the block lies in the empty middle, beside the scattered
// others; 1 it covers part of the first ring of scattered pieces; 2 ten of
// the others lie on top of it (layer 1); 3 a hundred do.
DragScene MakeDragScene(BenchWorld& w, int scenario) {
  DragScene s;
  s.held = bench::ShiftedBlock(w.board, scenario);
  for (int r = kRows / 2; r < kRows; ++r)
    for (int c = 0; c < kColumns; ++c) s.others.push_back(&w.At(r, c));
  bench::LayOnBlock(scenario, s.others, s.held);
  return s;
}

// MoveSelection (with the overlap collection before the move), then
// RestackSelection and SettleStackedGroups, in the play screen's order.
// The overlap collection keeps, in board order, only the others that lie
// above the lowest held piece (no other can be above any held piece), which
// gives the same pieces in the same order as testing all of them.
void DragStep(DragScene& s, const D3DXVECTOR3& offset) {
  s.touching.clear();
  PieceIdSet inTouching;
  unsigned lowestHeld = ~0u;
  for (const CPuzzlePiece* h : s.held) lowestHeld = std::min(lowestHeld, unsigned(h->m_layer));
  PieceGroup above;
  for (CPuzzlePiece* o : s.others)
    if (unsigned(o->m_layer) > lowestHeld) above.push_back(o);
  for (const CPuzzlePiece* h : s.held) {
    for (CPuzzlePiece* o : above) {
      if (unsigned(h->m_layer) < unsigned(o->m_layer) && !inTouching.Contains(o->m_id) &&
          PiecesOverlap(*h, *o)) {
        s.touching.push_back(o);
        inTouching.Insert(o->m_id);
      }
    }
  }
  for (CPuzzlePiece* h : s.held) h->SetPosition(h->m_currentPosition + offset);

  std::int32_t occupied[kLayerCount];
  OccupiedLayers(occupied, s.held, s.others);
  const std::int32_t free = FirstFreeLayer(occupied);
  std::int32_t lowest = kLayerCount - 1;
  for (const CPuzzlePiece* h : s.held) lowest = std::min(lowest, h->m_layer);
  for (CPuzzlePiece* h : s.held)
    SetLayer(*h, std::clamp(h->m_layer - lowest + free, 0, kLayerCount - 1));

  PieceGroup below, group;
  for (int k = 1; k < kLayerCount; ++k) {
    below.clear();
    for (CPuzzlePiece* o : s.others)
      if (unsigned(o->m_layer) < unsigned(k)) below.push_back(o);
    below.insert(below.end(), s.held.begin(), s.held.end());
    for (CPuzzlePiece* t : s.touching) {
      if (t->m_layer != k) continue;
      group.clear();
      t->CollectGroup(group);
      OccupiedLayers(occupied, group, below);
      const std::int32_t layer = FirstFreeLayer(occupied);
      for (CPuzzlePiece* g : group) SetLayer(*g, layer);
    }
  }
}

void BM_DragStep(benchmark::State& state) {
  BenchWorld& w = World(int(state.range(1)));
  DragScene s = MakeDragScene(w, int(state.range(0)));
  bool forth = true;
  std::size_t touched = 0;
  for (auto _ : state) {
    DragStep(s, forth ? D3DXVECTOR3(3, 2, 0) : D3DXVECTOR3(-3, -2, 0));
    forth = !forth;
    touched += s.touching.size();
  }
  state.counters["held layer"] = s.held.front()->m_layer;
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

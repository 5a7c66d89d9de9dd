// Board creation at full size on the recording device (no display): a
// 2,000-piece Classic board (50 x 40, irregularity 75, rotation allowed) at
// definitions 3 and 4, outlines, meshes and pick triangles included, and the
// resident memory such a board at definition 4 takes (counters in MB).
//
// Sections: device - creation - memory - entry point
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <new>

#include "bench_support.h"
#include "engine/draw_resources.h"
#include "engine/engine.h"
#include "platform/d3d9/recording/recording_device.h"
#include "puzzle/puzzle_board.h"
#include "tests/testkit/fresh_engine.h"

namespace {

constexpr int kColumns = 50, kRows = 40;  // 2,000 pieces

// ---- device -------------------------------------------------------------------------------
// g_Engine over a recording device for the life of the object.
class RecordingEngine {
 public:
  RecordingEngine() {
    testkit::FreshEngine();
    UseRecordingDevice(&m_script);
    m_ok = g_Engine.InitDirect3D().success && g_Engine.CreateDevice(&m_window, false).success;
    m_picture = std::make_unique<CKVRTexture>();
    m_picture->m_imageInfo.Width = 1250;  // 4 : 3.2, a 1,000-unit-high board
    m_picture->m_imageInfo.Height = 1000;
  }
  ~RecordingEngine() {
    m_picture.reset();
    testkit::FreshEngine();
    SetDirect3DFactory({});
  }
  bool ok() const { return m_ok; }
  CKVRTexture* picture() const { return m_picture.get(); }
  void ForgetCalls() { m_script.m_log.Clear(); }

 private:
  RecordingScript m_script;
  RecordingWindow m_window{1280, 1024};
  std::unique_ptr<CKVRTexture> m_picture;
  bool m_ok = false;
};

bool Create(CPuzzleBoard& board, CKVRTexture* picture) {
  return board.CreateWithSeed(517, picture, kColumns, kRows, true, PieceShapeClassic, 75,
                              "/nonexistent/PieceEdge.png", "");
}

// ---- creation -------------------------------------------------------------------------------
void BM_CreateClassicBoard(benchmark::State& state) {
  RecordingEngine engine;
  if (!engine.ok()) {
    state.SkipWithError("no recording device");
    return;
  }
  CPuzzleBoard board;
  board.m_definition = int(state.range(0));
  for (auto _ : state) {
    if (!Create(board, engine.picture())) state.SkipWithError("Create failed");
    state.PauseTiming();
    board.Clear();
    engine.ForgetCalls();
    state.ResumeTiming();
  }
  state.SetLabel("2,000 pieces");
}

// ---- memory ---------------------------------------------------------------------------------
void BM_BoardResidentMemory(benchmark::State& state) {
  RecordingEngine engine;
  if (!engine.ok()) {
    state.SkipWithError("no recording device");
    return;
  }
  const double before = ResidentMegabytes();
  auto board = std::make_unique<CPuzzleBoard>();
  board->m_definition = 4;
  for (auto _ : state) {
    if (!Create(*board, engine.picture())) state.SkipWithError("Create failed");
  }
  engine.ForgetCalls();
  double vertices = 0, indices = 0, picks = 0;
  for (const CKVR3DObjectRenderParam& r : board->m_meshes.m_renderParams) {
    vertices += r.m_vertexCount;
    indices += r.m_indexCount;
  }
  double outlines = 0;  // outline points of the board's edges and the pieces' copies
  for (const auto* edges : {&board->m_horizontalEdges, &board->m_verticalEdges})
    for (const CPuzzleEdge& e : *edges) outlines += double(e.m_points.capacity());
  for (const CPuzzlePiece& p : board->m_pieces) {
    picks += double(p.m_topTriangles.size() + p.m_sideTriangles.size());
    for (const CPuzzleEdge& e : p.m_edges) outlines += double(e.m_points.capacity());
  }
  constexpr double kMB = 1024.0 * 1024.0;
  state.counters["vertices"] = vertices;
  state.counters["indices"] = indices;
  state.counters["picks"] = picks;
  // The shares of the largest parts: buffer CPU copies, pick triangles,
  // outlines.
  state.counters["buffers_MB"] = (vertices * sizeof(VertexPNDT) + indices * sizeof(WORD)) / kMB;
  state.counters["picks_MB"] = picks * sizeof(PickTriangle) / kMB;
  state.counters["outlines_MB"] = outlines * sizeof(D3DXVECTOR3) / kMB;
  state.counters["board_MB"] = ResidentMegabytes() - before;
  state.counters["resident_MB"] = ResidentMegabytes();
  board->Clear();
}
BENCHMARK(BM_BoardResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
// The first board the process makes, alone: run in a fresh process per
// definition (bench/run_benchmarks.py does) to see creation without pages the
// allocator already holds.
BENCHMARK(BM_CreateClassicBoard)
    ->Name("BM_CreateClassicBoardFirst")
    ->Arg(3)
    ->Arg(4)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
// Registered after the memory benchmark, which so measures a fresh process.
BENCHMARK(BM_CreateClassicBoard)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace

// ---- entry point ------------------------------------------------------------------------------
BENCHMARK_MAIN();

// Frames of real boards on the GL device: CPuzzleBoard::Render of Classic
// boards of 100, 500, 1,000 and 2,000 pieces at definitions 3 and 4 with
// shiny pieces (as a board starts), and of 2,000 matte pieces (no specular
// light: what the minimal program's shader draws), every piece at home and
// the whole board in view of a 1280 x 1024 window, through
// g_Engine's device (Clear, BeginScene, Render, EndScene, Present, then
// glFinish). Each iteration also draws the same frame with the minimal
// program (bench/minimal_program.h: same bytes, same draw calls, simplest
// shader) in the same process, right after the device's frame, so both see
// the same machine. Counters: fps and triangles/s of the device, the
// minimal program's frame (baseline_ms) and the ratio of the two frames
// (ratio, device / minimal; cpu_ratio of the processor time of the calling
// thread, see FramePairTimer); resident_MB and resident2_MB, the whole
// process after the first and the second frame of the first board it made
// (run one board alone for a fresh figure).
//
// The same 2,000-piece board scattered as a new game lays it out, seen from
// the play screen's camera after the fly-in (height 300 over the table,
// facing down the table's y axis): the board's frame (skipping the pieces
// out of view) against a frame that draws only the pieces in view (one of
// their vertices inside the clip volume) with the same calls and no test,
// in the same iteration (ratio, board / pieces in view; goal 1.2), and the
// test alone (CollectPiecesInView, at the play camera and with the whole
// board in view; goal a few microseconds).
//
// The boards and their paired frames are in bench/board_scene.h.
//
// Sections: benchmarks - entry point
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>

#include "bench_support.h"
#include "board_scene.h"
#include "engine/camera.h"
#include "engine/draw_resources.h"
#include "engine/engine.h"
#include "minimal_program.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/d3d9/gl/gl_host_widget.h"
#include "puzzle/puzzle_board.h"

namespace {

using bench::BoardScene;
using bench::EngineOnWindow;
using bench::Finish;
using bench::kClear;
using bench::kHeight;
using bench::kWidth;
using bench::Pictures;
using Scene = BoardScene;

EngineOnWindow g_window;
Pictures* g_pictures = nullptr;

// ---- benchmarks ---------------------------------------------------------------------------------
// Each iteration: the device's frame (finished), then the baseline's; the
// device's time is the iteration's (see FramePairTimer).
template <class Baseline>
void TimeFramePairs(benchmark::State& state, const std::function<void()>& device, Baseline baseline) {
  FramePairTimer timer;
  for (auto _ : state) {
    timer.StartDevice();
    device();
    Finish();
    timer.StartBaseline();
    baseline();
    state.SetIterationTime(timer.EndBaseline());
  }
  timer.Report(state);
}

void BM_BoardFrame(benchmark::State& state) {
  auto scene = std::make_unique<Scene>();
  if (!g_Engine.Device() ||
      !scene->Create(*g_pictures, int(state.range(0)), int(state.range(1)), state.range(2) != 0)) {
    state.SkipWithError("no GL device or no board");
    return;
  }
  scene->SetDeviceState();
  scene->DeviceFrame();
  Finish();
  // The process as the first board left it (later boards find pages that
  // earlier ones gave back to the allocator), after its first frame and
  // after its second (index buffers let go of their copies in the second).
  static const double resident = ResidentMegabytes();
  scene->DeviceFrame();
  Finish();
  static const double resident2 = ResidentMegabytes();
  QImage shown;
  const bool read = GLReadBackBuffer(g_Engine.Device(), &shown);
  if (const char* path = std::getenv("RAVELLE_BENCH_PICTURE")) shown.save(path);
  int covered = 0;  // of 81 points over the middle half of the window
  for (int y = 0; y < 9 && read; ++y)
    for (int x = 0; x < 9; ++x)
      covered +=
          shown.pixel(kWidth / 4 + x * kWidth / 16, kHeight / 4 + y * kHeight / 16) != QColor(kClear).rgb();
  if (covered < 40) {
    state.SkipWithError("the board was not drawn");
    return;
  }
  MinimalProgram minimal;
  std::vector<MinimalDraw> draws;
  if (!scene->MakeMinimal(g_window.Surface(), minimal, draws)) {
    state.SkipWithError("the minimal program does not build");
    return;
  }
  minimal.Frame(draws, kClear);
  minimal.Finish();
  // The two pictures, which bench_tests holds to the same.
  state.counters["pixels_apart"] = double(CompareFrames(shown, minimal.ReadFrame(), 2).pixelsOver);
  TimeFramePairs(
      state, [&] { scene->DeviceFrame(); },
      [&] {
        minimal.Frame(draws, kClear);
        minimal.Finish();
      });
  state.counters["triangles_per_s"] = scene->Triangles() * state.counters["fps"];
  state.counters["triangles"] = scene->Triangles();
  state.counters["resident_MB"] = resident;
  state.counters["resident2_MB"] = resident2;
  scene.reset();
}
BENCHMARK(BM_BoardFrame)
    ->ArgsProduct({{100, 500, 1000, 2000}, {3, 4}, {1}})
    ->Args({2000, 3, 0})
    ->Args({2000, 4, 0})
    ->ArgNames({"pieces", "definition", "shiny"})
    ->UseManualTime()
    ->MinTime(1.0)
    ->Unit(benchmark::kMillisecond);

// The board at the play camera against the pieces in view alone.
void BM_BoardAtPlayCamera(benchmark::State& state) {
  auto scene = std::make_unique<Scene>();
  if (!g_Engine.Device() || !scene->Create(*g_pictures, 2000, int(state.range(0)), true)) {
    state.SkipWithError("no GL device or no board");
    return;
  }
  scene->UsePlayCamera();
  scene->SetDeviceState();
  const std::vector<int> inView = scene->PiecesWithAVertexInView();
  scene->DeviceFrame();
  Finish();
  const size_t drawn = scene->board.m_piecesInView.size();
  if (inView.empty() || drawn < inView.size()) {
    state.SkipWithError("the camera sees no piece, or the board skipped one in view");
    return;
  }
  scene->FrameOf(inView);
  Finish();
  TimeFramePairs(
      state, [&] { scene->DeviceFrame(); },
      [&] {
        scene->FrameOf(inView);
        Finish();
      });
  state.counters["pieces_drawn"] = double(drawn);
  state.counters["pieces_in_view"] = double(inView.size());
}
BENCHMARK(BM_BoardAtPlayCamera)
    ->Arg(3)
    ->Arg(4)
    ->ArgName("definition")
    ->UseManualTime()
    ->MinTime(1.0)
    ->Unit(benchmark::kMillisecond);

// The test of every piece against the view volume, at the play camera (0)
// and with the whole board in view (1).
void BM_PiecesInView(benchmark::State& state) {
  auto scene = std::make_unique<Scene>();
  if (!g_Engine.Device() || !scene->Create(*g_pictures, 2000, 3, true)) {
    state.SkipWithError("no GL device or no board");
    return;
  }
  if (state.range(0) == 0) scene->UsePlayCamera();
  const CKVRViewVolume volume(scene->view, scene->projection);
  for (auto _ : state) {
    scene->board.CollectPiecesInView(volume);
    benchmark::DoNotOptimize(scene->board.m_piecesInView.data());
  }
  state.counters["pieces_drawn"] = double(scene->board.m_piecesInView.size());
}
BENCHMARK(BM_PiecesInView)->Arg(0)->Arg(1)->ArgName("whole")->Unit(benchmark::kMicrosecond);

}  // namespace

// ---- entry point ---------------------------------------------------------------------------------
int main(int argc, char** argv) {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) {
    std::printf("board_render_bench needs a display (try xvfb-run); nothing measured.\n");
    return 0;
  }
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  Pictures pictures;
  g_pictures = &pictures;
  if (!g_window.Open()) {
    std::printf("no GL device; nothing measured.\n");
    return 0;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  g_window.Close();
  return 0;
}

// The GL device under the load of a full board: 2,000 pieces of about 300
// triangles in three sub-objects each, sharing one vertex and one index
// buffer, drawn the way the engine draws a multi-object (one SetTransform and
// one DrawIndexedPrimitive per sub-object) into a 1280 x 1024 window; and
// the lock / fill / unlock of 2,000 sub-object ranges of that buffer, with
// and without the upload at the next draw. The frame is measured beside the
// minimal program (bench/minimal_program.h) drawing the same bytes with the
// same draw calls, frame for frame in the same run: counters baseline_ms and
// ratio (device / minimal).
//
// The board and its paired frame are in bench/device_board_scene.h.
//
// Sections: benchmarks - entry point
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/display_main.h"
#include "bench_support.h"
#include "device_board_scene.h"
#include "minimal_program.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/d3d9/gl/gl_host_widget.h"

namespace {

using bench::DeviceBoardScene;
using bench::kPieces;
using bench::SubObject;

// ---- benchmarks ---------------------------------------------------------------------------------
void BM_DrawBoardFrame(benchmark::State& state) {
  DeviceBoardScene scene;
  if (!scene.Open(D3DMULTISAMPLE_TYPE(state.range(0)))) {
    state.SkipWithError("no GL device");
    return;
  }
  scene.DrawFrame();
  QImage shown;
  if (!GLReadBackBuffer(scene.device, &shown) || shown.pixel(640, 512) == qRgb(0x20, 0x40, 0x80)) {
    state.SkipWithError("the pieces were not drawn");
    return;
  }
  // The minimal program draws without samples, so it stands beside the
  // frame without them only.
  auto minimal = std::make_unique<MinimalProgram>();  // gone before the window
  std::vector<MinimalDraw> draws;
  const bool compare = state.range(0) == 0 && MakeMinimal(scene, *minimal, draws);
  if (compare) {  // the two pictures, which bench_tests holds to the same
    minimal->Frame(draws, 0xFF204080);
    minimal->Finish();
    state.counters["pixels_apart"] = double(CompareFrames(shown, minimal->ReadFrame(), 2).pixelsOver);
  }
  FramePairTimer timer;
  for (auto _ : state) {
    timer.StartDevice();
    scene.DrawFrame();
    scene.Finish();
    timer.StartBaseline();
    if (compare) {
      minimal->Frame(draws, 0xFF204080);
      minimal->Finish();
    }
    state.SetIterationTime(timer.EndBaseline());
  }
  if (compare) timer.Report(state);
  state.counters["fps"] = double(state.iterations()) / timer.DeviceSeconds();
  state.counters["triangles"] = double(scene.board.indices.size() / 3);
  minimal.reset();
  scene.Close();
}
BENCHMARK(BM_DrawBoardFrame)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond)->UseManualTime();

// Locks the top sub-object of every piece, rewrites its vertices, unlocks.
void FillTops(DeviceBoardScene& scene, float lift) {
  for (int p = 0; p < kPieces; ++p) {
    const SubObject& sub = scene.board.subs[size_t(p * 3)];
    void* data = nullptr;
    scene.vb->Lock(UINT(sub.baseVertex) * sizeof(VertexPNDT), sub.vertexCount * sizeof(VertexPNDT), &data, 0);
    auto* v = static_cast<VertexPNDT*>(data);
    for (UINT i = 0; i < sub.vertexCount; ++i) v[i].z = 4 + lift;
    scene.vb->Unlock();
  }
}

void BM_LockFillUnlockSubObjectRanges(benchmark::State& state) {
  DeviceBoardScene scene;
  if (!scene.Open(D3DMULTISAMPLE_NONE)) {
    state.SkipWithError("no GL device");
    return;
  }
  const bool draw = state.range(0) != 0;  // with the upload at the next draw
  float lift = 0;
  for (auto _ : state) {
    FillTops(scene, lift += 0.001f);
    if (draw) {
      scene.device->SetStreamSource(0, scene.vb, 0, sizeof(VertexPNDT));
      scene.device->SetIndices(scene.ib);
      scene.device->SetFVF(VertexPNDT_FVF);
      const SubObject& sub = scene.board.subs[0];
      scene.device->BeginScene();  // a draw outside a scene is refused
      scene.device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, sub.baseVertex, 0, sub.vertexCount,
                                         sub.startIndex, sub.primitiveCount);
      scene.device->EndScene();
      scene.Finish();
    }
  }
  state.SetItemsProcessed(state.iterations() * kPieces);
  scene.Close();
}
BENCHMARK(BM_LockFillUnlockSubObjectRanges)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

// ---- entry point ---------------------------------------------------------------------------------
int main(int argc, char** argv) { return bench::RunOnDisplay(argc, argv, "platform_bench"); }

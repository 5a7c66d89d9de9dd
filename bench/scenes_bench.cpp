// The screen saver's scenes on the GL device in a shown 1280 x 1024 window,
// as the screen saver runs them: per frame the scene's update, the engine's
// frame begin, the scene's drawing, the end of the scene and Present, then a
// glFinish so that the frame is really done. The sample pictures of the
// build's installation, the real clock. Counter fps: frames per second.
//
// Sections: engine and window - benchmarks - entry point
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

#include "bench/display_main.h"
#include "engine/camera.h"
#include "engine/engine.h"
#include "platform/crt_random.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/d3d9/gl/gl_host_widget.h"
#include "saver/scenes/black_hole.h"
#include "saver/scenes/falling_wall.h"
#include "saver/scenes/puzzle_rain.h"
#include "saver/scenes/solving.h"
#include "tests/saver/scenes/scene_access.h"
#include "tests/testkit/fresh_engine.h"

namespace {

// ---- engine and window -----------------------------------------------------------------
// g_Engine on the GL device of a shown window, for the life of the object.
class GLEngine {
 public:
  GLEngine() {
    testkit::FreshEngine();
    m_widget = std::make_unique<GLHostWidget>();
    m_widget->resize(1280, 1024);
    m_widget->show();
    QElapsedTimer waited;
    waited.start();
    while (!m_widget->IsShowing() && waited.elapsed() < 5000) QApplication::processEvents();
    SetDirect3DFactory([] { return Direct3DCreate9GL(); });
    SetEngineSleep([](int) {});
    m_ok = g_Engine.InitDirect3D().success && g_Engine.CreateDevice(m_widget.get(), false).success;
    g_Engine.SetCamera(&m_camera);
  }
  ~GLEngine() {
    testkit::FreshEngine();
    SetDirect3DFactory({});
    SetEngineSleep({});
    m_widget.reset();
  }
  bool ok() const { return m_ok; }
  CKVRCamera* camera() { return &m_camera; }

  // One frame as the screen saver's window makes it.
  static void Frame(CScene& scene) {
    scene.Update();
    if (!DrawSceneFrame(&scene)) return;
    QOpenGLContext::currentContext()->functions()->glFinish();
  }

 private:
  std::unique_ptr<GLHostWidget> m_widget;
  CKVRCamera m_camera;
  bool m_ok = false;
};

// ---- benchmarks ----------------------------------------------------------------------------
template <class Scene>
void BM_Scene(benchmark::State& state) {
  GLEngine engine;
  if (!engine.ok()) {
    state.SkipWithError("no GL device");
    return;
  }
  Scene scene;
  CrtSrand(7);
  scene.SetCamera(engine.camera());
  scene.Init();
  for (int i = 0; i < 10; ++i) GLEngine::Frame(scene);  // uploads and warm-up
  for (auto _ : state) GLEngine::Frame(scene);
  state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["pieces"] = double(Inside(scene).Board().m_pieceCount);
  // The engine takes the highest multisample type the device offers.
  state.counters["samples"] = double(g_Engine.PresentParameters().MultiSampleType);
  scene.Release();
}
BENCHMARK_TEMPLATE(BM_Scene, CSceneBlackHole)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_Scene, CSceneSolving)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_Scene, CSceneFallingWall)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_Scene, CScenePuzzleRain)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// ---- entry point ---------------------------------------------------------------------------------
int main(int argc, char** argv) { return bench::RunOnDisplay(argc, argv, "saver_scenes_bench"); }

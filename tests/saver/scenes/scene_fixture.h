#pragma once
// Scenes on the recording device: a fresh g_Engine with a 1280 x 1024 back
// buffer, a hand-driven clock (wall time 0, so boards get seed 0), and an
// installation of our own whose picture folder the test fills.
#include <QImage>

#include <fstream>
#include <string>

#include "platform/crt_random.h"
#include "platform/profile.h"
#include "saver/scenes/scene.h"
#include "scene_access.h"
#include "testkit.h"
#include "tests/engine/engine_fixture.h"

class SceneTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    SetProfileFile(m_dir / "profile.ini");
    m_dir.MakeFolder("PuzzleSamples");
    SaveImage("Textures/PieceEdge.png", 16, 16, qRgb(120, 80, 40));
    SaveImage("Textures/PieceBottom.png", 16, 16, qRgb(60, 60, 60));
    m_window.SetClientSize(1280, 1024);
    StartEngine();
  }
  void TearDown() override {
    SetProfileFile("");
    EngineTest::TearDown();
  }
  // A plain picture of width x height in the picture folder.
  void AddPicture(const std::string& name, int width, int height, QRgb colour = qRgb(40, 90, 160)) {
    SaveImage("PuzzleSamples/" + name, width, height, colour);
  }
  void SaveImage(const std::string& name, int width, int height, QRgb colour) {
    m_dir.MakeFolder(name.substr(0, name.rfind('/')));
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(QString::fromStdString(m_dir / name)));
  }
  // Init as the window does it: camera first.
  void Start(CScene& scene) {
    scene.SetCamera(&m_camera);
    scene.Init();
  }
  // One frame: the clock moves by seconds, then Update.
  void Step(CScene& scene, double seconds) {
    m_clock.Advance(seconds);
    scene.Update();
  }
  // One whole frame as the window draws it.
  void Frame(CScene& scene) {
    ASSERT_TRUE(g_Engine.BeginFrame());
    scene.Render();
    EndFrame();
  }

  testkit::TempDir m_dir;
  testkit::ScopedInstallation m_install{m_dir.path()};
};

// A fixture that owns one scene of the given class, started as the window
// starts it unless the test wants to prepare pictures first, and released at
// the end.
template <class Scene, bool kStartAtSetUp = true>
class OneScene : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    if (kStartAtSetUp) Start(m_scene);
  }
  void TearDown() override {
    m_scene.Release();
    SceneTest::TearDown();
  }
  Scene m_scene;
};

// A scene that only builds puzzles: a test reproduces a scene's draws by
// building the same puzzle and drawing after it.
class PuzzleOnlyScene : public CScene {
 public:
  ~PuzzleOnlyScene() override { Release(); }
  void Release() override { ReleaseSphereAndPuzzle(); }
  void Init() override {}
  void Update() override {}
  void Render() override {}
};

// |a - b| <= tolerance on each axis.
inline ::testing::AssertionResult Near(const D3DXVECTOR3& a, const D3DXVECTOR3& b, float tolerance = 1e-3f) {
  if (std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance &&
      std::fabs(a.z - b.z) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") is not (" << b.x
                                       << ", " << b.y << ", " << b.z << ")";
}

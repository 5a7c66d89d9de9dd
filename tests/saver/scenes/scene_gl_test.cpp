// Each scene drawn through the GL device at 1280 x 1024 with the sample
// pictures of the build's installation, for a person to look at, written to
// <build>/demo/scenes/<scene>.png; the falling wall's grey frame checked
// pixel by pixel; and each scene's frame the same whether the board skips
// the pieces out of view or draws them all.
#include <gtest/gtest.h>

#include <QImage>
#include <QSet>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "demo_picture.h"
#include "engine/camera.h"
#include "engine/engine.h"
#include "platform/clock.h"
#include "platform/crt_random.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/profile.h"
#include "saver/scenes/black_hole.h"
#include "saver/scenes/falling_wall.h"
#include "saver/scenes/puzzle_rain.h"
#include "saver/scenes/solving.h"
#include "scene_access.h"
#include "testkit.h"
#include "tests/engine/gl_engine_fixture.h"

namespace {

class ScenesOnGL_X11 : public GLEngineFixture {
 protected:
  ScenesOnGL_X11() : GLEngineFixture(1280, 1024) {}
  void SetUp() override {
    GLEngineFixture::SetUp();
    if (IsSkipped()) return;
    SetProfileFile(m_dir / "profile.ini");
    g_Engine.SetCamera(&m_camera);
  }
  void TearDown() override {
    SetProfileFile("");
    GLEngineFixture::TearDown();
  }
  // Init as the window does it, with the generator seeded as given (that
  // picks the picture) and the wall time giving the board's seed.
  void Start(CScene& scene, std::uint32_t seed, std::time_t wallTime) {
    m_clock.SetWallTime(wallTime);
    CrtSrand(seed);
    scene.SetCamera(&m_camera);
    scene.Init();
  }
  void Run(CScene& scene, int frames, double step = 1.0 / 30) {
    for (int i = 0; i < frames; ++i) {
      m_clock.Advance(step);
      scene.Update();
    }
  }
  // One frame as the window draws it, read back.
  QImage Draw(CScene& scene) {
    QImage image;
    if (!DrawSceneFrame(&scene)) return image;
    GLReadBackBuffer(g_Engine.Device(), &image);
    return image;
  }
  void Save(const QImage& image, const char* name) {
    ASSERT_TRUE(testkit::SaveDemoPicture(image, "scenes", name));
  }
  // Starts the scene, lets it run, draws a frame, saves it as <name>.png and
  // checks that the frame has something in it.
  void Demo(CScene& scene, const char* name, std::uint32_t seed, std::time_t wallTime,
            const std::function<void()>& run) {
    Start(scene, seed, wallTime);
    run();
    const QImage image = Draw(scene);
    ASSERT_FALSE(image.isNull());
    Save(image, name);
    EXPECT_GT(Variety(image), 40);
    scene.Release();
  }
  // Distinct colours among every 16th pixel: a frame with something in it.
  static int Variety(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 16)
      for (int x = 0; x < image.width(); x += 16) colours.insert(image.pixel(x, y) & 0xF0F0F0);
    return int(colours.size());
  }

  testkit::TempDir m_dir;
  ManualClock m_clock;
  CKVRCamera m_camera;
};

}  // namespace

TEST_F(ScenesOnGL_X11, BlackHole) {
  CSceneBlackHole scene;
  Demo(scene, "black_hole", 3, 77, [&] { Run(scene, 300); });
}

TEST_F(ScenesOnGL_X11, Solving) {
  CSceneSolving scene;
  // About half the pieces have landed.
  Demo(scene, "solving", 5, 501, [&] {
    for (int i = 0; i < 200000 && size_t(scene.m_nextPiece) < scene.m_pieces.size() / 2; ++i) Run(scene, 1);
  });
}

TEST_F(ScenesOnGL_X11, FallingWall) {
  CSceneFallingWall scene;
  // A quarter of the pieces have fallen, and the next is on its way.
  Demo(scene, "falling_wall", 2, 300, [&] {
    for (int i = 0; i < 200000 && size_t(scene.m_fallingIndex) < scene.m_pieces.size() / 4; ++i)
      Run(scene, 1);
    Run(scene, 12);
  });
}

TEST_F(ScenesOnGL_X11, PuzzleRain) {
  CScenePuzzleRain scene;
  Demo(scene, "puzzle_rain", 6, 640, [&] { Run(scene, 90); });
}

TEST_F(ScenesOnGL_X11, FallingWallIsAllGreyWhenTheNewWallIsBuilt) {
  CSceneFallingWall scene;
  Start(scene, 2, 300);
  for (int i = 0; i < 400000 && scene.m_state != CSceneFallingWall::kFadingFromGrey; ++i) Run(scene, 1, 0.1);
  ASSERT_EQ(scene.m_state, CSceneFallingWall::kFadingFromGrey);
  ASSERT_EQ(scene.m_overlayColor.a, 1.0f);
  const QImage image = Draw(scene);
  ASSERT_FALSE(image.isNull());
  int off = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb c = image.pixel(x, y);
      if (std::abs(qRed(c) - 128) > 1 || std::abs(qGreen(c) - 128) > 1 || std::abs(qBlue(c) - 128) > 1) ++off;
    }
  EXPECT_EQ(off, 0) << "pixels not grey, e.g. the last row: " << std::hex
                    << image.pixel(640, image.height() - 1);
  scene.Release();
}

// Each scene at a moment with pieces out of its camera's view: the frame
// drawn skipping them and the frame drawn with every piece are the same,
// pixel for pixel.
TEST_F(ScenesOnGL_X11, SkippingPiecesOutOfViewLeavesEveryPixel) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<CScene>()> make;
    std::uint32_t seed;
    std::time_t wallTime;
    int frames;
  };
  const std::vector<Case> cases = {
      {"black hole", [] { return std::make_unique<CSceneBlackHole>(); }, 3, 77, 300},
      {"solving", [] { return std::make_unique<CSceneSolving>(); }, 5, 501, 900},
      {"falling wall", [] { return std::make_unique<CSceneFallingWall>(); }, 2, 300, 600},
      {"puzzle rain", [] { return std::make_unique<CScenePuzzleRain>(); }, 6, 640, 90},
  };
  for (const Case& c : cases) {
    const std::unique_ptr<CScene> scene = c.make();
    Start(*scene, c.seed, c.wallTime);
    Run(*scene, c.frames);
    Inside(*scene).Board().m_cullToView = true;
    const QImage culled = Draw(*scene);
    const size_t drawn = Inside(*scene).Board().m_piecesInView.size();
    Inside(*scene).Board().m_cullToView = false;
    const QImage whole = Draw(*scene);
    ASSERT_FALSE(culled.isNull()) << c.name;
    ASSERT_EQ(culled.size(), whole.size()) << c.name;
    int differ = 0;
    for (int y = 0; y < culled.height(); ++y)
      for (int x = 0; x < culled.width(); ++x) differ += culled.pixel(x, y) != whole.pixel(x, y);
    EXPECT_EQ(differ, 0) << c.name;
    std::printf("%s: %zu of %zu pieces drawn\n", c.name, drawn, Inside(*scene).Board().m_piecesInView.size());
    scene->Release();
  }
}

// The minimal program that each frame benchmark times beside the GL device
// draws the device's picture: the same frame, read back from both, differs
// by no more than rounding, for the device benchmark's board and for real
// boards shiny and matte at both definitions (the whole board in view, as
// the paired rows draw it).
#include <gtest/gtest.h>

#include <vector>

#include "board_scene.h"
#include "device_board_scene.h"
#include "minimal_program.h"

namespace {

constexpr int kTolerance = 2;       // per colour channel, out of 255
constexpr long kStrayPixels = 131;  // a ten-thousandth of the frame

// The pixels of frame that are not the clear colour.
long Drawn(const QImage& frame, D3DCOLOR clear) {
  long drawn = 0;
  for (int y = 0; y < frame.height(); ++y)
    for (int x = 0; x < frame.width(); ++x) drawn += frame.pixel(x, y) != QColor(clear).rgb();
  return drawn;
}

void ExpectSamePicture(const QImage& device, const QImage& minimal, D3DCOLOR clear) {
  EXPECT_GT(Drawn(device, clear), 100000);
  const FrameDifference d = CompareFrames(device, minimal, kTolerance);
  EXPECT_LE(d.pixelsOver, kStrayPixels) << "largest channel difference " << d.largest;
}

TEST(FramePair_X11, MinimalProgramDrawsTheDeviceBenchmarksBoard) {
  bench::DeviceBoardScene scene;
  ASSERT_TRUE(scene.Open(D3DMULTISAMPLE_NONE));
  scene.DrawFrame();
  scene.Finish();
  QImage device;
  ASSERT_TRUE(GLReadBackBuffer(scene.device, &device));
  {
    MinimalProgram minimal;  // gone before the window
    std::vector<MinimalDraw> draws;
    ASSERT_TRUE(MakeMinimal(scene, minimal, draws));
    minimal.Frame(draws, 0xFF204080);
    minimal.Finish();
    ExpectSamePicture(device, minimal.ReadFrame(), 0xFF204080);
  }
  scene.Close();
}

TEST(FramePair_X11, MinimalProgramDrawsEachBoardsPicture) {
  bench::EngineOnWindow window;
  ASSERT_TRUE(window.Open());
  const bench::Pictures pictures;
  struct Case {
    int pieces, definition;
    bool shiny;
  };
  for (const Case c : {Case{100, 3, true}, Case{100, 4, false}, Case{500, 4, true}}) {
    SCOPED_TRACE(testing::Message() << c.pieces << " pieces, definition " << c.definition
                                    << (c.shiny ? ", shiny" : ", matte"));
    bench::BoardScene scene;
    ASSERT_TRUE(scene.Create(pictures, c.pieces, c.definition, c.shiny));
    scene.SetDeviceState();
    scene.DeviceFrame();
    bench::Finish();
    QImage device;
    ASSERT_TRUE(GLReadBackBuffer(g_Engine.Device(), &device));
    MinimalProgram minimal;
    std::vector<MinimalDraw> draws;
    ASSERT_TRUE(scene.MakeMinimal(window.Surface(), minimal, draws));
    minimal.Frame(draws, bench::kClear);
    minimal.Finish();
    ExpectSamePicture(device, minimal.ReadFrame(), bench::kClear);
  }
  window.Close();
}

}  // namespace

// The sample pictures: which are made, in which format, and the painting
// helpers they share (see samples.h).
//
// Sections: helpers - the list
#include "data/samples.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <iterator>
#include <thread>
#include <vector>

#include "data/makedata.h"

namespace makedata {

// ---- helpers -------------------------------------------------------------------
void FillGradient(QImage& image, int y0, int y1, const Rgb* colours, int count) {
  for (int y = y0; y < y1; ++y) {
    const float t = y1 - y0 > 1 ? static_cast<float>(y - y0) / (y1 - y0 - 1) : 0.0f;
    const float pos = t * (count - 1);
    const int i = std::min(static_cast<int>(pos), count - 2);
    const Rgb c = Mix(colours[i], colours[i + 1], pos - i);
    for (int x = 0; x < image.width(); ++x) SetPixel(image, x, y, c);
  }
}

void BlendPixel(QImage& image, int x, int y, const Rgb& c, float amount) {
  if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return;
  SetPixel(image, x, y, Mix(GetPixel(image, x, y), c, Clamp01(amount)));
}

void PaintClouds(QImage& image, int y0, int y1, float scale, float coverage, const Rgb& lit, const Rgb& shade,
                 uint32_t seed) {
  for (int y = y0; y < y1; ++y) {
    // Thinner towards both ends of the band.
    const float band = SmoothStep(static_cast<float>(y0), y0 + (y1 - y0) * 0.25f, static_cast<float>(y)) *
                       SmoothStep(static_cast<float>(y1), y1 - (y1 - y0) * 0.35f, static_cast<float>(y));
    for (int x = 0; x < image.width(); ++x) {
      const float fx = x / scale, fy = y / (scale * 0.45f);
      const float n = Fbm2(fx, fy, 5, seed);
      const float density =
          SmoothStep(1.0f - coverage * 1.6f, 1.35f - coverage * 1.2f, n * 0.5f + 0.5f) * band;
      if (density <= 0.001f) continue;
      const float below = Fbm2(fx, fy + 0.35f, 5, seed);  // thicker cloud beneath: shaded
      const float shading = Clamp01(0.5f + 1.4f * (below - n));
      BlendPixel(image, x, y, Mix(lit, shade, shading), density);
    }
  }
}

void PaintReflection(QImage& image, int waterline, int bottom, const Rgb& water, float waterAmount,
                     float ripple, uint32_t seed) {
  const int w = image.width();
  for (int y = waterline; y < bottom; ++y) {
    const float depth = static_cast<float>(y - waterline + 1);
    for (int x = 0; x < w; ++x) {
      const float offset =
          ripple * (0.3f + depth / 120.0f) * Noise2(x / 70.0f, depth / (2.0f + depth * 0.06f), seed);
      const int sx = std::clamp(static_cast<int>(x + offset), 0, w - 1);
      const int sy = std::clamp(waterline - static_cast<int>(depth), 0, waterline - 1);
      Rgb c = Mix(GetPixel(image, sx, sy), water, Clamp01(waterAmount + depth * 0.0006f));
      const float glint = Noise2(x / 40.0f, depth / (1.5f + depth * 0.03f), seed + 1);
      c = Scale(c, 0.96f + 0.1f * glint);
      SetPixel(image, x, y, c);
    }
  }
}

float Ridge(float x, int octaves, uint32_t seed) { return Fbm2(x, 0.5f, octaves, seed); }

// ---- the list ------------------------------------------------------------------
void MakeSamplePictures(Output& out) {
  // The slowest first, so that the threads below finish together.
  const struct {
    const char* file;
    QImage (*paint)();
  } pictures[] = {
      {"Fractal Spirals.jpg", PaintFractal},
      {"Alpine Lake.jpg", PaintAlpineLake},
      {"Old Map.png", PaintOldMap},
      {"Balloons over the Hills.png", PaintBalloons},
      {"Harbour at Sunset.jpg", PaintHarbourSunset},
      {"Rose Window.bmp", PaintStainedGlass},
      {"Tulip Fields.bmp", PaintTulipFields},
      {"Flower Meadow.jpg", PaintFlowerMeadow},
  };
  // The pictures are independent: paint them on a few threads.
  const int count = static_cast<int>(std::size(pictures));
  std::atomic<int> next{0};
  auto worker = [&] {
    for (int i = next++; i < count; i = next++)
      out.SaveImage(pictures[i].paint(), QString("PuzzleSamples/") + pictures[i].file, 90);
  };
  // Up to three painters (this thread among them): the generator makes its
  // other files on one more thread meanwhile.
  const int threads = std::clamp(static_cast<int>(std::thread::hardware_concurrency()) - 1, 1, 3);
  std::vector<std::thread> pool;
  for (int t = 1; t < threads; ++t) pool.emplace_back(worker);
  worker();
  for (std::thread& t : pool) t.join();
}

}  // namespace makedata

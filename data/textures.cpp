// The piece textures: the side walls (a cut edge of printed card), the back
// (blue-grey card with an embossed mark, once per piece), the translucent
// rubber-band fill and the glow drawn around selected pieces.
//
// Sections: side walls - back - selection
#include <algorithm>
#include <cmath>

#include "data/draw_kit.h"
#include "data/makedata.h"

namespace makedata {

namespace {
const Rgb kBackCard = RgbHex(0x7d8ea3);

// ---- side walls ----------------------------------------------------------------
// Rows run from the printed top (v 0) to the table (v 1); columns repeat
// along the wall, so the noise wraps horizontally.
QImage PieceEdge() {
  const int n = 64;
  QImage image = NewImage(n, n, false);
  const Rgb print = RgbHex(0xf1ece2), glue = RgbHex(0x8a7f6c), core = RgbHex(0xa39682);
  const Rgb coreDark = RgbHex(0x7f725f);
  for (int y = 0; y < n; ++y) {
    const float v = (y + 0.5f) / n;
    for (int x = 0; x < n; ++x) {
      const float u = (x + 0.5f) / n;
      // Long fibres: stretched across the wall, wrapping every tile.
      const float fibre = Fbm2(u * 4, v * 28, 3, 11, 4, 0);
      const float grain = Noise2(u * 16, v * 64, 12, 16, 0);
      const float cutMarks = 0.04f * Noise2(u * 32, v * 2, 13, 32, 0);
      Rgb c;
      if (v < 0.07f) {
        c = Mix(print, Scale(print, 0.9f), SmoothStep(0.0f, 0.07f, v));
      } else if (v < 0.10f) {
        c = glue;
      } else if (v < 0.88f) {
        c = Mix(core, coreDark, Clamp01(0.5f + 0.55f * fibre));
        // Pressed layers of the board.
        const float layer = std::fabs(std::sin((v - 0.1f) * 3.14159f * 5.0f));
        c = Scale(c, 0.93f + 0.07f * layer);
      } else if (v < 0.91f) {
        c = glue;
      } else {
        c = Mix(kBackCard, Scale(kBackCard, 0.8f), SmoothStep(0.91f, 1.0f, v));
      }
      c = Scale(c, 1.0f + 0.06f * grain + cutMarks);
      // The printed edge catches the light, the foot is in the shadow.
      c = Scale(c, 1.06f - 0.16f * v);
      SetPixel(image, x, y, c);
    }
  }
  return image;
}

// ---- back ----------------------------------------------------------------------
// Height of the embossed mark in the middle of the tile: a ring around a
// four-pointed star, in tile units (0..1).
float EmblemHeight(float u, float v) {
  const float dx = u - 0.5f, dy = v - 0.5f;
  const float r = std::sqrt(dx * dx + dy * dy);
  const float ring = std::exp(-std::pow((r - 0.16f) / 0.016f, 2.0f));
  const float angle = std::atan2(dy, dx);
  const float reach = 0.035f + 0.085f * std::pow(std::fabs(std::cos(2.0f * angle)), 12.0f);
  const float star = SmoothStep(reach + 0.012f, reach - 0.004f, r);
  return ring + star;
}

QImage PieceBottom() {
  const int n = 256;
  QImage image = NewImage(n, n, false);
  for (int y = 0; y < n; ++y) {
    const float v = (y + 0.5f) / n;
    for (int x = 0; x < n; ++x) {
      const float u = (x + 0.5f) / n;
      const float cloud = Fbm2(u * 4, v * 4, 4, 21, 4, 4);
      const float fibre = Fbm2(u * 8, v * 48, 2, 22, 8, 48);
      const float speck = Hash2(x, y, 23) > 0.985f ? -0.08f : 0.0f;
      Rgb c = Scale(kBackCard, 1.0f + 0.05f * cloud + 0.04f * fibre + speck);
      const float e = 1.0f / n;
      const float gx = EmblemHeight(u + e, v) - EmblemHeight(u - e, v);
      const float gy = EmblemHeight(u, v + e) - EmblemHeight(u, v - e);
      c = Scale(c, 1.0f - 0.10f * (gx + gy));  // lit from the top left
      SetPixel(image, x, y, c);
    }
  }
  return image;
}

// ---- selection -----------------------------------------------------------------
QImage SelectionFill() {
  const int n = 64;
  QImage image = NewImage(n, n, true);
  const Rgb blue = RgbHex(0x5aa0ff), rim = RgbHex(0xb8d8ff);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const int edge = std::min(std::min(x, y), std::min(n - 1 - x, n - 1 - y));
      const float border = edge < 2 ? 1.0f : (edge < 4 ? 0.4f : 0.0f);
      SetPixel(image, x, y, Mix(blue, rim, border), 0.26f + 0.5f * border);
    }
  return image;
}

// A 40-unit quad under a 25-unit piece: the glow starts at the piece's rim
// (about 0.19 of the quad from each side) and fades out before the border.
QImage SelectionMark() {
  const int n = 128;
  QImage image = NewImage(n, n, true);
  const Rgb gold = RgbHex(0xffc83c), white = RgbHex(0xfff6d8);
  const float half = 0.30f, corner = 0.07f;
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const float px = std::fabs((x + 0.5f) / n - 0.5f), py = std::fabs((y + 0.5f) / n - 0.5f);
      const float qx = std::max(px - (half - corner), 0.0f), qy = std::max(py - (half - corner), 0.0f);
      const float d = std::sqrt(qx * qx + qy * qy) - corner;  // < 0 inside the rounded square
      float alpha = d < 0 ? 0.95f : 0.95f * std::exp(-(d / 0.07f) * (d / 0.07f) * 2.0f);
      alpha *= SmoothStep(0.5f, 0.46f, std::max(px, py));  // nothing at the border
      SetPixel(image, x, y, Mix(gold, white, Clamp01(-d * 8.0f)), alpha);
    }
  return image;
}
}  // namespace

void MakePieceTextures(Output& out) {
  out.SaveImage(PieceEdge(), "Textures/PieceEdge.png");
  out.SaveImage(PieceBottom(), "Textures/PieceBottom.png");
  out.SaveImage(SelectionFill(), "Textures/PieceSelectionFill.png");
  out.SaveImage(SelectionMark(), "Textures/PieceSelectionMark.png");
}

}  // namespace makedata

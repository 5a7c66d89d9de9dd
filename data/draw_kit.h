#pragma once
// Drawing helpers shared by the data-file generator: deterministic noise,
// float colours, pixel access, the transparency conventions of the
// interface art and a jigsaw-piece outline.
//
// Sections: numbers - noise - colours - images - shapes
#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <cstdint>

namespace makedata {

// ---- numbers -----------------------------------------------------------------
inline constexpr float kPi = 3.14159265f;
float Clamp01(float v);
// Hermite step between edge0 and edge1 (edge0 may be above edge1).
float SmoothStep(float edge0, float edge1, float v);
float Lerp(float a, float b, float t);

// A small deterministic generator (no global state): the same seed gives the
// same sequence on every machine.
class Lcg {
 public:
  explicit Lcg(uint32_t seed) : m_state(seed * 2654435761u + 12345u) {}
  uint32_t Next();
  // Uniform in [0, 1).
  float Unit();
  // Uniform in [lo, hi).
  float Range(float lo, float hi);
  // Uniform integer in [0, n); n must be positive.
  int Below(int n);

 private:
  uint32_t m_state;
};

// ---- noise -------------------------------------------------------------------
// A hash of integer coordinates, uniform in [0, 1).
float Hash2(int x, int y, uint32_t seed);
float Hash3(int x, int y, int z, uint32_t seed);
// Gradient noise in about [-1, 1]. With a period (> 0) the lattice wraps, so
// the noise repeats every period units on that axis: tileable textures.
float Noise2(float x, float y, uint32_t seed, int periodX = 0, int periodY = 0);
float Noise3(float x, float y, float z, uint32_t seed);
// Sums of octaves (each twice the frequency, half the amplitude), scaled back
// to about [-1, 1]. Periods double with the frequency.
float Fbm2(float x, float y, int octaves, uint32_t seed, int periodX = 0, int periodY = 0);
float Fbm3(float x, float y, float z, int octaves, uint32_t seed);

// ---- colours -----------------------------------------------------------------
struct Rgb {
  float r = 0, g = 0, b = 0;  // 0..1, may leave the range until stored
};
Rgb RgbHex(uint32_t rrggbb);
Rgb Mix(const Rgb& a, const Rgb& b, float t);
Rgb Scale(const Rgb& c, float f);
Rgb Add(const Rgb& a, const Rgb& b);
QColor ToQColor(const Rgb& c, float alpha = 1.0f);
// 0xRRGGBB with an alpha of 0..255.
inline QColor Q(uint32_t rrggbb, int alpha = 255) {
  QColor c(static_cast<QRgb>(rrggbb));
  c.setAlpha(alpha);
  return c;
}

// ---- images ------------------------------------------------------------------
// A blank picture: opaque black RGB32, or transparent ARGB32 with alpha.
QImage NewImage(int width, int height, bool withAlpha);
// Stores a colour (clamped) and alpha into an RGB32 or ARGB32 (not
// premultiplied) picture.
void SetPixel(QImage& image, int x, int y, const Rgb& c, float alpha = 1.0f);
Rgb GetPixel(const QImage& image, int x, int y);

// The colour every keyed interface picture uses for "transparent": opaque
// magenta.
inline constexpr QRgb kColourKey = 0xFFFF00FFu;
// For pictures loaded with the magenta colour key: every fully transparent
// pixel becomes opaque magenta; partly transparent edge pixels keep their
// alpha, and no drawn pixel may be magenta itself (such pixels are nudged to
// a neighbouring colour). Answers an ARGB32 picture.
QImage ApplyColourKey(const QImage& drawn);
// For pictures loaded without a key: a drawn pixel that happens to be opaque
// magenta is nudged, so the picture never carries the key by accident.
QImage AvoidColourKey(const QImage& drawn);

// ---- shapes ------------------------------------------------------------------
// The outline of a classic jigsaw piece filling the cell; tabs per side
// (0 top, 1 right, 2 bottom, 3 left): +1 a knob out, -1 a socket in, 0 flat.
// Knobs reach about a quarter of the cell beyond it.
QPainterPath JigsawPiecePath(const QRectF& cell, const int tabs[4]);

}  // namespace makedata

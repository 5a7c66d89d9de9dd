// Drawing helpers of the data-file generator (see draw_kit.h).
//
// Sections: numbers - noise - colours - images - shapes
#include "data/draw_kit.h"

#include <algorithm>
#include <cmath>

namespace makedata {

// ---- numbers -----------------------------------------------------------------
float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float SmoothStep(float edge0, float edge1, float v) {
  if (edge0 == edge1) return v < edge0 ? 0.0f : 1.0f;
  const float t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

float Lerp(float a, float b, float t) { return a + (b - a) * t; }

uint32_t Lcg::Next() {
  m_state = m_state * 1664525u + 1013904223u;
  uint32_t x = m_state;  // tempered so that low bits are usable too
  x ^= x >> 16;
  x *= 0x7feb352du;
  x ^= x >> 15;
  return x;
}

float Lcg::Unit() { return static_cast<float>(Next() >> 8) * (1.0f / 16777216.0f); }

float Lcg::Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }

int Lcg::Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

// ---- noise -------------------------------------------------------------------
namespace {
uint32_t Mix32(uint32_t h) {
  h ^= h >> 16;
  h *= 0x85ebca6bu;
  h ^= h >> 13;
  h *= 0xc2b2ae35u;
  h ^= h >> 16;
  return h;
}

uint32_t HashInts(int x, int y, int z, uint32_t seed) {
  uint32_t h = seed * 0x9E3779B1u;
  h = Mix32(h ^ static_cast<uint32_t>(x) * 0x27d4eb2du);
  h = Mix32(h ^ static_cast<uint32_t>(y) * 0x165667b1u);
  h = Mix32(h ^ static_cast<uint32_t>(z) * 0xd3a2646cu);
  return h;
}

float Fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

int Wrap(int i, int period) {
  if (period <= 0) return i;
  const int m = i % period;
  return m < 0 ? m + period : m;
}

float Grad2(int ix, int iy, uint32_t seed, float dx, float dy) {
  const float angle = static_cast<float>(HashInts(ix, iy, 0, seed) & 0xFFFF) * (6.2831853f / 65536.0f);
  return std::cos(angle) * dx + std::sin(angle) * dy;
}

float Grad3(int ix, int iy, int iz, uint32_t seed, float dx, float dy, float dz) {
  // The twelve edge directions of a cube.
  switch (HashInts(ix, iy, iz, seed) % 12) {
    case 0: return dx + dy;
    case 1: return -dx + dy;
    case 2: return dx - dy;
    case 3: return -dx - dy;
    case 4: return dx + dz;
    case 5: return -dx + dz;
    case 6: return dx - dz;
    case 7: return -dx - dz;
    case 8: return dy + dz;
    case 9: return -dy + dz;
    case 10: return dy - dz;
    default: return -dy - dz;
  }
}
}  // namespace

float Hash2(int x, int y, uint32_t seed) {
  return static_cast<float>(HashInts(x, y, 0, seed) >> 8) * (1.0f / 16777216.0f);
}

float Hash3(int x, int y, int z, uint32_t seed) {
  return static_cast<float>(HashInts(x, y, z, seed) >> 8) * (1.0f / 16777216.0f);
}

float Noise2(float x, float y, uint32_t seed, int periodX, int periodY) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
  const float dx = x - fx, dy = y - fy;
  const int ax = Wrap(x0, periodX), bx = Wrap(x0 + 1, periodX);
  const int ay = Wrap(y0, periodY), by = Wrap(y0 + 1, periodY);
  const float n00 = Grad2(ax, ay, seed, dx, dy);
  const float n10 = Grad2(bx, ay, seed, dx - 1, dy);
  const float n01 = Grad2(ax, by, seed, dx, dy - 1);
  const float n11 = Grad2(bx, by, seed, dx - 1, dy - 1);
  const float u = Fade(dx), v = Fade(dy);
  return 1.41f * Lerp(Lerp(n00, n10, u), Lerp(n01, n11, u), v);
}

float Noise3(float x, float y, float z, uint32_t seed) {
  const float fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
  const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy), z0 = static_cast<int>(fz);
  const float dx = x - fx, dy = y - fy, dz = z - fz;
  const float u = Fade(dx), v = Fade(dy), w = Fade(dz);
  float layer[2];
  for (int k = 0; k < 2; ++k) {
    const float ddz = dz - k;
    const float n00 = Grad3(x0, y0, z0 + k, seed, dx, dy, ddz);
    const float n10 = Grad3(x0 + 1, y0, z0 + k, seed, dx - 1, dy, ddz);
    const float n01 = Grad3(x0, y0 + 1, z0 + k, seed, dx, dy - 1, ddz);
    const float n11 = Grad3(x0 + 1, y0 + 1, z0 + k, seed, dx - 1, dy - 1, ddz);
    layer[k] = Lerp(Lerp(n00, n10, u), Lerp(n01, n11, u), v);
  }
  return Lerp(layer[0], layer[1], w);
}

float Fbm2(float x, float y, int octaves, uint32_t seed, int periodX, int periodY) {
  float sum = 0, amplitude = 1, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * Noise2(x, y, seed + 101u * o, periodX, periodY);
    norm += amplitude;
    amplitude *= 0.5f;
    x *= 2;
    y *= 2;
    periodX *= 2;
    periodY *= 2;
  }
  return sum / norm * 1.4f;
}

float Fbm3(float x, float y, float z, int octaves, uint32_t seed) {
  float sum = 0, amplitude = 1, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * Noise3(x, y, z, seed + 101u * o);
    norm += amplitude;
    amplitude *= 0.5f;
    x *= 2;
    y *= 2;
    z *= 2;
  }
  return sum / norm * 1.4f;
}

// ---- colours -----------------------------------------------------------------
Rgb RgbHex(uint32_t v) {
  return {((v >> 16) & 0xFF) / 255.0f, ((v >> 8) & 0xFF) / 255.0f, (v & 0xFF) / 255.0f};
}

Rgb Mix(const Rgb& a, const Rgb& b, float t) {
  return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t)};
}

Rgb Scale(const Rgb& c, float f) { return {c.r * f, c.g * f, c.b * f}; }

Rgb Add(const Rgb& a, const Rgb& b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }

QColor ToQColor(const Rgb& c, float alpha) {
  return QColor::fromRgbF(Clamp01(c.r), Clamp01(c.g), Clamp01(c.b), Clamp01(alpha));
}

// ---- images ------------------------------------------------------------------
namespace {
int ToByte(float v) { return static_cast<int>(Clamp01(v) * 255.0f + 0.5f); }

bool IsKey(QRgb p) { return p == kColourKey; }

// Magenta drawn on purpose would vanish under the key: move it one step.
QRgb Nudged(QRgb p) { return qRgba(qRed(p), 1, qBlue(p) - 1, qAlpha(p)); }
}  // namespace

QImage NewImage(int width, int height, bool withAlpha) {
  QImage image(width, height, withAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  image.fill(withAlpha ? Qt::transparent : Qt::black);
  return image;
}

void SetPixel(QImage& image, int x, int y, const Rgb& c, float alpha) {
  auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
  line[x] = qRgba(ToByte(c.r), ToByte(c.g), ToByte(c.b), ToByte(alpha));
}

Rgb GetPixel(const QImage& image, int x, int y) {
  const QRgb p = reinterpret_cast<const QRgb*>(image.constScanLine(y))[x];
  return {qRed(p) / 255.0f, qGreen(p) / 255.0f, qBlue(p) / 255.0f};
}

QImage ApplyColourKey(const QImage& drawn) {
  QImage image = drawn.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(line[x]) == 0)
        line[x] = kColourKey;
      else if (IsKey(line[x]))
        line[x] = Nudged(line[x]);
    }
  }
  return image;
}

QImage AvoidColourKey(const QImage& drawn) {
  QImage image = drawn.hasAlphaChannel() ? drawn.convertToFormat(QImage::Format_ARGB32)
                                         : drawn.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if (IsKey(line[x])) line[x] = Nudged(line[x]);
  }
  return image;
}

// ---- shapes ------------------------------------------------------------------
namespace {
// One side from a to b; outward is the unit normal pointing out of the piece.
void AddSide(QPainterPath& path, QPointF a, QPointF b, QPointF outward, int tab) {
  const QPointF d = b - a;
  const float s = static_cast<float>(tab);
  auto at = [&](double t, double h) { return a + d * t + outward * (h * s * std::hypot(d.x(), d.y())); };
  if (tab == 0) {
    path.lineTo(b);
    return;
  }
  path.lineTo(at(0.35, 0));
  path.cubicTo(at(0.42, 0.0), at(0.43, 0.05), at(0.39, 0.10));
  path.cubicTo(at(0.33, 0.19), at(0.39, 0.27), at(0.50, 0.27));
  path.cubicTo(at(0.61, 0.27), at(0.67, 0.19), at(0.61, 0.10));
  path.cubicTo(at(0.57, 0.05), at(0.58, 0.0), at(0.65, 0));
  path.lineTo(b);
}
}  // namespace

QPainterPath JigsawPiecePath(const QRectF& cell, const int tabs[4]) {
  QPainterPath path;
  const QPointF tl = cell.topLeft(), tr = cell.topRight(), br = cell.bottomRight(), bl = cell.bottomLeft();
  path.moveTo(tl);
  AddSide(path, tl, tr, QPointF(0, -1), tabs[0]);
  AddSide(path, tr, br, QPointF(1, 0), tabs[1]);
  AddSide(path, br, bl, QPointF(0, 1), tabs[2]);
  AddSide(path, bl, tl, QPointF(-1, 0), tabs[3]);
  path.closeSubpath();
  return path;
}

}  // namespace makedata

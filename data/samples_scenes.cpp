// Sample pictures of made things: a harbour town at sunset, a rose window
// of stained glass, an old sea chart and a fractal.
//
// Sections: shared - harbour - rose window - old map - fractal
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <vector>

#include "data/samples.h"

namespace makedata {

namespace {

// ---- harbour -------------------------------------------------------------------
constexpr int kHarbourW = 1920, kHarbourH = 1080, kHarbourWater = 660;
constexpr float kSunX = 1180, kSunY = 575;

void PaintSunsetSky(QImage& image) {
  const Rgb sky[] = {RgbHex(0x1c1a4a), RgbHex(0x4a2c6c), RgbHex(0xb04c6e), RgbHex(0xee8a4a),
                     RgbHex(0xffcf78)};
  FillGradient(image, 0, kHarbourWater, sky, 5);
  for (int y = 0; y < kHarbourWater; ++y)
    for (int x = 0; x < kHarbourW; ++x) {
      const float d = std::hypot(x - kSunX, (y - kSunY) * 1.4f);
      Rgb c = GetPixel(image, x, y);
      c = Add(c, Scale(RgbHex(0xffb060), 0.55f * std::exp(-d / 260.0f)));
      // Long bands of cloud, lit from below near the sun.
      const float n = Fbm2(x / 520.0f, y / 34.0f, 5, 201);
      const float density = SmoothStep(0.05f, 0.45f, n) * SmoothStep(60, 200, static_cast<float>(y)) *
                            SmoothStep(560, 430, static_cast<float>(y));
      const Rgb lit = Mix(RgbHex(0x6a3a6a), RgbHex(0xff8a5a), Clamp01(1.2f - d / 900.0f));
      c = Mix(c, Mix(lit, RgbHex(0x3a2450), Clamp01(Fbm2(x / 520.0f, (y - 8) / 34.0f, 5, 201) - n + 0.3f)),
              density * 0.85f);
      if (d < 58) c = Mix(c, RgbHex(0xfff2c0), Clamp01((58 - d) / 2.0f));  // the sun's disc
      SetPixel(image, x, y, c);
    }
}

void PaintTown(QPainter& p, Lcg& rng) {
  // Hills behind the town.
  QPainterPath hills;
  hills.moveTo(0, kHarbourWater);
  for (int x = 0; x <= kHarbourW; x += 8) hills.lineTo(x, 560 + 40 * Ridge(x / 380.0f, 3, 202));
  hills.lineTo(kHarbourW, kHarbourWater);
  hills.closeSubpath();
  p.fillPath(hills, Q(0x4b2f5c));
  // Houses along the quay, with lit windows.
  float x = -10;
  while (x < 1080) {
    const float width = rng.Range(34, 90), height = rng.Range(70, 230) * (1.0f - x / 2200.0f);
    const float top = kHarbourWater - 6 - height;
    const QColor wall = ToQColor(Mix(RgbHex(0x2a1c38), RgbHex(0x5a3550), rng.Unit() * 0.6f));
    p.setPen(Qt::NoPen);
    p.setBrush(wall);
    p.drawRect(QRectF(x, top, width, height + 6));
    if (rng.Unit() < 0.5f) {  // a gable
      QPolygonF gable;
      gable << QPointF(x - 2, top + 1) << QPointF(x + width / 2, top - width * 0.45f)
            << QPointF(x + width + 2, top + 1);
      p.setBrush(wall.darker(120));
      p.drawPolygon(gable);
    }
    for (float wy = top + 12; wy < kHarbourWater - 24; wy += 22)
      for (float wx = x + 7; wx < x + width - 10; wx += 14)
        if (rng.Unit() < 0.38f) {
          p.setBrush(ToQColor(Mix(RgbHex(0xffd27a), RgbHex(0xffa040), rng.Unit())));
          p.drawRect(QRectF(wx, wy, 6, 10));
        }
    x += width + rng.Range(-4, 3);
  }
  // A church with its spire and a domed hall.
  p.setBrush(Q(0x24183a));
  p.drawRect(QRectF(420, 330, 46, 330));
  QPolygonF spire;
  spire << QPointF(414, 332) << QPointF(443, 190) << QPointF(472, 332);
  p.drawPolygon(spire);
  p.setBrush(Q(0xffd27a));
  p.drawEllipse(QPointF(443, 372), 10, 10);
  p.setBrush(Q(0x2c1e40));
  p.drawRect(QRectF(760, 430, 150, 230));
  p.drawEllipse(QPointF(835, 432), 62, 58);
  p.drawRect(QRectF(831, 356, 8, 24));
  // Harbour cranes.
  p.setPen(QPen(Q(0x20142e), 5));
  for (float cx : {1290.0f, 1390.0f}) {
    p.drawLine(QPointF(cx, kHarbourWater - 2), QPointF(cx, 430));
    p.drawLine(QPointF(cx - 70, 440), QPointF(cx + 110, 440));
    p.drawLine(QPointF(cx, 430), QPointF(cx + 100, 442));
    p.setPen(QPen(Q(0x20142e), 2));
    p.drawLine(QPointF(cx + 80, 441), QPointF(cx + 80, 540));
    p.setPen(QPen(Q(0x20142e), 5));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(Q(0x1e1430));
  p.drawRect(QRectF(0, kHarbourWater - 8, 1500, 10));  // the quay
}

void PaintLighthouse(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(Q(0x1c1228));
  p.drawRect(QRectF(1480, kHarbourWater - 14, 440, 16));  // the pier
  const float x = 1720, base = kHarbourWater - 14, height = 300;
  QPainterPath beam;
  beam.moveTo(x, base - height + 20);
  beam.lineTo(x - 620, base - height - 70);
  beam.lineTo(x - 620, base - height + 70);
  beam.closeSubpath();
  QLinearGradient glow(QPointF(x, 0), QPointF(x - 620, 0));
  glow.setColorAt(0, QColor(255, 240, 190, 110));
  glow.setColorAt(1, QColor(255, 240, 190, 0));
  p.setBrush(glow);
  p.drawPath(beam);
  for (int band = 0; band < 6; ++band) {
    const float y0 = base - band * height * 0.13f, y1 = y0 - height * 0.13f;
    const float half0 = 28 - band * 2.4f, half1 = 28 - (band + 1) * 2.4f;
    QPolygonF part;
    part << QPointF(x - half0, y0) << QPointF(x - half1, y1) << QPointF(x + half1, y1)
         << QPointF(x + half0, y0);
    p.setBrush(band % 2 ? Q(0xf0e6e0) : Q(0xc03a30));
    p.drawPolygon(part);
  }
  p.setBrush(Q(0x2a1e30));
  p.drawRect(QRectF(x - 20, base - height * 0.78f - 8, 40, 8));
  p.setBrush(Q(0xfff0b0));
  p.drawRect(QRectF(x - 13, base - height + 8, 26, 26));
  p.setBrush(Q(0x2a1e30));
  QPolygonF cap;
  cap << QPointF(x - 18, base - height + 8) << QPointF(x, base - height - 14)
      << QPointF(x + 18, base - height + 8);
  p.drawPolygon(cap);
}

void PaintSunGlitter(QImage& image) {
  for (int y = kHarbourWater; y < kHarbourH; ++y) {
    const float depth = static_cast<float>(y - kHarbourWater);
    const float spread = 60 + depth * 0.9f;
    for (int x = 0; x < kHarbourW; ++x) {
      const float column = std::exp(-std::pow((x - kSunX) / spread, 2.0f));
      const float sparkle = Noise2(x / (5.0f + depth * 0.03f), y / 1.6f, 203);
      if (sparkle > 0.55f - 0.25f * column)
        BlendPixel(image, x, y, RgbHex(0xffd890), column * Clamp01((sparkle - 0.3f) * 2.5f));
    }
  }
}

void PaintSailboat(QPainter& p, float x, float y, float s, const QColor& sail) {
  p.setPen(Qt::NoPen);
  p.setBrush(Q(0x1a1024));
  QPainterPath hull;
  hull.moveTo(x - s, y);
  hull.lineTo(x + s * 1.1f, y);
  hull.lineTo(x + s * 0.8f, y + s * 0.28f);
  hull.lineTo(x - s * 0.75f, y + s * 0.28f);
  hull.closeSubpath();
  p.drawPath(hull);
  p.setPen(QPen(Q(0x1a1024), std::max(1.0f, s * 0.04f)));
  p.drawLine(QPointF(x, y), QPointF(x, y - s * 2.2f));
  p.setPen(Qt::NoPen);
  p.setBrush(sail);
  QPolygonF main, jib;
  main << QPointF(x + s * 0.05f, y - s * 2.1f) << QPointF(x + s * 0.05f, y - s * 0.15f)
       << QPointF(x + s * 0.95f, y - s * 0.15f);
  jib << QPointF(x - s * 0.05f, y - s * 1.9f) << QPointF(x - s * 0.05f, y - s * 0.2f)
      << QPointF(x - s * 0.85f, y - s * 0.2f);
  p.drawPolygon(main);
  p.setBrush(sail.darker(130));
  p.drawPolygon(jib);
  p.setBrush(QColor(20, 10, 30, 90));  // its reflection
  p.drawRect(QRectF(x - s * 0.8f, y + s * 0.3f, s * 1.7f, s * 0.12f));
}

void PaintJetty(QPainter& p, Lcg& rng) {
  QPolygonF deck;
  deck << QPointF(0, 880) << QPointF(520, 930) << QPointF(560, 1080) << QPointF(0, 1080);
  p.setPen(Qt::NoPen);
  p.setBrush(Q(0x3a2418));
  p.drawPolygon(deck);
  p.setPen(QPen(Q(0x24160e), 2));
  for (int i = 0; i < 14; ++i) {
    const float t = i / 14.0f;
    p.drawLine(QPointF(0, 880 + t * 200), QPointF(520 + t * 40, 930 + t * 150));
  }
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 5; ++i) {  // posts with warm light on their tops
    const float x = 80 + i * 115, top = 850 + i * 10;
    p.setBrush(Q(0x2a1a10));
    p.drawRect(QRectF(x, top, 18, 1080 - top));
    p.setBrush(Q(0xc07040));
    p.drawRect(QRectF(x, top, 18, 5));
  }
  p.setPen(QPen(Q(0xc09a70), 3));  // a coil of rope
  for (int k = 0; k < 4; ++k) p.drawEllipse(QPointF(300, 1010), 34 - k * 7, 14 - k * 3);
  p.setPen(Qt::NoPen);
  p.setBrush(Q(0x5a3a1a));  // crates
  p.drawRect(QRectF(380, 950, 70, 58));
  p.drawRect(QRectF(420, 905, 52, 46));
  p.setPen(QPen(Q(0x3a2410), 2));
  p.drawLine(QPointF(380, 950), QPointF(450, 1008));
  p.drawLine(QPointF(450, 950), QPointF(380, 1008));
  (void)rng;
}

QImage PaintHarbourSunsetImpl() {
  QImage image = NewImage(kHarbourW, kHarbourH, false);
  PaintSunsetSky(image);
  Lcg rng(204);
  {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    PaintTown(p, rng);
    PaintLighthouse(p);
  }
  PaintReflection(image, kHarbourWater, kHarbourH, RgbHex(0x2a1c48), 0.38f, 7.0f, 205);
  PaintSunGlitter(image);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const struct {
    float x, y, s;
    uint32_t sail;
  } boats[] = {{1540, 700, 26, 0xf0d8c0},
               {900, 720, 34, 0xe87a50},
               {640, 780, 46, 0xf6e6d0},
               {1380, 810, 58, 0xd8503a},
               {1000, 900, 80, 0xfff0dc}};
  for (const auto& b : boats) PaintSailboat(p, b.x, b.y, b.s, Q(b.sail));
  p.setPen(QPen(Q(0x2a1830), 2.2, Qt::SolidLine, Qt::RoundCap));  // gulls
  for (int i = 0; i < 9; ++i) {
    const float x = rng.Range(500, 1700), y = rng.Range(120, 420), s = rng.Range(7, 15);
    QPainterPath gull;
    gull.moveTo(x - s, y);
    gull.quadTo(x - s * 0.5f, y - s * 0.6f, x, y);
    gull.quadTo(x + s * 0.5f, y - s * 0.6f, x + s, y);
    p.drawPath(gull);
  }
  PaintJetty(p, rng);
  p.end();
  return image;
}

// ---- rose window ---------------------------------------------------------------
constexpr int kGlassSize = 1400;
constexpr float kGlassRadius = 640;

// Which piece of glass a point of the window belongs to (its id, -1 for
// the stone) and its colour class.
struct Piece {
  int id;
  int colour;
};

int VoronoiCell(float x, float y, float cell, uint32_t seed) {
  const int cx = static_cast<int>(std::floor(x / cell)), cy = static_cast<int>(std::floor(y / cell));
  float best = 1e9f;
  int id = 0;
  for (int j = -1; j <= 1; ++j)
    for (int i = -1; i <= 1; ++i) {
      const int gx = cx + i, gy = cy + j;
      const float px = (gx + Hash2(gx, gy, seed)) * cell, py = (gy + Hash2(gx, gy, seed + 1)) * cell;
      const float d = (px - x) * (px - x) + (py - y) * (py - y);
      if (d < best) {
        best = d;
        id = (gx & 0xFF) | ((gy & 0xFF) << 8);
      }
    }
  return id;
}

Piece GlassPiece(float px, float py) {
  const float dx = (px - kGlassSize / 2.0f) / kGlassRadius, dy = (py - kGlassSize / 2.0f) / kGlassRadius;
  const float r = std::hypot(dx, dy);
  float angle = std::atan2(dy, dx) + kPi;  // 0..2 pi
  if (r > 1.0f) return {-1, 0};
  if (r > 0.955f) return {-2, 0};
  const int fragment = VoronoiCell(px, py, 46, 301);
  if (r > 0.9f) {
    const int seg = static_cast<int>(angle / (2 * kPi / 48));
    return {100 + seg, seg % 2 ? 1 : 2};
  }
  if (r > 0.615f) {
    const float sector = 2 * kPi / 24;
    const int k = static_cast<int>(angle / sector);
    const float phi = (angle - (k + 0.5f) * sector) / (sector / 2);      // -1..1 across
    const float arch = 0.88f - 0.12f * std::fabs(phi) * std::fabs(phi);  // pointed top
    if (std::fabs(phi) < 0.78f && r < arch && r > 0.64f) {
      const int level = r < 0.72f ? 0 : (r < 0.8f ? 1 : 2);
      return {1000 + k * 3 + level, level == 1 ? (k % 2 ? 3 : 4) : (level == 0 ? 5 : 6)};
    }
    return {2000 + fragment, 7};
  }
  if (r > 0.59f) return {3000 + static_cast<int>(angle / (2 * kPi / 36)), 8};
  if (r > 0.355f) {
    const float sector = 2 * kPi / 12;
    const int m = static_cast<int>(angle / sector);
    const float mid = (m + 0.5f) * sector - kPi;
    const float mx = 0.475f * std::cos(mid), my = 0.475f * std::sin(mid);
    const float dm = std::hypot(dx - mx, dy - my);
    if (dm < 0.1f) {
      if (dm < 0.035f) return {4000 + m, 8};
      const int quarter = static_cast<int>((std::atan2(dy - my, dx - mx) + kPi) / (kPi / 2)) & 3;
      return {4100 + m * 4 + quarter, quarter % 2 ? 9 : 10};
    }
    return {4500 + fragment, 11};
  }
  if (r > 0.335f) return {5000, 8};
  if (r > 0.12f) {
    const float sector = 2 * kPi / 12;
    const int k = static_cast<int>(angle / sector);
    const float phi = (angle - (k + 0.5f) * sector) / (sector / 2);
    const float width = 0.92f * std::sin(kPi * (r - 0.12f) / 0.215f);
    if (std::fabs(phi) < width) return {6000 + k * 2 + (phi < 0), k % 2 ? 12 : 13};
    return {6500 + fragment, 14};
  }
  const float flower = 0.105f * (0.55f + 0.45f * std::fabs(std::cos(4 * angle)));
  if (r < 0.035f) return {7000, 15};
  if (r < flower) return {7100 + static_cast<int>(angle / (kPi / 4)), 8};
  return {7500 + fragment % 5, 1};
}

Rgb GlassColour(int colour) {
  static const uint32_t palette[] = {0x000000, 0xc01a2a, 0x1e3fb0, 0x2a8a3a, 0xd4a017, 0x7a2a9a,
                                     0xe06a1a, 0x143070, 0xf0c030, 0x2a70c8, 0xd83a4a, 0x152a80,
                                     0xb01a3a, 0x6a2aa0, 0x2f9a4a, 0xfff2c0};
  return RgbHex(palette[colour]);
}

Rgb Stone(int x, int y) {
  const int row = y / 70;
  const int col = (x + (row % 2) * 55) / 110;
  const bool mortar = (y % 70) < 4 || ((x + (row % 2) * 55) % 110) < 4;
  const float tone = 0.85f + 0.2f * Hash2(col, row, 302) + 0.08f * Fbm2(x / 30.0f, y / 30.0f, 3, 303);
  return mortar ? RgbHex(0x4a443c) : Scale(RgbHex(0x8a8070), tone);
}

QImage PaintStainedGlassImpl() {
  const int n = kGlassSize;
  std::vector<Piece> pieces(static_cast<size_t>(n) * n);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) pieces[static_cast<size_t>(y) * n + x] = GlassPiece(x + 0.5f, y + 0.5f);
  QImage image = NewImage(n, n, false);
  auto at = [&](int x, int y) {
    return pieces[static_cast<size_t>(std::clamp(y, 0, n - 1)) * n + std::clamp(x, 0, n - 1)].id;
  };
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const Piece& piece = pieces[static_cast<size_t>(y) * n + x];
      const float r = std::hypot(x - n / 2.0f, y - n / 2.0f) / kGlassRadius;
      Rgb c;
      if (piece.id == -1) {
        c = Scale(Stone(x, y), 0.55f + 0.45f * SmoothStep(1.0f, 1.25f, r));  // shade around the window
      } else if (piece.id == -2) {
        c = Scale(RgbHex(0xa89c88), 0.8f + 0.3f * std::cos((r - 0.955f) / 0.045f * kPi - kPi / 2) +
                                        0.05f * Fbm2(x / 20.0f, y / 20.0f, 3, 304));
      } else {
        bool lead = false;
        for (int k = 1; k <= 3 && !lead; ++k)
          lead = at(x + k, y) != piece.id || at(x - k, y) != piece.id || at(x, y + k) != piece.id ||
                 at(x, y - k) != piece.id;
        if (lead) {
          c = RgbHex(0x1c1a1c);
        } else {
          const float mottle = Fbm2(x / 25.0f, y / 25.0f, 4, 305);
          const float shade = 0.8f + 0.25f * Hash2(piece.id, 0, 306);
          c = Scale(GlassColour(piece.colour), shade * (0.88f + 0.22f * mottle) * (1.25f - 0.45f * r));
          c = Add(c, Scale(RgbHex(0xfff0d0), 0.12f * std::exp(-r * 3.0f)));  // light from behind
        }
      }
      SetPixel(image, x, y, c);
    }
  return image;
}

// ---- old map -------------------------------------------------------------------
constexpr int kMapW = 1600, kMapH = 1200;
constexpr float kCoast = 0.1f;

float LandHeight(float x, float y) {
  const float nx = x / kMapW - 0.5f, ny = y / kMapH - 0.5f;
  const float falloff = 0.55f * (nx * nx * 1.4f + ny * ny * 2.0f);  // open sea towards the frame
  return Fbm2(x / 430.0f, y / 430.0f, 6, 401) + 0.28f - falloff * 2.0f;
}

void PaintParchmentAndLand(QImage& image, std::vector<float>& height) {
  height.resize(static_cast<size_t>(kMapW) * kMapH);
  for (int y = 0; y < kMapH; ++y)
    for (int x = 0; x < kMapW; ++x) height[static_cast<size_t>(y) * kMapW + x] = LandHeight(x, y);
  auto h = [&](int x, int y) {
    return height[static_cast<size_t>(std::clamp(y, 0, kMapH - 1)) * kMapW + std::clamp(x, 0, kMapW - 1)];
  };
  for (int y = 0; y < kMapH; ++y)
    for (int x = 0; x < kMapW; ++x) {
      const float f = h(x, y);
      const float gradient =
          std::max(1e-4f, std::hypot(h(x + 1, y) - h(x - 1, y), h(x, y + 1) - h(x, y - 1)) * 0.5f);
      const float stain = Fbm2(x / 300.0f, y / 300.0f, 5, 402);
      const float nx = x / float(kMapW) - 0.5f, ny = y / float(kMapH) - 0.5f;
      const float edge = SmoothStep(0.3f, 0.75f, std::sqrt(nx * nx + ny * ny) * 1.3f);
      Rgb paper =
          Scale(RgbHex(0xead7a8), 1.0f + 0.06f * stain - 0.28f * edge + 0.03f * (Hash2(x, y, 403) - 0.5f));
      Rgb c;
      if (f > kCoast) {
        c = Mix(paper, RgbHex(0xc9c08a), 0.35f + 0.3f * SmoothStep(kCoast, 0.5f, f));
      } else {
        c = Mix(paper, RgbHex(0x9fb3a8), 0.28f);
        for (int k = 1; k <= 5; ++k) {  // ripple lines along the coast
          const float d = std::fabs(f - (kCoast - k * 0.028f)) / gradient;
          c = Mix(c, RgbHex(0x5f6f6a), 0.5f * (1.0f - k / 6.0f) * Clamp01(1.0f - d));
        }
      }
      const float coast = std::fabs(f - kCoast) / gradient;
      c = Mix(c, RgbHex(0x4a3420), Clamp01(1.8f - coast));
      if (f > kCoast && coast < 6) c = Mix(c, RgbHex(0x8a9a5a), 0.25f);       // green shore tint
      if ((x % 160 < 1 || y % 160 < 1)) c = Mix(c, RgbHex(0x8a6a40), 0.35f);  // graticule
      SetPixel(image, x, y, c);
    }
}

void PaintMapSymbols(QPainter& p, const std::vector<float>& height, Lcg& rng) {
  auto h = [&](float x, float y) {
    return height[static_cast<size_t>(std::clamp(static_cast<int>(y), 0, kMapH - 1)) * kMapW +
                  std::clamp(static_cast<int>(x), 0, kMapW - 1)];
  };
  for (float y = 40; y < kMapH - 40; y += 26)
    for (float x = 40; x < kMapW - 40; x += 30) {
      const float jx = x + rng.Range(-9, 9), jy = y + rng.Range(-7, 7);
      const float f = h(jx, jy);
      if (f > 0.46f) {  // mountains
        const float s = 11 + 10 * SmoothStep(0.46f, 0.8f, f);
        QPolygonF peak;
        peak << QPointF(jx - s, jy) << QPointF(jx, jy - s * 1.2f) << QPointF(jx + s, jy);
        p.setPen(QPen(Q(0x4a3420), 1.4));
        p.setBrush(Q(0xe0cfa0));
        p.drawPolygon(peak);
        p.setPen(QPen(Q(0x6a5030), 1));
        for (int k = 1; k < 4; ++k)
          p.drawLine(QPointF(jx + s * k / 5, jy - s * 1.2f * (1 - k / 5.0f)),
                     QPointF(jx + s * k / 5 - 2, jy));
      } else if (f > 0.2f && Noise2(jx / 150.0f, jy / 150.0f, 404) > 0.05f) {  // forests
        p.setPen(QPen(Q(0x3a4a2a), 1.2));
        p.setBrush(Q(0x7a8a4a));
        p.drawLine(QPointF(jx, jy), QPointF(jx, jy + 6));
        p.drawEllipse(QPointF(jx, jy - 2), 5.5, 5.5);
      }
    }
  std::vector<QPointF> towns;
  const char* names[] = {"Aldmere",  "Brinholt", "Corvane", "Dunwick", "Elmsrey",   "Farrowmouth",
                         "Glenhart", "Hollin",   "Ivesby",  "Jorvale", "Kestwater", "Lindmoor"};
  QFont font("DejaVu Serif", 12);
  font.setPixelSize(19);
  font.setItalic(true);
  p.setFont(font);
  int placed = 0;
  for (int attempt = 0; attempt < 4000 && placed < 12; ++attempt) {
    const float x = rng.Range(120, kMapW - 240), y = rng.Range(120, kMapH - 120);
    const float f = h(x, y);
    if (f < kCoast + 0.02f || f > 0.4f) continue;
    if (x > kMapW - 560 && y < 200) continue;  // under the title
    bool crowded = false;                      // keep the names apart
    for (const QPointF& other : towns) crowded = crowded || std::hypot(other.x() - x, other.y() - y) < 190;
    if (crowded) continue;
    towns.push_back(QPointF(x, y));
    p.setPen(QPen(Q(0x4a2010), 1.5));
    p.setBrush(Q(0xb02a1a));
    p.drawEllipse(QPointF(x, y), 5, 5);
    p.setPen(Q(0x3a2010));
    p.drawText(QPointF(x + 9, y - 6), names[placed++]);
  }
}

void PaintCompassRose(QPainter& p, QPointF c, float r) {
  p.setPen(QPen(Q(0x4a3420), 1.5));
  p.setBrush(Q(0xf0e2b8, 220));
  p.drawEllipse(c, r * 0.9, r * 0.9);
  p.drawEllipse(c, r * 0.75, r * 0.75);
  for (int i = 0; i < 16; ++i) {
    const float a = i * kPi / 8;
    const float len = i % 4 == 0 ? r : (i % 2 == 0 ? r * 0.68f : r * 0.45f);
    const float wide = i % 4 == 0 ? r * 0.13f : r * 0.07f;
    const QPointF tip = c + QPointF(std::sin(a), -std::cos(a)) * len;
    const QPointF left = c + QPointF(std::sin(a - kPi / 2), -std::cos(a - kPi / 2)) * wide;
    const QPointF right = c + QPointF(std::sin(a + kPi / 2), -std::cos(a + kPi / 2)) * wide;
    QPolygonF half1, half2;
    half1 << c << left << tip;
    half2 << c << right << tip;
    p.setBrush(i % 4 == 0 ? Q(0x8a2a1a) : Q(0x2a3a5a));
    p.drawPolygon(half1);
    p.setBrush(Q(0xf6ead0));
    p.drawPolygon(half2);
  }
  QFont font("DejaVu Serif", 12, QFont::Bold);
  font.setPixelSize(22);
  p.setFont(font);
  p.setPen(Q(0x4a2010));
  p.drawText(QRectF(c.x() - 20, c.y() - r - 30, 40, 26), Qt::AlignCenter, "N");
}

void PaintShip(QPainter& p, float x, float y, float s) {
  p.setPen(QPen(Q(0x3a2414), 1.6));
  p.setBrush(Q(0x7a4a2a));
  QPainterPath hull;
  hull.moveTo(x - s, y - s * 0.2f);
  hull.lineTo(x + s, y - s * 0.3f);
  hull.quadTo(x + s * 0.7f, y + s * 0.3f, x, y + s * 0.3f);
  hull.quadTo(x - s * 0.7f, y + s * 0.3f, x - s, y - s * 0.2f);
  p.drawPath(hull);
  p.setBrush(Q(0xf4ead0));
  for (float mx : {-0.45f, 0.05f, 0.55f}) {
    p.drawLine(QPointF(x + mx * s, y - s * 0.2f), QPointF(x + mx * s, y - s * 1.7f));
    QPainterPath sail;
    sail.moveTo(x + mx * s - s * 0.28f, y - s * 1.5f);
    sail.quadTo(x + mx * s, y - s * 1.35f, x + mx * s + s * 0.28f, y - s * 1.5f);
    sail.lineTo(x + mx * s + s * 0.3f, y - s * 0.5f);
    sail.quadTo(x + mx * s, y - s * 0.35f, x + mx * s - s * 0.3f, y - s * 0.5f);
    sail.closeSubpath();
    p.drawPath(sail);
  }
  p.setBrush(Q(0xb02a1a));
  p.drawRect(QRectF(x + 0.55f * s, y - s * 1.85f, s * 0.25f, s * 0.12f));
}

void PaintSerpent(QPainter& p, float x, float y, float s) {
  p.setPen(QPen(Q(0x2a4a3a), 2));
  p.setBrush(Q(0x5a8a6a));
  for (int i = 0; i < 3; ++i) {
    QPainterPath hump;
    const float hx = x + i * s * 1.1f;
    hump.moveTo(hx, y);
    hump.cubicTo(hx + s * 0.1f, y - s * 0.8f, hx + s * 0.7f, y - s * 0.8f, hx + s * 0.8f, y);
    hump.lineTo(hx + s * 0.6f, y);
    hump.cubicTo(hx + s * 0.55f, y - s * 0.45f, hx + s * 0.25f, y - s * 0.45f, hx + s * 0.2f, y);
    hump.closeSubpath();
    p.drawPath(hump);
  }
  p.drawEllipse(QPointF(x - s * 0.25f, y - s * 0.55f), s * 0.3f, s * 0.2f);  // head
  p.setBrush(Q(0xf0e0b0));
  p.drawEllipse(QPointF(x - s * 0.35f, y - s * 0.6f), s * 0.05f, s * 0.05f);
}

void PaintMapFrame(QPainter& p) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Q(0x3a2414), 3));
  p.drawRect(QRectF(14, 14, kMapW - 28, kMapH - 28));
  p.setPen(QPen(Q(0x3a2414), 1.2));
  p.drawRect(QRectF(30, 30, kMapW - 60, kMapH - 60));
  p.setPen(Qt::NoPen);
  for (int i = 0; i * 40 < kMapW - 60; ++i) {  // the scale ticks of the border
    p.setBrush(i % 2 ? Q(0x3a2414) : Q(0xf0e2b8));
    p.drawRect(QRectF(30 + i * 40, 20, 40, 6));
    p.drawRect(QRectF(30 + i * 40, kMapH - 26, 40, 6));
  }
  for (int i = 0; i * 40 < kMapH - 60; ++i) {
    p.setBrush(i % 2 ? Q(0x3a2414) : Q(0xf0e2b8));
    p.drawRect(QRectF(20, 30 + i * 40, 6, 40));
    p.drawRect(QRectF(kMapW - 26, 30 + i * 40, 6, 40));
  }
}

QImage PaintOldMapImpl() {
  QImage image = NewImage(kMapW, kMapH, false);
  std::vector<float> height;
  PaintParchmentAndLand(image, height);
  Lcg rng(405);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  PaintMapSymbols(p, height, rng);
  PaintCompassRose(p, QPointF(200, kMapH - 210), 120);
  PaintShip(p, 1380, 1000, 42);
  PaintShip(p, 260, 260, 30);
  PaintSerpent(p, 1240, 220, 38);
  QFont sea("DejaVu Serif", 20);
  sea.setPixelSize(34);
  sea.setItalic(true);
  sea.setLetterSpacing(QFont::AbsoluteSpacing, 8);
  p.setFont(sea);
  p.setPen(Q(0x3a4a4a));
  p.drawText(QPointF(560, 1110), "Mare Serenum");
  // The title in its cartouche.
  p.setPen(QPen(Q(0x3a2414), 2));
  p.setBrush(Q(0xf2e4bc, 235));
  p.drawRoundedRect(QRectF(kMapW - 520, 60, 440, 110), 18, 18);
  p.drawRoundedRect(QRectF(kMapW - 510, 70, 420, 90), 12, 12);
  QFont title("DejaVu Serif", 30, QFont::Bold);
  title.setPixelSize(44);
  title.setItalic(true);
  p.setFont(title);
  p.setPen(Q(0x5a1a10));
  p.drawText(QRectF(kMapW - 520, 60, 440, 110), Qt::AlignCenter, "Terra Nova");
  PaintMapFrame(p);
  p.end();
  return image;
}

// ---- fractal -------------------------------------------------------------------
constexpr int kFractalSize = 1400;

// Smooth escape count of the point, or -1 inside the set.
float EscapeCount(double cr, double ci, int limit) {
  double zr = 0, zi = 0;
  for (int i = 0; i < limit; ++i) {
    const double zr2 = zr * zr, zi2 = zi * zi;
    if (zr2 + zi2 > 256.0) return static_cast<float>(i + 1 - std::log2(std::log2(zr2 + zi2) * 0.5));
    zi = 2 * zr * zi + ci;
    zr = zr2 - zi2 + cr;
  }
  return -1.0f;
}

Rgb FractalColour(float mu) {
  if (mu < 0) return RgbHex(0x050818);
  const float t = std::log(mu + 1.0f) * 0.9f;
  // A cosine palette running through deep blue, teal, gold and crimson.
  const Rgb c{0.5f + 0.5f * std::cos(6.2831853f * (t + 0.0f)),
              0.5f + 0.5f * std::cos(6.2831853f * (t + 0.18f)),
              0.5f + 0.5f * std::cos(6.2831853f * (t + 0.42f))};
  return Scale(c, 0.35f + 0.65f * SmoothStep(0.0f, 3.0f, std::log(mu + 1.0f)));
}

QImage PaintFractalImpl() {
  const int n = kFractalSize, limit = 600;
  const double centreR = -0.7453, centreI = 0.1127, span = 0.0068;
  const double step = span / n;
  std::vector<float> mu(static_cast<size_t>(n) * n);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x)
      mu[static_cast<size_t>(y) * n + x] =
          EscapeCount(centreR + (x + 0.5 - n / 2.0) * step, centreI - (y + 0.5 - n / 2.0) * step, limit);
  QImage image = NewImage(n, n, false);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const float m = mu[static_cast<size_t>(y) * n + x];
      const float right = mu[static_cast<size_t>(y) * n + std::min(x + 1, n - 1)];
      const float down = mu[static_cast<size_t>(std::min(y + 1, n - 1)) * n + x];
      Rgb c;
      if (std::fabs(right - m) + std::fabs(down - m) > 2.5f || (m < 0) != (right < 0)) {
        c = {0, 0, 0};  // fine detail: four samples
        for (int s = 0; s < 4; ++s) {
          const double ox = (s % 2) * 0.5 + 0.25, oy = (s / 2) * 0.5 + 0.25;
          c = Add(c, Scale(FractalColour(EscapeCount(centreR + (x + ox - n / 2.0) * step,
                                                     centreI - (y + oy - n / 2.0) * step, limit)),
                           0.25f));
        }
      } else {
        c = FractalColour(m);
      }
      SetPixel(image, x, y, c);
    }
  return image;
}
}  // namespace

QImage PaintHarbourSunset() { return PaintHarbourSunsetImpl(); }
QImage PaintStainedGlass() { return PaintStainedGlassImpl(); }
QImage PaintOldMap() { return PaintOldMapImpl(); }
QImage PaintFractal() { return PaintFractalImpl(); }

}  // namespace makedata

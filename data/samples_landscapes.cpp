// Sample pictures of the countryside: a mountain lake, a flower meadow,
// tulip fields with a windmill and hot-air balloons over patchwork hills.
// Each has distinct regions (sky, clouds, ridges, water, fields, objects) so
// that a large puzzle of it can be sorted by eye.
//
// Sections: shared - alpine lake - flower meadow - tulip fields - balloons
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <vector>

#include "data/samples.h"

namespace makedata {

namespace {

// ---- shared --------------------------------------------------------------------
QColor Varied(uint32_t rrggbb, Lcg& rng, float amount) {
  return ToQColor(Scale(RgbHex(rrggbb), 1.0f + rng.Range(-amount, amount)));
}

// A fir tree standing on (x, y), h pixels high.
void PaintFir(QPainter& p, float x, float y, float h, const QColor& colour) {
  p.setPen(Qt::NoPen);
  p.setBrush(Q(0x3a2a1c));
  p.drawRect(QRectF(x - h * 0.035, y - h * 0.12, h * 0.07, h * 0.12));
  for (int tier = 0; tier < 4; ++tier) {
    const float top = y - h + tier * h * 0.2f, bottom = y - h * 0.1f - (3 - tier) * h * 0.12f;
    const float half = h * (0.12f + tier * 0.055f);
    QPolygonF tri;
    tri << QPointF(x, top) << QPointF(x + half, bottom) << QPointF(x - half, bottom);
    p.setBrush(tier % 2 ? colour.darker(112) : colour);
    p.drawPolygon(tri);
  }
}

// ---- alpine lake -------------------------------------------------------------
struct Range {
  float base, amplitude, scale;
  uint32_t seed;
  Rgb rock, haze;
  float snow;  // depth of snow below the crest, in pixels
};

float RangeHeight(const Range& r, float x) {
  const float crest = 1.0f - std::fabs(Ridge(x / r.scale, 6, r.seed));
  return r.base - r.amplitude * std::pow(crest, 1.7f);
}

void PaintRange(QImage& image, const Range& r, int bottom) {
  for (int x = 0; x < image.width(); ++x) {
    const float h = RangeHeight(r, static_cast<float>(x));
    const float slope = (RangeHeight(r, x + 8.0f) - RangeHeight(r, x - 8.0f)) / 16.0f;
    const float crestLight = Clamp01(0.8f + 0.15f * slope);  // faces towards the left are lit
    for (int y = std::max(0, static_cast<int>(h)); y < bottom; ++y) {
      const float below = y - h;
      // The crest's light fades into the mass of the mountain further down.
      const float bumpL = Fbm2((x - 1.5f) / 40.0f, y / 40.0f, 4, r.seed + 8);
      const float bumpR = Fbm2((x + 1.5f) / 40.0f, y / 40.0f, 4, r.seed + 8);
      const float light = Clamp01(Lerp(crestLight, 0.8f, SmoothStep(0, 90, below)) + 2.0f * (bumpL - bumpR));
      // Rock: strata and the light on the little ridges of the face.
      const float strata = Fbm2(x / 70.0f, y / 22.0f, 4, r.seed + 5);
      const float ribs = Fbm2(x / 26.0f + strata, y / 34.0f, 3, r.seed + 6);
      Rgb c = Scale(r.rock, light * (0.92f + 0.12f * strata + 0.1f * ribs));
      // Snow lies above a ragged altitude and reaches further down the gullies.
      const float snowY = r.snow + 60.0f * Fbm2(x / 60.0f, y / 60.0f, 4, r.seed + 7) + 40.0f * ribs;
      const float snow = SmoothStep(snowY + 6, snowY - 6, static_cast<float>(y)) * SmoothStep(-2, 4, below);
      c = Mix(c, Scale(Mix(RgbHex(0xf4f7fb), RgbHex(0xaebcd2), 1.0f - light), 0.97f + 0.06f * ribs), snow);
      c = Mix(c, r.haze, Clamp01(0.2f + below / 1000.0f));
      BlendPixel(image, x, y, c, Clamp01(below + 0.5f));  // smooth crest
    }
  }
}

QImage PaintAlpineLakeImpl() {
  const int w = 1600, h = 1200, waterline = 730;
  QImage image = NewImage(w, h, false);
  const Rgb sky[] = {RgbHex(0x2e63ad), RgbHex(0x5f95d4), RgbHex(0xaed0ee), RgbHex(0xe5eef3)};
  FillGradient(image, 0, waterline, sky, 4);
  PaintClouds(image, 30, 430, 240, 0.5f, RgbHex(0xffffff), RgbHex(0x9eabc2), 71);
  PaintRange(image, {520, 300, 520, 72, RgbHex(0x7d8db0), RgbHex(0xa9bddc), 380}, waterline);
  PaintRange(image, {640, 260, 380, 73, RgbHex(0x55617a), RgbHex(0x8ea3c4), 450}, waterline);
  {
    // Forested foothills down to the far shore.
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath hill;
    hill.moveTo(0, waterline);
    for (int x = 0; x <= w; x += 8) hill.lineTo(x, 655 + 45 * Ridge(x / 300.0f, 3, 74));
    hill.lineTo(w, waterline);
    hill.closeSubpath();
    p.fillPath(hill, Q(0x2f4f34));
    Lcg rng(75);
    for (int i = 0; i < 900; ++i) {
      const float x = rng.Range(-20, w + 20);
      const float top = 655 + 45 * Ridge(x / 300.0f, 3, 74);
      const float y = rng.Range(top + 8, waterline + 4.0f);
      const float size = 26 + 34 * (y - top) / (waterline - top) * rng.Range(0.6f, 1.2f);
      PaintFir(p, x, y, size, Varied(0x2a5a32, rng, 0.25f));
    }
    // A cabin on the shore.
    const float cx = 1130, base = waterline + 2;
    p.setPen(Qt::NoPen);
    p.setBrush(Q(0x7a4b2a));
    p.drawRect(QRectF(cx, base - 56, 96, 56));
    p.setBrush(Q(0x5e3820));
    for (int i = 0; i < 6; ++i) p.drawRect(QRectF(cx, base - 56 + i * 9.5, 96, 1.5));
    p.setBrush(Q(0xffd77a));
    p.drawRect(QRectF(cx + 14, base - 40, 16, 16));
    p.drawRect(QRectF(cx + 62, base - 40, 16, 16));
    p.setBrush(Q(0x4b2c18));
    p.drawRect(QRectF(cx + 38, base - 34, 16, 34));
    p.setBrush(Q(0x8f2f24));
    QPolygonF roof;
    roof << QPointF(cx - 12, base - 54) << QPointF(cx + 48, base - 96) << QPointF(cx + 108, base - 54);
    p.drawPolygon(roof);
    p.setBrush(Q(0x6b6b6b));
    p.drawRect(QRectF(cx + 72, base - 98, 10, 26));
  }
  PaintReflection(image, waterline, h, RgbHex(0x234e66), 0.32f, 5.0f, 76);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  // A rowing boat and its wake.
  p.setPen(QPen(Q(0xdbe8f0, 120), 1.5));
  for (int i = 1; i < 6; ++i) p.drawArc(QRectF(560 - i * 40, 873 - i * 4, i * 80, i * 8), 180 * 16, 180 * 16);
  QPainterPath hull;
  hull.moveTo(500, 862);
  hull.lineTo(640, 862);
  hull.quadTo(630, 885, 600, 888);
  hull.lineTo(528, 888);
  hull.quadTo(508, 882, 500, 862);
  p.setPen(Qt::NoPen);
  p.setBrush(Q(0xb8452e));
  p.drawPath(hull);
  p.setBrush(Q(0xf2ead8));
  p.drawRect(QRectF(503, 860, 135, 5));
  p.setPen(QPen(Q(0x5a3b22), 3));
  p.drawLine(QPointF(540, 866), QPointF(505, 893));
  p.drawLine(QPointF(600, 866), QPointF(640, 892));
  // The near shore: a meadow with stones, grass and flowers.
  QPainterPath shore;
  shore.moveTo(0, h);
  for (int x = 0; x <= w; x += 8) shore.lineTo(x, 1030 + 35 * Ridge(x / 400.0f, 3, 77) - 60.0f * x / w);
  shore.lineTo(w, h);
  shore.closeSubpath();
  QLinearGradient meadow(QPointF(0, 960), QPointF(0, h));
  meadow.setColorAt(0, Q(0x6f9a3a));
  meadow.setColorAt(1, Q(0x3f6f22));
  p.fillPath(shore, meadow);
  Lcg rng(78);
  for (int i = 0; i < 40; ++i) {  // stones along the water
    const float x = rng.Range(0, w);
    const float y = 1030 + 35 * Ridge(x / 400.0f, 3, 77) - 60.0f * x / w + rng.Range(-4, 10);
    const float r = rng.Range(8, 26);
    QRadialGradient stone(QPointF(x - r * 0.3, y - r * 0.4), r * 1.2);
    stone.setColorAt(0, Q(0xc9c4bb));
    stone.setColorAt(1, Q(0x6e6a64));
    p.setPen(Qt::NoPen);
    p.setBrush(stone);
    p.drawEllipse(QPointF(x, y), r, r * 0.6);
  }
  p.setClipPath(shore);
  for (int i = 0; i < 9000; ++i) {
    const float x = rng.Range(0, w), y = rng.Range(960, h + 10);
    const float len = 8 + (y - 960) * 0.07f * rng.Range(0.6f, 1.4f);
    p.setPen(QPen(Varied(0x4f8a2a, rng, 0.35f), 1.2 + (y - 960) / 160.0));
    p.drawLine(QPointF(x, y), QPointF(x + rng.Range(-4, 4), y - len));
  }
  const uint32_t flowers[] = {0xf5f0e0, 0xf2d23c, 0x8a5fd0, 0xe9607a};
  for (int i = 0; i < 700; ++i) {
    const float x = rng.Range(0, w), y = rng.Range(1000, h);
    const float r = 2 + (y - 1000) / 60.0f;
    p.setPen(Qt::NoPen);
    p.setBrush(Q(flowers[rng.Below(4)]));
    p.drawEllipse(QPointF(x, y), r, r);
  }
  p.end();
  return image;
}

// ---- flower meadow -------------------------------------------------------------
enum class Flower { Poppy, Daisy, Cornflower, Buttercup, Clover };

void PaintFlower(QPainter& p, Flower kind, float x, float y, float s, Lcg& rng) {
  p.setPen(QPen(Q(0x3f7a2a), std::max(1.0f, s * 0.12f)));
  p.drawLine(QPointF(x, y + s * 0.2f), QPointF(x + rng.Range(-0.3f, 0.3f) * s, y + s * 2.2f));
  p.setPen(Qt::NoPen);
  const float turn = rng.Range(0, kPi);
  auto petals = [&](int n, float length, float width, const QColor& colour) {
    p.setBrush(colour);
    for (int i = 0; i < n; ++i) {
      p.save();
      p.translate(x, y);
      p.rotate((turn + i * 2 * kPi / n) * 180 / kPi);
      p.scale(1.0, 0.75);  // seen a little from the side
      p.drawEllipse(QPointF(length * 0.5f, 0), length * 0.55f, width);
      p.restore();
    }
  };
  switch (kind) {
    case Flower::Poppy:
      petals(5, s * 0.9f, s * 0.5f, Varied(0xd9261c, rng, 0.12f));
      p.setBrush(Q(0x1c1410));
      p.drawEllipse(QPointF(x, y), s * 0.22f, s * 0.18f);
      break;
    case Flower::Daisy:
      petals(12, s * 0.85f, s * 0.14f, Varied(0xfbfaf4, rng, 0.04f));
      p.setBrush(Q(0xf0b416));
      p.drawEllipse(QPointF(x, y), s * 0.24f, s * 0.2f);
      break;
    case Flower::Cornflower:
      petals(8, s * 0.7f, s * 0.22f, Varied(0x3d62d6, rng, 0.15f));
      p.setBrush(Q(0x2a2a7a));
      p.drawEllipse(QPointF(x, y), s * 0.16f, s * 0.14f);
      break;
    case Flower::Buttercup: petals(5, s * 0.55f, s * 0.3f, Varied(0xf7d81e, rng, 0.08f)); break;
    case Flower::Clover:
      p.setBrush(Varied(0xd86aa8, rng, 0.15f));
      p.drawEllipse(QPointF(x, y), s * 0.45f, s * 0.55f);
      p.setBrush(Q(0xf0b0d4, 160));
      p.drawEllipse(QPointF(x - s * 0.1f, y - s * 0.15f), s * 0.2f, s * 0.25f);
      break;
  }
}

QImage PaintFlowerMeadowImpl() {
  const int w = 1200, h = 1600, horizon = 640;
  QImage image = NewImage(w, h, false);
  const Rgb sky[] = {RgbHex(0x3a78c8), RgbHex(0x7fb3e6), RgbHex(0xd2e7f5)};
  FillGradient(image, 0, horizon, sky, 3);
  PaintClouds(image, 40, 520, 210, 0.55f, RgbHex(0xffffff), RgbHex(0xa4b2c8), 81);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  // Distant hills, a tree line and a village.
  const struct {
    float base, amplitude, scale;
    uint32_t seed, colour;
  } hills[] = {{560, 60, 420, 82, 0x8fb0c0}, {600, 45, 300, 83, 0x6f9a78}};
  for (const auto& hl : hills) {
    QPainterPath hill;
    hill.moveTo(0, h);
    for (int x = 0; x <= w; x += 6) hill.lineTo(x, hl.base + hl.amplitude * Ridge(x / hl.scale, 3, hl.seed));
    hill.lineTo(w, h);
    hill.closeSubpath();
    p.fillPath(hill, Q(hl.colour));
  }
  Lcg rng(84);
  for (int i = 0; i < 160; ++i) {
    const float x = rng.Range(-20, w + 20), r = rng.Range(10, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(Varied(0x2f5a2c, rng, 0.2f));
    p.drawEllipse(QPointF(x, horizon - r * 0.6f + rng.Range(0, 8)), r, r * 1.1f);
  }
  for (int i = 0; i < 7; ++i) {  // houses
    const float x = 700 + i * 46 + rng.Range(-8, 8), y = horizon - 4;
    p.setBrush(Q(0xefe6d2));
    p.drawRect(QRectF(x, y - 22, 34, 22));
    p.setBrush(Q(0xb0442c));
    QPolygonF roof;
    roof << QPointF(x - 4, y - 21) << QPointF(x + 17, y - 36) << QPointF(x + 38, y - 21);
    p.drawPolygon(roof);
  }
  p.setBrush(Q(0xe8dfcc));  // the church
  p.drawRect(QRectF(640, horizon - 60, 26, 56));
  QPolygonF spire;
  spire << QPointF(636, horizon - 60) << QPointF(653, horizon - 120) << QPointF(670, horizon - 60);
  p.setBrush(Q(0x4a5a6a));
  p.drawPolygon(spire);
  p.setBrush(Q(0xe8dfcc));
  p.drawRect(QRectF(666, horizon - 34, 50, 30));
  // The meadow itself.
  QLinearGradient ground(QPointF(0, horizon - 10), QPointF(0, h));
  ground.setColorAt(0, Q(0x9db75a));
  ground.setColorAt(1, Q(0x3f7a26));
  p.setBrush(ground);
  p.drawRect(QRectF(0, horizon - 6, w, h - horizon + 6));
  // Grass and flowers, back to front. Each flower kind grows in its own
  // patches, so the meadow has regions that tell apart.
  struct Item {
    float x, y;
    int kind;  // -1 grass
  };
  std::vector<Item> items;
  for (int i = 0; i < 5200; ++i) {
    const float t = std::pow(rng.Unit(), 0.8f);
    const float x = rng.Range(-10, w + 10), y = horizon + t * (h - horizon + 40);
    const float patch = Noise2(x / 260.0f, y / 180.0f, 85) * 0.5f + 0.5f;
    int kind = static_cast<int>(patch * 4.99f);
    if (rng.Unit() < 0.25f) kind = rng.Below(5);
    items.push_back({x, y, kind});
  }
  for (int i = 0; i < 9000; ++i) {
    const float t = rng.Unit();
    items.push_back({rng.Range(0, w), horizon + t * t * (h - horizon + 40), -1});
  }
  std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.y < b.y; });
  for (const Item& it : items) {
    const float depth = (it.y - horizon) / (h - horizon);
    const float s = 1.6f + 17.0f * std::pow(depth, 1.5f);
    if (it.kind < 0) {
      p.setPen(QPen(Varied(0x4e8f2c, rng, 0.35f), 0.6 + 2.2 * depth));
      const float len = 4 + 60 * depth * rng.Range(0.5f, 1.3f);
      p.drawLine(QPointF(it.x, it.y), QPointF(it.x + rng.Range(-0.3f, 0.3f) * len, it.y - len));
    } else {
      PaintFlower(p, static_cast<Flower>(it.kind), it.x, it.y - s * 2.0f, s, rng);
    }
  }
  // Butterflies.
  for (int i = 0; i < 6; ++i) {
    const float x = rng.Range(100, w - 100), y = rng.Range(900, 1450), s = rng.Range(12, 22);
    const QColor wing = i % 2 ? Q(0xf08a1c) : Q(0x4aa0e8);
    p.setPen(QPen(Q(0x201810), 1));
    p.setBrush(wing);
    p.drawEllipse(QPointF(x - s * 0.6f, y - s * 0.3f), s * 0.6f, s * 0.45f);
    p.drawEllipse(QPointF(x + s * 0.6f, y - s * 0.3f), s * 0.6f, s * 0.45f);
    p.drawEllipse(QPointF(x - s * 0.4f, y + s * 0.3f), s * 0.4f, s * 0.3f);
    p.drawEllipse(QPointF(x + s * 0.4f, y + s * 0.3f), s * 0.4f, s * 0.3f);
    p.setBrush(Q(0x201810));
    p.drawEllipse(QPointF(x, y), s * 0.1f, s * 0.5f);
  }
  p.end();
  return image;
}

// ---- tulip fields --------------------------------------------------------------
const uint32_t kTulips[] = {0xe0202a, 0xf6d02a, 0xf07ab0, 0xf28a1e, 0x8a3fc0, 0xf4f0e8, 0xd81870};

void PaintWindmill(QPainter& p, float x, float base, float height) {
  QPolygonF tower;
  tower << QPointF(x - height * 0.16f, base) << QPointF(x - height * 0.09f, base - height * 0.78f)
        << QPointF(x + height * 0.09f, base - height * 0.78f) << QPointF(x + height * 0.16f, base);
  QLinearGradient wood(QPointF(x - height * 0.16f, 0), QPointF(x + height * 0.16f, 0));
  wood.setColorAt(0, Q(0x7a6656));
  wood.setColorAt(1, Q(0x3e322c));
  p.setPen(Qt::NoPen);
  p.setBrush(wood);
  p.drawPolygon(tower);
  p.setBrush(Q(0xf0ece4));
  p.drawRect(QRectF(x - height * 0.2f, base - height * 0.3f, height * 0.4f, height * 0.025f));  // gallery
  p.setBrush(Q(0x2a201a));
  p.drawRect(QRectF(x - height * 0.035f, base - height * 0.12f, height * 0.07f, height * 0.12f));
  p.setBrush(Q(0xe8e0d0));
  p.drawRect(QRectF(x - height * 0.025f, base - height * 0.5f, height * 0.05f, height * 0.06f));
  p.setBrush(Q(0x4a3a34));
  p.drawEllipse(QPointF(x, base - height * 0.8f), height * 0.11f, height * 0.07f);  // cap
  const QPointF hub(x, base - height * 0.8f);
  for (int i = 0; i < 4; ++i) {
    p.save();
    p.translate(hub);
    p.rotate(22 + i * 90);
    p.setPen(QPen(Q(0x3a2a22), 2.5));
    p.drawLine(QPointF(0, 0), QPointF(0, -height * 0.72f));
    p.setPen(QPen(Q(0x3a2a22), 1.2));
    p.setBrush(Q(0xf2ecdc, 230));
    const QRectF sail(2, -height * 0.7f, height * 0.11f, height * 0.56f);
    p.drawRect(sail);
    for (int k = 1; k < 8; ++k)
      p.drawLine(QPointF(2, sail.top() + k * sail.height() / 8),
                 QPointF(sail.right(), sail.top() + k * sail.height() / 8));
    p.restore();
  }
  p.setBrush(Q(0x2a201a));
  p.setPen(Qt::NoPen);
  p.drawEllipse(hub, height * 0.02f, height * 0.02f);
}

QImage PaintTulipFieldsImpl() {
  const int w = 1200, h = 1600, horizon = 700;
  const float vanishX = 560, rowWidth = 34, eye = 300;
  QImage image = NewImage(w, h, false);
  const Rgb sky[] = {RgbHex(0x2f6ec4), RgbHex(0x79aee4), RgbHex(0xd9eaf6)};
  FillGradient(image, 0, horizon, sky, 3);
  PaintClouds(image, 30, 560, 200, 0.45f, RgbHex(0xffffff), RgbHex(0xa7b4c9), 91);
  // The ground: rows of tulips running to the horizon, soil between them.
  for (int y = horizon; y < h; ++y) {
    const float d = y - horizon + 0.5f;
    const float depth = eye / d;  // distance along the rows
    for (int x = 0; x < w; ++x) {
      const float across = (x - vanishX) / d * eye / rowWidth / 2.2f;
      const int row = static_cast<int>(std::floor(across));
      const float f = across - row;
      const Rgb bloom = RgbHex(kTulips[((row % 7) + 7) % 7]);
      const float texture = Noise2(across * 6, depth * 2.5f, 92);
      Rgb c =
          f < 0.78f ? Scale(bloom, 0.92f + 0.12f * texture) : Scale(RgbHex(0x5a4030), 0.9f + 0.1f * texture);
      if (f < 0.78f && (f < 0.08f || f > 0.7f))
        c = Mix(c, RgbHex(0x3f6a28), 0.6f);                      // leaves at the row's edge
      c = Mix(c, RgbHex(0xc8d6e4), Clamp01(0.85f - d / 60.0f));  // haze at the horizon
      SetPixel(image, x, y, c);
    }
  }
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  // Tree line, farm and windmill on the horizon.
  Lcg rng(93);
  for (int i = 0; i < 70; ++i) {
    const float x = rng.Range(-20, w + 20), r = rng.Range(8, 18);
    p.setPen(Qt::NoPen);
    p.setBrush(Varied(0x35573a, rng, 0.2f));
    p.drawEllipse(QPointF(x, horizon - r * 0.7f), r * 1.3f, r);
  }
  p.setBrush(Q(0xa8392a));
  QPolygonF barnRoof;
  barnRoof << QPointF(150, horizon - 28) << QPointF(195, horizon - 62) << QPointF(320, horizon - 62)
           << QPointF(350, horizon - 28);
  p.drawPolygon(barnRoof);
  p.setBrush(Q(0xe9e1d0));
  p.drawRect(QRectF(160, horizon - 30, 180, 30));
  p.setBrush(Q(0x5a3a2a));
  for (int i = 0; i < 5; ++i) p.drawRect(QRectF(175 + i * 32, horizon - 22, 12, 12));
  PaintWindmill(p, 880, horizon + 6, 360);
  // Tulips in the foreground, drawn one by one.
  for (float d = 330; d < h - horizon + 60; d *= 1.022f) {
    const float y = horizon + d;
    const float s = d * 0.027f;
    for (int row = -40; row < 40; ++row) {
      const float x0 = vanishX + (row + 0.39f) * 2.2f * rowWidth * d / eye;
      if (x0 < -40 || x0 > w + 40) continue;
      const QColor colour = Q(kTulips[((row % 7) + 7) % 7]);
      for (int k = 0; k < 3; ++k) {
        const float x = x0 + (k - 1) * s * 2.1f + rng.Range(-s * 0.3f, s * 0.3f);
        const float top = y - s * rng.Range(3.2f, 4.2f);
        p.setPen(QPen(Q(0x3f7a2a), std::max(1.0f, s * 0.18f)));
        p.drawLine(QPointF(x, y), QPointF(x, top + s));
        p.setPen(Qt::NoPen);
        p.setBrush(Q(0x4f8a34));
        p.drawEllipse(QPointF(x - s * 0.45f, y - s * 1.2f), s * 0.3f, s * 1.1f);
        QPainterPath cup;
        cup.moveTo(x - s * 0.55f, top);
        cup.lineTo(x - s * 0.3f, top + s * 0.35f);
        cup.lineTo(x, top - s * 0.05f);
        cup.lineTo(x + s * 0.3f, top + s * 0.35f);
        cup.lineTo(x + s * 0.55f, top);
        cup.cubicTo(x + s * 0.6f, top + s * 0.9f, x - s * 0.6f, top + s * 0.9f, x - s * 0.55f, top);
        QLinearGradient shade(QPointF(x - s * 0.6f, 0), QPointF(x + s * 0.6f, 0));
        shade.setColorAt(0, colour.lighter(118));
        shade.setColorAt(1, colour.darker(125));
        p.setBrush(shade);
        p.drawPath(cup);
      }
    }
  }
  p.end();
  return image;
}

// ---- balloons ------------------------------------------------------------------
struct Balloon {
  float x, y, radius;
  uint32_t colours[3];
};

void PaintBalloon(QPainter& p, const Balloon& b) {
  const float r = b.radius;
  QPainterPath envelope;
  envelope.moveTo(b.x - 0.24f * r, b.y + 1.3f * r);
  envelope.cubicTo(b.x - 0.62f * r, b.y + 0.95f * r, b.x - 1.0f * r, b.y + 0.45f * r, b.x - r, b.y);
  envelope.arcTo(QRectF(b.x - r, b.y - r, 2 * r, 2 * r), 180, -180);
  envelope.cubicTo(b.x + 1.0f * r, b.y + 0.45f * r, b.x + 0.62f * r, b.y + 0.95f * r, b.x + 0.24f * r,
                   b.y + 1.3f * r);
  envelope.closeSubpath();
  // Ropes and basket.
  p.setPen(QPen(Q(0x4a3a2a), std::max(0.8f, r * 0.015f)));
  p.drawLine(QPointF(b.x - 0.22f * r, b.y + 1.3f * r), QPointF(b.x - 0.14f * r, b.y + 1.58f * r));
  p.drawLine(QPointF(b.x + 0.22f * r, b.y + 1.3f * r), QPointF(b.x + 0.14f * r, b.y + 1.58f * r));
  p.setPen(Qt::NoPen);
  p.setBrush(Q(0x8a5a2a));
  p.drawRoundedRect(QRectF(b.x - 0.16f * r, b.y + 1.56f * r, 0.32f * r, 0.2f * r), r * 0.03f, r * 0.03f);
  p.save();
  p.setClipPath(envelope);
  // Gores: vertical panels, narrower towards the sides as on a sphere.
  const int gores = 12;
  for (int i = 0; i < gores; ++i) {
    const float a0 = -kPi / 2 + i * kPi / gores, a1 = a0 + kPi / gores;
    p.setBrush(Q(b.colours[i % 3]));
    p.drawRect(QRectF(b.x + r * std::sin(a0), b.y - r, r * (std::sin(a1) - std::sin(a0)) + 0.5f, 2.4f * r));
  }
  p.setBrush(Q(b.colours[(1) % 3]));  // a belt around the widest part
  p.drawRect(QRectF(b.x - r, b.y - 0.08f * r, 2 * r, 0.16f * r));
  QRadialGradient light(QPointF(b.x - 0.4f * r, b.y - 0.45f * r), 1.6f * r);
  light.setColorAt(0, QColor(255, 255, 255, 110));
  light.setColorAt(0.45, QColor(255, 255, 255, 0));
  light.setColorAt(1, QColor(0, 0, 30, 130));
  p.setBrush(light);
  p.drawRect(QRectF(b.x - r, b.y - r, 2 * r, 2.4f * r));
  p.restore();
}

QImage PaintBalloonsImpl() {
  const int w = 1920, h = 1080;
  QImage image = NewImage(w, h, false);
  const Rgb sky[] = {RgbHex(0x4f88d0), RgbHex(0x94c0ea), RgbHex(0xf2e4c4)};
  FillGradient(image, 0, 640, sky, 3);
  PaintClouds(image, 20, 420, 260, 0.35f, RgbHex(0xffffff), RgbHex(0xc4c8d8), 101);
  // Hills, far to near; each is a patchwork of fields with hedges.
  const struct {
    float base, amplitude, scale, haze;
  } hills[] = {{560, 40, 500, 0.55f}, {640, 60, 420, 0.35f}, {760, 70, 380, 0.15f}, {900, 80, 460, 0.0f}};
  const Rgb fields[] = {RgbHex(0x6f9e3a), RgbHex(0x8db548), RgbHex(0xd9c25a), RgbHex(0xb89a4a),
                        RgbHex(0x547f2e), RgbHex(0xe8d96a), RgbHex(0x9c7a50)};
  for (int x = 0; x < w; ++x) {
    for (int layer = 0; layer < 4; ++layer) {
      const auto& hl = hills[layer];
      const float top = hl.base + hl.amplitude * Ridge(x / hl.scale, 4, 102 + layer);
      const float next = layer < 3
                             ? hills[layer + 1].base + hills[layer + 1].amplitude *
                                                           Ridge(x / hills[layer + 1].scale, 4, 103 + layer)
                             : static_cast<float>(h);
      for (int y = std::max(0, static_cast<int>(top)); y < std::min(h, static_cast<int>(next) + 1); ++y) {
        const float below = y - top;
        // Fields grow towards us; their edges wander a little.
        const float cellW = 90.0f + 60.0f * layer, cellH = 22.0f + 16.0f * layer;
        const float fx = x / cellW + 0.3f * Noise2(x / 260.0f, y / 90.0f, 104 + layer);
        const float fy = below / cellH + 0.25f * Noise2(x / 180.0f, y / 70.0f, 105 + layer);
        const int cx = static_cast<int>(std::floor(fx)), cy = static_cast<int>(std::floor(fy));
        Rgb c = fields[static_cast<int>(Hash2(cx, cy + layer * 100, 106) * 7)];
        const float rowsOfCrop = std::sin((fx * 2.0f + fy * 9.0f) * (6.0f + 4.0f * Hash2(cx, cy, 109)));
        c = Scale(c, 0.95f + 0.05f * rowsOfCrop + 0.04f * Noise2(x / 3.0f, y / 1.5f, 107));
        const float hedge = std::min(
            {(fx - cx) * cellW, (1 - (fx - cx)) * cellW, (fy - cy) * cellH, (1 - (fy - cy)) * cellH});
        if (hedge < 1.2f + 0.9f * layer) c = Scale(RgbHex(0x2f4f24), 0.85f + 0.3f * Hash2(x, y, 108));
        const float slope =
            Ridge((x + 4) / hl.scale, 4, 102 + layer) - Ridge((x - 4) / hl.scale, 4, 102 + layer);
        c = Scale(
            c, 1.0f - 2.5f * slope * (1.0f - SmoothStep(0, 120, below)) - 0.12f * SmoothStep(0, 200, below));
        c = Mix(c, RgbHex(0xc8d4e0), hl.haze);
        SetPixel(image, x, y, c);
      }
    }
  }
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const Balloon balloons[] = {
      {1500, 250, 34, {0xf2c21e, 0xd8342a, 0xf2c21e}}, {300, 300, 28, {0x2f7fd6, 0xffffff, 0x2f7fd6}},
      {820, 180, 44, {0x8f3fc0, 0xf28a1e, 0x2fb87a}},  {1180, 420, 62, {0xe83f6f, 0xffd23a, 0x3a6fe0}},
      {560, 520, 80, {0xf07a1e, 0xfff2d8, 0xd8342a}},  {1680, 560, 96, {0x1e8f5a, 0xf2e23a, 0x1e5fa8}},
      {210, 690, 120, {0xd81e3a, 0xffffff, 0x1e3a8f}},
  };
  for (const Balloon& b : balloons) PaintBalloon(p, b);
  p.end();
  return image;
}
}  // namespace

QImage PaintAlpineLake() { return PaintAlpineLakeImpl(); }
QImage PaintFlowerMeadow() { return PaintFlowerMeadowImpl(); }
QImage PaintTulipFields() { return PaintTulipFieldsImpl(); }
QImage PaintBalloons() { return PaintBalloonsImpl(); }

}  // namespace makedata

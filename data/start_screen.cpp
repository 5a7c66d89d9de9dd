// The start screen: a lit globe cut into jigsaw pieces on a night-blue
// background, the fill that continues that background to the left edge of
// the window, four round buttons, and the translucent title bar with the
// product's name. Every picture is loaded with the magenta colour key.
//
// Sections: background - globe - fill - buttons - title bar
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "data/draw_kit.h"
#include "data/makedata.h"

namespace makedata {

namespace {
constexpr int kGlobeImage = 1024;

// ---- background ----------------------------------------------------------------
// The background depends on the height only: the fill is stretched sideways
// and must meet the globe picture without a seam.
Rgb Background(float v) {
  const Rgb top = RgbHex(0x0c1c40), middle = RgbHex(0x0a1631), bottom = RgbHex(0x03060f);
  return v < 0.45f ? Mix(top, middle, v / 0.45f) : Mix(middle, bottom, (v - 0.45f) / 0.55f);
}

// ---- globe ---------------------------------------------------------------------
struct Vec3 {
  float x, y, z;
};

float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 Normalised(const Vec3& v) {
  const float l = std::sqrt(Dot(v, v));
  return {v.x / l, v.y / l, v.z / l};
}

// View-space normal to globe coordinates: turned about the vertical axis,
// then tilted towards the viewer.
Vec3 ToGlobe(const Vec3& n) {
  const float tilt = 0.38f, turn = 2.2f;
  const float y1 = n.y * std::cos(tilt) - n.z * std::sin(tilt);
  const float z1 = n.y * std::sin(tilt) + n.z * std::cos(tilt);
  return {n.x * std::cos(turn) + z1 * std::sin(turn), y1, -n.x * std::sin(turn) + z1 * std::cos(turn)};
}

Rgb SurfaceColour(const Vec3& g, bool& isSea) {
  const float height = Fbm3(g.x * 1.7f, g.y * 1.7f, g.z * 1.7f, 6, 401) + 0.02f;
  const float latitude = std::fabs(g.y);
  isSea = height < 0.05f;
  if (isSea) {
    const float depth = SmoothStep(0.05f, -0.45f, height);
    return Mix(RgbHex(0x2a8fb0), RgbHex(0x0a2a6e), depth);
  }
  const float dry = Fbm3(g.x * 2.3f + 5, g.y * 2.3f, g.z * 2.3f, 4, 402) * 0.5f + 0.5f;
  const float desertBand = std::exp(-std::pow((latitude - 0.35f) / 0.16f, 2.0f));
  Rgb land = Mix(RgbHex(0x2f7a35), RgbHex(0x5c8a3a), SmoothStep(0.1f, 0.6f, latitude));
  land = Mix(land, RgbHex(0xc9ad74), Clamp01(desertBand * dry * 1.6f - 0.3f));
  land = Mix(land, RgbHex(0x7d6a55), SmoothStep(0.35f, 0.7f, height));  // mountains
  const float snow = std::max(SmoothStep(0.72f, 0.85f, latitude), SmoothStep(0.62f, 0.8f, height));
  return Mix(land, RgbHex(0xf2f6fa), snow);
}

// Distance, in cells, from a grid line that carries a jigsaw tab; t is the
// position along the line within its cell and sign the tab's direction.
float TabOffset(float t, float sign) { return sign * 0.2f * std::exp(-std::pow((t - 0.5f) / 0.1f, 2.0f)); }

float SignOf(int a, int b, uint32_t seed) { return Hash2(a, b, seed) < 0.5f ? -1.0f : 1.0f; }

// How far (in cells) a globe point lies from the nearest cut between pieces
// of a 16 x 8 longitude-latitude grid.
void PieceCoordinates(const Vec3& g, float& a, float& b) {
  const float longitude = std::atan2(g.z, g.x);
  const float latitude = std::asin(std::clamp(g.y, -1.0f, 1.0f));
  a = (longitude + kPi) / (2 * kPi) * 16.0f;
  b = (latitude + kPi / 2) / kPi * 8.0f;
}

float CutDistance(float a, float b) {
  const int ia = static_cast<int>(std::floor(a)), ib = static_cast<int>(std::floor(b));
  const float fa = a - ia, fb = b - ib;
  // Lines of latitude at whole b, tabs along a.
  const int nearB = fb < 0.5f ? ib : ib + 1;
  const float dLat = std::fabs(b - nearB - TabOffset(fa, SignOf(ia, nearB, 7)));
  // Meridians at whole a, tabs along b (none in the polar caps).
  const int nearA = fa < 0.5f ? ia : ia + 1;
  const float tab = (ib == 0 || ib == 7) ? 0.0f : TabOffset(fb, SignOf(nearA, ib, 8));
  float dLon = std::fabs(a - nearA - tab);
  if (ib == 0 || ib == 7) dLon = 9.0f;  // the caps are single pieces
  return std::min(dLat, dLon);
}

Rgb GlobePixel(float px, float py, float cx, float cy, float radius, float& coverage) {
  const float nx = (px - cx) / radius, ny = (py - cy) / radius;
  const float r = std::sqrt(nx * nx + ny * ny);
  coverage = Clamp01((1.0f - r) * radius + 0.5f);
  const Vec3 n{nx, -ny, std::sqrt(std::max(0.0f, 1.0f - std::min(r, 1.0f) * std::min(r, 1.0f)))};
  const Vec3 light = Normalised({-0.62f, 0.42f, 0.66f});
  const Vec3 g = ToGlobe(n);
  bool isSea = false;
  Rgb c = SurfaceColour(g, isSea);
  const float cloud = SmoothStep(0.12f, 0.65f, Fbm3(g.x * 3.1f + 9, g.y * 5.0f, g.z * 3.1f, 5, 403));
  c = Mix(c, RgbHex(0xffffff), cloud * 0.85f);
  const float diffuse = std::max(0.0f, Dot(n, light));
  const float day = SmoothStep(-0.05f, 0.25f, Dot(n, light));
  Rgb lit = Scale(c, 0.06f + 1.0f * diffuse);
  if (isSea && cloud < 0.5f) {
    const Vec3 h = Normalised({light.x, light.y, light.z + 1.0f});
    lit = Add(lit, Scale(RgbHex(0xfff4dc), 0.35f * std::pow(std::max(0.0f, Dot(n, h)), 90.0f)));
  }
  if (!isSea && day < 0.5f) {  // towns at night, gathered in a few regions
    const float region = Fbm3(g.x * 4, g.y * 4, g.z * 4, 3, 405);
    const float spark =
        Hash3(static_cast<int>(g.x * 260), static_cast<int>(g.y * 260), static_cast<int>(g.z * 260), 404);
    if (region > 0.25f && spark > 0.9f)
      lit = Add(lit, Scale(RgbHex(0xffc870), 0.45f * (1.0f - 2.0f * day) * (spark - 0.9f) * 10.0f));
  }
  // The cuts between the globe's pieces: a dark groove with a lit lip.
  float a, b, a2, b2;
  PieceCoordinates(g, a, b);
  PieceCoordinates(ToGlobe(Normalised({nx + 1.0f / radius, -ny, n.z})), a2, b2);
  const float cellsPerPixel = std::max(1e-4f, std::hypot(std::remainder(a2 - a, 16.0f), b2 - b));
  const float d = CutDistance(a, b) / cellsPerPixel;
  lit = Scale(lit, 1.0f - 0.55f * std::exp(-d * d / 1.2f) * (0.4f + 0.6f * day));
  // Atmosphere along the rim, strongest on the day side.
  const float rim = std::pow(1.0f - n.z, 3.0f);
  lit = Add(lit, Scale(RgbHex(0x5fa8ff), rim * (0.15f + 0.85f * day)));
  return lit;
}

QImage Globe() {
  QImage image = NewImage(kGlobeImage, kGlobeImage, false);
  const float cx = 560, cy = 512, radius = 420;
  for (int y = 0; y < kGlobeImage; ++y) {
    const Rgb back = Background((y + 0.5f) / kGlobeImage);
    for (int x = 0; x < kGlobeImage; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      const float r = std::hypot(px - cx, py - cy) / radius;
      // A soft blue halo, gone well before the left edge.
      const float halo = r > 1.0f ? std::exp(-(r - 1.0f) * radius / 28.0f) : 1.0f;
      const float sideLight = Clamp01(0.55f - 0.45f * (px - cx) / radius);
      Rgb c = Add(back, Scale(RgbHex(0x3f7fe0), 0.55f * halo * sideLight));
      if (r < 1.0f + 1.0f / radius) {
        float coverage = 0;
        const Rgb globe = GlobePixel(px, py, cx, cy, radius, coverage);
        c = Mix(c, globe, coverage);
      }
      SetPixel(image, x, y, c);
    }
  }
  return image;
}

// ---- fill ----------------------------------------------------------------------
QImage Fill() {
  QImage image = NewImage(32, kGlobeImage, false);
  for (int y = 0; y < kGlobeImage; ++y) {
    const Rgb c = Background((y + 0.5f) / kGlobeImage);
    for (int x = 0; x < 32; ++x) SetPixel(image, x, y, c);
  }
  return image;
}

// ---- buttons -------------------------------------------------------------------
enum class Glyph { NewPuzzle, LoadPuzzle, Help, Exit };

void DrawGlyph(QPainter& p, Glyph glyph) {
  const QColor white(255, 255, 255);
  switch (glyph) {
    case Glyph::NewPuzzle: {
      const int tabs[4] = {1, 1, -1, -1};
      p.setPen(QPen(QColor(20, 60, 20, 120), 1.5));
      p.setBrush(white);
      p.drawPath(JigsawPiecePath(QRectF(20, 23, 21, 21), tabs));
      break;
    }
    case Glyph::LoadPuzzle: {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(230, 240, 255));
      QPainterPath back;  // the folder with its tab
      back.moveTo(16, 21);
      back.lineTo(26, 21);
      back.lineTo(29, 24);
      back.lineTo(46, 24);
      back.lineTo(46, 44);
      back.lineTo(16, 44);
      back.closeSubpath();
      p.drawPath(back);
      p.setBrush(white);
      QPainterPath front;  // its open front
      front.moveTo(20, 29);
      front.lineTo(51, 29);
      front.lineTo(46, 44);
      front.lineTo(15, 44);
      front.closeSubpath();
      p.setPen(QPen(QColor(20, 40, 90, 110), 1.2));
      p.drawPath(front);
      break;
    }
    case Glyph::Help: {
      QFont font("DejaVu Sans", 30, QFont::Bold);
      font.setPixelSize(36);
      p.setFont(font);
      p.setPen(QColor(90, 50, 0, 110));
      p.drawText(QRectF(1, 2, 64, 62), Qt::AlignCenter, "?");
      p.setPen(white);
      p.drawText(QRectF(0, 0, 64, 62), Qt::AlignCenter, "?");
      break;
    }
    case Glyph::Exit: {
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(white, 4.5, Qt::SolidLine, Qt::RoundCap));
      p.drawArc(QRectF(19, 20, 26, 26), 120 * 16, 300 * 16);
      p.drawLine(QPointF(32, 16), QPointF(32, 31));
      break;
    }
  }
}

QImage Button(uint32_t light, uint32_t dark, Glyph glyph) {
  QImage image = NewImage(64, 64, true);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF centre(32, 32);
  // Drop shadow, rim, body and gloss.
  QRadialGradient shadow(QPointF(33, 35), 31);
  shadow.setColorAt(0.85, QColor(0, 0, 0, 110));
  shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(shadow);
  p.drawEllipse(QPointF(33, 35), 31, 31);
  p.setBrush(ToQColor(Scale(RgbHex(dark), 0.63f)));
  p.drawEllipse(centre, 28.5, 28.5);
  QRadialGradient body(QPointF(26, 22), 36);
  body.setColorAt(0.0, ToQColor(Mix(RgbHex(light), RgbHex(0xffffff), 0.25f)));
  body.setColorAt(0.55, ToQColor(RgbHex(light)));
  body.setColorAt(1.0, ToQColor(RgbHex(dark)));
  p.setBrush(body);
  p.drawEllipse(centre, 26.5, 26.5);
  DrawGlyph(p, glyph);
  QLinearGradient gloss(QPointF(0, 7), QPointF(0, 32));
  gloss.setColorAt(0.0, QColor(255, 255, 255, 150));
  gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(gloss);
  p.drawEllipse(QRectF(13, 7, 38, 22));
  p.end();
  return ApplyColourKey(image);
}

// ---- title bar -----------------------------------------------------------------
// 44 rows of bar, then a shadow fading out over the picture below it; the
// last rows are clear (the key colour).
QImage TitleBar() {
  QImage image = NewImage(64, 64, true);
  for (int y = 0; y < 64; ++y) {
    Rgb c = Mix(RgbHex(0x2b3f66), RgbHex(0x0d1830), SmoothStep(0, 43, static_cast<float>(y)));
    float alpha = 1.0f;
    if (y == 0) c = RgbHex(0x6f86b3);
    if (y == 43) c = RgbHex(0x8aa2cf);
    if (y > 43) {
      c = RgbHex(0x000000);
      alpha = 0.45f * SmoothStep(58, 44, static_cast<float>(y));
    }
    for (int x = 0; x < 64; ++x) SetPixel(image, x, y, c, alpha);
  }
  return ApplyColourKey(image);
}

QImage Title() {
  QImage image = NewImage(256, 64, true);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const int tabs[4] = {1, -1, 0, 1};
  const QPainterPath piece = JigsawPiecePath(QRectF(16, 10, 24, 24), tabs);
  QLinearGradient goldPiece(QPointF(0, 8), QPointF(0, 36));
  goldPiece.setColorAt(0, QColor(255, 230, 140));
  goldPiece.setColorAt(1, QColor(214, 146, 38));
  p.setPen(QPen(QColor(60, 30, 0, 200), 1.5));
  p.setBrush(goldPiece);
  p.drawPath(piece);

  QFont font("DejaVu Serif", 24, QFont::Bold);
  font.setPixelSize(36);
  font.setItalic(true);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
  QPainterPath text;
  text.addText(QPointF(54, 35), font, "Ravelle");
  p.setPen(QPen(QColor(0, 0, 0, 170), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(text.translated(1.5, 2));
  QLinearGradient gold(QPointF(0, 10), QPointF(0, 34));
  gold.setColorAt(0, QColor(255, 244, 190));
  gold.setColorAt(0.5, QColor(246, 196, 86));
  gold.setColorAt(1, QColor(200, 130, 30));
  p.setPen(QPen(QColor(70, 36, 0), 1.2));
  p.setBrush(gold);
  p.drawPath(text);
  p.end();
  return ApplyColourKey(image);
}
// ---- program icon ------------------------------------------------------------------
// The globe alone, round on a transparent square: the game's icon for the
// window and the desktop's menus.
QImage ProgramIcon(const QImage& globe) {
  constexpr int kSize = 128;
  QImage icon(kSize, kSize, QImage::Format_ARGB32);
  icon.fill(Qt::transparent);
  QPainter p(&icon);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  QPainterPath round;
  round.addEllipse(QRectF(2, 2, kSize - 4, kSize - 4));
  p.setClipPath(round);
  p.drawImage(QRectF(0, 0, kSize, kSize), globe, QRectF(136, 88, 848, 848));  // the sphere, centre (560, 512)
  p.end();
  return icon;
}
}  // namespace

void MakeStartScreenArt(Output& out) {
  const QImage globe = Globe();
  out.SaveImage(ProgramIcon(globe), "RavelleGame.png");
  out.SaveImage(AvoidColourKey(globe), "Textures/StartMenuBackgroundEarth.png");
  out.SaveImage(AvoidColourKey(Fill()), "Textures/StartMenuBackgroundFill.png");
  out.SaveImage(Button(0x5fcf5a, 0x1d6a24, Glyph::NewPuzzle), "Textures/StartMenuButtonNewPuzzle.png");
  out.SaveImage(Button(0x5aa8f0, 0x1a4a9a, Glyph::LoadPuzzle), "Textures/StartMenuButtonLoadPuzzle.png");
  out.SaveImage(Button(0xf5c040, 0xa86a10, Glyph::Help), "Textures/StartMenuButtonHelp.png");
  out.SaveImage(Button(0xf06450, 0x9a2018, Glyph::Exit), "Textures/StartMenuButtonExit.png");
  out.SaveImage(TitleBar(), "Textures/MenuBarStartMenuBackground.png");
  out.SaveImage(Title(), "Textures/MenuBarStartMenuTitle.png");
}

}  // namespace makedata

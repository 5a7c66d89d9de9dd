// The play screen's interface art: the top bar's background, its eight
// 32 x 32 icons, the preview window's corner grip and the command panel's
// close button. The icons are loaded without a colour key, so their
// transparency is in their alpha channel only; the background, the grip and
// the close button are loaded with the magenta key.
//
// Sections: bar background - icons - grip and close button
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <functional>

#include "data/draw_kit.h"
#include "data/makedata.h"

namespace makedata {

namespace {
// ---- bar background ------------------------------------------------------------
QImage BarBackground() {
  QImage image = NewImage(64, 32, false);
  for (int y = 0; y < 32; ++y) {
    Rgb c = Mix(RgbHex(0x3d4f70), RgbHex(0x141c2c), SmoothStep(0, 31, static_cast<float>(y)));
    if (y == 0) c = RgbHex(0x8597bb);
    if (y == 1) c = Mix(c, RgbHex(0x8597bb), 0.4f);
    if (y == 31) c = RgbHex(0x06080e);
    for (int x = 0; x < 64; ++x) SetPixel(image, x, y, c);
  }
  return AvoidColourKey(image);
}

// ---- icons ---------------------------------------------------------------------
// A 22 x 22 glass tile in the middle of the icon (the two right-hand icons
// are placed 24 pixels apart, so the margins overlap) with a white glyph.
using GlyphPainter = std::function<void(QPainter&)>;

QImage Icon(const GlyphPainter& glyph) {
  QImage image = NewImage(32, 32, true);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF tile(5.5, 5.5, 21, 21);
  QLinearGradient body(tile.topLeft(), tile.bottomLeft());
  body.setColorAt(0, QColor(120, 168, 230));
  body.setColorAt(0.5, QColor(52, 102, 178));
  body.setColorAt(1, QColor(22, 52, 110));
  p.setPen(QPen(QColor(8, 20, 48, 230), 1.0));
  p.setBrush(body);
  p.drawRoundedRect(tile, 4.5, 4.5);
  QLinearGradient gloss(QPointF(0, 6), QPointF(0, 16));
  gloss.setColorAt(0, QColor(255, 255, 255, 120));
  gloss.setColorAt(1, QColor(255, 255, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(gloss);
  p.drawRoundedRect(QRectF(7, 6.5, 18, 9), 3.5, 3.5);
  glyph(p);
  p.end();
  return AvoidColourKey(image);
}

QPen GlyphPen(double width) {
  return QPen(QColor(255, 255, 255), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void MenuGlyph(QPainter& p) {
  p.setPen(GlyphPen(2.2));
  for (double y : {11.5, 16.0, 20.5}) p.drawLine(QPointF(10.5, y), QPointF(21.5, y));
}

void SaveGlyph(QPainter& p) {
  QPainterPath disk;
  disk.moveTo(10, 9.5);
  disk.lineTo(19.5, 9.5);
  disk.lineTo(22, 12);
  disk.lineTo(22, 22);
  disk.lineTo(10, 22);
  disk.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255));
  p.drawPath(disk);
  p.setBrush(QColor(40, 80, 150));
  p.drawRect(QRectF(12.5, 9.5, 6, 4.5));  // shutter
  p.setBrush(QColor(190, 210, 240));
  p.drawRect(QRectF(12, 16.5, 8, 5.5));  // label
}

void InfoGlyph(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255));
  p.drawEllipse(QPointF(16, 16), 7.5, 7.5);
  p.setBrush(QColor(36, 84, 160));
  p.drawEllipse(QPointF(16, 12.2), 1.5, 1.5);
  p.drawRoundedRect(QRectF(14.8, 14.5, 2.4, 6.5), 1, 1);
}

void PreviewGlyph(QPainter& p) {
  p.setPen(QPen(QColor(255, 255, 255), 1.6));
  p.setBrush(QColor(150, 205, 255));
  p.drawRect(QRectF(9.5, 10.5, 13, 11));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 220, 80));
  p.drawEllipse(QPointF(19.3, 13.8), 1.6, 1.6);
  QPainterPath hills;
  hills.moveTo(10.3, 20.7);
  hills.lineTo(14.5, 15);
  hills.lineTo(17, 18);
  hills.lineTo(18.5, 16.5);
  hills.lineTo(21.7, 20.7);
  hills.closeSubpath();
  p.setBrush(QColor(60, 150, 70));
  p.drawPath(hills);
}

void CommandHelperGlyph(QPainter& p) {
  p.setPen(GlyphPen(1.6));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(11.5, 8.5, 9, 15), 4.5, 4.5);
  p.drawLine(QPointF(11.8, 14), QPointF(20.2, 14));
  p.drawLine(QPointF(16, 8.8), QPointF(16, 14));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255));
  QPainterPath left;  // the left button pressed
  left.moveTo(16, 9.3);
  left.arcTo(QRectF(12.3, 9.3, 7.4, 7.4), 90, 90);
  left.lineTo(12.3, 13.6);
  left.lineTo(16, 13.6);
  left.closeSubpath();
  p.drawPath(left);
}

void HelpGlyph(QPainter& p) {
  QFont font("DejaVu Sans", 12, QFont::Bold);
  font.setPixelSize(17);
  p.setFont(font);
  p.setPen(QColor(255, 255, 255));
  p.drawText(QRectF(5, 5, 22, 22), Qt::AlignCenter, "?");
}

void FullscreenGlyph(QPainter& p) {
  p.setPen(GlyphPen(2.0));
  const double lo = 10.5, hi = 21.5, arm = 4.0;
  for (double x : {lo, hi})
    for (double y : {lo, hi}) {
      const double dx = x < 16 ? arm : -arm, dy = y < 16 ? arm : -arm;
      p.drawLine(QPointF(x, y), QPointF(x + dx, y));
      p.drawLine(QPointF(x, y), QPointF(x, y + dy));
    }
}

void MinimiseGlyph(QPainter& p) {
  p.setPen(GlyphPen(2.6));
  p.drawLine(QPointF(11, 20.5), QPointF(21, 20.5));
}

// ---- grip and close button -----------------------------------------------------
// One picture serves all four corners, so the grip is a round knob.
QImage Grip() {
  QImage image = NewImage(16, 16, true);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient knob(QPointF(6.5, 6), 8);
  knob.setColorAt(0, QColor(255, 255, 255));
  knob.setColorAt(1, QColor(170, 182, 200));
  p.setPen(QPen(QColor(30, 40, 60), 1.2));
  p.setBrush(knob);
  p.drawEllipse(QPointF(8, 8), 5.6, 5.6);
  p.setPen(QPen(QColor(80, 95, 120), 1.0));
  p.drawLine(QPointF(6, 10), QPointF(10, 6));
  p.drawLine(QPointF(8, 11), QPointF(11, 8));
  p.end();
  return ApplyColourKey(image);
}

QImage CloseButton() {
  QImage image = NewImage(16, 16, true);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient body(QPointF(0, 1), QPointF(0, 15));
  body.setColorAt(0, QColor(240, 110, 95));
  body.setColorAt(1, QColor(170, 30, 20));
  p.setPen(QPen(QColor(90, 10, 5), 1.0));
  p.setBrush(body);
  p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 3, 3);
  p.setPen(QPen(QColor(255, 255, 255), 2.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(5.3, 5.3), QPointF(10.7, 10.7));
  p.drawLine(QPointF(10.7, 5.3), QPointF(5.3, 10.7));
  p.end();
  return ApplyColourKey(image);
}
}  // namespace

void MakeBarArt(Output& out) {
  out.SaveImage(BarBackground(), "Textures/MenuBarPlayBackground.png");
  const struct {
    const char* file;
    void (*glyph)(QPainter&);
  } icons[] = {
      {"IconMenu.png", MenuGlyph},
      {"IconSave.png", SaveGlyph},
      {"IconGameInfo.png", InfoGlyph},
      {"IconPreview.png", PreviewGlyph},
      {"IconCommandHelper.png", CommandHelperGlyph},
      {"IconHelp.png", HelpGlyph},
      {"IconFullscreen.png", FullscreenGlyph},
      {"IconMinimize.png", MinimiseGlyph},
  };
  for (const auto& icon : icons) out.SaveImage(Icon(icon.glyph), QString("Textures/") + icon.file);
  out.SaveImage(Grip(), "Textures/IconResizeGrip.png");
  out.SaveImage(CloseButton(), "Textures/CloseButton.png");
}

}  // namespace makedata

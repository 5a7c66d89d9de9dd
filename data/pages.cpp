// The tutorial and help pages: HTML sources kept in data/pages (compiled into
// this program as resources) are written below the installation folder as
// they are, with their style sheet beside each language folder, and the
// tutorials' pictures are drawn here. The pictures carry
// no words, so both languages share them (Tutorials/Pictures).
//
// Sections: pieces and marks - pictures - pages
#include <QDirIterator>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QTransform>
#include <cmath>

#include "data/draw_kit.h"
#include "data/makedata.h"

namespace makedata {

namespace {
constexpr int kWidth = 360;
constexpr int kHeight = 200;
const QColor kInk(0x3a, 0x2a, 0x14);

// ---- pieces and marks ---------------------------------------------------------------
QImage Canvas(QPainter& p, QImage& image) {
  image = NewImage(kWidth, kHeight, false);
  p.begin(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient table(0, 0, 0, kHeight);
  table.setColorAt(0, Q(0xd9b27a));
  table.setColorAt(1, Q(0xb8864c));
  p.fillRect(image.rect(), table);
  return image;
}

// A piece of a sky-and-meadow picture, centred at the point, turned by the
// angle in degrees.
void Piece(QPainter& p, QPointF centre, const int tabs[4], qreal angle = 0, qreal size = 56) {
  p.save();
  p.translate(centre);
  p.rotate(angle);
  const QPainterPath outline = JigsawPiecePath(QRectF(-size / 2, -size / 2, size, size), tabs);
  QLinearGradient picture(0, -size, 0, size);
  picture.setColorAt(0.0, Q(0x6fa8dc));
  picture.setColorAt(0.48, Q(0xcfe2f3));
  picture.setColorAt(0.52, Q(0x6aa84f));
  picture.setColorAt(1.0, Q(0x38761d));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 60));
  p.drawPath(outline.translated(3, 4));  // shadow
  p.setBrush(picture);
  p.setPen(QPen(kInk, 1.5));
  p.drawPath(outline);
  p.restore();
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour = QColor(0xc0, 0x30, 0x20)) {
  p.save();
  p.setPen(QPen(colour, 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(from, to);
  const qreal angle = std::atan2(to.y() - from.y(), to.x() - from.x());
  QPolygonF head;
  head << to << to - QPointF(std::cos(angle - 0.5) * 14, std::sin(angle - 0.5) * 14)
       << to - QPointF(std::cos(angle + 0.5) * 14, std::sin(angle + 0.5) * 14);
  p.setBrush(colour);
  p.drawPolygon(head);
  p.restore();
}

// The mouse pointer with its tip at the point.
void Pointer(QPainter& p, QPointF tip) {
  QPolygonF arrow;
  arrow << QPointF(0, 0) << QPointF(0, 22) << QPointF(6, 17) << QPointF(10, 26) << QPointF(14, 24)
        << QPointF(10, 15) << QPointF(17, 15);
  p.save();
  p.translate(tip);
  p.setPen(QPen(Qt::black, 1.5));
  p.setBrush(Qt::white);
  p.drawPolygon(arrow);
  p.restore();
}

// A mouse seen from above, the given button (0 left, 1 right, -1 none) lit,
// and the wheel lit when asked.
void Mouse(QPainter& p, QPointF centre, int button, bool wheel) {
  p.save();
  p.translate(centre);
  p.setPen(QPen(kInk, 2));
  p.setBrush(Q(0xf4f4f4));
  p.drawRoundedRect(QRectF(-22, -34, 44, 68), 20, 20);
  p.drawLine(QPointF(0, -34), QPointF(0, -6));
  p.drawLine(QPointF(-22, -6), QPointF(22, -6));
  if (button >= 0) {
    p.setBrush(Q(0xe69138));
    QPainterPath half;
    half.addRoundedRect(QRectF(-22, -34, 44, 68), 20, 20);
    QPainterPath side;
    side.addRect(button == 0 ? QRectF(-22, -34, 22, 28) : QRectF(0, -34, 22, 28));
    p.drawPath(half.intersected(side));
  }
  p.setBrush(wheel ? Q(0xe69138) : Q(0x999999));
  p.drawRoundedRect(QRectF(-4, -28, 8, 16), 3, 3);
  p.restore();
}

// ---- pictures ------------------------------------------------------------------------
QImage Moving() {
  QPainter p;
  QImage image;
  Canvas(p, image);
  const int left[4] = {0, 1, -1, 0};
  const int right[4] = {0, 0, 1, -1};
  Piece(p, QPointF(120, 95), left);
  Piece(p, QPointF(260, 140), right, 0);
  Arrow(p, QPointF(240, 125), QPointF(185, 100));
  Pointer(p, QPointF(262, 140));
  // The joined pair, small, in the corner.
  p.save();
  p.setOpacity(0.9);
  Piece(p, QPointF(40, 170), left, 0, 28);
  Piece(p, QPointF(68, 170), right, 0, 28);
  p.restore();
  Mouse(p, QPointF(320, 55), 0, false);
  p.end();
  return image;
}

QImage Turning() {
  QPainter p;
  QImage image;
  Canvas(p, image);
  const int tabs[4] = {1, -1, 1, 1};
  Piece(p, QPointF(110, 100), tabs, 0, 64);
  Piece(p, QPointF(230, 100), tabs, 90, 64);
  p.save();
  p.setPen(QPen(QColor(0xc0, 0x30, 0x20), 4, Qt::SolidLine, Qt::RoundCap));
  p.drawArc(QRectF(125, 30, 90, 60), 30 * 16, 120 * 16);
  p.restore();
  Arrow(p, QPointF(197, 42), QPointF(205, 50));
  Mouse(p, QPointF(320, 110), -1, true);
  p.end();
  return image;
}

QImage Camera() {
  QPainter p;
  QImage image;
  Canvas(p, image);
  p.fillRect(image.rect(), Q(0x2b3a4a));
  QPolygonF table;
  table << QPointF(60, 190) << QPointF(300, 190) << QPointF(250, 110) << QPointF(110, 110);
  p.setPen(QPen(kInk, 2));
  p.setBrush(Q(0xc89a5e));
  p.drawPolygon(table);
  const int tabs[4] = {1, 0, -1, 1};
  Piece(p, QPointF(140, 160), tabs, 15, 30);
  Piece(p, QPointF(215, 150), tabs, -20, 28);
  Piece(p, QPointF(180, 128), tabs, 40, 22);
  // The camera above, with its moves.
  p.setBrush(Q(0x444444));
  p.setPen(QPen(Qt::black, 2));
  p.drawRoundedRect(QRectF(155, 22, 50, 32), 6, 6);
  p.setBrush(Q(0x88aadd));
  p.drawEllipse(QPointF(180, 38), 10, 10);
  Arrow(p, QPointF(180, 60), QPointF(180, 95), Q(0xf1c232));
  Arrow(p, QPointF(148, 38), QPointF(105, 38), Q(0xf1c232));
  Arrow(p, QPointF(212, 38), QPointF(255, 38), Q(0xf1c232));
  Mouse(p, QPointF(320, 60), 1, true);
  p.end();
  return image;
}

QImage Helper() {
  QPainter p;
  QImage image;
  Canvas(p, image);
  p.fillRect(QRect(0, 0, kWidth, 18), Q(0x303030));
  for (int i = 0; i < 8; ++i) p.fillRect(QRect(8 + i * 22, 4, 14, 10), Q(0x9fc5e8));
  // The command helper panel.
  p.setPen(QPen(Q(0x808080), 1));
  p.setBrush(QColor(255, 255, 255, 215));
  p.drawRect(QRect(8, 26, 130, 150));
  for (int line = 0; line < 9; ++line) {
    const int y = 38 + line * 15;
    p.fillRect(QRect(16, y, line % 4 == 0 ? 60 : 48, 5), line % 4 == 0 ? Q(0x000000) : Q(0x404040));
    if (line % 4 != 0) p.fillRect(QRect(72, y, 56, 5), Q(0x008000));
  }
  // The preview window with its corner grips.
  QLinearGradient picture(0, 110, 0, 186);
  picture.setColorAt(0, Q(0x6fa8dc));
  picture.setColorAt(0.5, Q(0xcfe2f3));
  picture.setColorAt(0.52, Q(0x6aa84f));
  picture.setColorAt(1, Q(0x38761d));
  p.setPen(QPen(Qt::white, 3));
  p.setBrush(picture);
  p.drawRect(QRect(232, 110, 116, 76));
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  for (QPoint corner : {QPoint(232, 110), QPoint(348, 110), QPoint(232, 186), QPoint(348, 186)})
    p.drawRect(QRect(corner - QPoint(4, 4), QSize(9, 9)));
  const int tabs[4] = {0, 1, -1, 1};
  Piece(p, QPointF(190, 70), tabs, 10, 40);
  Piece(p, QPointF(290, 60), tabs, -15, 36);
  p.end();
  return image;
}

QImage Saving() {
  QPainter p;
  QImage image;
  Canvas(p, image);
  // A disk.
  p.setPen(QPen(kInk, 2));
  p.setBrush(Q(0x3d6fb6));
  p.drawRoundedRect(QRectF(50, 45, 100, 110), 8, 8);
  p.setBrush(Q(0xdddddd));
  p.drawRect(QRectF(72, 45, 56, 36));
  p.setBrush(Q(0xffffff));
  p.drawRect(QRectF(64, 104, 72, 51));
  const int tabs[4] = {1, 1, -1, -1};
  Piece(p, QPointF(100, 128), tabs, 0, 26);
  Arrow(p, QPointF(160, 100), QPointF(205, 100));
  // A folder.
  p.setPen(QPen(kInk, 2));
  p.setBrush(Q(0xf1c232));
  QPainterPath folder;
  folder.moveTo(215, 60);
  folder.lineTo(260, 60);
  folder.lineTo(270, 72);
  folder.lineTo(320, 72);
  folder.lineTo(320, 150);
  folder.lineTo(215, 150);
  folder.closeSubpath();
  p.drawPath(folder);
  Piece(p, QPointF(268, 112), tabs, 8, 34);
  p.end();
  return image;
}

// ---- pages --------------------------------------------------------------------------
void CopyFile(Output& out, const QString& source, const QString& relativePath) {
  QFile file(source);
  if (!file.open(QIODevice::ReadOnly)) return;
  const QByteArray bytes = file.readAll();
  out.SaveBytes(std::string(bytes.constData(), static_cast<size_t>(bytes.size())), relativePath);
}

// Every page as it is; the one style sheet into both page folders.
void CopyPageSources(Output& out) {
  const QString root = QStringLiteral(":/pages/");
  QDirIterator files(root, {"*.html"}, QDir::Files, QDirIterator::Subdirectories);
  while (files.hasNext()) {
    const QString path = files.next();
    CopyFile(out, path, path.mid(root.size()));
  }
  for (const char* folder : {"Help", "Tutorials"})
    CopyFile(out, root + "style.css", QString(folder) + "/style.css");
}
}  // namespace

void MakePages(Output& out) {
  CopyPageSources(out);
  const struct {
    const char* name;
    QImage (*draw)();
  } pictures[] = {
      {"moving", Moving}, {"turning", Turning}, {"camera", Camera}, {"helper", Helper}, {"saving", Saving}};
  for (const auto& picture : pictures)
    out.SaveImage(picture.draw(), QString("Tutorials/Pictures/%1.png").arg(picture.name));
}

}  // namespace makedata

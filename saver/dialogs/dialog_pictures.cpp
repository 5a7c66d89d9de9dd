#include "saver/dialogs/dialog_pictures.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

// A jigsaw piece with a tab on the right and on the top, filling size.
QPainterPath PiecePath(double size) {
  const double body = size * 0.7, left = size * 0.05, top = size * 0.25, tab = size * 0.2;
  QPainterPath path;
  path.addRect(left, top, body, body);
  path.addEllipse(QPointF(left + body, top + body / 2), tab / 2 + 1, tab / 2 + 1);
  path.addEllipse(QPointF(left + body / 2, top), tab / 2 + 1, tab / 2 + 1);
  return path.simplified();
}

QPixmap Piece(int size, QColor fill, QColor background) {
  QPixmap pixmap(size, size);
  pixmap.fill(background);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient gradient(0, 0, size, size);
  gradient.setColorAt(0, fill.lighter(140));
  gradient.setColorAt(1, fill.darker(130));
  painter.setBrush(gradient);
  painter.setPen(QPen(fill.darker(200), std::max(1.0, size / 32.0)));
  painter.drawPath(PiecePath(size));
  return pixmap;
}

QPixmap Folder() {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  painter.setPen(QColor(150, 110, 20));
  painter.setBrush(QColor(240, 200, 80));
  painter.drawRect(1, 3, 6, 3);
  painter.drawRect(1, 5, 13, 8);
  return pixmap;
}

}  // namespace

QPixmap SaverPicture(int id) {
  switch (id) {
    case kAboutPictureId: return Piece(64, QColor(40, 110, 200), QColor(20, 24, 40));
    case kFolderBitmapId: return Folder();
    default: return Piece(32, QColor(40, 110, 200), Qt::transparent);
  }
}

QIcon SaverIcon() { return QIcon(SaverPicture(kSaverIconId)); }

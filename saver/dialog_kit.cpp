#include "saver/dialog_kit.h"

#include <QCheckBox>
#include <QDialog>
#include <QEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyle>

#include <cmath>

#include "support/controls/hrx_dialog_item.h"
#include "support/controls/hrx_font.h"
#include "support/string_table.h"

QString ResText(unsigned id) { return QString::fromStdString(LoadResString(id)); }

QRect DialogUnits(int x, int y, int width, int height) {
  const auto across = [](int units) { return int(std::lround(units * 1.5)); };
  const auto down = [](int units) { return int(std::lround(units * 1.625)); };
  return QRect(across(x), down(y), across(width), down(height));
}

void SetUpDialog(QDialog* dialog, int width, int height, const QString& title) {
  QFont font = dialog->font();
  font.setPixelSize(11);
  dialog->setFont(font);
  dialog->resize(DialogUnits(0, 0, width, height).size());
  dialog->setWindowTitle(title);
  dialog->setWindowIcon(QIcon(SaverPicture(kSaverIconId)));
}

namespace {
template <class Control>
Control* Place(Control* control, int id, const QRect& rect) {
  control->setGeometry(rect);
  if (id) SetDlgCtrlID(control, id);
  return control;
}
}  // namespace

QPushButton* AddButton(QWidget* parent, int id, const QString& text, const QRect& rect) {
  return Place(new QPushButton(text, parent), id, rect);
}

QCheckBox* AddCheckBox(QWidget* parent, int id, const QString& text, const QRect& rect) {
  return Place(new QCheckBox(text, parent), id, rect);
}

namespace {
// Toggles its check box when its label is clicked.
class LabelClickToggles : public QObject {
 public:
  LabelClickToggles(QLabel* label, QCheckBox* box) : QObject(label), m_box(box) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonRelease && m_box->isEnabled()) m_box->toggle();
    return false;
  }

 private:
  QCheckBox* m_box;
};
}  // namespace

QCheckBox* AddWrappingCheckBox(QWidget* parent, int id, const QString& text, const QRect& rect) {
  QCheckBox* box = AddCheckBox(parent, id, QString(), rect);
  const QSize hint = box->sizeHint();
  const int textLeft = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                       box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
  box->setFixedSize(textLeft, hint.height());
  box->setAccessibleName(text);
  const int textTop = std::max(0, (hint.height() - box->fontMetrics().height()) / 2);
  QLabel* label = AddLabel(parent, 0, text, rect.adjusted(textLeft, textTop, 0, 0));
  label->installEventFilter(new LabelClickToggles(label, box));
  return box;
}

QGroupBox* AddBoldGroup(QWidget* parent, int id, const QString& text, const QRect& rect) {
  auto* group = Place(new QGroupBox(text, parent), id, rect);
  // Its controls are the dialog's children, so only the title turns bold.
  CHRXFont bold(group->font());
  bold.setWeight(QFont::Bold);
  group->setFont(bold);
  group->lower();
  return group;
}

QLabel* AddLabel(QWidget* parent, int id, const QString& text, const QRect& rect) {
  auto* label = Place(new QLabel(text, parent), id, rect);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

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

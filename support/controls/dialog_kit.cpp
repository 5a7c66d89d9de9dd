#include "support/controls/dialog_kit.h"

#include <QCheckBox>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <algorithm>

#include "support/controls/hrx_dialog_item.h"
#include "support/controls/hrx_font.h"
#include "support/string_table.h"

// Sections: texts - dialog units - controls

// ---- texts ---------------------------------------------------------------------
QString DialogText(unsigned id) { return QString::fromStdString(LoadResString(id)); }

QString WrapText(const QString& text, const QFont& font, int width) {
  const QFontMetrics metrics(font);
  QStringList out;
  for (const QString& paragraph : text.split('\n')) {
    QString line;
    for (const QString& word : paragraph.split(' ', Qt::SkipEmptyParts)) {
      const QString longer = line.isEmpty() ? word : line + ' ' + word;
      if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
        out << line;
        line = word;
      } else {
        line = longer;
      }
    }
    out << line;
  }
  return out.join('\n');
}

// ---- dialog units --------------------------------------------------------------
DialogUnit DialogUnitOf(const QFont& font) {
  const QFontMetrics metrics(font);
  // The average width of the letters, as dialog units are measured.
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return DialogUnit{metrics.horizontalAdvance(letters) / 52.0 / 4.0, metrics.height() / 8.0};
}

QRect UnitsToPixels(const DialogUnit& unit, int x, int y, int width, int height) {
  const auto pixels = [](int units, double size) { return static_cast<int>(units * size + 0.5); };
  const int left = pixels(x, unit.across), right = pixels(x + width, unit.across);
  const int top = pixels(y, unit.down), bottom = pixels(y + height, unit.down);
  return QRect(left, top, right - left, bottom - top);
}

QRect DialogUnits(const QWidget* dialog, int x, int y, int width, int height) {
  return UnitsToPixels(DialogUnitOf(dialog->font()), x, y, width, height);
}

// ---- controls ------------------------------------------------------------------
void SetUpDialog(QDialog* dialog, int width, int height, const QString& title, const QIcon& icon) {
  QFont font = dialog->font();
  font.setPixelSize(11);
  dialog->setFont(font);
  dialog->resize(DialogUnits(dialog, 0, 0, width, height).size());
  dialog->setWindowTitle(title);
  dialog->setWindowIcon(icon);
}

namespace {
template <class Control>
Control* Place(Control* control, int id, const QRect& rect) {
  control->setGeometry(rect);
  if (id) SetDlgCtrlID(control, id);
  return control;
}

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

QPushButton* AddButton(QWidget* parent, int id, const QString& text, const QRect& rect) {
  return Place(new QPushButton(text, parent), id, rect);
}

QCheckBox* AddCheckBox(QWidget* parent, int id, const QString& text, const QRect& rect) {
  return Place(new QCheckBox(text, parent), id, rect);
}

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

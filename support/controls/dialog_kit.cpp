#include "support/controls/dialog_kit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <algorithm>

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
// Toggles its check box or radio button when its label is clicked.
class LabelClickToggles : public QObject {
 public:
  LabelClickToggles(QLabel* label, QAbstractButton* button) : QObject(label), m_button(button) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonRelease && m_button->isEnabled()) m_button->toggle();
    return false;
  }

 private:
  QAbstractButton* m_button;
};

// The room the check mark or radio circle takes left of the text, as the
// style draws it.
int MarkRoom(const QAbstractButton* button) {
  const bool radio = qobject_cast<const QRadioButton*>(button) != nullptr;
  const QStyle* style = button->style();
  return style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth, nullptr,
                            button) +
         style->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing,
                            nullptr, button);
}

// The mark alone, its text a wrapping label beside it from the top.
template <class Button>
Button* WithTextBeside(Button* button, const QString& text, const QRect& rect) {
  QWidget* parent = button->parentWidget();
  const QSize hint = button->sizeHint();
  const int textLeft = MarkRoom(button);
  button->setFixedSize(textLeft, hint.height());
  button->setAccessibleName(text);
  const int textTop = std::max(0, (hint.height() - button->fontMetrics().height()) / 2);
  QLabel* label = AddWrappingLabel(parent, 0, text, rect.adjusted(textLeft, textTop, 0, 0));
  label->installEventFilter(new LabelClickToggles(label, button));
  return button;
}

// The text broken into lines that leave the mark its room.
template <class Button>
Button* WithTextInside(Button* button, const QString& text) {
  button->setText(WrapText(text, button->font(), button->width() - MarkRoom(button)));
  return button;
}

template <class Button>
Button* AddWrapping(QWidget* parent, int id, const QString& text, const QRect& rect, MarkBeside mark) {
  auto* button = Place(parent, new Button, id, rect);
  return mark == MarkBeside::FirstLine ? WithTextBeside(button, text, rect) : WithTextInside(button, text);
}
}  // namespace

QPushButton* AddButton(QWidget* parent, int id, const QString& text, const QRect& rect, EnterKey enter) {
  auto* button = Place(parent, new QPushButton(text), id, rect);
  if (enter == EnterKey::ToDefault) button->setAutoDefault(false);
  return button;
}

QLabel* AddLabel(QWidget* parent, int id, const QString& text, const QRect& rect) {
  auto* label = Place(parent, new QLabel(text), id, rect);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

QLabel* AddWrappingLabel(QWidget* parent, int id, const QString& text, const QRect& rect) {
  auto* label = Place(parent, new QLabel(text), id, rect);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

QCheckBox* AddCheckBox(QWidget* parent, int id, const QString& text, const QRect& rect) {
  return Place(parent, new QCheckBox(text), id, rect);
}

QRadioButton* AddRadioButton(QWidget* parent, int id, const QString& text, const QRect& rect) {
  return Place(parent, new QRadioButton(text), id, rect);
}

QCheckBox* AddWrappingCheckBox(QWidget* parent, int id, const QString& text, const QRect& rect,
                               MarkBeside mark) {
  return AddWrapping<QCheckBox>(parent, id, text, rect, mark);
}

QRadioButton* AddWrappingRadioButton(QWidget* parent, int id, const QString& text, const QRect& rect,
                                     MarkBeside mark) {
  return AddWrapping<QRadioButton>(parent, id, text, rect, mark);
}

QComboBox* AddDropList(QWidget* parent, int id, const QRect& rect) {
  return Place(parent, new QComboBox, id, rect);
}

QGroupBox* AddGroup(QWidget* parent, int id, const QString& text, const QRect& rect) {
  auto* group = Place(parent, new QGroupBox(text), id, rect);
  group->lower();
  return group;
}

QGroupBox* AddBoldGroup(QWidget* parent, int id, const QString& text, const QRect& rect) {
  QGroupBox* group = AddGroup(parent, id, text, rect);
  // Its controls are the dialog's children, so only the title turns bold.
  MakeBold(group);
  return group;
}

void MakeBold(QWidget* control) {
  CHRXFont bold(control->font());
  bold.setWeight(QFont::Bold);
  control->setFont(bold);
}

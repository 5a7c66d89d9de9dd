#include "text_fit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOption>
#include <QTextDocument>

namespace testkit {
namespace {

int TextWidth(const QWidget* control, const QString& text) {
  return control->fontMetrics().size(Qt::TextShowMnemonic, text).width();
}

// The room a push button's frame and margins take beside its text and icon,
// measured on a wide text so a style's minimum button width does not count.
int PushButtonPadding(const QPushButton* button) {
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  if (button->isDefault() || button->autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
  constexpr int kWide = 1000;
  const QSize content(kWide, button->fontMetrics().height());
  return button->style()->sizeFromContents(QStyle::CT_PushButton, &option, content, button).width() - kWide;
}

std::string Line(const QWidget* control, const QString& text, const char* what, int needed, int has) {
  return std::string(control->metaObject()->className()) + " \"" + text.toStdString() + "\" needs " +
         std::to_string(needed) + " px " + what + ", has " + std::to_string(has);
}

void Measure(const QWidget* w, std::vector<std::string>& cut) {
  const int width = w->width();
  if (auto* button = qobject_cast<const QPushButton*>(w)) {
    if (button->text().isEmpty()) return;
    const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
    const int needed = TextWidth(button, button->text()) + icon + PushButtonPadding(button);
    if (needed > width) cut.push_back(Line(w, button->text(), "across", needed, width));
  } else if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w)) {
    auto* box = static_cast<const QAbstractButton*>(w);
    if (box->text().isEmpty()) return;
    const int needed = box->sizeHint().width();
    if (needed > width) cut.push_back(Line(w, box->text(), "across", needed, width));
  } else if (auto* label = qobject_cast<const QLabel*>(w)) {
    if (label->text().isEmpty() || !label->pixmap().isNull()) return;
    if (label->wordWrap()) {
      const int needed = label->heightForWidth(width);
      if (needed > label->height()) cut.push_back(Line(w, label->text(), "down", needed, label->height()));
      // A single word longer than the label is cut even when wrapped.
      if (Qt::mightBeRichText(label->text())) return;
      for (const QString& word : label->text().split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
        if (TextWidth(label, word) > width)
          cut.push_back(Line(w, word, "across", TextWidth(label, word), width));
    } else {
      const int needed = label->sizeHint().width();
      if (needed > width) cut.push_back(Line(w, label->text(), "across", needed, width));
    }
  } else if (auto* group = qobject_cast<const QGroupBox*>(w)) {
    // The title with the frame's indent on each side.
    const int needed = TextWidth(group, group->title()) + 2 * group->fontMetrics().averageCharWidth();
    if (!group->title().isEmpty() && needed > width)
      cut.push_back(Line(w, group->title(), "across", needed, width));
  } else if (auto* combo = qobject_cast<const QComboBox*>(w)) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    const QSize empty(0, combo->fontMetrics().height());
    const int padding = combo->style()->sizeFromContents(QStyle::CT_ComboBox, &option, empty, combo).width();
    for (int i = 0; i < combo->count(); ++i) {
      const int needed = TextWidth(combo, combo->itemText(i)) + padding;
      if (needed > width) cut.push_back(Line(w, combo->itemText(i), "across", needed, width));
    }
  }
}

}  // namespace

std::vector<std::string> CutTexts(const QWidget* dialog) {
  std::vector<std::string> cut;
  for (const QWidget* w : dialog->findChildren<QWidget*>())
    if (w->isVisibleTo(dialog)) Measure(w, cut);
  return cut;
}

}  // namespace testkit

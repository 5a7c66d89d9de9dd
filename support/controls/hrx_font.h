#pragma once
// CHRXFont: the font the dialogs give their captions and group boxes (bold:
// weight 700, on the 100..900 weight scale of QFont). It is a plain QFont;
// a dialog makes it from a control's font, changes the weight and sets it on
// the controls:
//   CHRXFont bold(groupBox->font());
//   bold.setWeight(QFont::Weight(700));
//   groupBox->setFont(bold);
#include <QFont>

class CHRXFont : public QFont {
 public:
  using QFont::QFont;
  CHRXFont() = default;
  explicit CHRXFont(const QFont& font) : QFont(font) {}
};

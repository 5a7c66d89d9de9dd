#pragma once
// What the dialogs of both programs share: their texts, the dialog unit they
// are laid out in, and controls made with their item ids
// (support/controls/hrx_dialog_item.h).
//
// A dialog unit follows the dialog's font: a horizontal unit is a quarter of
// the font's average character width (over the 52 letters A-Z and a-z), a
// vertical one an eighth of its height. A rectangle's edges are rounded to
// whole pixels, each on its own, so that controls which meet in dialog units
// also meet in pixels.
//
// Sections: texts - dialog units - controls
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include "support/controls/hrx_dialog_item.h"

class QCheckBox;
class QComboBox;
class QDialog;
class QFont;
class QGroupBox;
class QIcon;
class QLabel;
class QPushButton;
class QRadioButton;

// ---- texts ---------------------------------------------------------------------
// A text of the string table (support/string_table.h) as a QString.
QString DialogText(unsigned id);
// The text broken at blanks into lines no wider than width pixels in the
// font (a word longer than a line stands alone); given line breaks stay.
QString WrapText(const QString& text, const QFont& font, int width);

// ---- dialog units --------------------------------------------------------------
// The size of one dialog unit in pixels.
struct DialogUnit {
  double across = 0;
  double down = 0;
};
// The dialog unit of a font.
DialogUnit DialogUnitOf(const QFont& font);
// The rectangle (x, y, width, height) in dialog units, in pixels.
QRect UnitsToPixels(const DialogUnit& unit, int x, int y, int width, int height);
// The same in the dialog unit of the widget's font.
QRect DialogUnits(const QWidget* dialog, int x, int y, int width, int height);

// ---- controls ------------------------------------------------------------------
// Every dialog of both programs makes its controls here. A control is a
// direct child of parent with the id (0: none), at rect in pixels; where
// the two programs' dialogs differ, the builder takes the difference as an
// argument (which button Enter presses, where a wrapping mark sits).

// Gives the dialog an 11-pixel font, its size (width x height in dialog
// units of that font) as its initial size, its title and its icon.
void SetUpDialog(QDialog* dialog, int width, int height, const QString& title, const QIcon& icon);
// Makes any control a direct child of parent with the id, at rect.
template <class Control>
Control* Place(QWidget* parent, Control* control, int id, const QRect& rect) {
  control->setParent(parent);
  control->setGeometry(rect);
  if (id) SetDlgCtrlID(control, id);
  return control;
}

// Which button Enter presses while a push button has the focus: that button
// (Qt's auto-default, as in the screen saver's dialogs), or the dialog's
// default button all the same (the game's dialogs).
enum class EnterKey { ToFocused, ToDefault };
QPushButton* AddButton(QWidget* parent, int id, const QString& text, const QRect& rect, EnterKey enter);

// A static text on one line, centred from top to bottom in rect.
QLabel* AddLabel(QWidget* parent, int id, const QString& text, const QRect& rect);
// A static text that wraps, from its top-left corner.
QLabel* AddWrappingLabel(QWidget* parent, int id, const QString& text, const QRect& rect);

QCheckBox* AddCheckBox(QWidget* parent, int id, const QString& text, const QRect& rect);
QRadioButton* AddRadioButton(QWidget* parent, int id, const QString& text, const QRect& rect);
// Where the mark of a check box or radio button whose text wraps inside
// rect sits:
// - FirstLine: beside the first line, the text starting at rect's top (the
//   control is the mark alone, its text a label beside it; a click on the
//   text toggles the control as on any check box, and the control's
//   accessible name is the text);
// - MiddleLine: in the middle of the text's height, both centred in rect
//   (the control's own text, broken into lines that leave the mark its
//   room).
enum class MarkBeside { FirstLine, MiddleLine };
QCheckBox* AddWrappingCheckBox(QWidget* parent, int id, const QString& text, const QRect& rect,
                               MarkBeside mark);
QRadioButton* AddWrappingRadioButton(QWidget* parent, int id, const QString& text, const QRect& rect,
                                     MarkBeside mark);

// A drop-down list that is not sorted.
QComboBox* AddDropList(QWidget* parent, int id, const QRect& rect);
// A group box; it lies below the controls placed on it (they are parent's
// children, not its own).
QGroupBox* AddGroup(QWidget* parent, int id, const QString& text, const QRect& rect);
// The same with a bold title.
QGroupBox* AddBoldGroup(QWidget* parent, int id, const QString& text, const QRect& rect);
// Weight bold (700) on the control's font, as a CHRXFont
// (support/controls/hrx_font.h).
void MakeBold(QWidget* control);

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

class QCheckBox;
class QDialog;
class QFont;
class QGroupBox;
class QIcon;
class QLabel;
class QPushButton;
class QWidget;

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
// Gives the dialog an 11-pixel font, its size (width x height in dialog
// units of that font) as its initial size, its title and its icon.
void SetUpDialog(QDialog* dialog, int width, int height, const QString& title, const QIcon& icon);
// Controls as direct children of parent with the id (0: none), at rect in
// pixels.
QPushButton* AddButton(QWidget* parent, int id, const QString& text, const QRect& rect);
QCheckBox* AddCheckBox(QWidget* parent, int id, const QString& text, const QRect& rect);
// A check box whose text wraps inside rect, starting at its top; a click on
// the text toggles it as on any check box.
QCheckBox* AddWrappingCheckBox(QWidget* parent, int id, const QString& text, const QRect& rect);
// A group box whose title (only) is bold; it lies below the controls placed
// on it.
QGroupBox* AddBoldGroup(QWidget* parent, int id, const QString& text, const QRect& rect);
// A static text that wraps, from its top-left corner.
QLabel* AddLabel(QWidget* parent, int id, const QString& text, const QRect& rect);

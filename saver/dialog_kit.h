#pragma once
// What the screen saver's dialogs share: layout in dialog units, controls
// made with their item ids, the bold group-box font, the dialog icon and the
// two small pictures.
//
// A dialog unit is 1.5 pixels across and 1.625 pixels down (the 8-point
// dialog font's character cell of 6 x 13 pixels divided by 4 and 8).
#include <QPixmap>
#include <QRect>
#include <QString>

class QAbstractButton;
class QCheckBox;
class QDialog;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

inline constexpr int kSaverIconId = 128;
inline constexpr int kAboutPictureId = 161;  // 64 x 64
inline constexpr int kFolderBitmapId = 2132;  // 16 x 16

// A text of the string table.
QString ResText(unsigned id);
// A rectangle in dialog units, in pixels.
QRect DialogUnits(int x, int y, int width, int height);
// The dialog's font and its size (width x height in dialog units) as a
// fixed or initial size; the icon; the title.
void SetUpDialog(QDialog* dialog, int width, int height, const QString& title);
QPushButton* AddButton(QWidget* parent, int id, const QString& text, const QRect& rect);
QCheckBox* AddCheckBox(QWidget* parent, int id, const QString& text, const QRect& rect);
// A check box whose text wraps inside rect, starting at its top; a click on
// the text toggles it as on any check box.
QCheckBox* AddWrappingCheckBox(QWidget* parent, int id, const QString& text, const QRect& rect);
QGroupBox* AddBoldGroup(QWidget* parent, int id, const QString& text, const QRect& rect);
QLabel* AddLabel(QWidget* parent, int id, const QString& text, const QRect& rect);
// The pictures the dialogs show, drawn by the program: the screen saver's
// icon (a puzzle piece), the about box's picture and a list row's folder.
QPixmap SaverPicture(int id);

// The dialog kit's dialog unit: taken from the dialog's font, and rounded so
// that controls which meet in dialog units meet in pixels; its builders:
// controls placed with their ids, the Enter rule and the two ways a
// check box or radio button wraps its text.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QWidget>
#include <functional>

#include "support/controls/dialog_kit.h"

namespace {

// Eight vertical units are one line of the font; the 52 letters A-Z, a-z
// fill 208 horizontal units (their average width is four units), in every
// size of the font.
TEST(DialogKit_Offscreen, UnitsFollowTheFont) {
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  for (int pixels : {9, 11, 16, 24}) {
    QFont font;
    font.setPixelSize(pixels);
    const QFontMetrics metrics(font);
    QWidget dialog;
    dialog.setFont(font);
    const QRect line = DialogUnits(&dialog, 0, 0, 4 * 52, 8);
    EXPECT_NEAR(line.width(), metrics.horizontalAdvance(letters), 1) << pixels << " px";
    EXPECT_EQ(line.height(), metrics.height()) << pixels << " px";
  }
  QFont small, large;
  small.setPixelSize(11);
  large.setPixelSize(22);
  EXPECT_GT(DialogUnitOf(large).across, 1.5 * DialogUnitOf(small).across);
  EXPECT_GT(DialogUnitOf(large).down, 1.5 * DialogUnitOf(small).down);
}

// Each edge is rounded on its own: a unit of 1.5 x 1.625 pixels puts a
// control one unit wide at x = 1 from pixel 2 to 3 (one pixel wide, where a
// rounded width would give two and overlap its neighbour at x = 2).
TEST(DialogKit, EdgesAreRoundedEachOnItsOwn) {
  const DialogUnit unit{1.5, 1.625};
  struct Case {
    int x, y, width, height;
    QRect pixels;
  };
  const Case cases[] = {
      {0, 0, 0, 0, QRect(0, 0, 0, 0)},         {1, 1, 1, 1, QRect(2, 2, 1, 1)},
      {2, 2, 1, 1, QRect(3, 3, 2, 2)},         {7, 7, 370, 50, QRect(11, 11, 555, 82)},
      {0, 0, 384, 185, QRect(0, 0, 576, 301)},
  };
  for (const Case& c : cases)
    EXPECT_EQ(UnitsToPixels(unit, c.x, c.y, c.width, c.height), c.pixels) << c.x << "," << c.y;
  // Neighbours in units are neighbours in pixels: no gap, no overlap.
  for (int x = 0; x < 40; ++x) {
    const QRect left = UnitsToPixels(unit, x, x, 1, 1), right = UnitsToPixels(unit, x + 1, x + 1, 1, 1);
    EXPECT_EQ(left.right() + 1, right.left()) << x;
    EXPECT_EQ(left.bottom() + 1, right.top()) << x;
  }
}

// Every builder puts its control on the dialog itself, at the rectangle,
// with the id; a button takes Enter while focused only when asked to.
TEST(DialogKit_Offscreen, BuildersPlaceControlsWithTheirIds) {
  QDialog dialog;
  const QRect rect(10, 20, 150, 24);
  struct Case {
    const char* name;
    std::function<QWidget*(int id)> build;
  };
  const Case cases[] = {
      {"button", [&](int id) { return AddButton(&dialog, id, "OK", rect, EnterKey::ToFocused); }},
      {"label", [&](int id) { return AddLabel(&dialog, id, "Text", rect); }},
      {"wrapping label", [&](int id) { return AddWrappingLabel(&dialog, id, "Text", rect); }},
      {"check box", [&](int id) { return AddCheckBox(&dialog, id, "Check", rect); }},
      {"radio button", [&](int id) { return AddRadioButton(&dialog, id, "Radio", rect); }},
      {"drop list", [&](int id) { return AddDropList(&dialog, id, rect); }},
      {"group", [&](int id) { return AddGroup(&dialog, id, "Group", rect); }},
      {"bold group", [&](int id) { return AddBoldGroup(&dialog, id, "Group", rect); }},
      {"placed", [&](int id) { return Place(&dialog, new QWidget, id, rect); }},
  };
  int id = 1100;
  for (const Case& c : cases) {
    QWidget* control = c.build(++id);
    EXPECT_EQ(control->parentWidget(), &dialog) << c.name;
    EXPECT_EQ(GetDlgItem(&dialog, id), control) << c.name;
    EXPECT_EQ(control->geometry(), rect) << c.name;
    EXPECT_EQ(GetDlgCtrlID(c.build(0)), 0) << c.name << " without an id";
  }
  EXPECT_TRUE(AddButton(&dialog, 1, "OK", rect, EnterKey::ToFocused)->autoDefault());
  EXPECT_FALSE(AddButton(&dialog, 1, "OK", rect, EnterKey::ToDefault)->autoDefault());
  EXPECT_TRUE(qobject_cast<QGroupBox*>(GetDlgItem(&dialog, 1108))->font().bold());
  EXPECT_FALSE(qobject_cast<QGroupBox*>(GetDlgItem(&dialog, 1107))->font().bold());
}

// A text too long for one line: beside the first line it is a label of its
// own that toggles the control; in the middle it is the control's own text,
// each line leaving the mark its room. For check boxes and radio buttons.
TEST(DialogKit_Offscreen, WrappingTextsKeepTheirMarkInView) {
  const QString text = "Keep the frame rate at the screen's refresh rate, which saves power on laptops";
  const QRect rect(10, 20, 150, 60);
  for (bool radio : {false, true}) {
    const char* kind = radio ? "radio button" : "check box";
    QDialog dialog;
    const auto add = [&](int id, MarkBeside mark) -> QAbstractButton* {
      if (radio) return AddWrappingRadioButton(&dialog, id, text, rect, mark);
      return AddWrappingCheckBox(&dialog, id, text, rect, mark);
    };
    QAbstractButton* beside = add(1, MarkBeside::FirstLine);
    EXPECT_LT(beside->width(), rect.width() / 4) << kind;
    EXPECT_EQ(beside->accessibleName(), text) << kind;
    QLabel* label = dialog.findChild<QLabel*>();
    ASSERT_NE(label, nullptr) << kind;
    EXPECT_EQ(label->text(), text) << kind;
    EXPECT_GE(label->x(), beside->geometry().right()) << kind;
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), label->mapToGlobal(QPointF(5, 5)),
                        Qt::LeftButton, {}, {});
    QCoreApplication::sendEvent(label, &release);
    EXPECT_TRUE(beside->isChecked()) << kind;

    QAbstractButton* middle = add(2, MarkBeside::MiddleLine);
    EXPECT_EQ(middle->geometry(), rect) << kind;
    const QStringList lines = middle->text().split('\n');
    EXPECT_GT(lines.size(), 1) << kind;
    EXPECT_EQ(lines.join(' '), text) << kind;
    const QStyle* style = middle->style();
    const int room =
        style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth) +
        style->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing);
    for (const QString& line : lines)
      EXPECT_LE(room + middle->fontMetrics().horizontalAdvance(line), rect.width())
          << kind << ": " << line.toStdString();
  }
}

}  // namespace

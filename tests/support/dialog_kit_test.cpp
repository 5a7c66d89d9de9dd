// The dialog kit's dialog unit: taken from the dialog's font, and rounded so
// that controls which meet in dialog units meet in pixels.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QWidget>

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

}  // namespace

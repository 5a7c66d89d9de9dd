#include <gtest/gtest.h>

#include <QPushButton>
#include <QWidget>

#include "support/controls/hrx_dialog_item.h"
#include "support/controls/wnd_resize_helper.h"

namespace {

constexpr int kW0 = 400, kH0 = 300;
const QRect kStart(10, 20, 100, 50);  // every control starts here

struct Anchored {
  int id;
  int topLeft;
  int bottomRight;
  QRect grown;  // after the client grew by 100 x 50
};

// Stretches, moves at constant size, moves right only, moves down and
// stretches right, and a mode that does not exist (fixed).
const Anchored kTable[] = {
    {101, 0, 0, QRect(10, 20, 100, 50)},   {102, 0, 3, QRect(10, 20, 200, 100)},
    {103, 3, 3, QRect(110, 70, 100, 50)},  {104, 1, 1, QRect(110, 20, 100, 50)},
    {105, 2, 3, QRect(10, 70, 200, 50)},   {106, 2, 2, QRect(10, 70, 100, 50)},
    {107, 1, 3, QRect(110, 20, 100, 100)}, {108, 9, -1, QRect(10, 20, 100, 50)},
};

// A dialog of W0 x H0 with one control per table row and one unregistered
// control (id 200), set up as the dialogs do it.
struct Dialog {
  QWidget window;
  CWndResizeHelper helper;

  Dialog() {
    window.resize(kW0, kH0);
    for (const Anchored& row : kTable) Add(row.id);
    Add(200);
    helper.m_owner = &window;
    helper.m_initialWidth = window.width();
    helper.m_initialHeight = window.height();
    for (const Anchored& row : kTable) helper.AddControl(row.id, row.topLeft, row.bottomRight);
  }
  void Add(int id) {
    auto* button = new QPushButton(QString::number(id), &window);
    button->setGeometry(kStart);
    SetDlgCtrlID(button, id);
  }
  QRect At(int id) const { return GetDlgItem(&window, id)->geometry(); }
};

}  // namespace

TEST(WndResize_Offscreen, CornersFollowTheirModes) {
  Dialog d;
  d.helper.Resize(kW0 + 100, kH0 + 50);
  for (const Anchored& row : kTable) EXPECT_EQ(d.At(row.id), row.grown) << "control " << row.id;
  EXPECT_EQ(d.At(200), kStart);  // not registered: stays put

  d.helper.Resize(kW0, kH0);  // back to the opening size
  for (const Anchored& row : kTable) EXPECT_EQ(d.At(row.id), kStart) << "control " << row.id;
}

TEST(WndResize_Offscreen, AMinimiseAndRestoreLeaveNoDrift) {
  Dialog d;
  d.helper.Resize(0, 0);
  EXPECT_EQ(d.At(103).topLeft(), QPoint(10 - kW0, 20 - kH0));  // off to the left and top
  d.helper.Resize(kW0 + 37, kH0 + 11);
  d.helper.Resize(kW0 + 100, kH0 + 50);
  for (const Anchored& row : kTable) EXPECT_EQ(d.At(row.id), row.grown) << "control " << row.id;
}

TEST(WndResize_Offscreen, AChangedEntryTakesEffectAtTheNextResize) {
  Dialog d;
  SWndResizeParam* entry = d.helper.FindControl(103);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->m_rect, (RECT{10, 20, 110, 70}));
  entry->m_rect = RECT{10, 20, 60, 45};  // the control shrinks to 50 x 25
  EXPECT_EQ(d.At(103), kStart);
  d.helper.Resize(kW0 + 100, kH0 + 50);
  EXPECT_EQ(d.At(103), QRect(110, 70, 50, 25));
  EXPECT_EQ(d.At(102), QRect(10, 20, 200, 100));  // the others are unchanged
}

TEST(WndResize_Offscreen, UnknownIdsMissingOwnersAndDeletedControlsAreHarmless) {
  Dialog d;
  d.helper.AddControl(999, 0, 3);
  EXPECT_EQ(d.helper.FindControl(999), nullptr);

  CWndResizeHelper early;  // not set up yet
  early.AddControl(101, 3, 3);
  EXPECT_EQ(early.FindControl(101), nullptr);
  early.Resize(10, 10);

  delete GetDlgItem(&d.window, 102);
  d.helper.Resize(kW0 + 100, kH0 + 50);
  EXPECT_EQ(d.At(103), QRect(110, 70, 100, 50));
  EXPECT_EQ(d.At(101), kStart);
}

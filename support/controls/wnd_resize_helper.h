#pragma once
// CWndResizeHelper keeps the controls of a resizable dialog in place when the
// dialog's client area changes size. Each control (a direct child of the
// dialog, by item id: support/controls/hrx_dialog_item.h) is registered once with an
// anchor mode for its top-left and one for its bottom-right corner:
//
//   mode 0  fixed                  x            y
//   mode 1  follows the right edge x + cx - W0  y
//   mode 2  follows the bottom     x            y + cy - H0
//   mode 3  follows both           x + cx - W0  y + cy - H0
//
// (x, y) is the corner stored when the control was added, (W0, H0) the
// client size when the helper was set up, (cx, cy) the new client size.
// Every resize is computed from the stored rectangles and the initial size,
// never from where the controls are now, so odd intermediate sizes leave no
// drift. A mode outside 0..3 counts as fixed.
//
// Set-up is done by the owning dialog while it initialises:
//   m_resize.m_owner = this;
//   m_resize.m_initialWidth = width();
//   m_resize.m_initialHeight = height();
//   m_resize.AddControl(1019, 0, 3); ...
// and the dialog calls Resize(new width, new height) from its resizeEvent.
#include <vector>

#include "platform/win_types.h"

class QWidget;

// One anchor entry.
struct SWndResizeParam {
  int m_controlId = 0;
  int m_topLeftMode = 0;
  int m_bottomRightMode = 0;
  // The control's rectangle in the owner's client coordinates when it was
  // added (the caller may change it through FindControl).
  RECT m_rect;
};

class CWndResizeHelper {
 public:
  // Not owned; null until the owner sets the helper up.
  QWidget* m_owner = nullptr;
  int m_initialWidth = 0;
  int m_initialHeight = 0;

  // Appends an entry for the owner's item with the id, from its current
  // rectangle. Nothing is added without an owner or such an item.
  void AddControl(int controlId, int topLeftMode, int bottomRightMode);
  // The first entry with the id, changeable by the caller; null when none.
  // The pointer stays valid until the next AddControl.
  SWndResizeParam* FindControl(int controlId);
  // Puts every registered control at its place for the new client size, in
  // the order added (items that no longer exist are skipped). Does nothing
  // before the owner is set.
  void Resize(int clientWidth, int clientHeight);
  // The new top-left / bottom-right corner of the entry's control.
  POINT GetTopLeft(const SWndResizeParam& entry, int clientWidth, int clientHeight) const;
  POINT GetBottomRight(const SWndResizeParam& entry, int clientWidth, int clientHeight) const;

 private:
  POINT MovePoint(int mode, LONG x, LONG y, int clientWidth, int clientHeight) const;

  std::vector<SWndResizeParam> m_entries;
};

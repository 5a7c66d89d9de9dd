#include "support/controls/wnd_resize_helper.h"

#include <QWidget>

#include "support/controls/hrx_dialog_item.h"

void CWndResizeHelper::AddControl(int controlId, int topLeftMode, int bottomRightMode) {
  QWidget* control = GetDlgItem(m_owner, controlId);
  if (!control) return;
  const QRect place = control->geometry();  // a direct child: owner client coordinates
  SWndResizeParam entry;
  entry.m_controlId = controlId;
  entry.m_topLeftMode = topLeftMode;
  entry.m_bottomRightMode = bottomRightMode;
  entry.m_rect = RECT{place.x(), place.y(), place.x() + place.width(), place.y() + place.height()};
  m_entries.push_back(entry);
}

SWndResizeParam* CWndResizeHelper::FindControl(int controlId) {
  for (SWndResizeParam& entry : m_entries)
    if (entry.m_controlId == controlId) return &entry;
  return nullptr;
}

void CWndResizeHelper::Resize(int clientWidth, int clientHeight) {
  if (!m_owner) return;
  for (const SWndResizeParam& entry : m_entries) {
    QWidget* control = GetDlgItem(m_owner, entry.m_controlId);
    if (!control) continue;
    const POINT topLeft = GetTopLeft(entry, clientWidth, clientHeight);
    const POINT bottomRight = GetBottomRight(entry, clientWidth, clientHeight);
    control->setGeometry(topLeft.x, topLeft.y, bottomRight.x - topLeft.x, bottomRight.y - topLeft.y);
    control->update();
  }
}

POINT CWndResizeHelper::GetTopLeft(const SWndResizeParam& entry, int clientWidth, int clientHeight) const {
  return MovePoint(entry.m_topLeftMode, entry.m_rect.left, entry.m_rect.top, clientWidth, clientHeight);
}

POINT CWndResizeHelper::GetBottomRight(const SWndResizeParam& entry, int clientWidth,
                                       int clientHeight) const {
  return MovePoint(entry.m_bottomRightMode, entry.m_rect.right, entry.m_rect.bottom, clientWidth,
                   clientHeight);
}

POINT CWndResizeHelper::MovePoint(int mode, LONG x, LONG y, int clientWidth, int clientHeight) const {
  const bool followsRight = mode == 1 || mode == 3;
  const bool followsBottom = mode == 2 || mode == 3;
  POINT moved;
  moved.x = followsRight ? x + clientWidth - m_initialWidth : x;
  moved.y = followsBottom ? y + clientHeight - m_initialHeight : y;
  return moved;
}

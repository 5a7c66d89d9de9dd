// Sections: open and close - mouse - drawing
#include "game/screens/preview_window.h"

#include <cstdlib>

#include "game/game_host.h"
#include "game/game_profile.h"
#include "game/screens/screen_kit.h"
#include "support/support.h"

namespace {
LONG Width(const RECT& r) { return std::abs(r.right - r.left); }
LONG Height(const RECT& r) { return std::abs(r.bottom - r.top); }
}  // namespace

int CImagePreviewWindow::PackPosition(LONG left, LONG top) {
  const std::uint32_t packed =
      (static_cast<std::uint32_t>(top) << 16) | (static_cast<std::uint32_t>(left) & 0xFFFFu);
  return static_cast<int>(packed);
}

POINT CImagePreviewWindow::UnpackPosition(int value) {
  const auto v = static_cast<std::uint32_t>(value);
  return POINT{static_cast<LONG>(v & 0xFFFFu), static_cast<LONG>(v >> 16)};
}

RECT CImagePreviewWindow::PictureRect() const {
  if (!m_picture) return RECT{0, 0, 0, 0};
  return RECT{0, 0, static_cast<LONG>(m_picture->m_imageInfo.Width),
              static_cast<LONG>(m_picture->m_imageInfo.Height)};
}

// ---- open and close ----------------------------------------------------------------------
bool CImagePreviewWindow::Open(CKVRTexture* picture) {
  m_picture = picture;
  const POINT at = UnpackPosition(ReadProfileInt(profile::kPreviewLastPos));
  const LONG W = LayoutWidth(), H = LayoutHeight();
  const float iw = picture ? static_cast<float>(picture->m_imageInfo.Width) : 0.0f;
  const float ih = picture ? static_cast<float>(picture->m_imageInfo.Height) : 0.0f;
  const float aspect = iw > 0.0f ? ih / iw : 0.0f;
  LONG w = ReadProfileInt(profile::kPreviewLastWidth);
  if (w > W - 64) w = W - 128;
  if (w < kMinBox) w = kMinBox;
  LONG h = static_cast<LONG>(static_cast<float>(w) * aspect);
  if (h > H - 64) {
    h = H - 192;
    w = static_cast<LONG>(static_cast<float>(h) * (iw / ih));
  }
  m_rect = RECT{at.x, at.y, at.x + w, at.y + h};
  ClampToScreen();
  // The cursor as the view sees it: in layout pixels, like every later move.
  m_cursor = GameHost().CursorPos();
  GetGripRects();
  HitTestGrip();
  m_frame.Create(m_rect, picture);
  LoadTextureArt(m_gripTexture, "IconResizeGrip.png", 0xFFFF00FF);
  RemakeSprite(m_gripSprite, m_gripTexture);
  m_created = true;
  return true;
}

void CImagePreviewWindow::Close() {
  if (!m_created) return;
  // Nobody asked for it: a failure is said on stderr only.
  GameProfileChange()
      .Set(profile::kPreviewLastPos, PackPosition(m_rect.left, m_rect.top))
      .Set(profile::kPreviewLastWidth, Width(m_rect))
      .Values()
      .Save();
  m_gripTexture.Release();
  m_gripSprite.Release();
  m_visible = m_hovered = m_moving = m_resizing = false;
  m_picture = nullptr;
  m_hoveredGrip = m_activeGrip = -1;
  m_created = false;
}

void CImagePreviewWindow::ClampToScreen() {
  const RECT screen{32, 32, LayoutWidth() - 32, LayoutHeight() - 32};
  if (!PtInRect(screen, POINT{m_rect.left, m_rect.top})) {
    const LONG w = Width(m_rect), h = Height(m_rect);
    m_rect = RECT{32, 40, 32 + w, 40 + h};
  }
  GetGripRects();
  HitTestGrip();
}

void CImagePreviewWindow::GetGripRects() {
  const RECT& r = m_rect;
  const LONG g = kGripSize;
  m_grips[0] = RECT{r.left, r.top, r.left + g, r.top + g};
  m_grips[1] = RECT{r.right - g, r.top, r.right, r.top + g};
  m_grips[2] = RECT{r.right - g, r.bottom - g, r.right, r.bottom};
  m_grips[3] = RECT{r.left, r.bottom - g, r.left + g, r.bottom};
}

void CImagePreviewWindow::HitTestGrip() {
  m_hoveredGrip = -1;
  for (int i = 0; i < 4; ++i) {
    if (PtInRect(m_grips[i], m_cursor)) {
      m_hoveredGrip = i;
      return;
    }
  }
}

// ---- mouse ----------------------------------------------------------------------------------
void CImagePreviewWindow::OnLButtonDown(int x, int y) {
  if (!PtInRect(m_rect, POINT{x, y})) return;
  HitTestGrip();
  if (m_hoveredGrip < 0) {
    m_moving = true;
  } else {
    m_resizing = true;
    m_activeGrip = m_hoveredGrip;
  }
  m_pressRect = m_rect;
  m_pressPoint = POINT{x, y};
}

void CImagePreviewWindow::OnLButtonUp() {
  m_moving = m_resizing = false;
  m_activeGrip = -1;
}

void CImagePreviewWindow::OnMouseMove(int x, int y) {
  OnPointerAt(x, y);
  if (m_moving) {
    const LONG dx = x - m_pressPoint.x, dy = y - m_pressPoint.y;
    m_rect =
        RECT{m_pressRect.left + dx, m_pressRect.top + dy, m_pressRect.right + dx, m_pressRect.bottom + dy};
    GetGripRects();
  } else if (m_resizing) {
    Resize(x, y);
  }
}

void CImagePreviewWindow::OnPointerAt(int x, int y) {
  m_cursor = POINT{x, y};
  HitTestGrip();
  if (!m_moving && !m_resizing) m_hovered = PtInRect(m_rect, m_cursor);
}

void CImagePreviewWindow::Resize(int x, int y) {
  RECT r = m_rect;
  const RECT& p = m_pressRect;
  const LONG dx = x - m_pressPoint.x, dy = y - m_pressPoint.y;
  const int grip = m_activeGrip;
  const bool left = grip == 0 || grip == 3;  // the grip moves the left side
  const bool top = grip == 0 || grip == 1;   // the grip moves the top side
  if (left) {
    r.left = p.left + dx;
    if (x > p.right || Width(r) < kMinBox) r.left = r.right - kMinBox;
  } else {
    r.right = p.right + dx;
    if (x < p.left || Width(r) < kMinBox) r.right = r.left + kMinBox;
  }
  if (top) {
    r.top = p.top + dy;
    if (y > p.bottom || Height(r) < kMinBox) r.top = r.bottom - kMinBox;
  } else {
    r.bottom = p.bottom + dy;
    if (y < p.top || Height(r) < kMinBox) r.bottom = r.top + kMinBox;
  }
  RECT fitted;
  FitRectKeepAspect(PictureRect(), r, fitted);
  // The corner opposite the grip stays where the box has it.
  const LONG sx = left ? Width(r) - Width(fitted) : 0;
  const LONG sy = top ? Height(r) - Height(fitted) : 0;
  m_rect = RECT{fitted.left + sx, fitted.top + sy, fitted.right + sx, fitted.bottom + sy};
  GetGripRects();
}

// ---- drawing ----------------------------------------------------------------------------------
void CImagePreviewWindow::Render() {
  if (!m_visible) return;
  m_frame.m_rect = m_rect;
  m_frame.Render();
  if (!m_hovered) return;
  for (int i = 0; i < 4; ++i) {
    const float c = i == m_hoveredGrip ? 1.0f : 0.25f;
    m_gripSprite.Draw(m_grips[i], c, c, c, 1.0f);
  }
}

void CImagePreviewWindow::RenderLarge(const RECT& rect) {
  m_frame.m_rect = rect;
  m_frame.Render();
}

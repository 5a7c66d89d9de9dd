// Sections: base - image frame - button
#include "engine/gui.h"

#include "platform/input/input.h"

namespace {
// Mouse state at creation: the left button as g_Input read it last, the
// cursor where it is now (client coordinates).
void TakeCreationMouseState(CKVRGUIWnd& widget) {
  widget.m_leftButton = (g_Input.m_mouseState.rgbButtons[0] & 0x80) != 0;
  widget.m_mousePos = g_Input.CursorPos();
}
}  // namespace

// ---- base --------------------------------------------------------------------------------
bool PtInRect(const RECT& rect, POINT point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

void CKVRGUIWnd::Reset() {
  m_created = false;
  m_visible = true;
  m_caption.clear();
  m_rect = RECT{};
  m_mousePos = POINT{};
  m_leftButton = false;
  m_clicked = false;
  m_font = nullptr;
  m_texture = nullptr;
}

void CKVRGUIWnd::OnMouse(POINT point, bool leftButton) {
  m_clicked = false;
  m_mousePos = point;
  if (m_visible && PtInRect(m_rect, point) && !m_leftButton && leftButton) m_clicked = true;
  m_leftButton = leftButton;
}

bool CKVRGUIWnd::IsHover() const { return m_visible && PtInRect(m_rect, m_mousePos); }

// ---- image frame ------------------------------------------------------------------------------
void CKVRGUIImageFrame::Reset() {
  CKVRGUIWnd::Reset();
  m_spriteRecord.Release();
  m_alpha = 1.0f;
}

bool CKVRGUIImageFrame::Create(const RECT& rect, CKVRTexture* texture) {
  Reset();
  TakeCreationMouseState(*this);
  m_texture = texture;
  m_rect = rect;
  m_spriteRecord.Release();
  if (!m_spriteRecord.Create(texture)) return false;
  m_created = true;
  return true;
}

void CKVRGUIImageFrame::Render() {
  if (m_visible) m_spriteRecord.Draw(m_rect, 1.0f, 1.0f, 1.0f, m_alpha);
}

// ---- button -------------------------------------------------------------------------------------
void CKVRGUIButton::Reset() {
  CKVRGUIWnd::Reset();
  m_spriteRecord.Release();
}

bool CKVRGUIButton::Create(const RECT& rect, const std::string& caption, CKVRTexture* texture) {
  Reset();
  TakeCreationMouseState(*this);
  m_texture = texture;
  m_rect = rect;
  m_caption = caption;
  m_alpha = 1.0f;
  m_sourceRect = texture ? RECT{0, 0, LONG(texture->m_width), LONG(texture->m_height)} : RECT{};
  m_spriteRecord.Release();
  if (!m_spriteRecord.Create(texture)) return false;
  m_created = true;
  return true;
}

void CKVRGUIButton::Render() {
  if (!m_visible) return;
  m_spriteRecord.m_sourceRect = m_sourceRect;
  m_spriteRecord.m_useSourceRect = true;
  m_spriteRecord.Draw(m_rect, 1.0f, 1.0f, 1.0f, m_alpha);
  if (!m_font) return;
  // A fade that overshoots 0..1 must not wrap the alpha byte.
  const float scaled = m_alpha * 255.0f;
  const DWORD alpha = !(scaled > 0.0f) ? 0u : scaled >= 255.0f ? 255u : static_cast<DWORD>(scaled);
  const DWORD a = alpha << 24;
  m_font->m_textColor = a + 0xFFFFFFu;
  m_font->m_shadowColor = a;
  const LONG height = RectHeight(m_rect) < 0 ? -RectHeight(m_rect) : RectHeight(m_rect);
  m_font->DrawShadowText(m_caption, m_rect.left + 8, (height - m_font->m_height) / 2 + m_rect.top);
}

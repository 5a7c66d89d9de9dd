#pragma once
// Small widgets drawn with sprites inside the 3D view: a base that turns the
// left button into clicks, an image frame and a button with a caption.
//
// The owning screen calls OnMouse once per frame with the cursor's client
// position and the left button's state, then Render. A click is the frame in
// which the left button goes down inside a visible widget; holding the
// button, or pressing it outside and moving in, does not click. Rectangles
// include their left and top edges and exclude their right and bottom ones.
// The owner may set m_visible, m_rect, m_alpha and m_font at any time.
//
// Sections: base - image frame - button
#include <string>

#include "engine/draw_resources.h"

// ---- base --------------------------------------------------------------------------------
class CKVRGUIWnd {
 public:
  CKVRGUIWnd() = default;
  virtual ~CKVRGUIWnd() = default;
  CKVRGUIWnd(const CKVRGUIWnd&) = delete;
  CKVRGUIWnd& operator=(const CKVRGUIWnd&) = delete;

  // Every field back to its initial value (derived widgets also release
  // their sprite).
  virtual void Reset();
  // One frame's mouse update: m_clicked is set for this frame only when the
  // button went down (B true, m_leftButton false) at point P inside the
  // visible widget; then m_leftButton = B.
  virtual void OnMouse(POINT point, bool leftButton);
  // Draws nothing.
  virtual void Render() {}
  // Visible and the last cursor point inside the rectangle.
  bool IsHover() const;

  bool m_created = false;
  bool m_visible = true;
  std::string m_caption;
  RECT m_rect;
  POINT m_mousePos;  // client coordinates
  bool m_leftButton = false;
  bool m_clicked = false;
  CKVRFont* m_font = nullptr;        // not owned
  CKVRTexture* m_texture = nullptr;  // not owned
};

// Inside: left <= x < right and top <= y < bottom.
bool PtInRect(const RECT& rect, POINT point);

// ---- image frame ------------------------------------------------------------------------------
class CKVRGUIImageFrame : public CKVRGUIWnd {
 public:
  void Reset() override;
  // Reset; takes the left button's state from g_Input (so a button already
  // held does not click) and the cursor's client position; a sprite bound to
  // the texture. False when the sprite cannot be made.
  bool Create(const RECT& rect, CKVRTexture* texture);
  // When visible: the texture stretched over m_rect, colour (1, 1, 1, alpha).
  void Render() override;

  CKVRSprite m_spriteRecord;
  float m_alpha = 1.0f;
};

// ---- button -------------------------------------------------------------------------------------
class CKVRGUIButton : public CKVRGUIWnd {
 public:
  void Reset() override;
  // As the image frame's, plus the caption, alpha 1 and the whole texture as
  // source rectangle.
  bool Create(const RECT& rect, const std::string& caption, CKVRTexture* texture);
  // When visible: the texture over m_rect with colour (1, 1, 1, alpha); with
  // a font also the caption in white over a black shadow, both with alpha
  // m_alpha * 255 truncated (held within 0..255), at (left + 8, top +
  // (|height| - font height) / 2). Sets the font's colours.
  void Render() override;

  RECT m_sourceRect;
  CKVRSprite m_spriteRecord;
  float m_alpha = 1.0f;
};

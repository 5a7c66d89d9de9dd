#pragma once
// The start screen: a globe filling the right of the window, four sprite
// buttons with captions down the left (New Puzzle, Load Puzzle, Help, Exit)
// and a translucent title bar. A click posts the button's menu command; the
// frame does the rest.
//
// Layout (W x H the view in layout pixels): buttons 64 x 64 at x 8, y 62, 138, 214;
// Exit at (8, H - 72)-(72, H - 8), following the height every frame;
// captions at (button right + 8, button top + 16).
#include <optional>
#include <string>

#include "engine/draw_resources.h"
#include "engine/gui.h"
#include "game/screens/gui_interface.h"

// The menu-like screens' base; adds nothing.
class CGUIInterfaceBaseMenu : public CGUIInterface {};

class CGUIInterfaceStartMenu : public CGUIInterfaceBaseMenu {
 public:
  static constexpr int kButtonCount = 4;
  static constexpr int kButtonSize = 64;
  static constexpr int kButtonLeft = 8;
  static constexpr int kFirstButtonTop = 62;
  static constexpr int kButtonStep = 76;
  static constexpr float kHoverAlpha = 1.0f;
  static constexpr float kRestAlpha = 0.85f;

  // Releases the device objects it still holds.
  void Deactivate() override;
  // Loads the art (magenta transparent), the captions and lays out the
  // buttons; no puzzle runs from here on. Missing art is left out.
  void Activate() override;
  // Buttons follow the mouse; the first clicked one posts its command (at
  // most one per frame). A press counts where it happened. Always 0.
  int Update() override;
  void Render() override;
  void OnLButtonDown(int x, int y) override;

  // The captions in the current language.
  void LoadCaptions();
  // The bar and the title at alpha 0.75.
  void RenderMenuBar();

  // The command each button posts, in button order.
  static UINT ButtonCommand(int index);

  CKVRTexture m_earthTexture;
  CKVRSprite m_earthSprite;
  CKVRTexture m_fillTexture;
  CKVRSprite m_fillSprite;
  CKVRTexture m_buttonTextures[kButtonCount];
  CKVRGUIButton m_buttons[kButtonCount];
  CKVRTexture m_barTexture;
  CKVRSprite m_barSprite;
  CKVRTexture m_titleTexture;
  CKVRSprite m_titleSprite;
  std::string m_captions[kButtonCount];
  // Where this frame's left press happened, while it is being handled.
  std::optional<POINT> m_pressAt;
};

#pragma once
// The strip of icons along the top of the 3D view. On the play screen: a
// translucent background (faint until the mouse comes near), eight icons
// (game menu, save, puzzle information, preview window, command helper,
// help, full screen, minimise), the hovered icon's tooltip and the play
// time. On the start screen only the full-screen and minimise icons.
//
// The bar is a screen that is never current: the game object updates it
// before the current screen and draws it after. A press on an icon is the
// bar command of that frame (TopBarCommand); the game object posts the
// matching menu command or minimises the window.
//
// Layout (W the view's width in layout pixels): icons 0..5 at x 32 + 32 i, y 2; icon
// 6 at W - 64 and icon 7 at W - 40 (they follow the width at every draw);
// each icon as large as its picture. The play time at (W - 470, 2).
#include <string>

#include "engine/draw_resources.h"
#include "game/screens/gui_interface.h"

struct TopBarIcon {
  RECT m_rect{};
  CKVRSprite m_iconSprite;
  CKVRTexture m_iconTexture;
  std::string m_tooltip;
};

// "Game Time: hh:mm:ss" for a play time in seconds (whole seconds; hours
// may take more than two digits). Defined for every value: times above the
// saved games' bound (kMaxSavedPlayTime) show as that bound, negative times
// and NaN as 0.
std::string FormatGameTime(double seconds);

class CPlayPuzzleTopMenuBar : public ITopBar {
 public:
  static constexpr int kIconCount = 8;

  void Deactivate() override;
  // Background (magenta transparent), the white texture of the tooltip box,
  // the icons and their tooltips.
  void Activate() override;
  // The command of a press on an icon in this frame, else 0.
  int Update() override;
  void Render() override;
  // The first icon under the press gives the command (mode 1: every icon;
  // mode 0: only full screen and minimise).
  void OnLButtonDown(int x, int y) override;
  // The hovered icon and whether the pointer is in the bar (the screen base
  // calls it before every move too, so a move needs nothing more).
  void OnPointerAt(int x, int y) override;
  void SetMode(int mode) override { m_mode = mode; }
  void LoadTooltips() override;

  // The tooltip box of an icon for a text of the given size (width: the
  // view's, in layout pixels): under the icon, 4 pixels of padding, kept 4 pixels off
  // the right edge.
  static RECT TooltipRect(const RECT& icon, SIZE text, LONG width);
  void DrawTooltip(int index);
  // Icons 6 and 7 at the right edge of a view this wide (layout pixels).
  void PlaceRightIcons(LONG width);
  // The first icon containing the point; -1 for none.
  int IconAt(int x, int y) const;

  CKVRTexture m_backgroundTexture;
  CKVRSprite m_backgroundSprite;
  CKVRSprite m_tooltipSprite;
  CKVRTexture m_whiteTexture;
  TopBarIcon m_icons[kIconCount];
  bool m_mouseInBar = false;
  int m_hoveredIcon = -1;
  int m_command = kBarNone;
  int m_mode = 0;
};

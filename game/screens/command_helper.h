#pragma once
// The panel in the top-left corner of the play screen that lists the mouse
// and keyboard commands, grouped under "Piece selection", "View" and
// "Preview Image Window". Entries that do not apply now are hidden and the
// panel shrinks round the rest; the play screen switches entries 4 to 9 by
// its state. The panel has a close button; its visibility is kept in the
// profile ("ShowCommandHelper"; the close button and F6 store it, a store
// that fails is said in a box). Texts come from the string table of the
// current language when the panel is shown.
//
// Layout: texts start 12 pixels inside the panel on every side; a line's
// second text lies directly under its main text; entries are 4 pixels
// apart, spacers 8 pixels high; the close button is 16 x 16 at 12 pixels
// from the top and right edges.
#include <string>
#include <vector>

#include "engine/draw_resources.h"
#include "engine/gui.h"

// Line kinds (and entry ids) of the panel.
enum HelpLineId : int {
  kHelpHeader = 1,
  kHelpTitle = 2,
  kHelpSpacer = 3,
  kHelpSelect = 4,
  kHelpMove = 5,
  kHelpRotate = 6,
  kHelpDisconnect = 7,
  kHelpViewIdle = 8,
  kHelpViewMoving = 9,
  kHelpZoom = 10,
  kHelpPreview = 11,
  kHelpLargePreview = 12,
};

struct HelpLine {
  int m_id = 0;
  std::string m_text;
  std::string m_keyText;
  bool m_enabled = true;
  RECT m_textRect{};
  RECT m_keyRect{};
};

class CCommandHelperWindow {
 public:
  // Makes the panel's texture, close button, fonts and lines, lays them
  // out at (6, 35) and makes the panel visible. Always true.
  bool Show();
  // Lets the fonts and lines go and hides the panel; nothing when not shown.
  void Hide();
  // The close button was pressed: hidden, and not shown again until asked.
  void OnCloseClicked();
  // Shows or hides the first line with that id (none: nothing changes),
  // then lays out again.
  void EnableEntry(int id, bool enabled);
  // While the panel shows, its cursor follows the pointer at (x, y).
  void OnPointerAt(int x, int y);
  void Render();
  void AddLine(int id, const std::string& text, const std::string& keyText);
  void Layout();

  // Shown and not closed or hidden since.
  bool Visible() const { return m_visible; }
  // Where the pointer was last seen (layout pixels): at Show, then at every
  // pointer call while the panel shows.
  POINT Cursor() const { return m_cursor; }

  bool m_created = false;
  CKVRTexture m_panelTexture;
  RECT m_panelRect{};
  CKVRGUIImageFrame m_background;
  CKVRTexture m_closeTexture;
  CKVRSprite m_closeSprite;
  RECT m_closeRect{};
  CKVRFont m_fontRegular;
  CKVRFont m_fontBold;
  CKVRFont m_fontTitle;
  std::vector<HelpLine> m_lines;

 private:
  bool m_visible = false;
  POINT m_cursor{};
};

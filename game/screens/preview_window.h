#pragma once
// The puzzle's picture in a small window inside the play screen's view. The
// player shows and hides it (F5, the bar's icon), moves it by dragging its
// inside and resizes it with four corner grips; the picture keeps its
// proportions and every side of the box it is fitted into is at least 96
// pixels. Position and width are kept in the profile ("LastPos" as
// (top << 16) | (left & 0xFFFF), "LastWidth") from one puzzle and one run
// to the next; the visibility is not.
//
// The play screen opens it for every new puzzle, gives it left presses that
// fall inside it, every mouse move and the end of a press, and draws it. The
// large Tab preview borrows its image frame.
//
// All positions are layout pixels of the view. S, the screen area, is
// (32, 32, W - 32, H - 32) for a view W x H layout pixels large.
#include "engine/draw_resources.h"
#include "engine/gui.h"

class CImagePreviewWindow {
 public:
  static constexpr LONG kGripSize = 16;
  static constexpr LONG kMinBox = 96;

  // Opens the window for the picture (not owned) at the stored place and
  // width; visibility is left as it is. Always true.
  bool Open(CKVRTexture* picture);
  // Stores position and width and lets the picture go; nothing when not open.
  void Close();
  // A window whose top-left corner left S goes to (32, 40), same size.
  void ClampToScreen();
  // A press inside the window starts a move, or a resize on a grip.
  void OnLButtonDown(int x, int y);
  // Ends a move or resize (the left button went up).
  void OnLButtonUp();
  void OnMouseMove(int x, int y);
  // The cursor, the hovered grip and (unless moving or resizing) the hover
  // follow the pointer; the window stays where it is.
  void OnPointerAt(int x, int y);
  void Render();
  // The large preview: the picture's frame drawn in rect, shown or not (the
  // next Render puts the frame back on the window).
  void RenderLarge(const RECT& rect);

  // Shows or hides the window; Close hides it, Open leaves it as it is.
  void SetVisible(bool visible) { m_visible = visible; }
  bool Visible() const { return m_visible; }
  // Where the pointer was last seen (layout pixels): at Open, then at every
  // pointer call.
  POINT Cursor() const { return m_cursor; }

  void GetGripRects();
  void HitTestGrip();
  // The packed "LastPos" value of a top-left corner, and back.
  static int PackPosition(LONG left, LONG top);
  static POINT UnpackPosition(int value);

  bool m_created = false;
  bool m_hovered = false;
  CKVRTexture* m_picture = nullptr;
  RECT m_rect{};
  CKVRGUIImageFrame m_frame;
  bool m_moving = false;
  bool m_resizing = false;
  POINT m_pressPoint{};
  RECT m_pressRect{};
  CKVRTexture m_gripTexture;
  CKVRSprite m_gripSprite;
  RECT m_grips[4]{};
  int m_hoveredGrip = -1;
  int m_activeGrip = -1;

 private:
  bool m_visible = false;
  POINT m_cursor{};

  void Resize(int x, int y);
  RECT PictureRect() const;
};

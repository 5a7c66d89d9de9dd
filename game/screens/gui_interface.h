#pragma once
// The base of every 3D screen, and the two screens that plug into the game
// object from outside this folder: the play screen and the icon bar.
//
// A screen turns the frame's polled mouse state into press, release, move
// and wheel calls on itself (DispatchMouseInput, first thing in its Update).
// The frame has read the input before (CPuzzleGame::RunFrame, which updates
// the icon bar before the current screen). The calls come in the order the
// player made them: the motion that came before a press or release moves
// first, to its place; the press or release is handled there, after
// OnPointerAt there (the polled state keeps its place); the motion after it
// moves last, to the cursor of the frame. So held pieces, the rubber band and
// the view are where the pointer was when a button went up, however long
// the frame.
// The game object activates one screen at a time, updates and renders it
// every frame and deactivates it when another takes over.
//
// Sections: screen base - play screen slot - icon bar slot
#include <cstdint>

#include "platform/win_types.h"

// ---- screen base -------------------------------------------------------------------
class CGUIInterface {
 public:
  virtual ~CGUIInterface() = default;

  // Releases what Activate loaded.
  virtual void Deactivate() = 0;
  // Loads the screen's device objects and lays it out.
  virtual void Activate() = 0;
  // One frame's logic; the answer is the screen's own (0 for the screens).
  virtual int Update() = 0;
  virtual void Render() = 0;
  // The mouse calls: every x, y is a cursor position, in layout pixels.
  virtual void OnLButtonDown(int /*x*/, int /*y*/) {}
  virtual void OnLButtonUp(int /*x*/, int /*y*/) {}
  virtual void OnRButtonDown(int /*x*/, int /*y*/) {}
  virtual void OnRButtonUp(int /*x*/, int /*y*/) {}
  virtual void OnMouseWheel(int /*delta*/) {}
  // dx, dy: the polled relative motion of this frame.
  virtual void OnMouseMove(int /*x*/, int /*y*/, int /*dx*/, int /*dy*/) {}
  // The pointer is at (x, y): what the screen keeps of where the pointer is
  // (hover, the panels' cursors) follows; nothing is moved or dragged.
  virtual void OnPointerAt(int /*x*/, int /*y*/) {}

  // Cursor() from the host; then at most one press or release per button
  // (each flag changes before its call), in the order they came (left
  // first when the polled state does not tell), each at the place the
  // polled state gives it (the cursor when it gives none) and preceded by
  // OnPointerAt there, and before that by a move to its place with the
  // motion that came before it, when there was some. Then OnPointerAt
  // (Cursor()) and a move with the rest of the relative motion when that
  // is not zero; but when a button pressed in this frame's interval went up
  // again within it (it reads as down until the next frame), the pointer
  // moves only to where it went up, and the motion after waits for the
  // next frame, after that release. Last, one wheel step.
  void DispatchMouseInput();

 protected:
  // Where the last dispatch found the cursor (layout pixels).
  POINT Cursor() const { return m_cursor; }
  // The buttons as the dispatch saw them last: a press was handled and its
  // release not yet.
  bool LeftDown() const { return m_leftDown; }
  bool RightDown() const { return m_rightDown; }
  // Whether the left button is held at this point of the frame: the polled
  // state holds it down, or its release comes later in this dispatch.
  bool LeftStillHeld() const;
  // The buttons the polled state holds down now count as pressed: the
  // dispatch gives no press for them, only their release later.
  void TakeButtonsAlreadyDown();

 private:
  struct ButtonEdge;
  // The move to the edge's place with the motion before it beyond
  // motionDone, which then holds the edge's motion.
  void MoveWith(const ButtonEdge& edge, POINT& motionDone);
  // MoveWith, then the edge's press or release call.
  void DispatchEdge(const ButtonEdge& edge, POINT& motionDone);
  // The button (0 or 1) the dispatch holds down whose release came within
  // this frame's interval, the earlier of two; -1 when none.
  int ReleaseStillToCome() const;

  POINT m_cursor{};
  POINT m_carried{};                 // relative motion left for the next frame
  bool m_leftReleaseToCome = false;  // during a dispatch: the left release follows
  bool m_leftDown = false;
  bool m_rightDown = false;
};

// ---- play screen slot ---------------------------------------------------------------------
// What the game object and the main frame ask of the play screen.
class IPlayScreen : public CGUIInterface {
 public:
  // Starts the view of the puzzle on the table and marks it running: a new
  // puzzle (flyIn) flies in from high above, a saved one keeps its stored
  // view.
  virtual void ResetPlayView(bool flyIn) = 0;
  // Turns the held pieces a quarter turn (+1 clockwise, -1 back).
  virtual void RotateSelection(int direction) = 0;
  virtual void DisconnectSelectedPiece() = 0;
  // The right button is moving the camera (the icon bar is not updated).
  virtual bool IsMovingCamera() const = 0;
  // Hides the command helper panel and, when visible, shows it again rebuilt
  // in the current language.
  virtual void SetCommandHelperVisible(bool visible) = 0;
  // Shows or hides the picture preview window, kept on the screen.
  virtual void TogglePreview() = 0;
  // Loads the table of the current environment setting.
  virtual void LoadEnvironment() = 0;
  // Ends a camera move (the cursor shows again) before something modal
  // opens.
  virtual void EndCameraMove() {}
};

// ---- icon bar slot ----------------------------------------------------------------------------
// Commands of the bar, one per icon (0: none).
enum TopBarCommand : std::int32_t {
  kBarNone = 0,
  kBarGameMenu = 1,
  kBarSave = 2,
  kBarInformation = 3,
  kBarPreview = 4,
  kBarCommandHelper = 5,
  kBarHelp = 6,
  kBarFullScreen = 7,
  kBarMinimize = 8,
};

// The bar drawn over either screen. Its Update answers a bar command.
// It owns the strip along the top of the view, kTopStripHeight layout
// pixels high: the pointer is "in the bar" above that line, and the play
// screen leaves the presses there to the bar.
inline constexpr LONG kTopStripHeight = 26;

class ITopBar : public CGUIInterface {
 public:
  // 0 on the start screen, 1 on the play screen.
  virtual void SetMode(int mode) = 0;
  // The icons' tooltips in the current language.
  virtual void LoadTooltips() = 0;
};

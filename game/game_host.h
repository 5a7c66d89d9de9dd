#pragma once
// What the game object needs from the program around it: the window the
// device draws into, polled input and sound on that window, the cursor, a
// queue for menu commands and minimising.
//
// The main frame is the real host. Tests put a host of their own in place
// (a recording window, input state written by hand, a cursor they move and a
// list of posted commands), so the game runs frame by frame without a
// display. Without a host set, the null host answers "no window".
#include "platform/d3d9/d3d9.h"
#include "platform/win_types.h"

class IGameHost {
 public:
  virtual ~IGameHost() = default;
  // The window the device presents into; null when there is none.
  virtual HWND DeviceWindow() = 0;
  // Starts polled input (g_Input) on the view. false: no input.
  virtual bool CreateInput() = 0;
  // Opens the sound device (g_SoundManager) for the view. false: no sound.
  virtual bool CreateSound() = 0;
  // The cursor in the view's layout pixels. Layout pixels, here and for
  // every cursor position of the game (the screens' mouse calls, the
  // widgets' hit tests, the press and release places, SetCursorPos), are
  // the desktop's logical pixels, in which the 2D layer is laid out and
  // drawn at the scale factor (engine/engine.h); the view's client
  // rectangle and back buffer are in device pixels. The 3D pick ray
  // converts the cursor to device pixels itself (CKVREngine::GetScreenRay).
  // At scale 1 the two are the same.
  virtual POINT CursorPos() = 0;
  // Queues a menu command; it runs after the current frame, through the
  // frame's command rules.
  virtual void PostCommand(UINT id) = 0;
  // Minimises the main window at once.
  virtual void MinimizeWindow() = 0;
  // The cursor's display counter, as the system keeps it: show adds one,
  // hide takes one away; the cursor shows while it is 0 or more. While it
  // is hidden the view's mouse motion goes on past the screen edges.
  // Answers the new counter.
  virtual int ShowCursor(bool show) { return show ? 0 : -1; }
  // Puts the cursor at a layout pixel of the view.
  virtual void SetCursorPos(POINT /*layout*/) {}
  // Lines the wheel scrolls per notch (the system setting).
  virtual int WheelScrollLines() { return 3; }
};

// The host in use; never null.
IGameHost& GameHost();
// nullptr restores the null host. The caller keeps ownership.
void SetGameHost(IGameHost* host);

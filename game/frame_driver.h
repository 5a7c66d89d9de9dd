#pragma once
// The one frame driver: runs CPuzzleGame::RunFrame once per event-loop
// turn, and the menu commands posted during a frame after it.
//
// A turn runs no frame while a frame is on the stack, while anything modal
// is up (a command handler, dialog, message box, file dialog or open menu:
// Qt keeps timers firing inside their loops), before Start or after Stop,
// or while the window is minimised. Around minimising the play time pauses
// and resumes (CPuzzleGame::PauseForMinimise / ResumeAfterMinimise).
//
// ModalGuard marks the modal stretches the driver must wait out; the
// command router raises it around every command it runs.
//
// Sections: modal guard - driver - Qt pacing
#include <deque>
#include <functional>
#include <memory>

#include "platform/win_types.h"

class CPuzzleGame;
class QTimer;

// ---- modal guard -----------------------------------------------------------------------
class ModalGuard {
 public:
  ModalGuard();
  ~ModalGuard();
  ModalGuard(const ModalGuard&) = delete;
  ModalGuard& operator=(const ModalGuard&) = delete;
  // Some guard is alive.
  static bool Active();
};

// ---- driver -----------------------------------------------------------------------------
class FrameDriver {
 public:
  struct Hooks {
    std::function<bool()> isMinimized;   // the main window is minimised
    std::function<bool()> uiBusy;        // a modal window or an open menu (may be empty)
    std::function<void(UINT)> dispatch;  // runs a posted command through the router
  };

  FrameDriver(CPuzzleGame& game, Hooks hooks);
  ~FrameDriver();

  // Frames may run from now on (after CPuzzleGame::Init) / no more (before
  // Shutdown).
  void Start() { m_started = true; }
  void Stop() { m_started = false; }
  bool Started() const { return m_started; }

  // One event-loop turn; true when a frame ran.
  bool Turn();
  // Draws the picture again (an expose), without updating anything: also
  // while a dialog is up, never inside a frame, before Start or minimised.
  void Repaint();
  // Queues a command for after the current frame.
  void Post(UINT id) { m_posted.push_back(id); }
  bool InFrame() const { return m_inFrame; }
  // Nothing stops a frame from running except a minimised window.
  bool CanRunFrame() const;

  // Turns come from a 0 ms timer of the Qt event loop (slower while
  // minimised or stopped). Needs a Qt application.
  void StartTimer();

 private:
  void DrainPosted();

  CPuzzleGame& m_game;
  Hooks m_hooks;
  bool m_started = false;
  bool m_inFrame = false;
  bool m_wasMinimized = false;
  std::deque<UINT> m_posted;
  std::unique_ptr<QTimer> m_timer;
};

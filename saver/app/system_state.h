#pragma once
// The desktop's own screen-saver state, as the screen saver sees it: whether
// the system's screen saver may start by itself ("active"), and whether a
// screen saver is running now ("running").
//
// The full-screen saver switches "active" off while it exists and marks
// itself "running"; both go back to what they were on every way out. Hosted
// runs (a host's window) change neither.
//
// The X11 implementation works over the screen-saver extension on a
// connection of its own: "active" is off while this program suspends the
// server's screen saver (the server ends the suspension when the connection
// closes, so even a killed program leaves nothing changed); it reads as on
// while this program does not suspend it (other clients' suspensions are
// theirs to undo). X11 has no system-wide "running" flag: the implementation keeps the
// value for this program. Without a display both values are kept in memory.
//
// Sections: interface - implementations - the state in use
#include <string>
#include <vector>

// ---- interface -------------------------------------------------------------------
class ISystemSaverState {
 public:
  virtual ~ISystemSaverState() = default;
  virtual bool GetActive() = 0;
  virtual void SetActive(bool active) = 0;
  virtual bool GetRunning() = 0;
  virtual void SetRunning(bool running) = 0;
};

// ---- implementations ---------------------------------------------------------------
// Memory only; logs every change as "active 0", "running 1", ...
class FakeSystemSaverState : public ISystemSaverState {
 public:
  bool GetActive() override { return m_active; }
  void SetActive(bool active) override;
  bool GetRunning() override { return m_running; }
  void SetRunning(bool running) override;

  bool m_active = true;
  bool m_running = false;
  std::vector<std::string> m_log;
};

class X11SystemSaverState : public ISystemSaverState {
 public:
  X11SystemSaverState();
  ~X11SystemSaverState() override;
  bool GetActive() override;
  void SetActive(bool active) override;
  bool GetRunning() override { return m_running; }
  void SetRunning(bool running) override { m_running = running; }
  // True when the display has the screen-saver extension.
  bool HasExtension() const { return m_extension; }

 private:
  bool m_extension = false;
  bool m_suspended = false;
  bool m_running = false;
  bool m_activeWithoutDisplay = true;
};

// ---- the state in use ------------------------------------------------------------------
// Never null: the X11 implementation unless a test put another in place.
ISystemSaverState& SystemSaverState();
// nullptr goes back to the X11 implementation. The caller keeps ownership.
void SetSystemSaverState(ISystemSaverState* state);

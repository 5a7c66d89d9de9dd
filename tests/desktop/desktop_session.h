#pragma once
// The whole programs on a desktop of their own, for the desktop tests
// (suites named Foo_Desktop, ctest label desktop).
//
// A DesktopSession starts a private X server (Xvfb, which picks a free
// display number itself) with a window manager (openbox) on it, and fresh
// XDG config, data, cache and runtime folders; nothing is shared with the
// display the x11 tests use or with the user's own settings. The programs
// from the build's bin/ folder are started into it as a player would start
// them; the session reads the window manager's view of the windows (client
// list in stacking order, active window), sends real input through the
// XTest extension, and saves screenshots into <build>/demo/desktop/.
// Everything the session started is ended when it goes.
//
// Every wait is a wait for a condition (testkit::WaitUntil) with a bound.
// A test binary whose desktop cannot start (no Xvfb or no openbox) should
// end with 77 (skipped): DesktopSession::Available() says so.
//
// Sections: programs - the session - windows - input - screenshots
#include <sys/types.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct _XDisplay;  // Xlib's Display

namespace desktop {

using WindowId = unsigned long;  // an X window

// ---- programs ----------------------------------------------------------------------------------
// A program started into the session; killed (SIGKILL) when still running
// at destruction. Its standard output and error go to LogPath().
class Program {
 public:
  Program(pid_t pid, std::string logPath) : m_pid(pid), m_log(std::move(logPath)) {}
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  pid_t Pid() const { return m_pid; }
  bool Running();
  // The exit status once it has ended within `ms`; -1 for a program ended
  // by a signal; nullopt while it still runs.
  std::optional<int> WaitForExit(int ms);
  void Stop();       // SIGSTOP
  void Continue();   // SIGCONT
  void Terminate();  // SIGTERM
  const std::string& LogPath() const { return m_log; }
  std::string Log() const;  // what it wrote so far

 private:
  void Reap(int flags);
  pid_t m_pid;
  std::string m_log;
  bool m_ended = false;
  int m_status = 0;
};

// ---- the session -------------------------------------------------------------------------------
struct WindowInfo {
  WindowId id = 0;
  std::string name;                         // _NET_WM_NAME (or WM_NAME)
  std::string className;                    // the class part of WM_CLASS
  pid_t pid = 0;                            // _NET_WM_PID
  int x = 0, y = 0, width = 0, height = 0;  // on the root, without the frame
};

class DesktopSession {
 public:
  // True when Xvfb and openbox can be found on PATH.
  static bool Available();

  // Starts the server and the window manager; Ok() tells whether both came up.
  explicit DesktopSession(int width = 1280, int height = 1024);
  ~DesktopSession();
  DesktopSession(const DesktopSession&) = delete;
  DesktopSession& operator=(const DesktopSession&) = delete;

  bool Ok() const { return m_display != nullptr; }
  const std::string& Display() const { return m_displayName; }  // ":N"
  const std::string& Error() const { return m_error; }          // why !Ok()
  // The session's fresh folders (XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_RUNTIME_DIR).
  const std::string& ConfigHome() const { return m_config; }
  const std::string& DataHome() const { return m_data; }
  const std::string& RuntimeDir() const { return m_runtime; }
  const std::string& Scratch() const { return m_root; }  // for test files

  // Starts build/bin/<name> with the session's display and folders, sound
  // off; `env` adds or replaces variables (an empty value removes one).
  std::unique_ptr<Program> Start(const std::string& name, const std::vector<std::string>& args = {},
                                 const std::map<std::string, std::string>& env = {});

  // ---- windows ---------------------------------------------------------------------------------
  // The managed windows, bottom to top (_NET_CLIENT_LIST_STACKING).
  std::vector<WindowId> Stacking();
  WindowId ActiveWindow();  // _NET_ACTIVE_WINDOW; 0 when none
  WindowInfo Info(WindowId window);
  // The first managed window whose name or class contains `text`, within `ms`.
  std::optional<WindowInfo> WaitForWindow(const std::string& text, int ms = 20000);
  // The managed windows whose name or class contains `text`.
  std::vector<WindowInfo> FindWindows(const std::string& text);
  // Position in the stacking order (0 = bottom); -1 when not managed.
  int StackIndex(WindowId window);
  // The managed windows the program with this pid shows.
  std::vector<WindowInfo> WindowsOf(pid_t pid);
  // Whether the window's _NET_WM_STATE holds `state` ("_NET_WM_STATE_HIDDEN",
  // "_NET_WM_STATE_MAXIMIZED_VERT", ...).
  bool HasState(WindowId window, const std::string& state);
  // Sets the X resources programs read at their start ("Xft.dpi:\t192\n"),
  // as `xrdb -load` does: the root window's RESOURCE_MANAGER property.
  void SetResources(const std::string& resources);
  // Asks the window manager, as its title-bar buttons do.
  void SetMaximised(WindowId window, bool on);
  void Minimise(WindowId window);
  // The window with its decorations (_NET_FRAME_EXTENTS added), on the root.
  WindowInfo Framed(WindowId window);

  // ---- input (XTest) -----------------------------------------------------------------------------
  void MoveTo(int x, int y);
  // Moves in steps of at most `step` pixels, letting the server catch up
  // between them, as a hand on a mouse would.
  void MoveSmoothly(int fromX, int fromY, int toX, int toY, int step = 4);
  void Press(int button);
  void Release(int button);
  void Click(int button = 1);
  void ClickAt(int x, int y, int button = 1);
  // A key by X key name ("Escape", "Return", "a"), with optional modifier names ("Control_L").
  void Key(const std::string& name, const std::vector<std::string>& modifiers = {});
  void Type(const std::string& text);  // plain letters, digits and punctuation
  void Sync();                         // the server has handled everything sent

  // ---- screenshots -------------------------------------------------------------------------------
  // Saves the whole screen as <build>/demo/desktop/<name>.png; answers its path ("" on failure).
  std::string Screenshot(const std::string& name);
  // The colour (0xRRGGBB) of one screen pixel.
  unsigned Pixel(int x, int y);
  // The colours of a rectangle of the screen, row by row.
  std::vector<unsigned> Grab(int x, int y, int width, int height);

 private:
  bool StartServer(int width, int height);
  bool StartWindowManager();
  std::string Property(WindowId window, const char* atom);
  std::vector<unsigned long> WindowList(WindowId window, const char* atom);

  std::string m_root, m_config, m_data, m_cache, m_runtime, m_error, m_displayName;
  std::unique_ptr<Program> m_server, m_wm;
  ::_XDisplay* m_display = nullptr;
};

}  // namespace desktop

#pragma once
// The screen-saver framework: an application that answers the screen-saver
// switches (CHVNScreensaverApp) and a window that draws full screen, inside a
// preview or host window, or in an ordinary window (CHVNScreensaverWnd),
// closes on input where the mode asks for it, and switches the system's own
// screen saver off while it exists. The concrete screen saver derives from
// both (saver/saver_app.h, saver/screensaver_wnd.h).
//
// The native window is behind ISaverWindow so that tests can run the whole
// framework without a display; saver/saver_window_qt.h is the real one. It
// feeds the framework with SaverMessage values, the size handler and close
// requests.
//
// Sections: messages and native window - window - application
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/d3d9/d3d9.h"
#include "saver/app/command_line.h"
#include "support/init_result.h"

class ISystemSaverState;
class CHVNScreensaverWnd;

// ---- messages and native window ------------------------------------------------------
enum WindowMode {
  kWindowNone = 0,
  kWindowFullScreen = 1,
  kWindowPreview = 2,
  kWindowHosted = 3,  // a host's window (--window-id, --root)
  kWindowPlain = 4,   // an ordinary window (--window)
};

// The input that reaches the window, reduced to what the close rules need.
struct SaverMessage {
  enum Type {
    kKeyDown,  // a key press, with or without Alt (also F10)
    kKeyUp,
    kButtonDown,  // left, middle or right
    kOtherButtonDown,
    kButtonUp,
    kWheel,
    kMouseMove,  // x, y in window coordinates, layout (logical) pixels
  };
  Type type;
  int x = 0;
  int y = 0;
};

// The native window a screen-saver window draws in.
class ISaverWindow {
 public:
  virtual ~ISaverWindow() = default;
  // What the engine renders for.
  virtual HWND DeviceWindow() = 0;
  // The cursor in this window's coordinates, in layout (logical) pixels.
  virtual POINT CursorPosition() const = 0;
  virtual bool IsMinimised() const = 0;
  // Before every frame. A window inside another one takes on the other's
  // size, or answers false once the other is gone; a full-screen window
  // takes the keyboard and pointer grabs it could not take yet.
  virtual bool KeepUp() = 0;
  // Lets go of keyboard and pointer and hides, so that a message box can be
  // seen and used.
  virtual void HideForMessage() = 0;
};

// Makes the native windows. Each call gets the window object the messages go
// to; null answers a failure.
class ISaverWindowFactory {
 public:
  virtual ~ISaverWindowFactory() = default;
  // Frameless, above the others, over the primary screen, blank cursor,
  // keyboard and pointer grabbed.
  virtual std::unique_ptr<ISaverWindow> CreateFullScreen(CHVNScreensaverWnd* owner,
                                                         const std::string& title) = 0;
  // A child filling the client area of another program's window; null when
  // there is no such window.
  virtual std::unique_ptr<ISaverWindow> CreateChild(CHVNScreensaverWnd* owner, unsigned long parent) = 0;
  // An ordinary resizable top-level window.
  virtual std::unique_ptr<ISaverWindow> CreatePlain(CHVNScreensaverWnd* owner, const std::string& title) = 0;
};

// ---- window ------------------------------------------------------------------------------
class CHVNScreensaverWnd {
 public:
  // Saves the system's screen-saver activation and switches it off; null
  // leaves the system alone (hosted runs).
  explicit CHVNScreensaverWnd(ISystemSaverState* systemState);
  // Puts the saved activation back.
  virtual ~CHVNScreensaverWnd();
  CHVNScreensaverWnd(const CHVNScreensaverWnd&) = delete;
  CHVNScreensaverWnd& operator=(const CHVNScreensaverWnd&) = delete;

  virtual InitResult InitScene() = 0;
  virtual void RenderFrame() = 0;
  // Destroys the window.
  virtual void CloseScreensaver();
  // true: the message was consumed. In preview, hosted and plain windows
  // nothing closes; otherwise key and button presses close, and moves are
  // recorded.
  virtual bool PreTranslateMessage(const SaverMessage& message);
  // The size handler; the window's client size changed (or it was
  // minimised), or the window went to another screen, whose scale factor
  // may differ.
  virtual void OnSize(int sizeType) { (void)sizeType; }
  // A close request from outside (the window manager's close, a signal, the
  // host window gone).
  virtual void OnClose() { CloseScreensaver(); }

  bool CreateScreensaverWindow(const std::string& title);
  bool CreatePreviewWindow(unsigned long parent, WindowMode mode = kWindowPreview);
  bool CreatePlainWindow(const std::string& title);
  // Hides the native window and drops it; the destroyed handler runs once.
  void DestroyWindow();
  bool HasWindow() const { return m_window != nullptr; }
  ISaverWindow* Window() { return m_window.get(); }

  // Where native windows come from; set before a Create call.
  void SetFactory(ISaverWindowFactory* factory) { m_factory = factory; }
  // Runs once when the window is destroyed (the application ends its loop).
  void SetOnDestroyed(std::function<void()> handler) { m_onDestroyed = std::move(handler); }

  WindowMode m_windowMode = kWindowNone;
  POINT m_cursor{0, 0};
  POINT m_previousCursor{0, 0};
  POINT m_lastMove{0, 0};  // current minus previous at the last move

 private:
  bool Adopt(std::unique_ptr<ISaverWindow> window, WindowMode mode);

  ISaverWindowFactory* m_factory = nullptr;
  std::function<void()> m_onDestroyed;
  ISystemSaverState* m_systemState;
  bool m_savedActive = true;
  std::unique_ptr<ISaverWindow> m_window;
};

// ---- application --------------------------------------------------------------------------
class CHVNScreensaverApp {
 public:
  virtual ~CHVNScreensaverApp() = default;

  // Decides the mode of a classic command line and acts on it: installs,
  // configures, or creates the window and its scene. Expects
  // m_mainWindow set and not yet created, and the failure format filled.
  // false: the program cannot go on.
  virtual bool InitInstance(const std::string& commandLine);
  // The settings; nothing here.
  virtual void Configure() {}
  // One frame when the main window exists, is not minimised, no modal
  // dialog or box is open and no frame is running. A window whose host
  // window has gone is closed instead. false when there is no main window
  // (any more).
  bool OnIdle();

  // The program path as the desktop entry and the profile name it; the
  // profile values and the desktop entry. false when the path is unknown
  // or the entry cannot be written.
  bool InstallScreensaver();

  std::string m_failureFormat;
  bool m_exitAfterInit = false;
  CHVNScreensaverWnd* m_mainWindow = nullptr;  // not owned here
  // Whether a modal dialog or box is open (frames wait); tests replace it.
  std::function<bool()> m_modalOpen;

 protected:
  // Shows the formatted failure text (the first "%s" of the format replaced
  // by the message) in a box with an OK button.
  void ShowInitFailure(const std::string& message);

 private:
  bool m_inFrame = false;
};

// The program file's full path ("" when unknown); tests may replace it.
std::string GetModuleFilePath();
void SetModuleFilePathForTest(const std::string& path);
// The first "%s" of format replaced by text, literally; the rest as it is.
std::string SubstituteFirstText(const std::string& format, const std::string& text);

#pragma once
// The screen saver's application: the language, the window object and the
// failure texts around the framework's start-up, the settings dialog for
// configure, the system's "running" state kept and given back, and the
// program's whole run (RunScreensaver) with its message loop, frame pump and
// clean ends on SIGTERM and SIGINT.
//
// Sections: application - the program
#include <memory>
#include <string>
#include <vector>

#include "saver/app/framework.h"
#include "saver/app/screensaver_wnd.h"

class ISystemSaverState;

// ---- application ----------------------------------------------------------------------------
class CRavelleGameApp : public CHVNScreensaverApp {
 public:
  // The factory makes the native windows; the state is the system's
  // screen-saver state (both outlive the application).
  CRavelleGameApp(ISaverWindowFactory* factory, ISystemSaverState* systemState);
  ~CRavelleGameApp() override;

  // Keeps the "running" state and sets it, makes the window object, loads the
  // language and the failure format, then the framework's start-up. On
  // failure "The screensaver could not be initialized." follows (not in
  // preview) and the window object goes. false: end now (also after install
  // and configure).
  bool InitInstance(const std::string& commandLine) override;
  // Sets "running" back to the kept value; 0.
  int ExitInstance();
  // The settings dialog, without an owner window.
  void Configure() override;

  // A run in a host's window or an ordinary window: no system state is
  // touched. false (with a message on stderr) when it cannot start.
  bool InitHosted(unsigned long window, bool plainWindow);

  std::unique_ptr<CScreensaverWnd> m_window;
  // What Configure runs; the settings dialog by default.
  std::function<void()> m_runSettings;

 private:
  ISaverWindowFactory* m_factory;
  ISystemSaverState* m_systemState;
  bool m_savedRunning = false;
  bool m_runningTaken = false;
};

// ---- the program ------------------------------------------------------------------------------
// The whole run of the program; answers its exit status (0 after a normal
// end, also on SIGTERM and SIGINT; 1 when it could not start; 2 for bad
// arguments of the host switches).
int RunScreensaver(int argc, char** argv);

// Sections: application - the program
#include "saver/app/saver_app.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "platform/address_limit.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/data_file.h"
#include "platform/shell.h"
#include "platform/toolkit_scale.h"
#include "resources/strings.h"
#include "saver/app/saver_window_qt.h"
#include "saver/app/signal_pipe.h"
#include "saver/app/system_state.h"
#include "saver/app/x11_windows.h"
#include "saver/dialogs/settings_dialog.h"
#include "saver/saver_text_ids.h"
#include "support/string_table.h"
#include "support/support.h"

namespace {
const char* const kNotInitialised = "The screensaver could not be initialized.";
}

// ---- application ----------------------------------------------------------------------------
CRavelleGameApp::CRavelleGameApp(ISaverWindowFactory* factory, ISystemSaverState* systemState)
    : m_factory(factory), m_systemState(systemState) {
  m_runSettings = [] { RunSettingsDialog(nullptr); };
}

CRavelleGameApp::~CRavelleGameApp() {
  m_mainWindow = nullptr;
  m_window.reset();
}

bool CRavelleGameApp::InitInstance(const std::string& commandLine) {
  m_savedRunning = m_systemState->GetRunning();
  m_runningTaken = true;
  m_systemState->SetRunning(true);
  m_window = std::make_unique<CScreensaverWnd>(m_systemState);
  m_window->SetFactory(m_factory);
  LoadLanguageModule(ProfileLanguageId());
  m_mainWindow = m_window.get();
  m_failureFormat = LoadResString(IDS_SAVER_INIT_FAILED);
  if (!CHVNScreensaverApp::InitInstance(commandLine)) {
    if (m_window->m_windowMode != kWindowPreview) {
      if (m_window->Window()) m_window->Window()->HideForMessage();
      Shell().MessageBox(kNotInitialised, LoadResString(IDS_APP_NAME), MB_OK | MB_ICONERROR);
    }
    m_mainWindow = nullptr;
    m_window.reset();
    return false;
  }
  return !m_exitAfterInit;
}

bool CRavelleGameApp::InitHosted(unsigned long window, bool plainWindow) {
  m_window = std::make_unique<CScreensaverWnd>(nullptr);
  m_window->SetFactory(m_factory);
  LoadLanguageModule(ProfileLanguageId());
  m_mainWindow = m_window.get();
  const std::string title = LoadResString(IDS_APP_NAME);
  const bool created =
      plainWindow ? m_window->CreatePlainWindow(title) : m_window->CreatePreviewWindow(window, kWindowHosted);
  InitResult result{created, ""};
  if (!created)
    result.message = plainWindow ? "the window could not be created"
                                 : "there is no window " + std::to_string(window) + " to draw into";
  else
    result = m_window->InitScene();
  if (result.success) return true;
  std::fprintf(stderr, "Ravelle: %s: %s\n", kNotInitialised, result.message.c_str());
  m_mainWindow = nullptr;
  m_window.reset();
  return false;
}

int CRavelleGameApp::ExitInstance() {
  if (m_runningTaken) m_systemState->SetRunning(m_savedRunning);
  m_runningTaken = false;
  return 0;
}

void CRavelleGameApp::Configure() {
  CHVNScreensaverWnd* kept = m_mainWindow;
  m_mainWindow = nullptr;
  if (m_runSettings) m_runSettings();
  m_mainWindow = kept;
}

// ---- the program ------------------------------------------------------------------------------
namespace {

// Frames whenever the event queue is empty, until the main window goes.
int RunMessageLoop(CRavelleGameApp& app) {
  app.m_modalOpen = [] { return QApplication::activeModalWidget() != nullptr; };
  app.m_window->SetOnDestroyed([] { QCoreApplication::exit(0); });
  QTimer pump;
  QObject::connect(&pump, &QTimer::timeout, [&app] {
    if (!app.OnIdle()) QCoreApplication::exit(0);
  });
  pump.start(0);
  const int status = QApplication::exec();
  pump.stop();
  return status;
}

}  // namespace

int RunScreensaver(int argc, char** argv) {
  KeepWithinAddressLimit();
  IgnoreFileSizeSignal();
  std::vector<std::string> arguments(argv + 1, argv + argc);
  const SaverLaunch launch = ParseLaunch(arguments);
  if (launch.kind == SaverLaunch::kHelp) {
    std::fputs(SaverUsage("Ravelle").c_str(), stdout);
    return 0;
  }
  if (launch.kind == SaverLaunch::kBadArguments) {
    std::fprintf(stderr, "Ravelle: %s\n%s", launch.error.c_str(), SaverUsage("Ravelle").c_str());
    return 2;
  }
  DropUnusableToolkitScale("Ravelle");
  QApplication qt(argc, argv);
  QApplication::setApplicationName("Ravelle");
  QApplication::setQuitOnLastWindowClosed(false);
  SetBuiltInStrings(&SaverStrings());
  // Without an installation there is nothing to read: say where we looked.
  // A host's run has nobody to answer a box: it goes to the error output.
  if (const std::string missing = MissingInstallationMessage(); !missing.empty()) {
    if (launch.kind == SaverLaunch::kClassic)
      Shell().MessageBox(missing, LoadResString(IDS_SAVER_PRODUCT_TITLE), MB_OK | MB_ICONERROR);
    else
      std::fprintf(stderr, "Ravelle: %s\n", missing.c_str());
    return 1;
  }
  SetDirect3DFactory([] { return Direct3DCreate9GL(); });
  QtSaverWindowFactory factory;
  CRavelleGameApp app(&factory, &SystemSaverState());
  // A signal closes the window cleanly and ends whatever loop runs (also a
  // dialog's or a box's).
  TerminationSignals terminations([&app] {
    if (app.m_window && app.m_window->HasWindow()) app.m_window->OnClose();
    QCoreApplication::exit(0);
  });

  if (launch.kind == SaverLaunch::kClassic) {
    if (!app.InitInstance(launch.commandLine)) {
      // Install and configure end here with their window object; a failed
      // start-up has dropped it.
      const int status = app.m_window ? 0 : 1;
      app.m_mainWindow = nullptr;
      app.m_window.reset();
      app.ExitInstance();
      return status;
    }
  } else {
    const unsigned long window = launch.kind == SaverLaunch::kHosted ? launch.windowId
                                 : launch.kind == SaverLaunch::kRootHosted
                                     ? RootHostWindow(std::getenv("XSCREENSAVER_WINDOW"))
                                     : 0;
    if (!app.InitHosted(window, launch.kind == SaverLaunch::kPlainWindow)) return 1;
  }
  const int status = RunMessageLoop(app);
  app.m_window.reset();
  app.m_mainWindow = nullptr;
  app.ExitInstance();
  return status;
}

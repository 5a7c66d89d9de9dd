// Sections: window - application - helpers
#include "saver/app/framework.h"

#include <filesystem>

#include "platform/shell.h"
#include "resources/strings.h"
#include "saver/app/install.h"
#include "saver/app/system_state.h"
#include "support/string_table.h"

// ---- window ------------------------------------------------------------------------------
CHVNScreensaverWnd::CHVNScreensaverWnd(ISystemSaverState* systemState) : m_systemState(systemState) {
  if (!m_systemState) return;
  m_savedActive = m_systemState->GetActive();
  m_systemState->SetActive(false);
}

CHVNScreensaverWnd::~CHVNScreensaverWnd() {
  if (m_systemState) m_systemState->SetActive(m_savedActive);
}

void CHVNScreensaverWnd::CloseScreensaver() { DestroyWindow(); }

bool CHVNScreensaverWnd::PreTranslateMessage(const SaverMessage& message) {
  if (m_windowMode != kWindowFullScreen) return false;
  switch (message.type) {
    case SaverMessage::kMouseMove:
      m_previousCursor = m_cursor;
      m_cursor = POINT{message.x, message.y};
      m_lastMove = POINT{m_cursor.x - m_previousCursor.x, m_cursor.y - m_previousCursor.y};
      return false;
    case SaverMessage::kKeyDown:
    case SaverMessage::kButtonDown: CloseScreensaver(); return true;
    default: return false;
  }
}

bool CHVNScreensaverWnd::Adopt(std::unique_ptr<ISaverWindow> window, WindowMode mode) {
  if (!window) return false;
  m_window = std::move(window);
  m_windowMode = mode;
  m_cursor = m_previousCursor = m_window->CursorPosition();
  return true;
}

bool CHVNScreensaverWnd::CreateScreensaverWindow(const std::string& title) {
  return m_factory && Adopt(m_factory->CreateFullScreen(this, title), kWindowFullScreen);
}

bool CHVNScreensaverWnd::CreatePreviewWindow(unsigned long parent, WindowMode mode) {
  return m_factory && Adopt(m_factory->CreateChild(this, parent), mode);
}

bool CHVNScreensaverWnd::CreatePlainWindow(const std::string& title) {
  return m_factory && Adopt(m_factory->CreatePlain(this, title), kWindowPlain);
}

void CHVNScreensaverWnd::DestroyWindow() {
  if (!m_window) return;
  m_window->HideForMessage();
  m_window.reset();
  if (m_onDestroyed) {
    auto handler = std::move(m_onDestroyed);
    m_onDestroyed = nullptr;
    handler();
  }
}

// ---- application --------------------------------------------------------------------------
bool CHVNScreensaverApp::InitInstance(const std::string& commandLine) {
  const ScreensaverMode mode = GetCommandLineMode(commandLine);
  bool created = false;
  const std::string title = LoadResString(IDS_APP_NAME);
  switch (mode) {
    case kModeInstall: m_exitAfterInit = true; return InstallScreensaver();
    case kModeInstallAndRun:
      if (!InstallScreensaver()) return false;
      created = m_mainWindow->CreateScreensaverWindow(title);
      break;
    case kModeFullScreen: created = m_mainWindow->CreateScreensaverWindow(title); break;
    case kModeConfigure:
      Configure();
      m_exitAfterInit = true;
      return true;
    case kModePreview: {
      unsigned long parent = 0;
      created = ReadPreviewHandle(commandLine, &parent) && m_mainWindow->CreatePreviewWindow(parent);
      break;
    }
    default: return false;
  }
  if (!created) return false;
  const InitResult result = m_mainWindow->InitScene();
  if (!result.success) {
    ShowInitFailure(result.message);
    return false;
  }
  return true;
}

bool CHVNScreensaverApp::OnIdle() {
  if (!m_mainWindow || !m_mainWindow->HasWindow()) return false;
  if (m_inFrame || m_mainWindow->Window()->IsMinimised()) return true;
  if (m_modalOpen && m_modalOpen()) return true;
  if (!m_mainWindow->Window()->KeepUp()) {
    m_mainWindow->OnClose();
    return false;
  }
  m_inFrame = true;
  m_mainWindow->RenderFrame();
  m_inFrame = false;
  return true;
}

bool CHVNScreensaverApp::InstallScreensaver() {
  const std::string path = GetModuleFilePath();
  if (path.empty()) return false;
  return SetDesktopScreensaver(path);
}

void CHVNScreensaverApp::ShowInitFailure(const std::string& message) {
  if (m_mainWindow && m_mainWindow->Window()) m_mainWindow->Window()->HideForMessage();
  Shell().MessageBox(SubstituteFirstText(m_failureFormat, message), LoadResString(IDS_APP_NAME), MB_OK);
}

// ---- helpers ---------------------------------------------------------------------------------
namespace {
std::string g_modulePathForTest;
}

std::string GetModuleFilePath() {
  if (!g_modulePathForTest.empty()) return g_modulePathForTest;
  std::error_code error;
  const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

void SetModuleFilePathForTest(const std::string& path) { g_modulePathForTest = path; }

std::string SubstituteFirstText(const std::string& format, const std::string& text) {
  const size_t at = format.find("%s");
  if (at == std::string::npos) return format;
  return format.substr(0, at) + text + format.substr(at + 2);
}

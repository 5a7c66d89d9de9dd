#pragma once
// The screen saver's window and application without a display: native
// windows from a fake factory (each a recording window whose cursor, state
// and parent the test sets), the recording device, a hand-driven clock, a
// fake system state, a recording shell, and an installation of our own
// (textures, an empty picture folder, so scenes cut the grey picture).
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <QImage>

#include "engine/engine.h"
#include "platform/profile.h"
#include "platform/shell.h"
#include "resources/strings.h"
#include "saver/app/framework.h"
#include "saver/app/system_state.h"
#include "support/string_table.h"
#include "testkit.h"
#include "tests/engine/engine_fixture.h"

// Sets an environment variable for its lifetime, then puts back what was.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : m_name(name) {
    const char* old = std::getenv(name);
    m_had = old != nullptr;
    if (old) m_old = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnvironment() {
    if (m_had)
      setenv(m_name, m_old.c_str(), 1);
    else
      unsetenv(m_name);
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* m_name;
  std::string m_old;
  bool m_had = false;
};

class FakeSaverWindow : public ISaverWindow {
 public:
  FakeSaverWindow(std::vector<std::string>* log, const RecordingShell* shell) : m_log(log), m_shell(shell) {}
  // Says what still existed when the window went.
  ~FakeSaverWindow() override {
    m_log->push_back(std::string("window destroyed; device ") + (g_Engine.Device() ? "1" : "0") +
                     ", French texts " + (LanguageStringsLoaded() ? "1" : "0"));
  }
  HWND DeviceWindow() override { return &m_device; }
  POINT CursorPosition() const override { return m_cursor; }
  bool IsMinimised() const override { return m_minimised; }
  bool KeepUp() override { return m_parentAlive; }
  void HideForMessage() override {
    m_log->push_back("hidden, boxes shown: " + std::to_string(m_shell->boxes.size()));
  }

  RecordingWindow m_device{1280, 1024};
  POINT m_cursor{500, 400};
  bool m_minimised = false;
  bool m_parentAlive = true;

 private:
  std::vector<std::string>* m_log;
  const RecordingShell* m_shell;
};

class FakeSaverWindowFactory : public ISaverWindowFactory {
 public:
  explicit FakeSaverWindowFactory(const RecordingShell* shell) : m_shell(shell) {}
  std::unique_ptr<ISaverWindow> CreateFullScreen(CHVNScreensaverWnd*, const std::string& title) override {
    return Make("full screen " + title);
  }
  std::unique_ptr<ISaverWindow> CreateChild(CHVNScreensaverWnd*, unsigned long parent) override {
    if (parent != m_existingParent) return nullptr;
    return Make("child of " + std::to_string(parent));
  }
  std::unique_ptr<ISaverWindow> CreatePlain(CHVNScreensaverWnd*, const std::string& title) override {
    return Make("plain " + title);
  }

  unsigned long m_existingParent = 77;
  FakeSaverWindow* m_last = nullptr;  // the window made last (owned by its window object)
  std::vector<std::string> m_log;

 private:
  std::unique_ptr<ISaverWindow> Make(const std::string& what) {
    m_log.push_back(what);
    auto window = std::make_unique<FakeSaverWindow>(&m_log, m_shell);
    m_last = window.get();
    return window;
  }
  const RecordingShell* m_shell;
};

class SaverTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    SetProfileFile(m_dir / "profile.ini");
    SetSystemSaverState(&m_system);
    SetBuiltInStrings(&SaverStrings());
    m_dir.MakeFolder("PuzzleSamples");
    for (const char* name : {"Textures/PieceEdge.png", "Textures/PieceBottom.png"}) {
      m_dir.MakeFolder("Textures");
      QImage image(16, 16, QImage::Format_RGB32);
      image.fill(Qt::gray);
      ASSERT_TRUE(image.save(QString::fromStdString(m_dir / name)));
    }
  }
  void TearDown() override {
    UnloadLanguageStrings();
    SetBuiltInStrings(nullptr);
    SetSystemSaverState(nullptr);
    SetProfileFile("");
    EngineTest::TearDown();
  }
  void SetOption(const char* name, int value) { ProfileWriteInt("ScreensaverOptions", name, value); }

  testkit::TempDir m_dir;
  testkit::ScopedInstallation m_install{m_dir.path()};
  FakeSystemSaverState m_system;
  ScopedRecordingShell m_shell;
  FakeSaverWindowFactory m_factory{&m_shell};
};

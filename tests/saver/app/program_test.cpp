// The real program on the display: full screen ended by a key, a preview in
// a host's window that ends when the host goes, a hosted run ended by
// SIGTERM; and the Qt windows' input and cursor coordinates.
//
// Sections: the program - the windows
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QProcess>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

#include <functional>

#include "engine/engine.h"
#include "platform/d3d9/gl/gl_host_widget.h"
#include "saver/app/saver_window_qt.h"
#include "saver/app/system_state.h"
#include "saver/app/x11_windows.h"
#include "testkit.h"
#include "wait.h"
#include "x11_test_windows.h"

namespace {

// Runs xdotool; the sanitizer runtime that a sanitizer build preloads into
// the tests is not passed on to it (its own leaks would fail it).
int Xdotool(const QStringList& arguments) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("LD_PRELOAD");
  QProcess tool;
  tool.setProcessEnvironment(environment);
  tool.start("xdotool", arguments);
  if (!tool.waitForFinished(10000) || tool.exitStatus() != QProcess::NormalExit) return -1;
  return tool.exitCode();
}

// ---- the program ----------------------------------------------------------------------------
class SaverProgram_X11 : public ::testing::Test {
 protected:
  void TearDown() override {
    for (QProcess* process : {&m_saver, &m_host}) {
      if (process->state() == QProcess::NotRunning) continue;
      process->kill();
      process->waitForFinished(3000);
    }
  }
  static QString Bin(const char* name) { return QCoreApplication::applicationDirPath() + "/" + name; }
  // Starts the program with a private profile and data home.
  void StartSaver(const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(m_dir / "config"));
    environment.insert("XDG_DATA_HOME", QString::fromStdString(m_dir / "data"));
    environment.insert("ALSOFT_DRIVERS", "null");
    m_saver.setProcessEnvironment(environment);
    m_saver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_saver.start(Bin("Ravelle"), arguments);
    ASSERT_TRUE(m_saver.waitForStarted(5000));
  }
  // Starts the host window helper; answers its window id.
  unsigned long StartHost() {
    m_host.start(Bin("saver_test_host_window"), {});
    if (!m_host.waitForStarted(5000) || !m_host.waitForReadyRead(5000)) return 0;
    return m_host.readLine().trimmed().toULong();
  }
  // Waits until some pixel of the root window's rectangle is not black;
  // false at once when the program ended first. The bound is for a picture
  // that never comes: a sanitized build on a loaded machine takes many
  // seconds for its first frame.
  ::testing::AssertionResult WaitForPicture(int x, int y, int width, int height, int milliseconds = 60000) {
    testkit::WaitUntil(
        [&] { return m_saver.state() == QProcess::NotRunning || HasPicture(x, y, width, height); },
        milliseconds);
    if (HasPicture(x, y, width, height)) return ::testing::AssertionSuccess();
    if (m_saver.state() == QProcess::NotRunning)
      return ::testing::AssertionFailure()
             << "the program ended before it drew (status " << m_saver.exitCode() << ")";
    return ::testing::AssertionFailure() << "no picture within " << milliseconds << " ms";
  }
  static bool HasPicture(int x, int y, int width, int height) { return RootHasPicture(x, y, width, height); }
  // Waits until the full-screen program holds the keyboard and the pointer
  // (it takes them on a frame once its window shows), so that input sent
  // now reaches it.
  static ::testing::AssertionResult WaitForGrabs() {
    if (testkit::WaitUntil(InputGrabbedElsewhere, 15000)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the program took no keyboard and pointer grab";
  }
  // The bound is for an end that never comes, not a speed goal: a
  // sanitized build on a loaded machine takes seconds to end.
  void ExpectCleanEnd(int milliseconds = 15000) {
    if (m_saver.state() != QProcess::NotRunning) {
      ASSERT_TRUE(m_saver.waitForFinished(milliseconds)) << "still running";
    }
    EXPECT_EQ(m_saver.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_saver.exitCode(), 0);
  }

  testkit::TempDir m_dir;
  QProcess m_saver;
  QProcess m_host;
};

}  // namespace

TEST_F(SaverProgram_X11, FullScreenEndsOnAKeyPress) {
  StartSaver({"/s"});
  ASSERT_TRUE(WaitForPicture(0, 0, 1280, 1024));
  ASSERT_TRUE(WaitForGrabs());
  ASSERT_EQ(Xdotool({"key", "space"}), 0);
  ExpectCleanEnd();
}

TEST_F(SaverProgram_X11, FullScreenEndsOnSigterm) {
  StartSaver({"/s"});
  ASSERT_TRUE(WaitForPicture(0, 0, 1280, 1024));
  m_saver.terminate();
  ExpectCleanEnd();
}

TEST_F(SaverProgram_X11, FullScreenIgnoresJitterAndEndsOnARealMove) {
  ASSERT_EQ(Xdotool({"mousemove", "500", "400"}), 0);
  StartSaver({"/s"});
  ASSERT_TRUE(WaitForPicture(0, 0, 1280, 1024));
  ASSERT_TRUE(WaitForGrabs());
  // Back and forth by a pixel: however the moves are merged into messages,
  // none is 3 pixels.
  const auto nudge = [](const char* dx) {
    EXPECT_EQ(Xdotool({"mousemove_relative", "--", dx, "0"}), 0);
    testkit::KeepRunningFor(150);
  };
  for (int i = 0; i < 4; ++i) {
    nudge("1");
    nudge("-1");
  }
  EXPECT_FALSE(m_saver.waitForFinished(500));
  // The message after the one that carries this move closes; the moves may
  // be merged while a slow frame is drawn, so nudge until one arrives.
  nudge("6");
  for (int i = 0; i < 20 && !m_saver.waitForFinished(250); ++i) nudge(i % 2 ? "-1" : "1");
  ExpectCleanEnd();
}

TEST_F(SaverProgram_X11, PreviewDrawsIntoTheHostAndEndsWhenItGoes) {
  const unsigned long host = StartHost();
  ASSERT_NE(host, 0u);
  StartSaver({"/p", QString::number(host)});
  EXPECT_TRUE(WaitForPicture(200, 150, 320, 240));
  EXPECT_FALSE(HasPicture(600, 500, 200, 200));  // nothing outside the host
  m_host.kill();
  ExpectCleanEnd();
}

TEST_F(SaverProgram_X11, HostedRunEndsOnSigterm) {
  const unsigned long host = StartHost();
  ASSERT_NE(host, 0u);
  StartSaver({"--window-id", "0x" + QString::number(host, 16)});
  EXPECT_TRUE(WaitForPicture(200, 150, 320, 240));
  m_saver.terminate();
  ExpectCleanEnd();
}

TEST_F(SaverProgram_X11, ABadWindowIdEndsWithAMessage) {
  StartSaver({"--window-id", "12abc"});
  ASSERT_TRUE(m_saver.waitForFinished(5000));
  EXPECT_EQ(m_saver.exitCode(), 2);
  StartSaver({"--window-id", "0x7FFFFFF"});  // no such window
  ASSERT_TRUE(m_saver.waitForFinished(10000));
  EXPECT_EQ(m_saver.exitCode(), 1);
}

// ---- the windows ------------------------------------------------------------------------------
namespace {

// Waits until the top-level window of `widget` is shown on the display.
bool WaitForExposed(QWidget* widget) {
  return testkit::WaitUntil(
      [widget] {
        const QWindow* window = widget->window()->windowHandle();
        return window && window->isExposed();
      },
      5000);
}

// Records what reaches the framework; closes nothing.
class RecordingOwner : public CHVNScreensaverWnd {
 public:
  RecordingOwner() : CHVNScreensaverWnd(nullptr) {}
  InitResult InitScene() override { return InitResult{true, ""}; }
  void RenderFrame() override {}
  bool PreTranslateMessage(const SaverMessage& message) override {
    m_messages.push_back(message);
    return message.type == SaverMessage::kKeyDown;
  }
  void OnSize(int sizeType) override { m_sizes.push_back(sizeType); }
  std::vector<SaverMessage> m_messages;
  std::vector<int> m_sizes;
};

}  // namespace

TEST(SaverWindows_X11, QtInputBecomesTheFrameworksMessages) {
  RecordingOwner owner;
  QtSaverWindowFactory factory;
  std::unique_ptr<ISaverWindow> window = factory.CreateFullScreen(&owner, "Ravelle");
  ASSERT_NE(window, nullptr);
  auto* host = dynamic_cast<GLHostWidget*>(window->DeviceWindow());
  ASSERT_NE(host, nullptr);
  ASSERT_TRUE(WaitForExposed(host));
  const QPointF at(40, 30);
  const QPointF global = host->mapToGlobal(at);
  const struct {
    std::function<QEvent*()> make;
    SaverMessage::Type type;
  } kTable[] = {
      {[] { return new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::AltModifier); }, SaverMessage::kKeyDown},
      {[] { return new QKeyEvent(QEvent::KeyPress, Qt::Key_F10, Qt::AltModifier); }, SaverMessage::kKeyDown},
      {[] { return new QKeyEvent(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier); }, SaverMessage::kKeyUp},
      {[&] {
         return new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, {});
       },
       SaverMessage::kButtonDown},
      {[&] {
         return new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::MiddleButton, Qt::MiddleButton, {});
       },
       SaverMessage::kButtonDown},
      {[&] {
         return new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::RightButton, Qt::RightButton, {});
       },
       SaverMessage::kButtonDown},
      {[&] {
         return new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::BackButton, Qt::BackButton, {});
       },
       SaverMessage::kOtherButtonDown},
      {[&] { return new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, {}, {}); },
       SaverMessage::kButtonUp},
      {[&] { return new QWheelEvent(at, global, {}, QPoint(0, 120), {}, {}, Qt::NoScrollPhase, false); },
       SaverMessage::kWheel},
  };
  for (const auto& row : kTable) {
    owner.m_messages.clear();
    std::unique_ptr<QEvent> event(row.make());
    QCoreApplication::sendEvent(host, event.get());
    ASSERT_EQ(owner.m_messages.size(), 1u) << "event " << event->type();
    EXPECT_EQ(owner.m_messages[0].type, row.type) << "event " << event->type();
  }
  owner.m_messages.clear();
  QMouseEvent move(QEvent::MouseMove, at, global, Qt::NoButton, {}, {});
  QCoreApplication::sendEvent(host, &move);
  ASSERT_EQ(owner.m_messages.size(), 1u);
  EXPECT_EQ(owner.m_messages[0].x, 40);
  EXPECT_EQ(owner.m_messages[0].y, 30);
}

// The scale factor may change with the screen while the size stays: the
// size handler runs, so the engine takes the new factor (the frame-rate
// text's font is made again at it).
TEST(SaverWindows_X11, AChangeOfScreenIsASizeChange) {
  QtSaverWindowFactory factory;
  for (const bool fullScreen : {false, true}) {
    RecordingOwner owner;
    std::unique_ptr<ISaverWindow> window =
        fullScreen ? factory.CreateFullScreen(&owner, "Ravelle") : factory.CreatePlain(&owner, "Ravelle");
    ASSERT_NE(window, nullptr);
    auto* host = dynamic_cast<QWidget*>(window->DeviceWindow());
    ASSERT_NE(host, nullptr);
    ASSERT_TRUE(WaitForExposed(host));
    QWindow* native = host->window()->windowHandle();
    owner.m_sizes.clear();
    emit native->screenChanged(native->screen());
    ASSERT_EQ(owner.m_sizes.size(), 1u) << (fullScreen ? "full screen" : "plain window");
    EXPECT_EQ(owner.m_sizes[0], SIZE_RESTORED);
  }
}

TEST(SaverWindows_X11, TheCursorIsInWindowCoordinatesForAWindowAwayFromTheCorner) {
  const unsigned long parent = CreateTestWindow(300, 200, 320, 240);
  ASSERT_NE(parent, 0u);
  RecordingOwner owner;
  QtSaverWindowFactory factory;
  std::unique_ptr<ISaverWindow> window = factory.CreateChild(&owner, parent);
  ASSERT_NE(window, nullptr);
  auto* host = dynamic_cast<QWidget*>(window->DeviceWindow());
  ASSERT_NE(host, nullptr);
  ASSERT_TRUE(WaitForExposed(host));
  EXPECT_TRUE(window->KeepUp());
  QCursor::setPos(350, 230);
  ASSERT_TRUE(testkit::WaitUntil([] { return QCursor::pos() == QPoint(350, 230); }, 5000));
  const POINT cursor = window->CursorPosition();
  EXPECT_EQ(cursor.x, 50);
  EXPECT_EQ(cursor.y, 30);
  DestroyTestWindow(parent);
  EXPECT_FALSE(window->KeepUp());  // the parent is gone: no X error ends the program
  window.reset();
  testkit::KeepRunningFor(100);
}

TEST(SaverWindows_X11, SystemStateSuspendsTheServersSaverAndGivesItBack) {
  X11SystemSaverState state;
  ASSERT_TRUE(state.HasExtension());
  EXPECT_TRUE(state.GetActive());
  state.SetActive(false);
  EXPECT_FALSE(state.GetActive());
  state.SetActive(true);
  EXPECT_TRUE(state.GetActive());
  state.SetRunning(true);
  EXPECT_TRUE(state.GetRunning());
}

// Both programs started with a scale factor in the environment that no
// window can be drawn at: each drops it, says so in one line, and shows its
// window at the desktop's own factor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop_session.h"
#include "wait.h"

using desktop::DesktopSession;
using desktop::Program;
using desktop::WindowInfo;

namespace {
constexpr int kStartMs = 60000;  // a first start builds its textures with a software renderer

struct Setting {
  const char* variable;
  const char* value;
};
constexpr Setting kUnusable[] = {
    {"QT_SCALE_FACTOR", "0"},   {"QT_SCALE_FACTOR", "-1"},  {"QT_SCALE_FACTOR", "nan"},
    {"QT_SCALE_FACTOR", "inf"}, {"QT_SCALE_FACTOR", "1e9"}, {"QT_SCREEN_SCALE_FACTORS", "1e9"},
};

struct ProgramStart {
  const char* name;
  std::vector<std::string> arguments;
};

// The program's first window of a sensible size: the screen's or less, as
// at factor 1 (the game's main window is maximised, the screen saver's is
// a window to try it out in).
WindowInfo SensibleWindowOf(DesktopSession& session, Program& program) {
  WindowInfo found;
  testkit::WaitUntil(
      [&] {
        for (const WindowInfo& w : session.WindowsOf(program.Pid()))
          if (w.width >= 320 && w.height >= 200 && w.width <= 1280 && w.height <= 1024) found = w;
        return found.id != 0 || !program.Running();
      },
      kStartMs);
  return found;
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}
}  // namespace

TEST(ToolkitScale_Desktop, BothProgramsDropAnUnusableFactorAndShowTheirWindow) {
  if (!DesktopSession::Available()) GTEST_SKIP() << "Xvfb or openbox is missing";
  DesktopSession session;
  ASSERT_TRUE(session.Ok()) << session.Error();
  const ProgramStart programs[] = {{"RavelleGame", {}}, {"Ravelle", {"--window"}}};
  for (const ProgramStart& start : programs) {
    for (const Setting& setting : kUnusable) {
      const std::string assignment = std::string(setting.variable) + "=" + setting.value;
      SCOPED_TRACE(std::string(start.name) + " with " + assignment);
      auto program = session.Start(start.name, start.arguments, {{setting.variable, setting.value}});
      const WindowInfo window = SensibleWindowOf(session, *program);
      EXPECT_NE(window.id, 0u) << program->Log();
      EXPECT_TRUE(program->Running()) << program->Log();
      EXPECT_EQ(Count(program->Log(), assignment + " is not a usable scale factor"), 1) << program->Log();
      program->Terminate();
      EXPECT_TRUE(program->WaitForExit(20000).has_value()) << "it did not end";
    }
  }
}

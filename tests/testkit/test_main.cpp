// Test entry point shared by every test binary.
//
// RAVELLE_TEST_NEEDS (set per test by CTest) says what the selected cases
// need: "none" and "desktop" (the whole programs, on a display of their
// own) run without a Qt application; "offscreen" and "x11" get a
// QApplication; "x11" without a display exits 77, which CTest counts as
// skipped; "offscreen" cases run without DISPLAY. Run by hand (variable
// unset), a QApplication is made on whatever platform is available, falling
// back to offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {
bool IsListing(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--gtest_list_tests") == 0) return true;
  return false;
}
}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const char* needsEnv = std::getenv("RAVELLE_TEST_NEEDS");
  const std::string needs = needsEnv ? needsEnv : "";
  const bool hasDisplay = std::getenv("DISPLAY") && *std::getenv("DISPLAY");
  if (IsListing(argc, argv)) return RUN_ALL_TESTS();
  if (needs == "x11" && !hasDisplay) return 77;

  // Offscreen cases stay off the display even when one is there (under
  // xvfb-run), so they never share the pointer or focus with the x11 cases.
  if (needs == "offscreen") {
    unsetenv("DISPLAY");
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }

  std::unique_ptr<QApplication> app;
  if (needs != "none" && needs != "desktop") {
    if (!hasDisplay && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app = std::make_unique<QApplication>(argc, argv);
  }
  return RUN_ALL_TESTS();
}

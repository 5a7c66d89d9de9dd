#include <gtest/gtest.h>

#include "saver/app/command_line.h"
#include "saver/app/x11_windows.h"

TEST(SaverCommandLine, ModeOfEachSwitch) {
  const struct {
    const char* line;
    ScreensaverMode mode;
  } kTable[] = {
      {"\t/S\t", kModeFullScreen},
      {" /Install:now", kModeInstall},
      {"/INSTALLANDRUN", kModeInstallAndRun},
      {"/c 12:34", kModeConfigure},
      {":", kModeConfigure},
      {"", kModeConfigure},
      {"   ", kModeConfigure},
      {"/C:123", kModeConfigure},
      {"/a:77", kModePassword},
      {"/s/p", kModeUnknown},
      {"/sx", kModeUnknown},
      {"/s foo", kModeFullScreen},
      {"/P 123", kModePreview},
      {"/p:1234", kModePreview},
      {"-s", kModeFullScreen},
      {"-P 5", kModePreview},
      {"s", kModeUnknown},
  };
  for (const auto& row : kTable) EXPECT_EQ(GetCommandLineMode(row.line), row.mode) << '"' << row.line << '"';
}

TEST(SaverCommandLine, PreviewHandleNeedsDigits) {
  const struct {
    const char* line;
    bool ok;
    unsigned long handle;
  } kTable[] = {
      {"  /P   77 ", true, 77},
      {"/p:1234", true, 1234},
      {"/p 12x", true, 12},
      {"-p 4194305", true, 4194305},
      // Nothing, or nothing numeric, after the switch fails instead of
      // reading past the end of the line.
      {"/p", false, 0},
      {"/p ", false, 0},
      {"/p 0x1F", false, 0},
      {"/p abc", false, 0},
      {"/p 0", false, 0},
      {"/p 99999999999", false, 0},
      {"/s", false, 0},
  };
  for (const auto& row : kTable) {
    unsigned long handle = 0;
    EXPECT_EQ(ReadPreviewHandle(row.line, &handle), row.ok) << '"' << row.line << '"';
    if (row.ok) {
      EXPECT_EQ(handle, row.handle) << row.line;
    }
  }
}

TEST(SaverCommandLine, HostSwitchesComeBeforeTheClassicOnes) {
  SaverLaunch launch = ParseLaunch({"--window-id", "0x1F"});
  EXPECT_EQ(launch.kind, SaverLaunch::kHosted);
  EXPECT_EQ(launch.windowId, 31u);
  EXPECT_EQ(ParseLaunch({"--window-id", "4194305"}).windowId, 4194305u);
  EXPECT_EQ(ParseLaunch({"--root"}).kind, SaverLaunch::kRootHosted);
  EXPECT_EQ(ParseLaunch({"--window"}).kind, SaverLaunch::kPlainWindow);
  EXPECT_EQ(ParseLaunch({"--help"}).kind, SaverLaunch::kHelp);
  for (const auto& bad : std::vector<std::vector<std::string>>{{"--window-id"},
                                                               {"--window-id", "x"},
                                                               {"--window-id", "0"},
                                                               {"--window-id", "0x"},
                                                               {"--window-id", "0x1FFFFFFFF"},
                                                               {"--fullscreen"}}) {
    launch = ParseLaunch(bad);
    EXPECT_EQ(launch.kind, SaverLaunch::kBadArguments) << bad[0];
    EXPECT_FALSE(launch.error.empty());
  }
  launch = ParseLaunch({"/p", "77"});
  EXPECT_EQ(launch.kind, SaverLaunch::kClassic);
  EXPECT_EQ(launch.commandLine, "/p 77");
  EXPECT_EQ(ParseLaunch({}).commandLine, "");
}

TEST(SaverCommandLine, RootRunTakesTheWindowFromTheEnvironment) {
  EXPECT_EQ(RootHostWindow("0x2a"), 42u);
  EXPECT_EQ(RootHostWindow("77"), 77u);
}

// The scale settings of the environment that the programs drop before the
// toolkit starts.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/toolkit_scale.h"

namespace {

TEST(ToolkitScale, OnlyFiniteFactorsInTheUsableRangeAreKept) {
  struct Case {
    const char* value;
    bool usable;
  };
  const Case everyScreen[] = {
      {"1", true},     {"2", true},    {"0.5", true},   {"3", true},     {" 1.5 ", true}, {"+2", true},
      {"0.25", false}, {"8", true},    {"0", false},    {"-1", false},   {"nan", false},  {"inf", false},
      {"-inf", false}, {"1e9", false}, {"0.01", false}, {"0.49", false}, {"8.5", false},  {"abc", false},
      {"2x", false},   {"1,5", false}, {"", false},     {"  ", false},   {"0x2", false},  {"1e-300", false},
  };
  for (const Case& c : everyScreen) EXPECT_EQ(UsableToolkitScale(c.value, false), c.usable) << c.value;
  const Case eachScreen[] = {
      {"2", true},        {"1;1.5", true}, {"DP-1=2;HDMI-1=1", true}, {"2;", true},
      {"1e9", false},     {"1;0", false},  {"DP-1=nan", false},       {"DP-1=", false},
      {"1;inf;2", false}, {"", false},     {"a=b=2", true},           {"2;abc", false},
  };
  for (const Case& c : eachScreen) EXPECT_EQ(UsableToolkitScale(c.value, true), c.usable) << c.value;
}

// Each unusable setting goes, with one line that names it; a usable or
// empty one stays, without a word.
TEST(ToolkitScale, UnusableSettingsLeaveTheEnvironmentWithOneLineEach) {
  struct Case {
    const char* every;
    const char* each;
    bool everyStays, eachStays;
    int lines;
  };
  const Case cases[] = {
      {"0", nullptr, false, false, 1}, {"2", "1e9", true, false, 1},  {"inf", "1;-1", false, false, 2},
      {"1.5", "2;1", true, true, 0},   {"", nullptr, true, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.every) + " / " + (c.each ? c.each : "(unset)"));
    ::setenv("QT_SCALE_FACTOR", c.every, 1);
    if (c.each)
      ::setenv("QT_SCREEN_SCALE_FACTORS", c.each, 1);
    else
      ::unsetenv("QT_SCREEN_SCALE_FACTORS");
    std::FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    DropUnusableToolkitScale("Prog", err);
    std::rewind(err);
    std::string text;
    for (int ch; (ch = std::fgetc(err)) != EOF;) text += char(ch);
    std::fclose(err);
    EXPECT_EQ(::getenv("QT_SCALE_FACTOR") != nullptr, c.everyStays);
    EXPECT_EQ(::getenv("QT_SCREEN_SCALE_FACTORS") != nullptr, c.eachStays);
    int lines = 0;
    for (std::size_t at = 0; (at = text.find("Prog: QT_", at)) != std::string::npos; ++at) ++lines;
    EXPECT_EQ(lines, c.lines) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), c.lines) << text;
    if (!c.everyStays) {
      EXPECT_NE(text.find(std::string("QT_SCALE_FACTOR=") + c.every + " is not"), std::string::npos);
    }
  }
  ::unsetenv("QT_SCALE_FACTOR");
  ::unsetenv("QT_SCREEN_SCALE_FACTORS");
}

}  // namespace

#pragma once
// The screen saver's options as the profile stores them (section
// "ScreensaverOptions"): read by the window when a run starts, written by the
// settings dialog.
//
// Sections: options
#include "platform/profile.h"

// ---- options ----------------------------------------------------------------------------
inline constexpr const char* kSaverOptionsSection = "ScreensaverOptions";
struct ScreensaverOptions {
  bool closeMouseMove = true;
  bool showFps = false;
  bool limitFpsToRefreshRate = true;
};
// The options as stored, with their defaults.
ScreensaverOptions ReadScreensaverOptions();

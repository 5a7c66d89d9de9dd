// Sections: options
#include "saver/saver_options.h"

// ---- options ----------------------------------------------------------------------------
ScreensaverOptions ReadScreensaverOptions() {
  ScreensaverOptions options;
  options.closeMouseMove = ProfileGetBool(kSaverOptionsSection, "CloseMouseMove", true);
  options.showFps = ProfileGetBool(kSaverOptionsSection, "ShowFPS", false);
  options.limitFpsToRefreshRate = ProfileGetBool(kSaverOptionsSection, "LimitFPSToRefreshRate", true);
  return options;
}

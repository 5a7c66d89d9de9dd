#pragma once
// The screen saver's command line.
//
// The classic switches (one switch, ignoring case, "-" standing for "/"):
//   /s                 full screen
//   /p <window id>     preview inside the X11 window with that decimal id
//   /c, or nothing     the settings dialog
//   /install           the program becomes the desktop's screen saver
//   /installandrun     install, then full screen
//   /a                 password change: not supported, start-up fails
// The line is trimmed and cut at its first blank, else at its first colon,
// so "/c:1234" is /c and "/sx" is unknown.
//
// Hosts in the style of the common X11 screen-saver daemon use other
// switches, handled in front of the classic ones (ParseLaunch):
//   --window-id <id>   draw into that window (decimal or 0x-hex)
//   --root             draw into $XSCREENSAVER_WINDOW when set, else the root
//   --window           an ordinary resizable window, for trying it out
//   --help             the usage text
#include <string>
#include <vector>

enum ScreensaverMode {
  kModeUnknown = 1,
  kModeInstall = 2,
  kModeInstallAndRun = 3,
  kModeFullScreen = 4,
  kModeConfigure = 5,
  kModePassword = 6,
  kModePreview = 7,
};

// The mode of a classic command line (the text after the program name).
ScreensaverMode GetCommandLineMode(const std::string& commandLine);
// The window id that starts three characters after the first "/p" (or "-p"):
// blanks skipped, then decimal
// digits up to the first other character. false when there is no "/p", no
// digit, or the number is 0 or does not fit in 32 bits.
bool ReadPreviewHandle(const std::string& commandLine, unsigned long* handle);

// How the program was asked to run.
struct SaverLaunch {
  enum Kind { kClassic, kHosted, kRootHosted, kPlainWindow, kHelp, kBadArguments };
  Kind kind = kClassic;
  std::string commandLine;     // kClassic: the arguments joined by blanks
  unsigned long windowId = 0;  // kHosted: the host's window
  std::string error;           // kBadArguments: what is wrong, for the user
};
// Reads the arguments after the program name. --root leaves the window to
// the caller (environment, then root window).
SaverLaunch ParseLaunch(const std::vector<std::string>& arguments);
// A window id as hosts write it: decimal or 0x-hex, nonzero, 32 bits.
bool ParseWindowId(const std::string& text, unsigned long* id);
// The usage text of --help.
std::string SaverUsage(const std::string& program);

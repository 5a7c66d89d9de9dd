#pragma once
// The screen saver as the desktop's screen saver.
//
// Installing writes two values into the profile section "DesktopScreensaver"
// ("ScreensaverPath" = the program's path, "ScreenSaveActive" = "1") and the
// desktop entry ravelle.desktop into $XDG_DATA_HOME/applications/screensavers/
// (~/.local/share when XDG_DATA_HOME is unset or not absolute), the folder
// where desktop screen-saver managers look for screen savers. The entry
// starts the program with --root; TryExec names the program as a plain path
// (a desktop hides the entry when that file is not there). The category
// Screensaver is reserved to the desktops named in OnlyShowIn, whose
// screen-saver managers read that folder.
#include <string>

inline constexpr const char* kDesktopSaverSection = "DesktopScreensaver";
inline constexpr const char* kDesktopEntryName = "ravelle.desktop";
inline constexpr const char* kScreensaverDesktops = "GNOME;MATE;XFCE;X-Cinnamon;";

// The folder the entry goes to.
std::string DesktopEntryFolder();
// The entry's text for a program path.
std::string DesktopEntryText(const std::string& programPath);
// A value as a desktop entry's string: backslash, newline, tab and return
// escaped, a leading blank as \s.
std::string DesktopEntryString(const std::string& value);
// A path as one argument of an Exec line: quoted when it holds a blank or a
// reserved character, with ", `, $ and \ escaped.
std::string QuoteExecArgument(const std::string& argument);
// Writes the profile values and the entry; false when either fails.
bool SetDesktopScreensaver(const std::string& programPath);

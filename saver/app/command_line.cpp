#include "saver/app/command_line.h"

#include <cctype>
#include <cstdint>

#include "support/support.h"

namespace {

std::string Lowered(std::string s) {
  ToLowerString(s);
  return s;
}

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Digits of base from text[pos] to the end: false when there is none, a
// character is not one, or the value needs more than 32 bits.
bool ReadWholeNumber(const std::string& text, size_t pos, int base, std::uint64_t* value) {
  if (pos >= text.size()) return false;
  *value = 0;
  for (; pos < text.size(); ++pos) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[pos])));
    int digit = -1;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    if (digit < 0) return false;
    *value = *value * base + digit;
    if (*value > 0xFFFFFFFFull) return false;
  }
  return true;
}

}  // namespace

ScreensaverMode GetCommandLineMode(const std::string& commandLine) {
  std::string s = Lowered(commandLine);
  size_t end = s.size();
  while (end > 0 && IsBlank(s[end - 1])) --end;
  size_t begin = 0;
  while (begin < end && IsBlank(s[begin])) ++begin;
  s = s.substr(begin, end - begin);
  size_t cut = s.find_first_of(" \t");
  if (cut == std::string::npos) cut = s.find(':');
  if (cut != std::string::npos) s.resize(cut);
  if (!s.empty() && s[0] == '-') s[0] = '/';

  if (s == "/install") return kModeInstall;
  if (s == "/installandrun") return kModeInstallAndRun;
  if (s == "/s") return kModeFullScreen;
  if (s == "/c" || s.empty()) return kModeConfigure;
  if (s == "/a") return kModePassword;
  if (s == "/p") return kModePreview;
  return kModeUnknown;
}

bool ReadPreviewHandle(const std::string& commandLine, unsigned long* handle) {
  const std::string s = Lowered(commandLine);
  size_t at = s.find("/p");
  const size_t dashed = s.find("-p");
  if (at == std::string::npos || (dashed != std::string::npos && dashed < at)) at = dashed;
  if (at == std::string::npos) return false;
  size_t pos = at + 3;  // the switch and the one character that parts it from the id
  while (pos < s.size() && IsBlank(s[pos])) ++pos;
  size_t digitsEnd = pos;
  while (digitsEnd < s.size() && std::isdigit(static_cast<unsigned char>(s[digitsEnd]))) ++digitsEnd;
  std::uint64_t value = 0;
  if (!ReadWholeNumber(s.substr(0, digitsEnd), pos, 10, &value) || value == 0) return false;
  *handle = static_cast<unsigned long>(value);
  return true;
}

bool ParseWindowId(const std::string& text, unsigned long* id) {
  std::uint64_t value = 0;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (!ReadWholeNumber(text, hex ? 2 : 0, hex ? 16 : 10, &value) || value == 0) return false;
  *id = static_cast<unsigned long>(value);
  return true;
}

SaverLaunch ParseLaunch(const std::vector<std::string>& arguments) {
  SaverLaunch launch;
  const std::string first = arguments.empty() ? std::string() : arguments[0];
  if (first == "--help" || first == "-h") {
    launch.kind = SaverLaunch::kHelp;
  } else if (first == "--root") {
    launch.kind = SaverLaunch::kRootHosted;
  } else if (first == "--window") {
    launch.kind = SaverLaunch::kPlainWindow;
  } else if (first == "--window-id") {
    launch.kind = SaverLaunch::kHosted;
    if (arguments.size() < 2 || !ParseWindowId(arguments[1], &launch.windowId)) {
      launch.kind = SaverLaunch::kBadArguments;
      launch.error = "--window-id needs a window id (decimal or 0x-hex), got \"" +
                     (arguments.size() < 2 ? std::string() : arguments[1]) + "\"";
    }
  } else if (first.rfind("--", 0) == 0) {
    launch.kind = SaverLaunch::kBadArguments;
    launch.error = "unknown option \"" + first + "\"";
  } else {
    for (size_t i = 0; i < arguments.size(); ++i) launch.commandLine += (i ? " " : "") + arguments[i];
  }
  return launch;
}

std::string SaverUsage(const std::string& program) {
  return "Usage: " + program +
         " [switch]\n"
         "Animated 3D jigsaw puzzles as a screen saver.\n"
         "\n"
         "  /s                 run full screen; a key, a click or a mouse move ends it\n"
         "  /p <window id>     preview inside the X11 window with that decimal id\n"
         "  /c, or nothing     the settings dialog\n"
         "  /install           make Ravelle the desktop's screen saver\n"
         "  /installandrun     install, then run full screen\n"
         "  --window-id <id>   draw into a host's X11 window (decimal or 0x-hex);\n"
         "                     ends on SIGTERM or when the window goes\n"
         "  --root             draw into $XSCREENSAVER_WINDOW, else the root window\n"
         "  --window           run in an ordinary window, to try it out\n"
         "  --help             this text\n";
}

#include "saver/app/install.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/profile.h"
#include "resources/strings.h"
#include "support/string_table.h"

std::string DesktopEntryFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  std::string base;
  if (dataHome && dataHome[0] == '/') {
    base = dataHome;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home ? home : "") + "/.local/share";
  }
  return base + "/applications/screensavers";
}

std::string QuoteExecArgument(const std::string& argument) {
  if (argument.find_first_of(" \t\n\"'\\><~|&;$*?#()`=%") == std::string::npos) return argument;
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  // Desktop entry values themselves escape the backslash once more.
  std::string value;
  for (char c : quoted) value += (c == '\\') ? std::string("\\\\") : std::string(1, c);
  return value;
}

std::string DesktopEntryString(const std::string& value) {
  std::string escaped;
  for (char c : value) {
    switch (c) {
      case '\\': escaped += "\\\\"; break;
      case '\n': escaped += "\\n"; break;
      case '\t': escaped += "\\t"; break;
      case '\r': escaped += "\\r"; break;
      default: escaped += c;
    }
  }
  if (!escaped.empty() && escaped[0] == ' ') escaped.replace(0, 1, "\\s");
  return escaped;
}

std::string DesktopEntryText(const std::string& programPath) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=" +
         LoadResString(IDS_APP_NAME) +
         "\n"
         "Comment=" +
         LoadResString(IDS_SAVER_PRODUCT_TITLE) +
         "\n"
         "TryExec=" +
         DesktopEntryString(programPath) +
         "\n"
         "Exec=" +
         QuoteExecArgument(programPath) +
         " --root\n"
         "Categories=Screensaver;\n"
         "OnlyShowIn=" +
         std::string(kScreensaverDesktops) +
         "\n"
         "NoDisplay=true\n";
}

bool SetDesktopScreensaver(const std::string& programPath) {
  bool written = ProfileChange()
                     .SetString(kDesktopSaverSection, "ScreensaverPath", programPath)
                     .SetString(kDesktopSaverSection, "ScreenSaveActive", "1")
                     .Save() == ProfileFault::None;
  const std::string folder = DesktopEntryFolder();
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  const std::string path = folder + "/" + kDesktopEntryName;
  const std::string temporary = path + ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << DesktopEntryText(programPath);
    if (!out.flush()) written = false;
  }
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return written;
}

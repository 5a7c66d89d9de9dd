#include "support/support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/profile.h"

namespace fs = std::filesystem;

// ---- strings ---------------------------------------------------------------
std::string FormatStringV(const char* format, va_list args) {
  char small[512];
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (n < 0) return std::string();
  if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
  std::string out(static_cast<size_t>(n), '\0');
  va_copy(copy, args);
  std::vsnprintf(out.data(), out.size() + 1, format, copy);
  va_end(copy);
  return out;
}

std::string FormatString(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string s = FormatStringV(format, args);
  va_end(args);
  return s;
}

void FormatStringTo(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  out = FormatStringV(format, args);
  va_end(args);
}

void ToLowerString(std::string& s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}

void TrimLeft(std::string& s) {
  const size_t first = s.find_first_not_of(" \t\r\n");
  s.erase(0, first == std::string::npos ? s.size() : first);
}

void TrimRight(std::string& s, const std::string& set) {
  const size_t last = s.find_last_not_of(set);
  if (last != std::string::npos) s.erase(last + 1);
}

std::string StringLeft(size_t n, const std::string& s) { return s.substr(0, std::min(n, s.size())); }

std::string StringLastChar(const std::string& s) {
  return s.empty() ? std::string() : s.substr(s.size() - 1);
}

void SplitString(std::vector<std::string>& out, const std::string& text, char separator) {
  out.clear();
  if (text.empty()) return;
  std::string field;
  for (char c : text) {
    if (c == separator) {
      out.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  // The last field: after a trailing separator it is the empty one.
  out.push_back(field);
}

// ---- paths and folders ------------------------------------------------------
std::string GetFileNameFromPath(const std::string& path) {
  const size_t sep = path.rfind(kPathSeparator);
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string GetFolderFromPath(const std::string& path) {
  const size_t sep = path.rfind(kPathSeparator);
  return sep == std::string::npos ? path : path.substr(0, sep);
}

std::string GetFileExtension(const std::string& path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos) return std::string();
  if (path.find(kPathSeparator, dot) != std::string::npos) return std::string();
  return path.substr(dot + 1);
}

bool FolderExists(const std::string& path) {
  if (path.empty()) return false;
  std::string probe = path;
  if (probe.size() > 1 && probe.back() != kPathSeparator) probe += kPathSeparator;
  struct stat st;
  return ::stat(probe.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolderPath(const std::string& path) {
  std::vector<std::string> fields;
  SplitString(fields, path, kPathSeparator);
  std::string sofar;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) sofar += kPathSeparator;
    sofar += fields[i];
    // The empty first field of an absolute path is the root.
    if (sofar.empty()) continue;
    if (!FolderExists(sofar) && ::mkdir(sofar.c_str(), 0777) != 0 && !FolderExists(sofar)) return false;
  }
  return true;
}

bool CreatePrivateFolder(const std::string& given) {
  // "dir/" would make lstat look through a link named dir.
  std::string path = given;
  if (path.size() > 1) TrimRight(path, kPathSeparatorString);
  if (path.empty() || path == kPathSeparatorString) return false;
  const std::string parent = GetFolderFromPath(path);
  if (parent != path && !parent.empty() && !CreateFolderPath(parent)) return false;
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return false;
  if ((st.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0) return false;
  return true;
}

namespace {

int CompareIgnoringCase(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int ca = std::tolower(static_cast<unsigned char>(a[i]));
    const int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CompareIgnoringCase(a, b) == 0;
}

}  // namespace

void ListFilesInFolder(const std::string& folder, std::vector<std::string>& names,
                       const std::string& extensions) {
  std::vector<std::string> fields;
  SplitString(fields, extensions, ';');
  names.clear();
  // "" is an unknown folder (a data folder without installation), not ".".
  if (folder.empty()) return;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return;
  // Stepped with an error code: a folder that fails mid-listing ends the
  // listing instead of throwing.
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const fs::directory_entry& entry = *it;
    std::error_code typeError;
    // Folders, links that lead nowhere and special files (a pipe would block
    // whoever opens it as a picture) are not listed.
    if (!entry.is_regular_file(typeError) || typeError) continue;
    const std::string name = entry.path().filename().string();
    if (extensions == "*") {
      names.push_back(name);
      continue;
    }
    const std::string ext = GetFileExtension(name);
    if (std::any_of(fields.begin(), fields.end(),
                    [&](const std::string& f) { return EqualIgnoringCase(ext, f); }))
      names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const int c = CompareIgnoringCase(a, b);
    return c != 0 ? c < 0 : a < b;
  });
}

// ---- geometry ----------------------------------------------------------------
void FitRectKeepAspect(const RECT& source, const RECT& target, RECT& out) {
  const float sw = static_cast<float>(std::abs(RectWidth(source)));
  const float sh = static_cast<float>(std::abs(RectHeight(source)));
  const float tw = static_cast<float>(std::abs(RectWidth(target)));
  const float th = static_cast<float>(std::abs(RectHeight(target)));
  if (!(sw > 0.0f) || !(sh > 0.0f)) {  // a picture without size fits nowhere
    out = {target.left, target.top, target.left, target.top};
    return;
  }
  const float ratio = tw / sw;
  const LONG h = static_cast<LONG>(sh * ratio);
  if (static_cast<float>(h) > th) {
    const float heightRatio = th / sh;
    const LONG w = static_cast<LONG>(sw * heightRatio);
    out = {target.left, target.top, target.left + w, target.bottom};
  } else {
    out = {target.left, target.top, target.right, target.top + h};
  }
}

// ---- installation and data folders ------------------------------------------
bool ReadInstallDir(char (&buffer)[256]) {
  const auto value = MachineGetString("", "InstallDir");
  if (!value || value->size() > 255) return false;
  std::memcpy(buffer, value->data(), value->size());
  buffer[value->size()] = '\0';
  return true;
}

namespace {
void RemoveTrailingSeparators(std::string& s) { TrimRight(s, kPathSeparatorString); }
}  // namespace

std::string GetInstallDir() {
  char buffer[256] = {};
  std::string dir = ReadInstallDir(buffer) ? std::string(buffer) : std::string();
  RemoveTrailingSeparators(dir);
  return dir;
}

namespace {
// A data folder below the installation; "" while the installation is unknown.
std::string DataDir(const char* name) {
  const std::string install = GetInstallDir();
  return install.empty() ? std::string() : install + kPathSeparator + name;
}
}  // namespace

std::string GetTexturesDir() { return DataDir("Textures"); }
std::string GetSoundsDir() { return DataDir("Sounds"); }
std::string GetPuzzleSamplesDir() { return DataDir("PuzzleSamples"); }
std::string GetEnvironmentsDir() { return DataDir("Environments"); }
std::string GetEnvironmentTexturesDir() { return DataDir("Environments/Textures"); }
std::string GetTutorialsDir() { return DataDir("Tutorials"); }

std::string MissingInstallationMessage() {
  const std::string install = GetInstallDir();
  if (!install.empty() && FolderExists(install)) return std::string();
  std::string looked;
  for (const std::string& file : MachineSettingsFiles()) looked += "\n    " + file;
  if (install.empty())
    return "The installation folder is not known: none of these files names it (value InstallDir):" + looked +
           "\nPlease install the program again.";
  return "The installation folder " + install +
         " does not exist. It is named (value InstallDir) by the first of:" + looked +
         "\nPlease install the program again.";
}

std::string GetTempDataDir() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime && runtime[0] == kPathSeparator) {
    std::string dir = runtime;
    RemoveTrailingSeparators(dir);
    return dir + kPathSeparator + "Ravelle";
  }
  std::error_code ec;
  std::string temp = fs::temp_directory_path(ec).string();
  if (ec || temp.empty()) temp = "/tmp";
  RemoveTrailingSeparators(temp);
  return temp + kPathSeparator + "Ravelle-" + std::to_string(::getuid());
}

// ---- language ----------------------------------------------------------------
std::string GetLanguage() {
  std::string language = ProfileGetString("", "Language", "english");
  ToLowerString(language);
  // The value becomes part of paths: only the known languages pass.
  return language == "french" ? language : "english";
}

#include "platform/toolkit_scale.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {
constexpr const char* kEveryScreen = "QT_SCALE_FACTOR";
constexpr const char* kEachScreen = "QT_SCREEN_SCALE_FACTORS";

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool UsableFactor(std::string_view text) {
  text = Trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double factor = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), factor);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
  return std::isfinite(factor) && factor >= kMinToolkitScale && factor <= kMaxToolkitScale;
}
}  // namespace

bool UsableToolkitScale(std::string_view value, bool perScreen) {
  if (!perScreen) return UsableFactor(value);
  if (Trimmed(value).empty()) return false;
  while (true) {
    const std::size_t end = value.find(';');
    std::string_view entry = value.substr(0, end);
    if (const std::size_t equals = entry.rfind('='); equals != std::string_view::npos)
      entry = entry.substr(equals + 1);
    else if (Trimmed(entry).empty())
      entry = "1";  // an empty entry: skipped
    if (!UsableFactor(entry)) return false;
    if (end == std::string_view::npos) return true;
    value.remove_prefix(end + 1);
  }
}

void DropUnusableToolkitScale(const char* program, std::FILE* err) {
  for (const char* name : {kEveryScreen, kEachScreen}) {
    const char* value = std::getenv(name);
    if (!value || !*value || UsableToolkitScale(value, name == kEachScreen)) continue;
    std::fprintf(err,
                 "%s: %s=%s is not a usable scale factor (a number from %g to %g is); "
                 "the desktop's own factor is used\n",
                 program, name, value, kMinToolkitScale, kMaxToolkitScale);
    ::unsetenv(name);
  }
}

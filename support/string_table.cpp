#include "support/string_table.h"

#include <fstream>
#include <optional>
#include <sstream>

#include "support/support.h"

namespace {

const StringTable* g_builtIn = nullptr;
std::optional<StringTable> g_language;

bool Unescape(const std::string& raw, std::string& out) {
  out.clear();
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\') {
      out += raw[i];
      continue;
    }
    if (++i == raw.size()) return false;
    switch (raw[i]) {
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case '\\': out += '\\'; break;
      default: return false;
    }
  }
  return true;
}

}  // namespace

void SetBuiltInStrings(const StringTable* english) { g_builtIn = english; }

bool ParseStringTable(const std::string& text, StringTable& out, std::string* error) {
  StringTable table;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const size_t tab = line.find('\t');
    const std::string id = line.substr(0, tab);
    std::string value;
    char* end = nullptr;
    const unsigned long n = id.empty() ? 0 : std::strtoul(id.c_str(), &end, 10);
    if (tab == std::string::npos || id.empty() || *end != '\0' || n > 0xFFFF ||
        !Unescape(line.substr(tab + 1), value)) {
      if (error) *error = FormatString("line %d is not \"<id><TAB><text>\"", number);
      return false;
    }
    table[static_cast<unsigned>(n)] = value;
  }
  out = std::move(table);
  return true;
}

bool LoadLanguageStrings(const std::string& file, std::string* error) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    if (error) *error = "cannot open " + file;
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  StringTable table;
  std::string why;
  if (!ParseStringTable(text.str(), table, &why)) {
    if (error) *error = file + ": " + why;
    return false;
  }
  g_language = std::move(table);
  return true;
}

void UnloadLanguageStrings() { g_language.reset(); }
bool LanguageStringsLoaded() { return g_language.has_value(); }

std::string LoadResString(unsigned id) {
  if (g_language) {
    const auto it = g_language->find(id);
    if (it != g_language->end()) return it->second;
  }
  if (g_builtIn) {
    const auto it = g_builtIn->find(id);
    if (it != g_builtIn->end()) return it->second;
  }
  return std::string();
}

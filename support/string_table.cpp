#include "support/string_table.h"

// Sections: table state - parsing and loading - conversions and formatting
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string_view>

#include "platform/data_file.h"
#include "support/support.h"

// ---- table state -------------------------------------------------------------
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

// ---- parsing and loading --------------------------------------------------------
namespace {
const std::string kByteOrderMark = "\xEF\xBB\xBF";

const std::string& EnglishText(unsigned id) {
  static const std::string none;
  if (!g_builtIn) return none;
  const auto it = g_builtIn->find(id);
  return it == g_builtIn->end() ? none : it->second;
}

// The same plain conversions in the same order.
bool SameConversions(const std::string& text, const std::string& english) {
  std::vector<std::string> a, b;
  return ListConversions(text, a) && ListConversions(english, b) && a == b;
}
}  // namespace

bool ParseStringTable(const std::string& text, StringTable& out, std::string* error) {
  StringTable table;
  std::istringstream in(text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0
                            ? text.substr(kByteOrderMark.size())
                            : text);
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
  std::string text, why;
  if (!ReadDataFile(file, kMaxStringTableBytes, text, &why)) {
    if (error) *error = file + ": " + why;
    return false;
  }
  return LoadLanguageStringsFromText(text, file, error);
}

bool LoadLanguageStringsFromText(const std::string& text, const std::string& origin, std::string* error) {
  StringTable table;
  std::string why;
  if (!ParseStringTable(text, table, &why)) {
    if (error) *error = origin + ": " + why;
    return false;
  }
  std::string refused;
  for (auto it = table.begin(); it != table.end();) {
    if (SameConversions(it->second, EnglishText(it->first))) {
      ++it;
      continue;
    }
    refused += (refused.empty() ? "" : ", ") + std::to_string(it->first);
    it = table.erase(it);
  }
  if (!refused.empty())
    std::fprintf(stderr, "%s: the English texts are used for ids %s: their %%-conversions differ\n",
                 origin.c_str(), refused.c_str());
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

// ---- conversions and formatting ----------------------------------------------------
namespace {
constexpr std::string_view kFloatKinds = "fFeEgGaA";
constexpr std::string_view kIntegerKinds = "diouxX";

// The length modifier of a conversion ("" when none).
std::string_view LengthOf(std::string_view spec) {
  const size_t at = spec.find_first_of("hljztL");
  return at == std::string_view::npos ? std::string_view() : spec.substr(at, spec.size() - 1 - at);
}

// One conversion starting at text[at] == '%': its length, 0 for one this
// program does not format. "%%" is not handled here.
size_t ConversionLength(const std::string& text, size_t at) {
  size_t i = at + 1;
  while (i < text.size() && std::string_view("-+ #0").find(text[i]) != std::string_view::npos) ++i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  }
  const size_t lengthAt = i;
  for (std::string_view length : {"hh", "ll", "h", "l", "z", "j", "t", "L"}) {
    if (std::string_view(text).substr(i, length.size()) == length) {
      i += length.size();
      break;
    }
  }
  if (i >= text.size()) return 0;
  const char kind = text[i];
  const bool hasLength = i != lengthAt;
  const bool isLongDouble = hasLength && text[lengthAt] == 'L';
  // Lengths only on numbers, 'L' only on floating point: each conversion
  // then takes exactly one value of a known type.
  if (kFloatKinds.find(kind) != std::string_view::npos) return !hasLength || isLongDouble ? i + 1 - at : 0;
  if (kIntegerKinds.find(kind) != std::string_view::npos) return isLongDouble ? 0 : i + 1 - at;
  if (kind == 'c' || kind == 's' || kind == 'p') return hasLength ? 0 : i + 1 - at;
  return 0;
}

// Formats one conversion of the program's own text with the next value.
std::string FormatOne(const std::string& spec, va_list& args) {
  const char kind = spec.back();
  const std::string_view size = LengthOf(spec);
  const char* f = spec.c_str();
  const bool isSigned = kind == 'd' || kind == 'i';
  if (kind == 's') {
    const char* value = va_arg(args, const char*);
    return FormatString(f, value ? value : "(null)");
  }
  if (kind == 'p') return FormatString(f, va_arg(args, void*));
  if (kind == 'c') return FormatString(f, va_arg(args, int));
  if (kFloatKinds.find(kind) != std::string_view::npos)
    return size == "L" ? FormatString(f, va_arg(args, long double)) : FormatString(f, va_arg(args, double));
  if (size == "l")
    return isSigned ? FormatString(f, va_arg(args, long)) : FormatString(f, va_arg(args, unsigned long));
  if (size == "ll")
    return isSigned ? FormatString(f, va_arg(args, long long))
                    : FormatString(f, va_arg(args, unsigned long long));
  if (size == "z" || size == "t")
    return isSigned ? FormatString(f, va_arg(args, std::ptrdiff_t)) : FormatString(f, va_arg(args, size_t));
  if (size == "j")
    return isSigned ? FormatString(f, va_arg(args, std::intmax_t))
                    : FormatString(f, va_arg(args, std::uintmax_t));
  // No length, "h" and "hh": the value arrives promoted to int.
  return isSigned ? FormatString(f, va_arg(args, int)) : FormatString(f, va_arg(args, unsigned));
}
}  // namespace

bool ListConversions(const std::string& text, std::vector<std::string>& conversions) {
  conversions.clear();
  for (size_t i = text.find('%'); i != std::string::npos; i = text.find('%', i)) {
    if (i + 1 < text.size() && text[i + 1] == '%') {
      i += 2;
      continue;
    }
    const size_t n = ConversionLength(text, i);
    if (n == 0) return false;
    conversions.push_back(text.substr(i, n));
    i += n;
  }
  return true;
}

std::string FormatResString(unsigned id, ...) {
  const std::string& english = EnglishText(id);
  std::string text = LoadResString(id);
  std::vector<std::string> specs;
  if (!ListConversions(english, specs)) return english;  // the program's own texts are plain
  if (!SameConversions(text, english)) text = english;
  va_list args;
  va_start(args, id);
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
    } else if (text[i + 1] == '%') {
      out += '%';
      ++i;
    } else {
      // The English spec: the same as the text's, and the program's own.
      out += FormatOne(specs[next], args);
      i += specs[next++].size() - 1;
    }
  }
  va_end(args);
  return out;
}

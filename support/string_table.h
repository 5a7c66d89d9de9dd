#pragma once
// The program's string table.
//
// Each program installs its built-in English table at start-up. A language
// table (the French one) can be loaded from a data file; while one is loaded,
// LoadResString looks there first and falls back to English for ids the file
// lacks. An id found nowhere gives "".
//
// Language files are UTF-8 text, one entry per line:
//     <id><TAB><text>
// where the text may use \n, \t and \\ escapes. Blank lines and lines that
// start with '#' are ignored.
#include <string>
#include <unordered_map>

using StringTable = std::unordered_map<unsigned, std::string>;

// The program's own English texts; the table must outlive its use.
void SetBuiltInStrings(const StringTable* english);

// Loads a language file in place of the current one. On failure (missing
// file, malformed line) the current language stays and error says why.
bool LoadLanguageStrings(const std::string& file, std::string* error = nullptr);
// Back to the built-in texts only.
void UnloadLanguageStrings();
bool LanguageStringsLoaded();

// Parses the text of a language file; on error, out is left as it was.
bool ParseStringTable(const std::string& text, StringTable& out, std::string* error = nullptr);

std::string LoadResString(unsigned id);

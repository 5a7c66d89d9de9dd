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
// start with '#' are ignored; a UTF-8 byte-order mark at the start is skipped.
//
// Texts with printf conversions (such as "%s") are formatted with
// FormatResString, never by passing a text as a format. A language file is
// data anyone may edit: a line whose conversions (kind and order) differ
// from the English text's is not used (the English text stands in) and the
// load warns once on stderr.
#include <string>
#include <unordered_map>
#include <vector>

using StringTable = std::unordered_map<unsigned, std::string>;

// The program's own English texts; the table must outlive its use.
void SetBuiltInStrings(const StringTable* english);

// Loads a language file (a regular file of at most 1 MB) in place of the
// current one. On failure (missing, special or too large file, malformed
// line) the current language stays and error says why.
bool LoadLanguageStrings(const std::string& file, std::string* error = nullptr);
// The same for a language file's text; origin names it in messages.
bool LoadLanguageStringsFromText(const std::string& text, const std::string& origin,
                                 std::string* error = nullptr);
// Back to the built-in texts only.
void UnloadLanguageStrings();
bool LanguageStringsLoaded();

// Parses the text of a language file; on error, out is left as it was.
bool ParseStringTable(const std::string& text, StringTable& out, std::string* error = nullptr);

std::string LoadResString(unsigned id);

// The printf conversions of a text in order, each as written ("%s",
// "%-3ld"); "%%" is none. False when the text holds one that is not a plain
// conversion of one value ("%n", a '*' width, a numbered argument, a lone
// '%' at the end, an unknown letter).
bool ListConversions(const std::string& text, std::vector<std::string>& conversions);
// The text of id with its conversions replaced by the values, as printf
// would with the English text (whose conversions the values must match).
// The text itself is never used as a format.
std::string FormatResString(unsigned id, ...);

#pragma once
// The text of a settings file in the INI format that Qt's settings write,
// read and edited here, so that what a read answers depends on the bytes
// given and on nothing kept elsewhere.
//
// Reading follows Qt's reader, so a file written by Qt's settings reads the
// same:
// - A line ends at a newline outside double quotes that no backslash escapes
//   (a quoted run goes on over newlines); ';' outside quotes starts a comment
//   to the end of the line. A UTF-8 byte-order mark is skipped.
// - "[name]" starts a section; "[General]" (any case) is the top level, as
//   are the lines before the first section; "[%General]" is the section
//   "General". Other lines are "key=value" (key trimmed); lines without '='
//   are ignored. Keys and section names decode %XX and %UXXXX, and '\' in a
//   key stands for '/'. Keys are case-sensitive; of a key given twice the
//   last counts.
// - A value decodes backslash escapes (\a \b \f \n \r \t \v \" \' \? \\,
//   \x with hex digits, \ with octal digits, a backslash before a newline
//   continues the line); bytes are UTF-8. An unquoted comma makes a list;
//   spaces and tabs around an element are dropped outside quotes.
// - A value that Qt would build as a stored object (an element whose text
//   starts with one '@', as "@Variant(...)") reads as missing; "@@" at the
//   start of an element reads as one '@'.
//
// Editing changes only the lines of the keys given: a key's (last) line is
// replaced, a new key goes after the last line of its section, a new
// section at the end (the top level at the start). Every other line stays
// byte for byte, except that lines holding stored objects are dropped.
// Values are written as Qt's settings write them.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One value to write: section "" is the top level.
struct IniSetting {
  std::string section;
  std::string entry;
  std::string value;
};

class IniText {
 public:
  explicit IniText(std::string bytes);
  ~IniText();
  IniText(const IniText&) = delete;
  IniText& operator=(const IniText&) = delete;

  // The bytes this text was parsed from.
  const std::string& Bytes() const { return m_bytes; }
  // A value's text, a list's elements joined with ", "; nullopt when the
  // key is missing or holds a stored object.
  std::optional<std::string> Value(const std::string& section, const std::string& entry) const;
  // The file's bytes with these values set (a key given twice keeps the
  // last) and the lines of stored objects dropped.
  std::string WithValues(const std::vector<IniSetting>& settings) const;

 private:
  struct Line;
  struct Parsed;
  struct Placement;
  Placement Place(const std::vector<IniSetting>& settings) const;
  std::string m_bytes;
  std::unique_ptr<Parsed> m_parsed;
};

#pragma once
// A minimal XML reader: elements and text, nothing else.
//
// What it accepts:
// - an optional prolog: everything up to the "?>" after the first "<?xml"
//   is skipped;
// - start tags without attributes or blanks ("<Name>"), closed by the first
//   "</Name>" that follows (found by plain text search, so an element nested
//   in one of the same name closes at the inner closing tag, and a start tag
//   with an attribute or a trailing blank finds no closing tag);
// - empty elements ("<Name/>");
// - text, trimmed of blanks, tabs, CR and LF at both ends. A leaf's text is
//   its content; an element with children gets its whole trimmed inner
//   markup (child tags included) as text.
// Comments, processing instructions other than the prolog, CDATA and
// character references are not understood (a reference stays as written).
// Bytes are kept as they are (UTF-8 in, UTF-8 out).
//
// Malformed input (an unclosed prolog, a "<" without ">", an element without
// its closing tag, nesting deeper than kMaxXmlDepth) makes the parse answer
// false with a message; the tree keeps what was read before the fault.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/data_file.h"

inline constexpr int kMaxXmlDepth = 200;
// Files larger than this are refused unread (description files are under
// 1 KB); only regular files are read.
inline constexpr std::uint64_t kMaxXmlFileBytes = kMaxDescriptionBytes;

struct SXmlNode {
  SXmlNode() = default;
  ~SXmlNode() { Clear(); }
  SXmlNode(const SXmlNode&) = delete;
  SXmlNode& operator=(const SXmlNode&) = delete;

  // Deletes the children recursively and empties both strings.
  void Clear();
  // Appends child; the node owns it from now on.
  void AddChild(SXmlNode* child) { m_children.push_back(child); }
  // The first child named name (exact comparison); null when there is none.
  const SXmlNode* FindChild(const std::string& name) const;

  std::string m_name;  // "" for the document root
  std::string m_text;
  std::vector<SXmlNode*> m_children;  // owned, in document order
};

// Reads the file (up to its first zero byte) and parses it into root.
// false when it cannot be read, is no regular file, is too large, is UTF-16
// text, or is malformed.
bool LoadXmlFile(SXmlNode& root, const std::string& path, std::string* error = nullptr);
// Skips the prolog and parses the rest as the content of root (named "").
bool ParseXmlDocument(SXmlNode& root, const std::string& text, std::string* error = nullptr);
// Parses content as the inside of an element named name into node.
bool ParseXmlContent(SXmlNode& node, const std::string& content, const std::string& name,
                     std::string* error = nullptr);

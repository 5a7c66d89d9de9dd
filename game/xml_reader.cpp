#include "game/xml_reader.h"

#include <cstdio>

#include "support/support.h"

namespace {
constexpr const char* kBlanks = " \t\r\n";

std::string Trimmed(const std::string& s) {
  const size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

void SetError(std::string* error, const std::string& message) {
  if (error) *error = message;
}

// The content's first byte is byte base of the document (for messages).
bool ParseContentAt(SXmlNode& node, const std::string& content, const std::string& name, int depth,
                    size_t base, std::string* error) {
  node.m_name = name;
  if (depth > kMaxXmlDepth) {
    SetError(error, FormatString("elements nested deeper than %d levels at byte %zu", kMaxXmlDepth, base));
    return false;
  }
  if (content.empty()) return true;
  size_t pos = 0;
  do {
    const size_t lt = content.find('<', pos);
    if (lt == std::string::npos) {
      std::string text = Trimmed(content);
      if (!text.empty()) node.m_text = std::move(text);
      return true;
    }
    const size_t gt = content.find('>', lt);
    if (gt == std::string::npos) {
      SetError(error, FormatString("a tag without '>' at byte %zu", base + lt));
      return false;
    }
    const std::string tag = content.substr(lt + 1, gt - lt - 1);
    if (!tag.empty() && tag.back() == '/') {
      // An empty element.
      std::string childName = tag.substr(0, tag.size() - 1);
      childName.erase(childName.find_last_not_of(kBlanks) + 1);
      auto* child = new SXmlNode;
      node.AddChild(child);
      child->m_name = childName;
      pos = gt;
      continue;
    }
    const size_t closing = content.find("</" + tag + ">", gt);
    if (closing == std::string::npos) {
      SetError(error, FormatString("element <%s> at byte %zu has no closing tag", tag.c_str(), base + lt));
      return false;
    }
    auto* child = new SXmlNode;
    node.AddChild(child);
    if (!ParseContentAt(*child, content.substr(gt + 1, closing - gt - 1), tag, depth + 1, base + gt + 1, error))
      return false;
    // Lands inside the closing tag; the search for the next "<" skips its rest.
    pos = closing + tag.size();
  } while (pos < content.size());
  return true;
}
}  // namespace

void SXmlNode::Clear() {
  for (SXmlNode*& child : m_children) {
    delete child;  // its destructor clears it
    child = nullptr;
  }
  m_children.clear();
  m_name.clear();
  m_text.clear();
}

const SXmlNode* SXmlNode::FindChild(const std::string& name) const {
  for (const SXmlNode* child : m_children)
    if (child->m_name == name) return child;
  return nullptr;
}

bool ParseXmlContent(SXmlNode& node, const std::string& content, const std::string& name, std::string* error) {
  return ParseContentAt(node, content, name, 0, 0, error);
}

bool ParseXmlDocument(SXmlNode& root, const std::string& text, std::string* error) {
  size_t start = 0;
  const size_t prolog = text.find("<?xml");
  if (prolog != std::string::npos) {
    const size_t end = text.find("?>", prolog);
    if (end == std::string::npos) {
      SetError(error, "the XML declaration is not closed by \"?>\"");
      return false;
    }
    start = end + 2;
  }
  return ParseContentAt(root, text.substr(start), "", 0, start, error);
}

bool LoadXmlFile(SXmlNode& root, const std::string& path, std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    SetError(error, "the file cannot be opened");
    return false;
  }
  std::string bytes;
  char chunk[8192];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0 && bytes.size() <= size_t(kMaxXmlFileBytes))
    bytes.append(chunk, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    SetError(error, "the file cannot be read");
    return false;
  }
  if (bytes.size() > size_t(kMaxXmlFileBytes)) {
    SetError(error, "the file is too large");
    return false;
  }
  // The text ends at the first zero byte.
  bytes.resize(bytes.find('\0') == std::string::npos ? bytes.size() : bytes.find('\0'));
  return ParseXmlDocument(root, bytes, error);
}

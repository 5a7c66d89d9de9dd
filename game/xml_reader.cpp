#include "game/xml_reader.h"

#include <algorithm>
#include <string_view>

#include "platform/data_file.h"

#include "support/support.h"

namespace {
constexpr std::string_view kBlanks = " \t\r\n";

std::string_view Trimmed(std::string_view s) {
  const size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

void SetError(std::string* error, const std::string& message) {
  if (error) *error = message;
}

// Works on views into the document: no level copies the content of the
// levels below it (only an element with children keeps its inner markup as
// its text). The content's first byte is byte base of the document.
bool ParseContentAt(SXmlNode& node, std::string_view content, std::string_view name, int depth, size_t base,
                    std::string* error) {
  node.m_name = name;
  if (depth > kMaxXmlDepth) {
    SetError(error, FormatString("elements nested deeper than %d levels at byte %zu", kMaxXmlDepth, base));
    return false;
  }
  if (content.empty()) return true;
  size_t pos = 0;
  do {
    const size_t lt = content.find('<', pos);
    if (lt == std::string_view::npos) {
      const std::string_view text = Trimmed(content);
      if (!text.empty()) node.m_text = text;
      return true;
    }
    const size_t gt = content.find('>', lt);
    if (gt == std::string_view::npos) {
      SetError(error, FormatString("a tag without '>' at byte %zu", base + lt));
      return false;
    }
    const std::string_view tag = content.substr(lt + 1, gt - lt - 1);
    if (!tag.empty() && tag.back() == '/') {
      // An empty element.
      std::string_view childName = tag.substr(0, tag.size() - 1);
      const size_t last = childName.find_last_not_of(kBlanks);
      childName = childName.substr(0, last == std::string_view::npos ? 0 : last + 1);
      auto* child = new SXmlNode;
      node.AddChild(child);
      child->m_name = childName;
      pos = gt;
      continue;
    }
    const std::string closingTag = "</" + std::string(tag) + ">";
    const size_t closing = content.find(closingTag, gt);
    if (closing == std::string_view::npos) {
      SetError(error, FormatString("element <%s> at byte %zu has no closing tag", std::string(tag).c_str(),
                                   base + lt));
      return false;
    }
    auto* child = new SXmlNode;
    node.AddChild(child);
    if (!ParseContentAt(*child, content.substr(gt + 1, closing - gt - 1), tag, depth + 1, base + gt + 1,
                        error))
      return false;
    // Lands inside the closing tag; the search for the next "<" skips its rest.
    pos = closing + tag.size();
  } while (pos < content.size());
  return true;
}

// Text in UTF-16 (or UTF-32) would end at its first zero byte and then
// fail with a puzzling message about a tag.
bool LooksLikeUtf16(const std::string& bytes) {
  if (bytes.size() < 2) return false;
  const auto b0 = static_cast<unsigned char>(bytes[0]), b1 = static_cast<unsigned char>(bytes[1]);
  return (b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF) || (b0 != 0 && b1 == 0) ||
         (b0 == 0 && b1 != 0);
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

bool ParseXmlContent(SXmlNode& node, const std::string& content, const std::string& name,
                     std::string* error) {
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
  return ParseContentAt(root, std::string_view(text).substr(start), "", 0, start, error);
}

bool LoadXmlFile(SXmlNode& root, const std::string& path, std::string* error) {
  std::string bytes, why;
  if (!ReadDataFile(path, kMaxXmlFileBytes, bytes, &why)) {
    SetError(error, why);
    return false;
  }
  if (LooksLikeUtf16(bytes)) {
    SetError(error, "the file is not UTF-8 text (it looks like UTF-16)");
    return false;
  }
  // The text ends at the first zero byte.
  bytes.resize(std::min(bytes.size(), bytes.find('\0')));
  return ParseXmlDocument(root, bytes, error);
}

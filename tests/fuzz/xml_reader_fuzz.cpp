// libFuzzer target for the XML reader: any text parses into a tree or is
// refused with a message; never a crash, a leak or an out-of-bounds access.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/xml_reader.h"

namespace {
// Every name and text of the tree is made of the document's bytes.
void Check(const SXmlNode& node, const std::string& document, int depth) {
  if (depth > kMaxXmlDepth + 1) std::abort();
  if (node.m_text.size() > document.size() || node.m_name.size() > document.size()) std::abort();
  for (const SXmlNode* child : node.m_children) {
    if (!child) std::abort();
    Check(*child, document, depth + 1);
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  if (size > kMaxXmlFileBytes) return 0;
  const std::string document(reinterpret_cast<const char*>(data), size);
  SXmlNode root;
  std::string error;
  const bool ok = ParseXmlDocument(root, document, &error);
  if (ok != error.empty()) std::abort();
  Check(root, document, 0);
  return 0;
}

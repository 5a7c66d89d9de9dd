#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "game/xml_reader.h"
#include "testkit.h"

namespace {
// name[text]{children} for every node below the root, children in order.
std::string Dump(const SXmlNode& node) {
  std::string out;
  for (const SXmlNode* child : node.m_children) {
    out += child->m_name;
    if (!child->m_text.empty()) out += "[" + child->m_text + "]";
    if (!child->m_children.empty()) out += "{" + Dump(*child) + "}";
    out += ";";
  }
  return out;
}
}  // namespace

TEST(XmlReader, DocumentsAndTheTreesTheyGive) {
  const struct {
    const char* text;
    bool ok;
    const char* tree;
  } cases[] = {
      {"<a>x</a>", true, "a[x];"},
      {"<?xml version=\"1.0\"?>\r\n<a> \t x y \r\n</a>", true, "a[x y];"},
      {"junk <?xml ?><a>1</a>", true, "a[1];"},  // anything before the prolog is skipped
      {"<a><b>1</b><c/><d />  </a>", true, "a[<b>1</b><c/><d />]{b[1];c;d;};"},
      {"<a><b><c>deep</c></b></a><e>2</e>", true, "a[<b><c>deep</c></b>]{b[<c>deep</c>]{c[deep];};};e[2];"},
      {"<a>caf\xc3\xa9 &amp; th\xc3\xa9</a>", true, "a[caf\xc3\xa9 &amp; th\xc3\xa9];"},  // bytes as written
      {"<A>1</A><a>2</a>", true, "A[1];a[2];"},                                           // names are exact
      {"", true, ""},
      {"   ", true, ""},
      // Malformed: false, the tree keeps what came before the fault.
      {"<?xml version=\"1.0\"<a>1</a>", false, ""},
      {"<a>1</a><b>2", false, "a[1];"},
      {"<a>1</a><b", false, "a[1];"},
      {"<a>1</a><b x=\"1\">2</b>", false, "a[1];"},
      {"<a>1</a><b >2</b>", false, "a[1];"},
      {"<a><b>1</b><c>2</a>", false, "a{b[1];};"},
      {"<a><a>1</a></a>", false, "a;"},  // the outer element closes at the inner closing tag
      {"<!-- note --><a>1</a>", false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    SXmlNode root;
    std::string error;
    EXPECT_EQ(ParseXmlDocument(root, c.text, &error), c.ok);
    EXPECT_EQ(Dump(root), c.tree);
    EXPECT_EQ(error.empty(), c.ok) << error;
    EXPECT_EQ(root.m_name, "");
  }
}

TEST(XmlReader, RootTextAndClear) {
  SXmlNode root;
  ASSERT_TRUE(ParseXmlDocument(root, "  plain text  "));
  EXPECT_EQ(root.m_text, "plain text");
  ASSERT_TRUE(ParseXmlDocument(root, "<x><y>1</y></x>"));
  ASSERT_NE(root.FindChild("x"), nullptr);
  EXPECT_EQ(root.FindChild("y"), nullptr);  // only direct children
  root.Clear();
  EXPECT_TRUE(root.m_children.empty());
  EXPECT_EQ(root.m_text, "");
}

TEST(XmlReader, NestingBeyondTheLimitFailsWithoutExhaustingTheStack) {
  std::string text;
  const int levels = kMaxXmlDepth + 50;
  for (int i = 0; i < levels; ++i) text += "<e" + std::to_string(i) + ">";
  for (int i = levels - 1; i >= 0; --i) text += "</e" + std::to_string(i) + ">";
  SXmlNode root;
  std::string error;
  EXPECT_FALSE(ParseXmlDocument(root, text, &error));
  EXPECT_NE(error.find("deeper"), std::string::npos) << error;
}

TEST(XmlReader, FilesAreReadUpToTheirFirstZeroByte) {
  testkit::TempDir dir;
  SXmlNode root;
  std::string error;
  const std::string bytes("<a>1</a>\0<b>", 12);
  ASSERT_TRUE(LoadXmlFile(root, dir.WriteFile("zero.xml", bytes), &error)) << error;
  EXPECT_EQ(Dump(root), "a[1];");
  EXPECT_FALSE(LoadXmlFile(root, dir / "missing.xml", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(LoadXmlFile(root, dir.MakeFolder("folder.xml"), &error));
  const std::string big = dir.WriteFile("big.xml", std::string(size_t(kMaxXmlFileBytes) + 1, ' '));
  EXPECT_FALSE(LoadXmlFile(root, big, &error));
  EXPECT_NE(error.find("large"), std::string::npos) << error;
}

// Description files come from folders anyone may fill: special files are
// refused without blocking, UTF-16 text is named as such.
TEST(XmlReader, SpecialFilesAndUtf16AreRefusedWithTheReason) {
  testkit::TempDir dir;
  SXmlNode root;
  std::string error;
  ASSERT_EQ(::mkfifo((dir / "pipe.txt").c_str(), 0600), 0);
  EXPECT_FALSE(LoadXmlFile(root, dir / "pipe.txt", &error));
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
  std::filesystem::create_symlink("/dev/zero", dir / "zero.txt");
  EXPECT_FALSE(LoadXmlFile(root, dir / "zero.txt", &error));
  for (const std::string& utf16 : {std::string("\xFF\xFE<\0a\0>\0", 8), std::string("<\0a\0>\0", 6),
                                   std::string("\xFE\xFF\0<\0a\0>", 8)}) {
    EXPECT_FALSE(LoadXmlFile(root, dir.WriteFile("utf16.txt", utf16), &error));
    EXPECT_NE(error.find("not UTF-8"), std::string::npos) << error;
  }
}

// A file at the size limit nested as deep as allowed parses in full.
TEST(XmlReader, DeepNestingAtTheSizeLimitParses) {
  const int levels = kMaxXmlDepth - 1;
  // Distinct names, so that every level closes at its own tag.
  std::string open, close;
  for (int i = 0; i < levels; ++i) {
    open += "<e" + std::to_string(i) + ">";
    close = "</e" + std::to_string(i) + ">" + close;
  }
  const std::string filler(size_t(kMaxXmlFileBytes) - open.size() - close.size(), 'x');
  testkit::TempDir dir;
  SXmlNode root;
  std::string error;
  ASSERT_TRUE(LoadXmlFile(root, dir.WriteFile("deep.txt", open + filler + close), &error)) << error;
  const SXmlNode* node = &root;
  for (int i = 0; i < levels; ++i) {
    ASSERT_EQ(node->m_children.size(), 1u);
    node = node->m_children[0];
  }
  EXPECT_EQ(node->m_text, filler);
}

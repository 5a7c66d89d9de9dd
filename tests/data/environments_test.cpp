// The table environments: "001.txt" (the default) and several more
// description files, each UTF-8 with an Environment element whose children
// name the table in English and French, a texture that exists in the
// environment textures folder and loads, and a positive tile width. Start
// tags carry no attributes or blanks, as the game's reader needs.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "data_files.h"
#include "support/support.h"

namespace {

// The trimmed text between <name> and </name> inside the range; found is
// false when either tag is missing.
std::string Element(const std::string& doc, const std::string& name, size_t from, size_t to, bool& found) {
  const std::string open = "<" + name + ">", close = "</" + name + ">";
  const size_t start = doc.find(open, from);
  const size_t end = start == std::string::npos ? start : doc.find(close, start);
  found = start != std::string::npos && end != std::string::npos && end + close.size() <= to;
  if (!found) return "";
  std::string text = doc.substr(start + open.size(), end - start - open.size());
  TrimLeft(text);
  TrimRight(text, " \t\r\n");
  return text;
}

TEST(DataEnvironments, DescriptionsNameTheirTexturesAndWidths) {
  std::vector<std::string> files;
  const std::string folder = datatest::InstalledPath("Environments");
  ListFilesInFolder(folder, files, "txt");
  ASSERT_GE(files.size(), 4u);
  EXPECT_NE(std::find(files.begin(), files.end(), "001.txt"), files.end());
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    const std::string doc = datatest::ReadFileBytes(folder + "/" + file);
    ASSERT_FALSE(doc.empty());
    EXPECT_EQ(QString::fromUtf8(doc.data(), static_cast<qsizetype>(doc.size())).toUtf8().toStdString(), doc)
        << "not UTF-8";
    const size_t prolog = doc.find("<?xml");
    if (prolog != std::string::npos) {
      EXPECT_NE(doc.find("?>", prolog), std::string::npos);
    }
    bool found = false;
    Element(doc, "Environment", 0, doc.size(), found);
    ASSERT_TRUE(found);
    const size_t from = doc.find("<Environment>"), to = doc.find("</Environment>") + 14;
    const char* names[] = {"NameEnglish", "NameFrench"};
    for (const char* name : names) {
      EXPECT_FALSE(Element(doc, name, from, to, found).empty()) << name;
      EXPECT_TRUE(found) << name;
    }
    const std::string texture = Element(doc, "TextureFileName", from, to, found);
    ASSERT_TRUE(found);
    EXPECT_GT(std::atoi(Element(doc, "Width", from, to, found).c_str()), 0);
    EXPECT_TRUE(found);
    const QImage image = datatest::LoadPicture(folder + "/Textures/" + texture);
    ASSERT_FALSE(image.isNull()) << texture;
    EXPECT_TRUE(datatest::IsPowerOfTwo(image.width()) && datatest::IsPowerOfTwo(image.height()));
  }
}

}  // namespace

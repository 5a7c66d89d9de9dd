#include <gtest/gtest.h>

#include <fstream>

#include "resources/strings.h"
#include "support/string_table.h"
#include "support/support.h"
#include "testkit.h"

namespace {
std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

class StringTableTest : public ::testing::Test {
 protected:
  void SetUp() override { SetBuiltInStrings(&english); }
  void TearDown() override {
    UnloadLanguageStrings();
    SetBuiltInStrings(nullptr);
  }
  StringTable english{{1, "One"}, {2, "Two"}};
  testkit::TempDir dir;
};
}  // namespace

TEST_F(StringTableTest, LanguageFileFirstThenEnglishThenEmpty) {
  EXPECT_EQ(LoadResString(1), "One");
  const std::string file = dir.WriteFile("fr.strings", "# comment\n\n1\tUn \\\"é\\\"\\nlà\r\n");
  std::string error;
  ASSERT_FALSE(LoadLanguageStrings(file, &error));  // \" is not an escape
  EXPECT_NE(error.find("line 3"), std::string::npos) << error;
  dir.WriteFile("fr.strings", "# comment\n\n1\tUn \"é\"\\nlà\\t\\\\\r\n");
  ASSERT_TRUE(LoadLanguageStrings(file, &error)) << error;
  EXPECT_EQ(LoadResString(1), "Un \"é\"\nlà\t\\");
  EXPECT_EQ(LoadResString(2), "Two");
  EXPECT_EQ(LoadResString(3), "");
  UnloadLanguageStrings();
  EXPECT_EQ(LoadResString(1), "One");
}

TEST_F(StringTableTest, BadFileKeepsTheLoadedLanguage) {
  ASSERT_TRUE(LoadLanguageStrings(dir.WriteFile("ok.strings", "2\tDeux\n")));
  const struct {
    const char* text;
  } bad[] = {{"2 Deux\n"}, {"x2\tDeux\n"}, {"\tDeux\n"}, {"2\tDeux\\q\n"}, {"99999999\tGros\n"}};
  for (const auto& b : bad) {
    std::string error;
    EXPECT_FALSE(LoadLanguageStrings(dir.WriteFile("bad.strings", b.text), &error)) << b.text;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(LoadResString(2), "Deux");
  }
  EXPECT_FALSE(LoadLanguageStrings(dir / "absent.strings"));
  EXPECT_EQ(LoadResString(2), "Deux");
}

TEST(ProgramStrings, BothProgramsKnowTheirTitlesAndTheFrenchFilesParse) {
  SetBuiltInStrings(&GameStrings());
  EXPECT_EQ(LoadResString(IDS_PRODUCT_TITLE), "Ravelle");
  SetBuiltInStrings(&SaverStrings());
  EXPECT_EQ(LoadResString(IDS_SAVER_PRODUCT_TITLE), "Ravelle Screensaver");
  SetBuiltInStrings(nullptr);

  // The installed French tables parse, and each of their ids is one the
  // program knows in English (a mistyped id would never be shown).
  const struct {
    const char* file;
    const StringTable& english;
  } programs[] = {{"RavelleGame.strings", GameStrings()}, {"Brindle.strings", SaverStrings()}};
  const std::string folder = GetInstallDir() + "/LanguageFrench/";
  for (const auto& p : programs) {
    SCOPED_TRACE(p.file);
    StringTable french;
    std::string error;
    ASSERT_TRUE(ParseStringTable(ReadWholeFile(folder + p.file), french, &error)) << error;
    EXPECT_FALSE(french.empty());
    for (const auto& [id, text] : french) EXPECT_TRUE(p.english.count(id)) << id << " " << text;
  }
}

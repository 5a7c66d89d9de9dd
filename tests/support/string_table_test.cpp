#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
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
  StringTable english{{1, "One"}, {2, "Two"}, {9001, "Missing page:\n%s"}, {7, "%d of %5.1f, %%, %zu %c"}};
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

// A language file is data: its texts never reach printf as a format. A
// line whose conversions differ from the English text's is not used.
TEST_F(StringTableTest, TranslationsWithOtherConversionsFallBackToEnglish) {
  const struct {
    const char* french;
    const char* shown;  // FormatResString(9001, "/x/page.html")
  } cases[] = {
      {"Page absente :\\n%s", "Page absente :\n/x/page.html"},  // same conversions: used
      {"%s%s%s%s%s%s%s", "Missing page:\n/x/page.html"},        // reads past the values
      {"%x %x %x %x %s", "Missing page:\n/x/page.html"},        // shows the stack
      {"%n%s", "Missing page:\n/x/page.html"},                  // writes through a pointer
      {"%d", "Missing page:\n/x/page.html"},                    // other kind
      {"%*s", "Missing page:\n/x/page.html"},                   // width from a value
      {"%1$s", "Missing page:\n/x/page.html"},                  // numbered value
      {"Absente", "Missing page:\n/x/page.html"},               // none at all
      {"100 %% absente : %s", "100 % absente : /x/page.html"},  // "%%" is no conversion
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.french);
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(LoadLanguageStringsFromText(std::string("2\tDeux\n9001\t") + c.french + "\n", "fr"));
    const std::string warning = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(FormatResString(9001, "/x/page.html"), c.shown);
    EXPECT_EQ(LoadResString(2), "Deux");  // the rest of the file is used
    const bool used = std::string(c.shown).find("Missing") == std::string::npos;
    EXPECT_EQ(warning.empty(), used) << warning;
    if (!used) {
      EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
    }
  }
  // Every kind of value the program's own texts may take.
  UnloadLanguageStrings();
  EXPECT_EQ(FormatResString(7, -3, 2.25, size_t{12}, 'x'), "-3 of   2.2, %, 12 x");
  ASSERT_TRUE(LoadLanguageStringsFromText("7\t%d sur %5.1f, %%, %zu %c\n", "fr"));
  EXPECT_EQ(FormatResString(7, -3, 2.25, size_t{12}, 'x'), "-3 sur   2.2, %, 12 x");
}

TEST_F(StringTableTest, ByteOrderMarkIsSkippedAndSpecialFilesAreRefused) {
  ASSERT_TRUE(LoadLanguageStrings(dir.WriteFile("bom.strings",
                                                "\xEF\xBB\xBF"
                                                "2\tDeux\n")));
  EXPECT_EQ(LoadResString(2), "Deux");
  ASSERT_EQ(::mkfifo((dir / "pipe.strings").c_str(), 0600), 0);
  std::string error;
  EXPECT_FALSE(LoadLanguageStrings(dir / "pipe.strings", &error));  // returns at once
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
  EXPECT_FALSE(LoadLanguageStrings(dir.WriteFile("big.strings", std::string(1024 * 1024 + 1, '#')), &error));
  EXPECT_NE(error.find("too large"), std::string::npos) << error;
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
    for (const auto& [id, text] : french) {
      ASSERT_TRUE(p.english.count(id)) << id << " " << text;
      std::vector<std::string> ours, theirs;
      EXPECT_TRUE(ListConversions(text, theirs) && ListConversions(p.english.at(id), ours) && ours == theirs)
          << id << " " << text;
    }
  }
}

// Both about boxes carry one legal warning, in each language.
TEST(ProgramStrings, BothAboutBoxesShowTheSameLegalWarning) {
  EXPECT_EQ(GameStrings().at(226), SaverStrings().at(2130));
  const std::string folder = GetInstallDir() + "/LanguageFrench/";
  StringTable game, saver;
  ASSERT_TRUE(ParseStringTable(ReadWholeFile(folder + "RavelleGame.strings"), game));
  ASSERT_TRUE(ParseStringTable(ReadWholeFile(folder + "Brindle.strings"), saver));
  ASSERT_TRUE(game.count(226) && saver.count(2130));
  EXPECT_EQ(game.at(226), saver.at(2130));
}

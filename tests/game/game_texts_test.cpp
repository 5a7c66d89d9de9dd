// The game's texts: every English string has its French one, menu items
// carry the same accelerator label in both, and the formats take the same
// arguments.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <fstream>
#include <sstream>

#include "game/frame_commands.h"
#include "resources/strings.h"
#include "support/string_table.h"
#include "support/support.h"

namespace {
// The printf conversions of a format, in order.
std::string Conversions(const std::string& format) {
  std::string out;
  for (size_t i = 0; i + 1 < format.size(); ++i) {
    if (format[i] != '%') continue;
    size_t j = i + 1;
    while (j < format.size() && std::string("0123456789.-+ #").find(format[j]) != std::string::npos) ++j;
    if (j < format.size()) out += format[j];
    i = j;
  }
  return out;
}

std::string Label(const std::string& text) {
  const size_t tab = text.find('\t');
  return tab == std::string::npos ? "" : text.substr(tab + 1);
}
}  // namespace

TEST(GameTexts, FrenchHasEveryGameStringWithTheSameShape) {
  std::ifstream in(GetInstallDir() + "/LanguageFrench/RavelleGame.strings");
  ASSERT_TRUE(in) << "no French file in the installation";
  std::stringstream text;
  text << in.rdbuf();
  StringTable french;
  std::string error;
  ASSERT_TRUE(ParseStringTable(text.str(), french, &error)) << error;
  for (const auto& [id, english] : GameStrings()) {
    SCOPED_TRACE(id);
    const auto it = french.find(id);
    ASSERT_NE(it, french.end()) << english;
    EXPECT_FALSE(it->second.empty());
    EXPECT_EQ(Conversions(it->second), Conversions(english));
    // Menu items: the same function key in both languages (Escape and
    // Ctrl are written out in each language).
    const std::string label = Label(english);
    EXPECT_EQ(Label(it->second).empty(), label.empty());
    if (label.size() <= 3) {
      EXPECT_EQ(Label(it->second), label);
    }
  }
}

// The game's language reaches the toolkit's own texts (its file dialogs and
// message box buttons), in both directions.
TEST(GameTexts_Offscreen, TheToolkitsOwnTextsFollowTheGamesLanguage) {
  const auto lookIn = [] { return QCoreApplication::translate("QFileDialog", "Look in:"); };
  CFrameCommands::LoadLanguage(CFrameCommands::kFrench);
  EXPECT_EQ(lookIn(), QString::fromUtf8("Voir dans :"));
  CFrameCommands::LoadLanguage(CFrameCommands::kEnglish);
  EXPECT_EQ(lookIn(), "Look in:");
}

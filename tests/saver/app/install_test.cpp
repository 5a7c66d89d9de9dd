#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/profile.h"
#include "resources/strings.h"
#include "saver/app/install.h"
#include "saver_fixture.h"
#include "testkit.h"

namespace {

// A private data home and profile; the real ones are never touched.
class SaverInstallEntry : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProfileFile(m_dir / "profile.ini");
    SetBuiltInStrings(&SaverStrings());
  }
  void TearDown() override {
    SetProfileFile("");
    SetBuiltInStrings(nullptr);
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  testkit::TempDir m_dir;
  ScopedEnvironment m_dataHome{"XDG_DATA_HOME", m_dir / "data"};
};

}  // namespace

TEST_F(SaverInstallEntry, WritesTheProfileValuesAndTheDesktopEntry) {
  ASSERT_TRUE(SetDesktopScreensaver("/opt/ravelle/bin/Ravelle"));
  EXPECT_EQ(ProfileGetString(kDesktopSaverSection, "ScreensaverPath", ""), "/opt/ravelle/bin/Ravelle");
  EXPECT_EQ(ProfileGetString(kDesktopSaverSection, "ScreenSaveActive", ""), "1");
  EXPECT_EQ(DesktopEntryFolder(), m_dir / "data/applications/screensavers");
  EXPECT_EQ(Read(m_dir / "data/applications/screensavers/ravelle.desktop"),
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Ravelle\n"
            "Comment=Ravelle Screensaver\n"
            "TryExec=/opt/ravelle/bin/Ravelle\n"
            "Exec=/opt/ravelle/bin/Ravelle --root\n"
            "Categories=Screensaver;\n"
            "OnlyShowIn=GNOME;MATE;XFCE;X-Cinnamon;\n"
            "NoDisplay=true\n");
  // Installing again replaces the entry.
  ASSERT_TRUE(SetDesktopScreensaver("/usr/games/Ravelle"));
  EXPECT_NE(
      Read(m_dir / "data/applications/screensavers/ravelle.desktop").find("Exec=/usr/games/Ravelle --root"),
      std::string::npos);
}

TEST_F(SaverInstallEntry, PathsWithBlanksOrQuotesAreQuotedForTheExecLine) {
  EXPECT_EQ(QuoteExecArgument("/opt/Ravelle"), "/opt/Ravelle");
  EXPECT_EQ(QuoteExecArgument("/home/a b/Ravelle"), "\"/home/a b/Ravelle\"");
  // \" in the quoted argument, each backslash doubled again for the entry.
  EXPECT_EQ(QuoteExecArgument("/x/\"$y"), "\"/x/\\\\\"\\\\$y\"");
}

// TryExec is a file name, not a command line: never quoted, only escaped as
// an entry's string; and desktop-file-validate takes the entry as it is.
TEST_F(SaverInstallEntry, FromAFolderWithBlanksTryExecNamesTheFileAndTheEntryIsValid) {
  const std::string program = m_dir / "with blank/bin/Ravelle";
  ASSERT_TRUE(SetDesktopScreensaver(program));
  const std::string entry = m_dir / "data/applications/screensavers/ravelle.desktop";
  const std::string text = Read(entry);
  EXPECT_NE(text.find("\nTryExec=" + program + "\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nExec=\"" + program + "\" --root\n"), std::string::npos) << text;

  const std::string report = m_dir / "validator.txt";
  const int status = std::system(("desktop-file-validate '" + entry + "' >'" + report + "' 2>&1").c_str());
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0) << Read(report);
  EXPECT_EQ(Read(report).find("error"), std::string::npos) << Read(report);
}

TEST_F(SaverInstallEntry, StringValuesEscapeWhatTheEntryRulesReserve) {
  const struct {
    const char* value;
    const char* escaped;
  } cases[] = {
      {"/opt/a b/Ravelle", "/opt/a b/Ravelle"},
      {"/x\\y", "/x\\\\y"},
      {"a\nb\tc\rd", "a\\nb\\tc\\rd"},
      {" lead", "\\slead"},
      {"\"$`", "\"$`"},
  };
  for (const auto& c : cases) EXPECT_EQ(DesktopEntryString(c.value), c.escaped) << c.value;
}

TEST_F(SaverInstallEntry, AnEntryThatCannotBeWrittenIsAFailure) {
  m_dir.WriteFile("blocker", "a file where the folder should be");
  setenv("XDG_DATA_HOME", (m_dir / "blocker").c_str(), 1);
  EXPECT_FALSE(SetDesktopScreensaver("/opt/ravelle/bin/Ravelle"));
}

TEST_F(SaverInstallEntry, WithoutADataHomeTheEntryGoesBelowHome) {
  unsetenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  EXPECT_EQ(DesktopEntryFolder(), std::string(home ? home : "") + "/.local/share/applications/screensavers");
  setenv("XDG_DATA_HOME", "relative/path", 1);
  EXPECT_EQ(DesktopEntryFolder(), std::string(home ? home : "") + "/.local/share/applications/screensavers");
}

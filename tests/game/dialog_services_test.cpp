#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTextBrowser>

#include "game/dialog_services.h"
#include "platform/help_viewer.h"
#include "platform/profile.h"
#include "platform/shell.h"
#include "resources/strings.h"
#include "support/string_table.h"
#include "testkit.h"

TEST(ImageType, ExtensionsGiveFormatCodes) {
  const struct {
    const char* path;
    int type;
  } cases[] = {
      {"a.bmp", 1}, {"a.GIF", 2},       {"/p/a.jpg", 3}, {"/p/x.y/a.JPEG", 3}, {"a.png", 4},
      {"a.tif", 0}, {"noextension", 0}, {"a.", 0},       {"/p.png/a", 0},      {"a.png.txt", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(GetImageTypeFromExtension(c.path), c.type) << c.path;
}

namespace {
// An installation with help pages, the profile and a recording shell.
class Help_Offscreen : public ::testing::Test {
 protected:
  void SetUp() override {
    SetBuiltInStrings(&GameStrings());
    SetProfileFile(m_dir / "profile.ini");
    m_dir.WriteFile("Help/english/0.html",
                    "<html><head><title>Contents</title></head><body>Index</body></html>");
    m_dir.WriteFile("Help/french/903.html", "<html><body>Table</body></html>");
  }
  void TearDown() override {
    delete HelpWindow();
    SetProfileFile("");
    SetBuiltInStrings(nullptr);
  }
  testkit::TempDir m_dir;
  testkit::ScopedInstallation m_install{m_dir.path()};
  ScopedRecordingShell m_shell;
};
}  // namespace

TEST_F(Help_Offscreen, TopicsOpenTheirPageOfTheCurrentLanguage) {
  EXPECT_EQ(GetHelpPagePath(0), m_dir.path() + "/Help/english/0.html");
  ShowHelp(0);
  ASSERT_NE(HelpWindow(), nullptr);
  EXPECT_TRUE(HelpWindow()->isVisible());
  EXPECT_EQ(HelpViewerBrowser()->source().toLocalFile().toStdString(), m_dir / "Help/english/0.html");
  EXPECT_EQ(HelpWindow()->windowTitle().toStdString(), "Contents");

  ProfileWriteString("", "Language", "French");
  QWidget* const window = HelpWindow();
  ShowHelp(903);
  EXPECT_EQ(HelpWindow(), window);  // one window, reused
  EXPECT_EQ(HelpViewerBrowser()->source().toLocalFile().toStdString(), m_dir / "Help/french/903.html");
  EXPECT_EQ(HelpWindow()->windowTitle().toStdString(), "Ravelle");
  EXPECT_TRUE(m_shell.boxes.empty());
}

// The language value and the translated message are data: neither steers
// the path nor formats the message; a page that is a pipe is not opened.
TEST_F(Help_Offscreen, HostileLanguageTranslationAndPageAreHarmless) {
  ProfileWriteString("", "Language", "../../../../tmp/evil");
  EXPECT_EQ(GetHelpPagePath(0), m_dir.path() + "/Help/english/0.html");
  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(LoadLanguageStringsFromText("9001\t%s%s%s%s%s%s%s %n\n", "fr"));
  ::testing::internal::GetCapturedStderr();
  ASSERT_EQ(::mkfifo((m_dir / "Help/english/32502.html").c_str(), 0600), 0);
  ShowHelp(32502);  // returns at once
  UnloadLanguageStrings();
  EXPECT_EQ(HelpWindow(), nullptr);
  ASSERT_EQ(m_shell.boxes.size(), 1u);
  EXPECT_EQ(m_shell.boxes[0].text,
            "The help page could not be found:\n" + (m_dir / "Help/english/32502.html"));

  // A picture of a page that is a pipe is not opened either.
  m_dir.WriteFile("Help/english/0.html", "<html><body><p>Contents</p><img src='pipe.png'></body></html>");
  ASSERT_EQ(::mkfifo((m_dir / "Help/english/pipe.png").c_str(), 0600), 0);
  ShowHelp(0);
  ASSERT_NE(HelpWindow(), nullptr);
  HelpWindow()->grab();  // lays the page out, which loads its pictures
  EXPECT_TRUE(HelpViewerBrowser()->toPlainText().contains("Contents"));
}

TEST_F(Help_Offscreen, MissingPageIsReportedByName) {
  ShowHelp(32502);
  EXPECT_EQ(HelpWindow(), nullptr);
  ASSERT_EQ(m_shell.boxes.size(), 1u);
  const std::string page = m_dir / "Help/english/32502.html";
  EXPECT_EQ(m_shell.boxes[0].text, "The help page could not be found:\n" + page);
  EXPECT_EQ(m_shell.boxes[0].caption, "Ravelle");
  EXPECT_EQ(m_shell.boxes[0].flags, MB_OK | MB_ICONWARNING);
}

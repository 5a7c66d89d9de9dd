#include <gtest/gtest.h>

#include <QTextBrowser>

#include "platform/help_viewer.h"
#include "platform/profile.h"
#include "platform/shell.h"
#include "resources/strings.h"
#include "saver/picture_lists.h"
#include "testkit.h"

namespace {
// An installation of our own with a sample folder and a profile.
class SaverInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProfileFile(m_dir / "profile.ini");
    SetBuiltInStrings(&SaverStrings());
  }
  void TearDown() override {
    SetProfileFile("");
    SetBuiltInStrings(nullptr);
  }
  testkit::TempDir m_dir;
  testkit::ScopedInstallation m_install{m_dir.path()};
};
class SaverHelp_Offscreen : public SaverInstall {
 protected:
  void TearDown() override {
    delete HelpViewerWindow();
    SaverInstall::TearDown();
  }
};
}  // namespace

TEST_F(SaverInstall, PicturesAreTheSampleFolderFilesWithPictureExtensions) {
  for (const char* name : {"A.JPG", "b.Png", "c.gif", "e.jpeg", "f.bmp.txt", "noext"})
    m_dir.WriteFile(std::string("PuzzleSamples/") + name, "");
  m_dir.MakeFolder("PuzzleSamples/d.bmp");
  std::vector<std::string> folders{"stale"};
  ASSERT_TRUE(GetImageFolders(folders));
  EXPECT_EQ(folders, std::vector<std::string>{m_dir / "PuzzleSamples"});
  std::vector<std::string> names;
  GetImageFiles(m_dir / "PuzzleSamples", names);
  EXPECT_EQ(names, (std::vector<std::string>{"A.JPG", "b.Png", "e.jpeg"}));

  std::vector<std::string> paths;
  BuildImageList(paths);
  BuildImageList(paths);  // a second call replaces, it does not append
  EXPECT_EQ(paths, (std::vector<std::string>{m_dir / "PuzzleSamples/A.JPG", m_dir / "PuzzleSamples/b.Png",
                                             m_dir / "PuzzleSamples/e.jpeg"}));
}

TEST_F(SaverInstall, MissingSampleFolderGivesNoPictures) {
  std::vector<std::string> paths{"stale"};
  BuildImageList(paths);
  EXPECT_TRUE(paths.empty());
}

// The user's folders follow the sample folder: each once, only those that can
// be listed, and their pictures join the list the scenes pick from.
TEST_F(SaverInstall, UserFoldersThatCanBeReadFollowTheSampleFolder) {
  m_dir.WriteFile("PuzzleSamples/s.png", "");
  m_dir.WriteFile("mine/m.JPG", "");
  m_dir.WriteFile("mine/notes.txt", "");
  m_dir.WriteFile("a file", "");
  const std::vector<std::string> stored{m_dir / "mine", m_dir / "gone", m_dir / "a file",
                                        m_dir / "PuzzleSamples", m_dir / "mine"};
  ASSERT_TRUE(WriteUserImageFolders(stored));
  ProfileWriteString(kSaverFoldersSection, "Count", "7");  // past the end and an empty entry: skipped
  ProfileWriteString(kSaverFoldersSection, "Folder7", m_dir / "mine");
  EXPECT_EQ(ReadUserImageFolders(), (std::vector<std::string>{m_dir / "mine", m_dir / "gone",
                                                              m_dir / "a file", m_dir / "PuzzleSamples"}));
  std::vector<std::string> folders;
  ASSERT_TRUE(GetImageFolders(folders));
  EXPECT_EQ(folders, (std::vector<std::string>{m_dir / "PuzzleSamples", m_dir / "mine"}));
  std::vector<std::string> paths;
  BuildImageList(paths);
  EXPECT_EQ(paths, (std::vector<std::string>{m_dir / "PuzzleSamples/s.png", m_dir / "mine/m.JPG"}));
}

// A shorter list replaces a longer one: the entries past its end are gone,
// whatever count is read later.
TEST_F(SaverInstall, StoringFewerFoldersLeavesNoneOfTheOldOnes) {
  ASSERT_TRUE(WriteUserImageFolders({"/a", "/b", "/c"}));
  ASSERT_TRUE(WriteUserImageFolders({"/z"}));
  EXPECT_EQ(ReadUserImageFolders(), std::vector<std::string>{"/z"});
  ProfileWriteInt(kSaverFoldersSection, "Count", 3);
  EXPECT_EQ(ReadUserImageFolders(), std::vector<std::string>{"/z"});
  ASSERT_TRUE(WriteUserImageFolders({}));
  EXPECT_TRUE(ReadUserImageFolders().empty());
  ProfileWriteInt(kSaverFoldersSection, "Count", 2000000000);  // a damaged count ends the reading quickly
  EXPECT_TRUE(ReadUserImageFolders().empty());
}

TEST_F(SaverInstall, ProductTextsAndTheHelpPageOfTheLanguage) {
  EXPECT_EQ(GetProductTitle(), "Ravelle Screensaver");
  EXPECT_EQ(GetGameVersion(), "1.03");
  EXPECT_EQ(GetSaverHelpPagePath(), m_dir / "Help/english/5001.html");
  ProfileWriteString("", "Language", "french");
  EXPECT_EQ(GetSaverHelpPagePath(), m_dir / "Help/french/5001.html");
}

TEST_F(SaverHelp_Offscreen, ShowsThePageOrSaysItIsMissing) {
  ScopedRecordingShell shell;
  ShowSaverHelp();
  EXPECT_EQ(HelpViewerWindow(), nullptr);
  ASSERT_EQ(shell.boxes.size(), 1u);
  EXPECT_NE(shell.boxes[0].text.find(m_dir / "Help/english/5001.html"), std::string::npos);
  EXPECT_EQ(shell.boxes[0].caption, "Ravelle Screensaver");

  m_dir.WriteFile("Help/english/5001.html", "<html><body>Screen saver</body></html>");
  ShowSaverHelp();
  ASSERT_NE(HelpViewerWindow(), nullptr);
  EXPECT_TRUE(HelpViewerWindow()->isVisible());
  EXPECT_EQ(HelpViewerWindow()->windowTitle().toStdString(), "Ravelle Screensaver");
  EXPECT_EQ(shell.boxes.size(), 1u);
}

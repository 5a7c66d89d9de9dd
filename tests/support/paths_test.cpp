#include <gtest/gtest.h>

#include <fstream>

#include "platform/profile.h"
#include "support/support.h"
#include "testkit.h"

TEST(Paths, ExtensionNameAndFolder) {
  const struct {
    const char *path, *ext, *name, *folder;
  } cases[] = {
      {"/pics.d/photo", "", "photo", "/pics.d"},
      {"photo.JPG", "JPG", "photo.JPG", "photo.JPG"},
      {"archive.tar.gz", "gz", "archive.tar.gz", "archive.tar.gz"},
      {"/home/u/", "", "", "/home/u"},
      {"name.txt", "txt", "name.txt", "name.txt"},
      {"a/b.c/d.e", "e", "d.e", "a/b.c"},
      {"noext", "", "noext", "noext"},
      {"dot.", "", "dot.", "dot."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetFileExtension(c.path), c.ext) << c.path;
    EXPECT_EQ(GetFileNameFromPath(c.path), c.name) << c.path;
    EXPECT_EQ(GetFolderFromPath(c.path), c.folder) << c.path;
  }
}

namespace {
class InstallDir : public ::testing::Test {
 protected:
  void TearDown() override { SetMachineSettingsFile(""); }
  void UseMachineFile(const std::string& contents) {
    std::ofstream(dir / "machine.ini") << contents;
    SetMachineSettingsFile(dir / "machine.ini");
  }
  testkit::TempDir dir;
};
}  // namespace

TEST_F(InstallDir, DataFoldersHangBelowTheInstallationWithoutTrailingSeparators) {
  UseMachineFile("[General]\nInstallDir=/opt/ravelle//\n");
  EXPECT_EQ(GetInstallDir(), "/opt/ravelle");
  EXPECT_EQ(GetTexturesDir(), "/opt/ravelle/Textures");
  EXPECT_EQ(GetSoundsDir(), "/opt/ravelle/Sounds");
  EXPECT_EQ(GetPuzzleSamplesDir(), "/opt/ravelle/PuzzleSamples");
  EXPECT_EQ(GetEnvironmentsDir(), "/opt/ravelle/Environments");
  EXPECT_EQ(GetEnvironmentTexturesDir(), "/opt/ravelle/Environments/Textures");
  EXPECT_EQ(GetTutorialsDir(), "/opt/ravelle/Tutorials");
}

// Without an installation nothing is read from folders of the root: the data
// folders are unknown and the programs say where they looked.
TEST_F(InstallDir, MissingInstallationIsReportedNotTakenForTheRoot) {
  UseMachineFile("[General]\nOther=1\n");
  char buffer[256];
  EXPECT_FALSE(ReadInstallDir(buffer));
  EXPECT_EQ(GetInstallDir(), "");
  for (const std::string& folder : {GetTexturesDir(), GetSoundsDir(), GetPuzzleSamplesDir(),
                                    GetEnvironmentsDir(), GetEnvironmentTexturesDir(), GetTutorialsDir()})
    EXPECT_EQ(folder, "");
  std::vector<std::string> names;
  ListFilesInFolder(GetTexturesDir(), names, "*");
  EXPECT_TRUE(names.empty());
  std::string message = MissingInstallationMessage();
  EXPECT_NE(message.find("not known"), std::string::npos) << message;
  EXPECT_NE(message.find(dir / "machine.ini"), std::string::npos) << message;

  UseMachineFile("[General]\nInstallDir=" + (dir / "gone") + "\n");
  message = MissingInstallationMessage();
  EXPECT_NE(message.find((dir / "gone") + " does not exist"), std::string::npos) << message;
  UseMachineFile("[General]\nInstallDir=" + dir.path() + "\n");
  EXPECT_EQ(MissingInstallationMessage(), "");
}

TEST_F(InstallDir, ValueOnlyOfSeparatorsStaysAsItIs) {
  UseMachineFile("[General]\nInstallDir=//\n");
  EXPECT_EQ(GetInstallDir(), "//");
}

TEST_F(InstallDir, ValuesLongerThanTheBufferAreRefused) {
  const std::string fits(255, 'a'), tooLong(256, 'a');
  char buffer[256];
  UseMachineFile("[General]\nInstallDir=" + fits + "\n");
  ASSERT_TRUE(ReadInstallDir(buffer));
  EXPECT_EQ(std::string(buffer), fits);
  UseMachineFile("[General]\nInstallDir=" + tooLong + "\n");
  EXPECT_FALSE(ReadInstallDir(buffer));
  EXPECT_EQ(GetInstallDir(), "");
}

TEST(Language, ReadFromTheProfileLowerCasedAndOnlyKnownOnes) {
  testkit::TempDir dir;
  SetProfileFile(dir / "p.ini");
  EXPECT_EQ(GetLanguage(), "english");
  ProfileWriteString("", "Language", "French");
  EXPECT_EQ(GetLanguage(), "french");
  // The value becomes a folder of help paths: nothing else gets through.
  for (const char* other : {"../../../../tmp/evil", "german", "french/..", "", "english "}) {
    ProfileWriteString("", "Language", other);
    EXPECT_EQ(GetLanguage(), "english") << other;
  }
  SetProfileFile("");
}

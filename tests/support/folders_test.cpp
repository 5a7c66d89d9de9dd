#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "support/support.h"
#include "testkit.h"

namespace fs = std::filesystem;

TEST(Folders, FolderExistsOnlyForFolders) {
  testkit::TempDir dir;
  const std::string file = dir.WriteFile("plain.txt", "x");
  EXPECT_TRUE(FolderExists(dir.path()));
  EXPECT_TRUE(FolderExists(dir.path() + "/"));
  EXPECT_TRUE(FolderExists("/"));
  EXPECT_FALSE(FolderExists(file));
  EXPECT_FALSE(FolderExists(dir / "missing"));
  EXPECT_FALSE(FolderExists(""));
}

TEST(Folders, CreateFolderPathBuildsEveryLevelOfAbsoluteAndRelativePaths) {
  testkit::TempDir dir;
  EXPECT_TRUE(CreateFolderPath(dir / "x/y/z"));
  EXPECT_TRUE(FolderExists(dir / "x/y/z"));
  EXPECT_TRUE(CreateFolderPath(dir / "x/y/z"));  // existing levels are fine
  EXPECT_TRUE(CreateFolderPath(dir / "p//q/"));
  EXPECT_TRUE(FolderExists(dir / "p/q"));
  dir.WriteFile("blocker", "");
  EXPECT_FALSE(CreateFolderPath(dir / "blocker/inner"));
  const fs::path old = fs::current_path();
  fs::current_path(dir.path());
  EXPECT_TRUE(CreateFolderPath("rel/a"));
  fs::current_path(old);
  EXPECT_TRUE(FolderExists(dir / "rel/a"));
}

TEST(Folders, PrivateFolderIsTheUsersAlone) {
  testkit::TempDir dir;
  const std::string mine = dir / "deep/Ravelle";
  ASSERT_TRUE(CreatePrivateFolder(mine));
  struct stat st;
  ASSERT_EQ(::stat(mine.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ::chmod(mine.c_str(), 0777);
  EXPECT_TRUE(CreatePrivateFolder(mine));  // existing one is tightened
  ASSERT_EQ(::stat(mine.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // A planted link or file is refused.
  fs::create_directory_symlink(mine, dir / "link");
  EXPECT_FALSE(CreatePrivateFolder(dir / "link"));
  EXPECT_FALSE(CreatePrivateFolder(dir / "link/"));  // the separator must not look through it
  EXPECT_FALSE(CreatePrivateFolder(dir / "link//"));
  EXPECT_TRUE(CreatePrivateFolder(mine + "/"));
  dir.WriteFile("file", "");
  EXPECT_FALSE(CreatePrivateFolder(dir / "file"));

  if (::getuid() == 0) {  // only root can hand a folder to someone else
    const std::string theirs = dir.MakeFolder("theirs");
    ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
    EXPECT_FALSE(CreatePrivateFolder(theirs));
  }
}

TEST(Folders, TempDataDirIsPerUser) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string keep = saved ? saved : "";
  setenv("XDG_RUNTIME_DIR", "/run/user/1234/", 1);
  EXPECT_EQ(GetTempDataDir(), "/run/user/1234/Ravelle");
  unsetenv("XDG_RUNTIME_DIR");
  const std::string fallback = GetTempDataDir();
  EXPECT_EQ(GetFileNameFromPath(fallback), "Ravelle-" + std::to_string(::getuid()));
  if (saved) setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
}

TEST(ListFilesInFolder, FiltersByExtensionIgnoringCaseAndSkipsFolders) {
  testkit::TempDir dir;
  for (const char* name : {"b.BMP", "a.jpg", "c.jpeg", "README", "Z.Jpg", "A.jpg"}) dir.WriteFile(name, "");
  dir.MakeFolder("d.bmp");
  ASSERT_EQ(::mkfifo((dir / "pipe.bmp").c_str(), 0600), 0);       // would block a reader
  fs::create_symlink(dir / "b.BMP", dir / "linked.bmp");          // a link to a file counts
  fs::create_symlink(dir / "missing.bmp", dir / "dangling.bmp");  // a broken one does not
  std::vector<std::string> names{"stale"};

  ListFilesInFolder(dir.path(), names, "bmp;JPG");
  EXPECT_EQ(names, (std::vector<std::string>{"A.jpg", "a.jpg", "b.BMP", "linked.bmp", "Z.Jpg"}));

  ListFilesInFolder(dir.path(), names, "*");
  EXPECT_EQ(names,
            (std::vector<std::string>{"A.jpg", "a.jpg", "b.BMP", "c.jpeg", "linked.bmp", "README", "Z.Jpg"}));

  ListFilesInFolder(dir.path(), names, "bmp;");  // empty field: files without extension
  EXPECT_EQ(names, (std::vector<std::string>{"b.BMP", "linked.bmp", "README"}));

  ListFilesInFolder(dir.path(), names, " jpg");  // fields are not trimmed
  EXPECT_TRUE(names.empty());

  ListFilesInFolder(dir / "missing", names, "*");
  EXPECT_TRUE(names.empty());
}

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/data_file.h"
#include "testkit.h"

// Names from data may lead anywhere: only regular files within the cap are
// read, and nothing blocks.
TEST(DataFile, ReadsRegularFilesWithinTheCapOnly) {
  testkit::TempDir dir;
  const std::string small = dir.WriteFile("small.txt", "hello");
  const std::string big = dir.WriteFile("big.txt", std::string(2000, 'x'));
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", dir / "zero");
  std::filesystem::create_symlink(small, dir / "link");

  std::string bytes, error;
  EXPECT_TRUE(ReadDataFile(small, 5, bytes, &error)) << error;
  EXPECT_EQ(bytes, "hello");
  EXPECT_TRUE(ReadDataFile(dir / "link", 100, bytes));
  EXPECT_EQ(bytes, "hello");
  const struct {
    std::string path;
    const char* why;
  } refused[] = {
      {big, "too large"},
      {dir / "pipe", "not a regular file"},
      {dir / "zero", "not a regular file"},
      {dir.path(), "not a regular file"},
      {dir / "missing", "cannot be opened"},
  };
  for (const auto& r : refused) {
    error.clear();
    EXPECT_FALSE(ReadDataFile(r.path, 1000, bytes, &error)) << r.path;
    EXPECT_TRUE(bytes.empty());
    EXPECT_NE(error.find(r.why), std::string::npos) << r.path << ": " << error;
    EXPECT_EQ(OpenDataFile(r.path, 1000), -1) << r.path;
  }
}

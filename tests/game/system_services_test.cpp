// The system report and the update-check launch.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <sstream>

#include "game/game_profile.h"
#include "game/system_services.h"
#include "platform/clock.h"
#include "platform/profile.h"
#include "platform/shell.h"
#include "resources/strings.h"
#include "support/string_table.h"
#include "testkit.h"

namespace {
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class SystemServices : public ::testing::Test {
 protected:
  void SetUp() override {
    SetBuiltInStrings(&GameStrings());
    SetProfileFile(m_dir / "Ravelle.ini");
    const char* tz = std::getenv("TZ");
    m_oldTz = tz ? tz : "";
    m_hadTz = tz != nullptr;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    if (m_hadTz)
      setenv("TZ", m_oldTz.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
    m_install.reset();
    SetProfileFile("");
    SetBuiltInStrings(nullptr);
  }
  // An installation folder (with or without the checker) named by the
  // machine settings.
  void InstallAt(const std::string& folder) { m_install.emplace(folder, m_dir.path()); }
  static std::time_t Utc(int year, int month, int day, int hour, int minute) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    return timegm(&t);
  }

  testkit::TempDir m_dir;
  std::optional<testkit::ScopedInstallation> m_install;
  ScopedRecordingShell m_shell;
  std::string m_oldTz;
  bool m_hadTz = false;
};
}  // namespace

// ---- system report ---------------------------------------------------------------
TEST_F(SystemServices, ReportLines) {
  InstallAt("/opt/ravelle");
  D3DADAPTER_IDENTIFIER9 id;
  std::snprintf(id.Driver, sizeof id.Driver, "%s", "mesa");
  std::snprintf(id.Description, sizeof id.Description, "%s", "Some Card");
  id.DriverVersion.HighPart = (6 << 16) | 14;
  id.DriverVersion.LowPart = (10 << 16) | 6631;
  id.VendorId = 4318;
  id.WHQLLevel = 0x1A;
  const std::vector<std::string> lines = Lines(BuildSystemReport(6, 1, &id));
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(lines[0], "*** System Information ***");
  EXPECT_EQ(lines[3], "Windows Version: 6.1");
  EXPECT_EQ(lines[7], "Application name: Ravelle");
  EXPECT_EQ(lines[8], "Game version: 1.03");
  EXPECT_EQ(lines[9], "Installation directory: /opt/ravelle");
  EXPECT_EQ(lines[13], "Driver: mesa");
  EXPECT_EQ(lines[14], "Description: Some Card");
  EXPECT_EQ(lines[15], "Driver version (6): 14.10 (Build 6631)");
  EXPECT_EQ(lines[16], "VendorId: 4318");
  EXPECT_EQ(lines[20], "WHQLLevel: 0x1A");
  EXPECT_EQ(lines[21], "");
  // Without an adapter the card lines stay empty.
  EXPECT_EQ(Lines(BuildSystemReport(5, 10, nullptr))[13], "Driver: ");
}

TEST_F(SystemServices, ReportFileIsPrivateAndNeverFollowsALink) {
  const std::string path = m_dir / "report.txt";
  ASSERT_TRUE(WritePrivateFile(path, "first, and longer\n"));
  ASSERT_TRUE(WritePrivateFile(path, "second\n"));  // replaced whole
  EXPECT_EQ(ReadAll(path), "second\n");
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 077, 0u);
  // A link planted in its place: refused, its target untouched.
  const std::string target = m_dir.WriteFile("victim.txt", "keep");
  const std::string link = m_dir / "planted.txt";
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  EXPECT_FALSE(WritePrivateFile(link, "overwritten"));
  EXPECT_EQ(ReadAll(target), "keep");
  // A second name of a file: refused as well.
  const std::string hard = m_dir / "hard.txt";
  ASSERT_EQ(::link(target.c_str(), hard.c_str()), 0);
  EXPECT_FALSE(WritePrivateFile(hard, "overwritten"));
  EXPECT_EQ(ReadAll(target), "keep");
}

TEST_F(SystemServices, ReportIsWrittenAndOpened) {
  const char* old = std::getenv("XDG_RUNTIME_DIR");
  const std::string oldRuntime = old ? old : "";
  const std::string runtime = m_dir.MakeFolder("run");
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  ShowSystemReport();
  const std::string path = runtime + "/Ravelle/RavelleGame_SystemInfo.txt";
  ASSERT_EQ(m_shell.documents, std::vector<std::string>{path});
  EXPECT_EQ(Lines(ReadAll(path)).size(), 22u);
  // A folder that cannot be made private (a file in its place): the box.
  m_shell.documents.clear();
  const std::string blocked = m_dir.MakeFolder("blocked");
  m_dir.WriteFile("blocked/Ravelle", "a file");
  setenv("XDG_RUNTIME_DIR", blocked.c_str(), 1);
  ShowSystemReport();
  EXPECT_TRUE(m_shell.documents.empty());
  ASSERT_EQ(m_shell.boxes.size(), 1u);
  EXPECT_EQ(m_shell.boxes[0].text, "Error");
  if (old)
    setenv("XDG_RUNTIME_DIR", oldRuntime.c_str(), 1);
  else
    unsetenv("XDG_RUNTIME_DIR");
}

// ---- update check -----------------------------------------------------------------
TEST_F(SystemServices, AutomaticCheckWhenDueLaunchesTheCheckerAndStoresTheTime) {
  const std::string install = m_dir.MakeFolder("install");
  m_dir.WriteFile("install/Tidewatch", "#!/bin/sh\n");
  InstallAt(install);
  ProfileWriteString("VersionUpdates", "LastNewVersionCheckTime", "200808010000");
  ManualClock clock(1000.0, Utc(2008, 8, 15, 23, 59));
  EXPECT_FALSE(IsNewVersionCheckDue());
  ProfileWriteInt("GameOptions", "NewVersionsCheckXDays", 10);  // counts as 15
  clock.SetWallTime(Utc(2008, 8, 16, 0, 0));
  ASSERT_TRUE(IsNewVersionCheckDue());
  LaunchUpdateCheck(true);
  ASSERT_EQ(m_shell.launches.size(), 1u);
  EXPECT_EQ(m_shell.launches[0].program, install + "/Tidewatch");
  const std::vector<std::string> expected = {
      "/lang",       "english",  "/name",        "Ravelle",
      "/appversion", "1.03",     "/releasedate", "2008/08/14",
      "/checkurl",   "ravelle/", "/homepageurl", "https://www.halvorn.com/ravelle/",
      "/autoclose",  "true"};
  EXPECT_EQ(m_shell.launches[0].arguments, expected);
  EXPECT_EQ(ProfileGetString("VersionUpdates", "LastNewVersionCheckTime", ""), "200808160000");
  EXPECT_FALSE(IsNewVersionCheckDue());
  // From the menu: no automatic tail.
  LaunchUpdateCheck(false);
  ASSERT_EQ(m_shell.launches.size(), 2u);
  EXPECT_EQ(m_shell.launches[1].arguments.back(), "https://www.halvorn.com/ravelle/");
}

TEST_F(SystemServices, NoCheckerNoLaunchButTheTimeIsStored) {
  ManualClock clock(1000.0, Utc(2009, 1, 2, 3, 4));
  for (const std::string& install : {std::string(), m_dir.MakeFolder("empty")}) {
    SCOPED_TRACE(install);
    InstallAt(install);
    ProfileWriteString("VersionUpdates", "LastNewVersionCheckTime", "200101010000");
    EXPECT_EQ(LaunchUpdateCheck(true), UpdateCheckLaunch::NotInstalled);
    EXPECT_TRUE(m_shell.launches.empty());
    EXPECT_TRUE(m_shell.boxes.empty());  // the check at start-up says nothing
    EXPECT_EQ(ProfileGetString("VersionUpdates", "LastNewVersionCheckTime", ""), "200901020304");
  }
}

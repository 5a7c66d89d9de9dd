#include <gtest/gtest.h>

#include <fstream>

#include "platform/profile.h"
#include "testkit.h"

namespace {
class Profile : public ::testing::Test {
 protected:
  testkit::TempDir dir;
  ScopedProfileFile profile{dir / "profile.ini"};
};
}  // namespace

TEST_F(Profile, MissingValuesReadTheirDefaults) {
  EXPECT_EQ(ProfileGetInt("GameOptions", "Nothing", 42), 42);
  EXPECT_EQ(ProfileGetString("", "Language", "english"), "english");
  EXPECT_TRUE(ProfileGetBool("X", "Y", true));
}

TEST_F(Profile, ValuesRoundTripInSectionsAndAtTheRoot) {
  ASSERT_TRUE(ProfileWriteInt("GameOptions", "PieceCount", -17));
  ASSERT_TRUE(ProfileWriteString("", "Language", "french"));
  ASSERT_TRUE(ProfileWriteString("MenuSel", "LastImage", "/home/a, b/c.jpg"));
  EXPECT_EQ(ProfileGetInt("GameOptions", "PieceCount", 0), -17);
  EXPECT_EQ(ProfileGetString("", "Language", ""), "french");
  EXPECT_EQ(ProfileGetString("MenuSel", "LastImage", ""), "/home/a, b/c.jpg");
  // Sections are separate.
  EXPECT_EQ(ProfileGetInt("", "PieceCount", 5), 5);
}

TEST_F(Profile, BooleansAreOneOrZeroAndAnyNonZeroIsTrue) {
  ProfileWriteBool("S", "On", true);
  EXPECT_EQ(ProfileGetInt("S", "On", -1), 1);
  ProfileWriteBool("S", "On", false);
  EXPECT_EQ(ProfileGetInt("S", "On", -1), 0);
  EXPECT_FALSE(ProfileGetBool("S", "On", true));
  ProfileWriteInt("S", "On", 7);
  EXPECT_TRUE(ProfileGetBool("S", "On", false));
}

TEST_F(Profile, ValueThatIsNotANumberReadsAsDefault) {
  std::ofstream(dir / "profile.ini") << "[GameOptions]\nA=abc\nB=12x\nC= 33 \n";
  EXPECT_EQ(ProfileGetInt("GameOptions", "A", 9), 9);
  EXPECT_EQ(ProfileGetInt("GameOptions", "B", 9), 9);
  EXPECT_EQ(ProfileGetInt("GameOptions", "C", 9), 33);
  EXPECT_FALSE(ProfileGetBool("GameOptions", "A", false));
}

TEST_F(Profile, WritesReachTheFileAtOnce) {
  ProfileWriteInt("ScreensaverOptions", "Speed", 3);
  std::ifstream in(dir / "profile.ini");
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(text.find("[ScreensaverOptions]"), std::string::npos);
  EXPECT_NE(text.find("Speed=3"), std::string::npos);
}

TEST(MachineSettings, ReadFromTheMachineFileNotTheProfile) {
  testkit::TempDir dir;
  const ScopedProfileFile profile(dir / "user.ini");
  ProfileWriteString("", "InstallDir", "/from/profile");
  SetMachineSettingsFile(dir / "absent.ini");
  EXPECT_FALSE(MachineGetString("", "InstallDir"));
  std::ofstream(dir / "machine.ini") << "[General]\nInstallDir=/opt/ravelle\n";
  SetMachineSettingsFile(dir / "machine.ini");
  EXPECT_EQ(MachineGetString("", "InstallDir").value_or(""), "/opt/ravelle");
  std::ofstream(dir / "machine.ini") << "[General]\nInstallDir=/opt/a, b\n";  // unquoted comma
  EXPECT_EQ(MachineGetString("", "InstallDir").value_or(""), "/opt/a, b");
  SetMachineSettingsFile("");
}

TEST(MachineSettings, TheBuildTreeIsAnInstallation) {
  // The build writes the machine file beside the programs, this test among them.
  const auto dir = MachineGetString("", "InstallDir");
  ASSERT_TRUE(dir);
  std::ifstream probe(*dir + "/" + kMachineSettingsFileName);
  EXPECT_TRUE(probe.good()) << *dir;
}

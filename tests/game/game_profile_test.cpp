#include <gtest/gtest.h>

#include <ctime>

#include "game/game_profile.h"
#include "game/puzzle_choice.h"
#include "platform/clock.h"
#include "platform/profile.h"
#include "resources/strings.h"
#include "support/string_table.h"
#include "testkit.h"
#include "tests/game/puzzle_choice_print.h"

namespace {
class GameProfile : public ::testing::Test {
 protected:
  void SetUp() override { SetProfileFile(m_dir / "profile.ini"); }
  void TearDown() override { SetProfileFile(""); }

  // Local time to calendar seconds.
  static std::int64_t Local(int year, int month, int day, int hour, int minute, int second = 0) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
  }
  void StoreCheckTime(const std::string& s) {
    ProfileWriteString("VersionUpdates", "LastNewVersionCheckTime", s);
  }

  testkit::TempDir m_dir;
  ManualClock m_clock{1000.0, static_cast<std::time_t>(Local(2026, 6, 15, 12, 0))};
};
}  // namespace

// Each value under its exact section and name, with its default and limits.
TEST_F(GameProfile, IntegerValuesReadTheirDefaultsAndLimits) {
  const struct {
    const ProfileIntValue& value;
    const char *section, *entry;
    int defaultValue;
    int stored, expected;
  } cases[] = {
      {profile::kShowFPS, "", "ShowFPS", 0, 1, 1},
      {profile::kShowTutorialDialog, "", "ShowTutorialDialog", 1, 0, 0},
      {profile::kLimitFPSToRefreshRate, "GameOptions", "LimitFPSToRefreshRate", 1, 0, 0},
      {profile::kCameraDefaultHeight, "GameOptions", "CameraDefaultHeight", 30, 4, 5},
      {profile::kCameraDefaultHeight, "GameOptions", "CameraDefaultHeight", 30, 301, 300},
      {profile::kCameraDefaultHeight, "GameOptions", "CameraDefaultHeight", 30, 300, 300},
      {profile::kPuzzleDefinition, "GameOptions", "PuzzleDefinition", 3, 9, 9},
      {profile::kShinyPieces, "GameOptions", "ShinyPieces", 1, 0, 0},
      {profile::kNewVersionsCheckAuto, "GameOptions", "NewVersionsCheckAuto", 1, 0, 0},
      {profile::kNewVersionsCheckXDays, "GameOptions", "NewVersionsCheckXDays", 15, 30, 30},
      {profile::kLastPuzzleSizeX, "MenuSel", "LastPuzzleSizeX", 10, 44, 44},
      {profile::kLastPuzzleSizeY, "MenuSel", "LastPuzzleSizeY", 10, 3, 3},
      {profile::kLastPieceShape, "MenuSel", "LastPieceShape", 1, 51, 51},
      {profile::kLastRotatePieces, "MenuSel", "LastRotatePieces", 0, 1, 1},
      {profile::kLastPieceIrregularity, "MenuSel", "LastPieceIrregularity", 70, -1, 0},
      {profile::kLastPieceIrregularity, "MenuSel", "LastPieceIrregularity", 70, 101, 100},
      {profile::kShowCommandHelper, "CommandHelperWindow", "ShowCommandHelper", 1, 0, 0},
      {profile::kPreviewLastPos, "ImagePreviewWindow", "LastPos", 0x400020, 0x100010, 0x100010},
      {profile::kPreviewLastWidth, "ImagePreviewWindow", "LastWidth", 192, 300, 300},
  };
  int row = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.entry);
    SetProfileFile(m_dir / ("row" + std::to_string(++row) + ".ini"));
    EXPECT_EQ(ReadProfileInt(c.value), c.defaultValue);
    ASSERT_TRUE(ProfileWriteInt(c.section, c.entry, c.stored));
    EXPECT_EQ(ReadProfileInt(c.value), c.expected);
    EXPECT_EQ(ReadProfileBool(c.value), c.stored != 0);
  }
  // The default preview position is left 32, top 64.
  EXPECT_EQ(profile::kPreviewLastPos.defaultValue & 0xFFFF, 32);
  EXPECT_EQ(unsigned(profile::kPreviewLastPos.defaultValue) >> 16, 64u);
}

TEST_F(GameProfile, TextValuesAndTheirReaders) {
  EXPECT_EQ(GetLastEnvFile(), "001.txt");
  EXPECT_EQ(GetLastEnvCustomFile(), "");
  EXPECT_EQ(GetLastPuzzlePictureFilePath(), "");
  EXPECT_EQ(ReadProfileString(profile::kLanguage), "english");
  EXPECT_TRUE(GetShowCommandHelper());
  ProfileWriteString("Environments", "LastEnvFile", "CUSTOM");
  ProfileWriteString("Environments", "LastEnvCustomFile", "/home/p/table.png");
  ProfileWriteString("MenuSel", "LastPuzzlePictureFilePath", "/home/p/cat é.jpg");
  ProfileWriteString("", "Language", "french");
  ProfileWriteInt("CommandHelperWindow", "ShowCommandHelper", 5);
  EXPECT_EQ(GetLastEnvFile(), kCustomEnvironment);
  EXPECT_EQ(GetLastEnvCustomFile(), "/home/p/table.png");
  EXPECT_EQ(GetLastPuzzlePictureFilePath(), "/home/p/cat é.jpg");
  EXPECT_EQ(ReadProfileString(profile::kLanguage), "french");
  EXPECT_TRUE(GetShowCommandHelper());
  ASSERT_TRUE(WriteProfileBool(profile::kShowCommandHelper, false));
  EXPECT_EQ(ProfileGetInt("CommandHelperWindow", "ShowCommandHelper", -1), 0);
  ASSERT_TRUE(WriteProfileBool(profile::kShowCommandHelper, true));
  EXPECT_EQ(ProfileGetInt("CommandHelperWindow", "ShowCommandHelper", -1), 1);
}

TEST_F(GameProfile, CheckIntervalIsOneOfFourChoicesElse15) {
  EXPECT_EQ(GetNewVersionsCheckXDays(), 15);
  const struct {
    int stored, expected;
  } cases[] = {{7, 7}, {15, 15}, {30, 30}, {60, 60}, {10, 15}, {0, 15}, {-7, 15}, {61, 15}};
  for (const auto& c : cases) {
    ProfileWriteInt("GameOptions", "NewVersionsCheckXDays", c.stored);
    EXPECT_EQ(GetNewVersionsCheckXDays(), c.expected) << c.stored;
  }
}

TEST_F(GameProfile, CheckTimeRoundTripsToTheMinute) {
  SetLastNewVersionCheckTime(Local(2008, 8, 5, 9, 7, 33));
  EXPECT_EQ(ProfileGetString("VersionUpdates", "LastNewVersionCheckTime", ""), "200808050907");
  EXPECT_EQ(GetLastNewVersionCheckTime(), Local(2008, 8, 5, 9, 7));
}

TEST_F(GameProfile, StoredCheckTimesThatAreShortOddOrInTheFutureCountAsNow) {
  const std::int64_t now = WallTime();
  const struct {
    const char* stored;
    std::int64_t expected;
  } cases[] = {
      {"200101010000", Local(2001, 1, 1, 0, 0)},    // the default
      {"20080805090759", Local(2008, 8, 5, 9, 7)},  // seconds ignored
      {"2008", now},
      {"", now},
      {"209901010000", now},  // future
      {"200813010000", now},  // month 13
      {"200802320000", now},  // day 32
      {"200802012400", now},  // hour 24
      {"200802010060", now},  // minute 60
      {"abcdefghijkl", now},  // year 0
      {"18990101000", now},   // eleven characters
  };
  for (const auto& c : cases) {
    StoreCheckTime(c.stored);
    EXPECT_EQ(GetLastNewVersionCheckTime(), c.expected) << c.stored;
  }
}

TEST_F(GameProfile, AutomaticCheckIsDueAfterTheIntervalInWholeDays) {
  // A fresh profile: 2001 is thousands of days back.
  EXPECT_TRUE(IsNewVersionCheckDue());
  const std::int64_t now = WallTime();
  SetLastNewVersionCheckTime(now - 15 * 86400 + 60);
  EXPECT_FALSE(IsNewVersionCheckDue());  // 14 days and 23 h 59 min
  SetLastNewVersionCheckTime(now - 15 * 86400);
  EXPECT_TRUE(IsNewVersionCheckDue());
  ProfileWriteInt("GameOptions", "NewVersionsCheckXDays", 30);
  EXPECT_FALSE(IsNewVersionCheckDue());
  StoreCheckTime("2008");  // short: counts as now
  ProfileWriteInt("GameOptions", "NewVersionsCheckXDays", 7);
  EXPECT_FALSE(IsNewVersionCheckDue());
  StoreCheckTime("200101010000");
  ProfileWriteInt("GameOptions", "NewVersionsCheckAuto", 0);
  EXPECT_FALSE(IsNewVersionCheckDue());
}

TEST_F(GameProfile, ProductInformation) {
  SetBuiltInStrings(&GameStrings());
  EXPECT_EQ(GetProductTitle(), "Ravelle");
  EXPECT_EQ(GetGameVersion(), "1.03");
  EXPECT_EQ(GetReleaseDate(), "2008/08/14");
  SetBuiltInStrings(nullptr);
}

// The puzzle choice: defaults on an empty profile, the six "MenuSel" keys
// written with the shape's stored number, and read back as written.
TEST_F(GameProfile, PuzzleChoiceReadsItsDefaultsAndReadsBackWhatWasWritten) {
  PuzzleChoice defaults;
  defaults.columns = 10;
  defaults.rows = 10;
  defaults.irregularity = 70;
  EXPECT_EQ(ReadPuzzleChoice(), defaults);
  PuzzleChoice chosen;
  chosen.picturePath = "/home/p/cat é.jpg";
  chosen.columns = 8;
  chosen.rows = 6;
  chosen.rotatePieces = true;
  chosen.pieceShape = PieceShapeRandomMix;
  chosen.irregularity = 33;
  ASSERT_TRUE(WritePuzzleChoice(chosen));
  EXPECT_EQ(ProfileGetInt("MenuSel", "LastPieceShape", 0), 51);
  EXPECT_EQ(ProfileGetInt("MenuSel", "LastPuzzleSizeX", 0), 8);
  EXPECT_EQ(ProfileGetInt("MenuSel", "LastRotatePieces", 0), 1);
  EXPECT_EQ(ReadPuzzleChoice(), chosen);
  for (int number : {0, 4, 50, 52}) EXPECT_FALSE(IsPieceShape(number)) << number;
  for (int number : {1, 2, 3, 51}) EXPECT_TRUE(IsPieceShape(number)) << number;
}

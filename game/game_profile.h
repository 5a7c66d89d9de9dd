#pragma once
// The game's settings in the per-user profile, and the product information
// texts.
//
// Every value the game keeps is listed below with its section, name and
// default (section "" is the top level). Values are read with their default
// at each use, so a missing file, section or value is never an error.
// Booleans are stored as 1 or 0 and any value other than 0 reads as true.
// Times are 64-bit counts of seconds since 1970-01-01 00:00 UTC, taken from
// WallTime (platform/clock.h).
//
// Sections: value table - readers and writers - one action's values -
// update check - product information
#include <cstdint>
#include <string>

#include "platform/profile.h"

// ---- value table ---------------------------------------------------------------
// A whole-number value. When minValue <= maxValue the reader limits the stored
// value to that range; otherwise it is taken as it is.
struct ProfileIntValue {
  const char* section;
  const char* entry;
  int defaultValue;
  int minValue = 1;
  int maxValue = 0;
};

struct ProfileStringValue {
  const char* section;
  const char* entry;
  const char* defaultValue;
};

namespace profile {
// Top level.
inline constexpr ProfileStringValue kLanguage{"", "Language", "english"};  // "english" or "french"
inline constexpr ProfileIntValue kShowFPS{"", "ShowFPS", 0};
inline constexpr ProfileIntValue kShowTutorialDialog{"", "ShowTutorialDialog", 1};
// "GameOptions".
inline constexpr ProfileIntValue kLimitFPSToRefreshRate{"GameOptions", "LimitFPSToRefreshRate", 1};
// The view's default height is 10 x this value in world units.
inline constexpr ProfileIntValue kCameraDefaultHeight{"GameOptions", "CameraDefaultHeight", 30, 5, 300};
// The board's definition level, 1..4 (not clamped: the options page shows
// another value as level 1).
inline constexpr ProfileIntValue kPuzzleDefinition{"GameOptions", "PuzzleDefinition", 3};
inline constexpr ProfileIntValue kShinyPieces{"GameOptions", "ShinyPieces", 1};
inline constexpr ProfileIntValue kNewVersionsCheckAuto{"GameOptions", "NewVersionsCheckAuto", 1};
// Read through GetNewVersionsCheckXDays.
inline constexpr ProfileIntValue kNewVersionsCheckXDays{"GameOptions", "NewVersionsCheckXDays", 15};
// "MenuSel": the last puzzle's settings.
inline constexpr ProfileIntValue kLastPuzzleSizeX{"MenuSel", "LastPuzzleSizeX", 10};
inline constexpr ProfileIntValue kLastPuzzleSizeY{"MenuSel", "LastPuzzleSizeY", 10};
inline constexpr ProfileIntValue kLastPieceShape{"MenuSel", "LastPieceShape", 1};  // 1, 2, 3 or 51
inline constexpr ProfileIntValue kLastRotatePieces{"MenuSel", "LastRotatePieces", 0};
inline constexpr ProfileIntValue kLastPieceIrregularity{"MenuSel", "LastPieceIrregularity", 70, 0, 100};
inline constexpr ProfileStringValue kLastPuzzlePictureFilePath{"MenuSel", "LastPuzzlePictureFilePath", ""};
// The folder of the player's own pictures last used for a new puzzle; a
// picture there stays the new-puzzle dialog's choice like a sample does.
inline constexpr ProfileStringValue kLastOwnPictureFolder{"MenuSel", "LastOwnPictureFolder", ""};
// "Environments": a description file name, or kCustomEnvironment.
inline constexpr ProfileStringValue kLastEnvFile{"Environments", "LastEnvFile", "001.txt"};
inline constexpr ProfileStringValue kLastEnvCustomFile{"Environments", "LastEnvCustomFile", ""};
// "VersionUpdates": local time YYYYMMDDhhmm.
inline constexpr ProfileStringValue kLastNewVersionCheckTime{"VersionUpdates", "LastNewVersionCheckTime",
                                                             "200101010000"};
inline constexpr ProfileIntValue kShowCommandHelper{"CommandHelperWindow", "ShowCommandHelper", 1};
// (top << 16) | (left & 0xFFFF); the default is left 32, top 64.
inline constexpr ProfileIntValue kPreviewLastPos{"ImagePreviewWindow", "LastPos", 0x400020};
inline constexpr ProfileIntValue kPreviewLastWidth{"ImagePreviewWindow", "LastWidth", 192};
}  // namespace profile

// The "LastEnvFile" value that selects the player's own picture as the table.
inline constexpr const char* kCustomEnvironment = "CUSTOM";

// ---- readers and writers -----------------------------------------------------------
// The stored value or the default, limited to the value's range when it has
// one.
int ReadProfileInt(const ProfileIntValue& value);
// The stored value is not 0 (the default when there is none).
bool ReadProfileBool(const ProfileIntValue& value);
std::string ReadProfileString(const ProfileStringValue& value);
// Single writes the player did not ask for (a window's place, a time stamp):
// false when the profile could not be written, said on stderr only.
// Booleans are written 1 or 0.
bool WriteProfileInt(const ProfileIntValue& value, int number);
bool WriteProfileBool(const ProfileIntValue& value, bool flag);
bool WriteProfileString(const ProfileStringValue& value, const std::string& text);

std::string GetLastPuzzlePictureFilePath();
// 7, 15, 30 or 60 as stored; any other value counts as 15.
int GetNewVersionsCheckXDays();
std::string GetLastEnvFile();
std::string GetLastEnvCustomFile();
bool GetShowCommandHelper();

// ---- one action's values -------------------------------------------------------------
// The values of one player's action (a dialog's OK, a command), named by the
// table above and saved together in one write. A boolean is set as 1 or 0.
class GameProfileChange {
 public:
  GameProfileChange& Set(const ProfileIntValue& value, int number);
  GameProfileChange& Set(const ProfileStringValue& value, const std::string& text);
  const ProfileChange& Values() const { return m_change; }
  // Saves the values; when they could not be saved, says so in a box
  // (resources/settings_saving.h) and answers false.
  bool SaveOrSay() const;

 private:
  ProfileChange m_change;
};

// ---- update check ----------------------------------------------------------------------
// The stored local time of the last update check (seconds are 0). A value
// shorter than twelve characters, one whose fields are no calendar time
// (year before 1900, month outside 1..12, day outside 1..31, hour above 23,
// minute above 59) or one that lies in the future counts as now. Characters
// after the twelfth are ignored.
std::int64_t GetLastNewVersionCheckTime();
// Stores the local time of t as YYYYMMDDhhmm (seconds dropped).
void SetLastNewVersionCheckTime(std::int64_t t);
// The automatic update check is due: "NewVersionsCheckAuto" is not 0 and the
// whole days since the last check are at least GetNewVersionsCheckXDays.
bool IsNewVersionCheckDue();

// ---- product information -----------------------------------------------------------
// The plain product title of the current language.
std::string GetProductTitle();
std::string GetGameVersion();  // "1.03"
std::string GetReleaseDate();  // "2008/08/14"

#include "game/game_profile.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "platform/clock.h"
#include "platform/profile.h"
#include "resources/settings_saving.h"
#include "resources/strings.h"
#include "support/string_table.h"
#include "support/support.h"

// ---- readers and writers -----------------------------------------------------------
int ReadProfileInt(const ProfileIntValue& value) {
  const int stored = ProfileGetInt(value.section, value.entry, value.defaultValue);
  if (value.minValue > value.maxValue) return stored;
  return std::clamp(stored, value.minValue, value.maxValue);
}

bool ReadProfileBool(const ProfileIntValue& value) {
  return ProfileGetInt(value.section, value.entry, value.defaultValue) != 0;
}

std::string ReadProfileString(const ProfileStringValue& value) {
  return ProfileGetString(value.section, value.entry, value.defaultValue);
}

bool WriteProfileInt(const ProfileIntValue& value, int number) {
  return ProfileWriteInt(value.section, value.entry, number);
}

bool WriteProfileBool(const ProfileIntValue& value, bool flag) {
  return ProfileWriteInt(value.section, value.entry, flag ? 1 : 0);
}

bool WriteProfileString(const ProfileStringValue& value, const std::string& text) {
  return ProfileWriteString(value.section, value.entry, text);
}

std::string GetLastPuzzlePictureFilePath() { return ReadProfileString(profile::kLastPuzzlePictureFilePath); }

int GetNewVersionsCheckXDays() {
  const int days = ReadProfileInt(profile::kNewVersionsCheckXDays);
  return days == 7 || days == 15 || days == 30 || days == 60 ? days : 15;
}

std::string GetLastEnvFile() { return ReadProfileString(profile::kLastEnvFile); }
std::string GetLastEnvCustomFile() { return ReadProfileString(profile::kLastEnvCustomFile); }
bool GetShowCommandHelper() { return ReadProfileBool(profile::kShowCommandHelper); }

// ---- one action's values -------------------------------------------------------------
GameProfileChange& GameProfileChange::Set(const ProfileIntValue& value, int number) {
  m_change.SetInt(value.section, value.entry, number);
  return *this;
}

GameProfileChange& GameProfileChange::Set(const ProfileStringValue& value, const std::string& text) {
  m_change.SetString(value.section, value.entry, text);
  return *this;
}

bool GameProfileChange::SaveOrSay() const { return SaveSettingsOrSay(m_change, GetProductTitle()); }

// ---- update check ----------------------------------------------------------------------
namespace {
// The number of count characters from first, read like atoi.
int Field(const std::string& s, size_t first, size_t count) {
  return std::atoi(s.substr(first, count).c_str());
}

// The local calendar time of the twelve leading characters; false when a
// field is out of range or the conversion fails.
bool ParseCheckTime(const std::string& s, std::int64_t& out) {
  const int year = Field(s, 0, 4), month = Field(s, 4, 2), day = Field(s, 6, 2);
  const int hour = Field(s, 8, 2), minute = Field(s, 10, 2);
  if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59)
    return false;
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_isdst = -1;  // daylight saving as the conversion finds it
  const std::time_t t = std::mktime(&tm);
  if (t == static_cast<std::time_t>(-1)) return false;
  out = static_cast<std::int64_t>(t);
  return true;
}
}  // namespace

std::int64_t GetLastNewVersionCheckTime() {
  const std::string s = ReadProfileString(profile::kLastNewVersionCheckTime);
  const std::int64_t now = static_cast<std::int64_t>(WallTime());
  std::int64_t t = 0;
  if (s.size() < 12 || !ParseCheckTime(s, t)) return now;
  return t <= now ? t : now;
}

void SetLastNewVersionCheckTime(std::int64_t t) {
  const std::time_t when = static_cast<std::time_t>(t);
  std::tm tm{};
  if (!localtime_r(&when, &tm)) return;
  WriteProfileString(profile::kLastNewVersionCheckTime,
                     FormatString("%d%02d%02d%02d%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                                  tm.tm_hour, tm.tm_min));
}

bool IsNewVersionCheckDue() {
  if (!ReadProfileBool(profile::kNewVersionsCheckAuto)) return false;
  const std::int64_t elapsed = static_cast<std::int64_t>(WallTime()) - GetLastNewVersionCheckTime();
  return elapsed / 86400 >= GetNewVersionsCheckXDays();
}

// ---- product information -----------------------------------------------------------
std::string GetProductTitle() { return LoadResString(IDS_PRODUCT_TITLE); }
std::string GetGameVersion() { return "1.03"; }
std::string GetReleaseDate() { return "2008/08/14"; }

#include "resources/settings_saving.h"

#include "platform/profile.h"
#include "platform/shell.h"
#include "resources/strings.h"
#include "support/string_table.h"

namespace {
unsigned ReasonText(ProfileFault fault) {
  switch (fault) {
    case ProfileFault::LockHeld: return IDS_SETTINGS_LOCK_HELD;
    case ProfileFault::NotRegular: return IDS_SETTINGS_NOT_REGULAR;
    case ProfileFault::TooLarge: return IDS_SETTINGS_TOO_LARGE;
    case ProfileFault::None:
    case ProfileFault::CannotWrite: break;
  }
  return IDS_SETTINGS_DISK;
}
}  // namespace

bool SaveSettingsOrSay(const ProfileChange& change, const std::string& caption) {
  const ProfileFault fault = change.Save();
  if (fault == ProfileFault::None) return true;
  const std::string reason = LoadResString(ReasonText(fault));
  Shell().MessageBox(FormatResString(IDS_SETTINGS_NOT_SAVED, ProfileFilePath().c_str(), reason.c_str()),
                     caption, MB_OK | MB_ICONWARNING);
  return false;
}

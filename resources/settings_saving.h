#pragma once
// Saving a change of settings the user made, and saying so where it was
// made when it could not be saved; the same in both programs.
//
// Every dialog's OK and every command that changes a setting at the user's
// request collects its values into one ProfileChange (platform/profile.h)
// and saves it through SaveSettingsOrSay. When it is not saved, one warning
// box in the current language names the settings file (ProfileFilePath())
// and the reason (held by another program, not a regular file, too large,
// the disk); what stays open afterwards is the caller's choice. The texts
// are shared string ids (resources/strings.h), in both programs' tables.
// Writes the user did not ask for (a window's place, a time stamp) are saved
// without it: the store says their failure on stderr only.
#include <string>

class ProfileChange;

// Saves change in one write; true when saved (or when it holds nothing).
// Otherwise shows the box above under caption and answers false.
bool SaveSettingsOrSay(const ProfileChange& change, const std::string& caption);

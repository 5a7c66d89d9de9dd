#pragma once
// Where the screen saver's pictures come from, its product texts and its help.
//
// The pictures are the game's sample pictures (the installation's
// PuzzleSamples folder) and those of the user's own picture folders. The
// user's folders are kept in the profile section "ScreensaverFolders":
// "Count" = N, then "Folder1" ... "FolderN", full paths; empty or missing
// entries are skipped. At most kMaxUserFolders are kept. Picture files are those whose extension is one of
// "bmp;jpg;jpeg;png", ignoring case, in the folder's listing order (sorted by
// name ignoring case).
#include <string>
#include <vector>

class ProfileChange;

inline constexpr const char* kSaverPictureExtensions = "bmp;jpg;jpeg;png";
inline constexpr int kSaverHelpTopic = 5001;

inline constexpr const char* kSaverFoldersSection = "ScreensaverFolders";
// The most user's folders kept: more are neither read nor stored, so a
// damaged count cannot make a reader loop for ever.
inline constexpr int kMaxUserFolders = 1000;

// The user's folders as stored (one read of the profile), each once,
// readable or not.
std::vector<std::string> ReadUserImageFolders();
// The values that store the user's folders (the first kMaxUserFolders) in
// place of the stored ones: the count, every folder, and the entries past
// the new end emptied, so a later count never revives them. Saved as one
// write.
ProfileChange UserImageFoldersChange(const std::vector<std::string>& folders);
// Saves UserImageFoldersChange without a box; false when the profile cannot
// be written (said on stderr).
bool WriteUserImageFolders(const std::vector<std::string>& folders);
// A folder whose listing can be read (a vanished folder, a file, or a folder
// without read and search rights is not).
bool IsReadableFolder(const std::string& folder);
// Empties folders and puts the picture folders into it: the sample folder,
// then the user's folders that are readable and not already listed; true.
bool GetImageFolders(std::vector<std::string>& folders);
// The bare names of the picture files of a folder (empty when it cannot be
// read).
void GetImageFiles(const std::string& folder, std::vector<std::string>& names);
// Every picture of every picture folder as a full path, folder by folder;
// the list is emptied first.
void BuildImageList(std::vector<std::string>& paths);

// "Ravelle Screensaver" in the current language.
std::string GetProductTitle();
std::string GetGameVersion();

// The screen saver's help page: the game's help in the user's language,
// <install>/Help/<language>/5001.html.
std::string GetSaverHelpPagePath();
// Shows it in the help window; a missing page is reported in a message box
// naming it.
void ShowSaverHelp();

#pragma once
// Where the screen saver's pictures come from, its product texts and its help.
//
// The pictures are the game's sample pictures: the picture folder list holds
// one folder, the installation's PuzzleSamples folder. Picture files are
// those whose extension is one of "bmp;jpg;jpeg;png", ignoring case, in the
// folder's listing order (sorted by name ignoring case).
#include <string>
#include <vector>

inline constexpr const char* kSaverPictureExtensions = "bmp;jpg;jpeg;png";
inline constexpr int kSaverHelpTopic = 5001;

// Empties folders and puts the picture folders into it; true.
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

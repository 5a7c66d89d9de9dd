#pragma once
// Small services the game's dialogs share: the picture list of a folder,
// reading a picture file, the picture format code of a file name, and the
// help pages.
//
// Help pages are HTML files, one per topic, in the installation's help
// folder for the interface language:
//     <install>/Help/<language>/<topic>.html
// (language "english" or "french" as GetLanguage answers it). Topic 0 is the
// table of contents; the dialogs pass their own template ids and the main
// frame passes 0 or 32502.
#include <string>
#include <vector>

class QImage;
class QWidget;

// The picture extensions the game lists, and the names (without folder) of
// the folder's picture files with one of them (any letter case), sorted
// without regard to case; empty for a missing folder. The one list of the
// game's default picture and of the new-puzzle and picture dialogs.
inline constexpr const char* kPictureExtensions = "bmp;gif;jpg;jpeg;png";
std::vector<std::string> ListPictureFiles(const std::string& folder);

// A picture file read through the data-file opener (its format from its
// content, no automatic rotation); a null image for a pipe, device, missing
// or damaged file or one larger than kMaxPictureFileBytes.
QImage ReadPictureFile(const std::string& path);

// Format codes of the picture library.
inline constexpr int kImageTypeUnknown = 0;
inline constexpr int kImageTypeBmp = 1;
inline constexpr int kImageTypeGif = 2;
inline constexpr int kImageTypeJpeg = 3;
inline constexpr int kImageTypePng = 4;

// The code of the extension after the last dot, ignoring case: bmp 1, gif 2,
// jpg and jpeg 3, png 4, anything else (or no extension) 0.
int GetImageTypeFromExtension(const std::string& path);

// The page of a topic in the current language.
std::string GetHelpPagePath(int topic);
// Shows the topic's page in the help window (made on first use, then reused
// and raised). A page that does not exist is reported in a message box
// naming it. Needs the Qt application.
void ShowHelp(int topic);
// The help window; null until ShowHelp first showed a page.
QWidget* HelpWindow();

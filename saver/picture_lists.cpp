#include "saver/picture_lists.h"

#include "platform/help_viewer.h"
#include "platform/shell.h"
#include "resources/strings.h"
#include "support/string_table.h"
#include "support/support.h"

bool GetImageFolders(std::vector<std::string>& folders) {
  folders.clear();
  folders.push_back(GetPuzzleSamplesDir());
  return true;
}

void GetImageFiles(const std::string& folder, std::vector<std::string>& names) {
  ListFilesInFolder(folder, names, kSaverPictureExtensions);
}

void BuildImageList(std::vector<std::string>& paths) {
  paths.clear();
  std::vector<std::string> folders, names;
  if (!GetImageFolders(folders)) return;
  for (const std::string& folder : folders) {
    GetImageFiles(folder, names);
    for (const std::string& name : names) paths.push_back(folder + kPathSeparator + name);
  }
}

std::string GetProductTitle() { return LoadResString(IDS_SAVER_PRODUCT_TITLE); }
std::string GetGameVersion() { return "1.03"; }

std::string GetSaverHelpPagePath() {
  return GetInstallDir() + kPathSeparator + "Help" + kPathSeparator + GetLanguage() + kPathSeparator +
         std::to_string(kSaverHelpTopic) + ".html";
}

void ShowSaverHelp() {
  const std::string path = GetSaverHelpPagePath();
  if (!ShowHelpPage(path, GetProductTitle(), HelpButtonTexts()))
    Shell().MessageBox(FormatResString(IDS_HELP_PAGE_MISSING, path.c_str()),
                       GetProductTitle(), MB_OK | MB_ICONWARNING);
}

#include "saver/picture_lists.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/help_viewer.h"
#include "platform/profile.h"
#include "platform/shell.h"
#include "resources/strings.h"
#include "support/string_table.h"
#include "support/support.h"

namespace {
std::string FolderEntry(int number) { return "Folder" + std::to_string(number); }
}  // namespace

std::vector<std::string> ReadUserImageFolders() {
  const ProfileSnapshot profile;
  std::vector<std::string> folders;
  const int count = profile.GetInt(kSaverFoldersSection, "Count", 0);
  for (int i = 1; i <= std::min(count, kMaxUserFolders); ++i) {
    const std::string folder = profile.GetString(kSaverFoldersSection, FolderEntry(i), "");
    if (!folder.empty() && std::find(folders.begin(), folders.end(), folder) == folders.end())
      folders.push_back(folder);
  }
  return folders;
}

ProfileChange UserImageFoldersChange(const std::vector<std::string>& folders) {
  const int stored = std::min(ProfileGetInt(kSaverFoldersSection, "Count", 0), kMaxUserFolders);
  const int count = int(std::min<std::size_t>(folders.size(), kMaxUserFolders));
  ProfileChange change;
  change.SetInt(kSaverFoldersSection, "Count", count);
  for (int i = 1; i <= count; ++i) change.SetString(kSaverFoldersSection, FolderEntry(i), folders[i - 1]);
  for (int i = count + 1; i <= stored; ++i) change.SetString(kSaverFoldersSection, FolderEntry(i), "");
  return change;
}

bool WriteUserImageFolders(const std::vector<std::string>& folders) {
  return UserImageFoldersChange(folders).Save() == ProfileFault::None;
}

bool IsReadableFolder(const std::string& folder) {
  std::error_code error;
  return !folder.empty() && std::filesystem::is_directory(folder, error) &&
         ::access(folder.c_str(), R_OK | X_OK) == 0;
}

bool GetImageFolders(std::vector<std::string>& folders) {
  folders.clear();
  folders.push_back(GetPuzzleSamplesDir());
  for (const std::string& folder : ReadUserImageFolders())
    if (IsReadableFolder(folder) && std::find(folders.begin(), folders.end(), folder) == folders.end())
      folders.push_back(folder);
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
    Shell().MessageBox(FormatResString(IDS_HELP_PAGE_MISSING, path.c_str()), GetProductTitle(),
                       MB_OK | MB_ICONWARNING);
}

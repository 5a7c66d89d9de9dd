#include "game/dialog_services.h"

#include <unistd.h>

#include <QFile>
#include <QImage>
#include <QImageReader>

#include "game/game_profile.h"
#include "platform/d3d9/d3dx9.h"
#include "platform/data_file.h"
#include "platform/help_viewer.h"
#include "platform/shell.h"
#include "resources/strings.h"
#include "support/string_table.h"
#include "support/support.h"

std::vector<std::string> ListPictureFiles(const std::string& folder) {
  std::vector<std::string> names;
  ListFilesInFolder(folder, names, kPictureExtensions);
  return names;
}

QImage ReadPictureFile(const std::string& path) {
  const int fd = OpenDataFile(path, kMaxPictureFileBytes);
  if (fd < 0) return {};
  QFile file;
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return {};
  }
  QImageReader reader(&file);
  reader.setAutoTransform(false);
  return reader.read();
}

int GetImageTypeFromExtension(const std::string& path) {
  std::string extension = GetFileExtension(path);
  ToLowerString(extension);
  if (extension == "bmp") return kImageTypeBmp;
  if (extension == "gif") return kImageTypeGif;
  if (extension == "jpg" || extension == "jpeg") return kImageTypeJpeg;
  if (extension == "png") return kImageTypePng;
  return kImageTypeUnknown;
}

std::string GetHelpPagePath(int topic) {
  return GetInstallDir() + kPathSeparator + "Help" + kPathSeparator + GetLanguage() + kPathSeparator +
         std::to_string(topic) + ".html";
}

QWidget* HelpWindow() { return HelpViewerWindow(); }

void ShowHelp(int topic) {
  const std::string path = GetHelpPagePath(topic);
  if (!ShowHelpPage(path, GetProductTitle(), HelpButtonTexts()))
    Shell().MessageBox(FormatResString(IDS_HELP_PAGE_MISSING, path.c_str()), GetProductTitle(),
                       MB_OK | MB_ICONWARNING);
}

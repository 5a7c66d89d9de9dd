#include "game/dialog_services.h"

#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include "game/game_profile.h"
#include "platform/shell.h"
#include "resources/strings.h"
#include "support/string_table.h"
#include "support/support.h"

int GetImageTypeFromExtension(const std::string& path) {
  std::string extension = GetFileExtension(path);
  ToLowerString(extension);
  if (extension == "bmp") return kImageTypeBmp;
  if (extension == "gif") return kImageTypeGif;
  if (extension == "jpg" || extension == "jpeg") return kImageTypeJpeg;
  if (extension == "png") return kImageTypePng;
  return kImageTypeUnknown;
}

namespace {
QPointer<QTextBrowser> g_helpWindow;
}  // namespace

std::string GetHelpPagePath(int topic) {
  return GetInstallDir() + kPathSeparator + "Help" + kPathSeparator + GetLanguage() + kPathSeparator +
         std::to_string(topic) + ".html";
}

QTextBrowser* HelpWindow() { return g_helpWindow.data(); }

void ShowHelp(int topic) {
  const std::string path = GetHelpPagePath(topic);
  const QString file = QString::fromStdString(path);
  if (!QFileInfo(file).isFile()) {
    Shell().MessageBox(FormatString(LoadResString(IDS_HELP_PAGE_MISSING).c_str(), path.c_str()),
                       GetProductTitle(), MB_OK | MB_ICONWARNING);
    return;
  }
  if (!g_helpWindow) {
    g_helpWindow = new QTextBrowser;
    g_helpWindow->setAttribute(Qt::WA_DeleteOnClose);
    g_helpWindow->setOpenExternalLinks(true);
    g_helpWindow->resize(800, 600);
  }
  g_helpWindow->setSource(QUrl::fromLocalFile(file));
  const QString title = g_helpWindow->documentTitle();
  g_helpWindow->setWindowTitle(title.isEmpty() ? QString::fromStdString(GetProductTitle()) : title);
  g_helpWindow->show();
  g_helpWindow->raise();
  g_helpWindow->activateWindow();
}

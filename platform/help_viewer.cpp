#include "platform/help_viewer.h"

#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

namespace {
QPointer<QTextBrowser> g_helpWindow;
}  // namespace

QTextBrowser* HelpViewerWindow() { return g_helpWindow.data(); }

bool ShowHelpPage(const std::string& file, const std::string& fallbackTitle) {
  const QString path = QString::fromStdString(file);
  if (!QFileInfo(path).isFile()) return false;
  if (!g_helpWindow) {
    g_helpWindow = new QTextBrowser;
    g_helpWindow->setAttribute(Qt::WA_DeleteOnClose);
    g_helpWindow->setOpenExternalLinks(true);
    g_helpWindow->resize(800, 600);
  }
  g_helpWindow->setSource(QUrl::fromLocalFile(path));
  const QString title = g_helpWindow->documentTitle();
  g_helpWindow->setWindowTitle(title.isEmpty() ? QString::fromStdString(fallbackTitle) : title);
  g_helpWindow->show();
  g_helpWindow->raise();
  g_helpWindow->activateWindow();
  return true;
}

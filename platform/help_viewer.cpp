#include "platform/help_viewer.h"

#include <unistd.h>

#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include "platform/data_file.h"

namespace {
// Reads the page and its pictures through the data-file opener; never null,
// or the document would open a refused file itself.
class HelpBrowser : public QTextBrowser {
 protected:
  QVariant loadResource(int type, const QUrl& name) override {
    const QUrl url = source().resolved(name);
    if (url.scheme() == "qrc") return QTextBrowser::loadResource(type, name);
    std::string bytes;
    if (url.isLocalFile()) ReadDataFile(url.toLocalFile().toStdString(), kMaxPageFileBytes, bytes);
    return QByteArray::fromStdString(bytes);
  }
};

QPointer<QTextBrowser> g_helpWindow;
// Help pages are a few kilobytes; nothing larger is shown.
constexpr std::uint64_t kMaxHelpPageBytes = 4 * 1024 * 1024;

// A regular file within the size cap (a pipe or a device would hang the
// window or grow without end).
bool IsHelpPage(const std::string& file) {
  const int fd = OpenDataFile(file, kMaxHelpPageBytes);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}
}  // namespace

QTextBrowser* HelpViewerWindow() { return g_helpWindow.data(); }

bool ShowHelpPage(const std::string& file, const std::string& fallbackTitle) {
  if (!IsHelpPage(file)) return false;
  const QString path = QString::fromStdString(file);
  if (!g_helpWindow) {
    g_helpWindow = new HelpBrowser;
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

#include "support/controls/hrx_html_ctrl.h"

#include <QFileInfo>
#include <QUrl>

#include "platform/data_file.h"
#include "platform/shell.h"
#include "support/controls/hrx_dialog_item.h"

namespace {
// A scheme of two letters or more names an address; a bare path (or a
// single drive-like letter) is a local file.
bool IsLocal(const QUrl& url) { return url.isLocalFile() || url.scheme().size() < 2; }
}  // namespace

CHRXHtmlCtrl::CHRXHtmlCtrl(QWidget* parent) : QTextBrowser(parent) {
  setFrameShape(QFrame::NoFrame);
  setOpenLinks(false);
  setOpenExternalLinks(false);
  connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) { OnLinkClicked(link); });
}

bool CHRXHtmlCtrl::Navigate(const QString& address) {
  const QUrl url(address);
  if (!url.isEmpty() && !IsLocal(url)) return Shell().OpenAddress(address.toStdString());
  if (url.isLocalFile()) return ShowLocalPage(url);
  // A plain path; what follows a '#' is the anchor.
  const qsizetype hash = address.indexOf('#');
  QUrl page = QUrl::fromLocalFile(QFileInfo(address.left(hash)).absoluteFilePath());
  if (hash >= 0) page.setFragment(address.mid(hash + 1));
  return ShowLocalPage(page);
}

bool CHRXHtmlCtrl::ShowLocalPage(const QUrl& page) {
  const QFileInfo file(page.toLocalFile());
  if (!file.isFile() || !file.isReadable()) return false;
  setSource(page);
  return true;
}

QVariant CHRXHtmlCtrl::loadResource(int type, const QUrl& name) {
  const QUrl url = source().resolved(name);
  if (url.scheme() == "qrc") return QTextBrowser::loadResource(type, name);
  // Not null even when refused: the document would then open it itself.
  std::string bytes;
  if (url.isLocalFile()) ReadDataFile(url.toLocalFile().toStdString(), kMaxPageFileBytes, bytes);
  return QByteArray::fromStdString(bytes);
}

void CHRXHtmlCtrl::OnLinkClicked(const QUrl& link) {
  const QUrl target = source().resolved(link);
  if (IsLocal(target))
    ShowLocalPage(target);
  else
    Shell().OpenAddress(target.toString().toStdString());
}

bool CreateHtmlCtrlInPlaceholder(QWidget* dialog, CHRXHtmlCtrl& html) {
  QWidget* placeholder = GetDlgItem(dialog, kHtmlPlaceholderId);
  if (!placeholder || placeholder == &html) return false;
  placeholder->hide();
  html.setParent(dialog);
  html.setGeometry(placeholder->geometry());
  SetDlgCtrlID(&html, kHtmlPlaceholderId);
  html.show();
  return true;
}

#pragma once
// CHRXHtmlCtrl: a view of local HTML pages that lives inside a dialog in the
// place of a placeholder control. Local pages (and the pictures they show)
// are shown in the view, links between them included; links to any other
// address (web, mail) open with the desktop through the shell
// (platform/shell.h). The view draws no border of its own, so it shows only
// the page within the placeholder's rectangle. Pages and pictures are read
// through the data-file opener (platform/data_file.h), never by Qt: a pipe
// or device named by a page shows as nothing.
//
// A dialog keeps the view as a member: it becomes a child of the dialog,
// and because a member is destroyed before the dialog's own widget part,
// the dialog never deletes it a second time.
#include <QString>
#include <QTextBrowser>

class QUrl;

// The item id of the placeholder, which the view takes over.
inline constexpr int kHtmlPlaceholderId = 5014;

class CHRXHtmlCtrl : public QTextBrowser {
  Q_OBJECT

 public:
  explicit CHRXHtmlCtrl(QWidget* parent = nullptr);

  // Shows the page at the address: a local file (a path or a file: URL, a
  // #fragment scrolls to that anchor) is shown here; any other address
  // opens through the shell. False when a local page cannot be read (the
  // view keeps what it showed) or the shell failed.
  bool Navigate(const QString& address);

 protected:
  QVariant loadResource(int type, const QUrl& name) override;

 private:
  bool ShowLocalPage(const QUrl& page);
  void OnLinkClicked(const QUrl& link);
};

// Hides the dialog's item kHtmlPlaceholderId and shows the view as a child of
// the dialog on exactly the placeholder's rectangle, with the same item id.
// The placeholder stays, hidden. False (and nothing changed) when the dialog
// has no placeholder.
bool CreateHtmlCtrlInPlaceholder(QWidget* dialog, CHRXHtmlCtrl& html);

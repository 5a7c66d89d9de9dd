#include "platform/help_viewer.h"

#include <unistd.h>

#include <algorithm>

#include <QApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include "platform/data_file.h"

namespace {
// Reads the page and its pictures through the data-file opener; never null,
// or the document would open a refused file itself.
class HelpBrowser : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;

 protected:
  QVariant loadResource(int type, const QUrl& name) override {
    const QUrl url = source().resolved(name);
    if (url.scheme() == "qrc") return QTextBrowser::loadResource(type, name);
    std::string bytes;
    if (url.isLocalFile()) ReadDataFile(url.toLocalFile().toStdString(), kMaxPageFileBytes, bytes);
    return QByteArray::fromStdString(bytes);
  }
};

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

// The page view with its navigation row.
class HelpWindow : public QWidget {
 public:
  HelpWindow() {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName("HelpWindow");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    auto* row = new QHBoxLayout;
    m_back = Button("HelpBack", QStyle::SP_ArrowBack, row);
    m_forward = Button("HelpForward", QStyle::SP_ArrowForward, row);
    m_home = Button("HelpHome", QStyle::SP_DirHomeIcon, row);
    row->addStretch();
    column->addLayout(row);
    m_browser = new HelpBrowser(this);
    m_browser->setOpenExternalLinks(true);
    column->addWidget(m_browser);
    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_home, &QToolButton::clicked, this, [this] { m_browser->setSource(m_homePage); });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] { FollowTitle(); });
    Shortcut(QKeySequence(Qt::ALT | Qt::Key_Left), m_back);
    Shortcut(QKeySequence(Qt::Key_Back), m_back);
    Shortcut(QKeySequence(Qt::ALT | Qt::Key_Right), m_forward);
    Shortcut(QKeySequence(Qt::Key_Forward), m_forward);
    Shortcut(QKeySequence(Qt::ALT | Qt::Key_Home), m_home);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    PlaceOnScreen();
  }

  QTextBrowser* Browser() const { return m_browser; }

  void Show(const QString& path, const QString& fallbackTitle, const HelpViewerTexts& texts) {
    m_fallbackTitle = fallbackTitle;
    m_back->setText(QString::fromStdString(texts.back));
    m_forward->setText(QString::fromStdString(texts.forward));
    m_home->setText(QString::fromStdString(texts.home));
    m_homePage = QUrl::fromLocalFile(path);
    if (m_browser->source() == m_homePage)
      m_browser->reload();
    else
      m_browser->setSource(m_homePage);
    FollowTitle();
    m_browser->setFocus();  // keys scroll and follow links at once
  }

 private:
  QToolButton* Button(const char* name, QStyle::StandardPixmap icon, QHBoxLayout* row) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setIcon(style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setEnabled(icon == QStyle::SP_DirHomeIcon);
    row->addWidget(button);
    return button;
  }
  void Shortcut(const QKeySequence& keys, QToolButton* button) {
    auto* shortcut = new QShortcut(keys, this);
    connect(shortcut, &QShortcut::activated, button, [button] {
      if (button->isEnabled()) button->click();
    });
  }
  // 800 x 600, less on a small screen, in the middle of the screen of the
  // window in use, so the whole page is in sight.
  void PlaceOnScreen() {
    QScreen* screen =
        QApplication::activeWindow() ? QApplication::activeWindow()->screen() : QApplication::primaryScreen();
    if (!screen) return resize(800, 600);
    const QRect room = screen->availableGeometry();
    resize(std::min(800, room.width() * 9 / 10), std::min(600, room.height() * 9 / 10));
    move(room.center() - rect().center());
  }
  void FollowTitle() {
    const QString title = m_browser->documentTitle();
    setWindowTitle(title.isEmpty() ? m_fallbackTitle : title);
  }

  QTextBrowser* m_browser = nullptr;
  QToolButton* m_back = nullptr;
  QToolButton* m_forward = nullptr;
  QToolButton* m_home = nullptr;
  QUrl m_homePage;
  QString m_fallbackTitle;
};

QPointer<HelpWindow> g_helpWindow;

// A modal dialog blocks every window that is not its own; the help window
// is made transient for the dialog that is running, so the dialog lets it be
// used. The widget keeps no parent, so it outlives that dialog.
void LetTheModalDialogPass(HelpWindow* window) {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal || modal == window || !window->windowHandle()) return;
  window->windowHandle()->setTransientParent(modal->window()->windowHandle());
}
}  // namespace

QWidget* HelpViewerWindow() { return g_helpWindow.data(); }

QTextBrowser* HelpViewerBrowser() { return g_helpWindow ? g_helpWindow->Browser() : nullptr; }

bool ShowHelpPage(const std::string& file, const std::string& fallbackTitle, const HelpViewerTexts& texts) {
  if (!IsHelpPage(file)) return false;
  if (!g_helpWindow) g_helpWindow = new HelpWindow;
  g_helpWindow->Show(QString::fromStdString(file), QString::fromStdString(fallbackTitle), texts);
  g_helpWindow->winId();  // its window handle, before it is shown
  LetTheModalDialogPass(g_helpWindow);
  g_helpWindow->show();
  g_helpWindow->raise();
  g_helpWindow->activateWindow();
  return true;
}

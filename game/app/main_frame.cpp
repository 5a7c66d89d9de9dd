// Sections: menu table - construction and start-up - menus and accelerators -
// window events - full screen and wake-up - host
#include "game/app/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QIcon>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPixmap>
#include <QShortcut>
#include <QWindow>

#include "engine/engine.h"
#include "game/command_ids.h"
#include "game/dialog_services.h"
#include "game/game_profile.h"
#include "game/game_text_ids.h"
#include "game/system_services.h"
#include "platform/input/input.h"
#include "sound/sound_manager.h"
#include "support/string_table.h"
#include "support/support.h"

// ---- menu table ----------------------------------------------------------------------------
namespace {
constexpr UINT kSeparator = 0;
constexpr UINT kLanguagePopup = 1;

struct Popup {
  unsigned title;
  std::vector<UINT> items;  // kSeparator: a line; kLanguagePopup: the language submenu
};

const std::vector<Popup>& MenuTable() {
  static const std::vector<Popup> table = {
      {IDS_MENU_GAME,
       {ID_SHOW_START_SCREEN, kSeparator, ID_CREATE_NEW_PUZZLE, ID_LOAD_PUZZLE, ID_SAVE_PUZZLE, kSeparator,
        ID_CHANGE_ENVIRONMENT, kSeparator, ID_OPTIONS, kSeparator, kLanguagePopup, kSeparator, ID_APP_EXIT}},
      {IDS_MENU_VIEW, {ID_GAME_MENU, kSeparator, ID_TOGGLE_FULL_SCREEN, ID_SHOW_FPS, ID_COMMAND_HELPER}},
      {IDS_MENU_PUZZLE, {ID_PUZZLE_INFORMATION, ID_SHOW_HIDE_PREVIEW}},
      {IDS_MENU_ONLINE,
       {ID_COMPANY_HOME_PAGE, ID_PRODUCT_HOME_PAGE, kSeparator, ID_DOWNLOAD_NEW_PUZZLES, kSeparator,
        ID_CHECK_FOR_UPDATES}},
      {IDS_MENU_HELP,
       {ID_HELP_CONTENTS, ID_HELP_COMMANDS, ID_SHOW_TUTORIALS, kSeparator, ID_SYSTEM_INFORMATION, kSeparator,
        ID_CONTACT, kSeparator, ID_APP_ABOUT}},
  };
  return table;
}

struct Accelerator {
  QKeySequence keys;
  UINT command;
};

const std::vector<Accelerator>& AcceleratorTable() {
  static const std::vector<Accelerator> table = {
      {QKeySequence(Qt::Key_F1), ID_HELP_CONTENTS},         {QKeySequence(Qt::Key_F2), ID_CREATE_NEW_PUZZLE},
      {QKeySequence(Qt::Key_F3), ID_LOAD_PUZZLE},           {QKeySequence(Qt::Key_F4), ID_PUZZLE_INFORMATION},
      {QKeySequence(Qt::Key_F5), ID_SHOW_HIDE_PREVIEW},     {QKeySequence(Qt::Key_F6), ID_COMMAND_HELPER},
      {QKeySequence(Qt::Key_F7), ID_CHANGE_ENVIRONMENT},    {QKeySequence(Qt::Key_F9), ID_OPTIONS},
      {QKeySequence(Qt::Key_F11), ID_TOGGLE_FULL_SCREEN},   {QKeySequence(Qt::Key_Escape), ID_GAME_MENU},
      {QKeySequence(Qt::CTRL | Qt::Key_S), ID_SAVE_PUZZLE},
  };
  return table;
}

QString Text(unsigned id) { return QString::fromStdString(LoadResString(id)); }
}  // namespace

// ---- construction and start-up -------------------------------------------------------------
CMainFrame::CMainFrame(CPuzzleGame& game, IGameDialogs& dialogs, ISavedGames& saved)
    : m_game(game),
      m_dialogs(dialogs),
      m_commands(game, *this, dialogs, saved),
      m_driver(game,
               FrameDriver::Hooks{
                   [this] { return isMinimized(); },
                   [] { return QApplication::activeModalWidget() || QApplication::activePopupWidget(); },
                   [this](UINT id) { m_commands.Dispatch(id); }}) {}

CMainFrame::~CMainFrame() {
  if (&GameHost() == this) SetGameHost(nullptr);
}

bool CMainFrame::LoadFrame() {
  m_view = new CChildView(this);
  m_view->setMinimumSize(kMinClientWidth, kMinClientHeight);
  setCentralWidget(m_view);
  m_view->installEventFilter(this);
  m_view->SurfaceWindow()->installEventFilter(this);
  m_view->setFocus();  // keys go to the view
  setWindowIcon(
      QIcon(QPixmap::fromImage(ReadPictureFile(GetInstallDir() + kPathSeparator + "RavelleGame.png"))));
  winId();  // the native window now, so a failure shows here
  if (!windowHandle()) return false;
  // On another screen the scale factor may change while the size in logical
  // pixels stays: no resize event then.
  connect(windowHandle(), &QWindow::screenChanged, this, [this] { OnSize(); });
  m_commands.SetLanguage(CFrameCommands::StoredLanguage());
  setWindowTitle(QString::fromStdString(GetProductTitle()));
  SetGameHost(this);
  return true;
}

InitResult CMainFrame::StartGame() {
  if (IsNewVersionCheckDue()) LaunchUpdateCheck(true);
  InitResult result = m_game.Init();
  if (!result.success) return result;
  if (ReadProfileBool(profile::kShowTutorialDialog)) m_dialogs.ShowTutorials();
  m_initialised = true;
  m_driver.Start();
  m_driver.StartTimer();
  return InitResult::Ok();
}

void CMainFrame::RunCommand(UINT id) {
  if (m_driver.InFrame())
    m_driver.Post(id);
  else
    m_commands.Dispatch(id);
}

// ---- menus and accelerators -----------------------------------------------------------------
void CMainFrame::ReloadMenus() {
  BuildMenuBar();
  BuildAccelerators();
}

void CMainFrame::BuildMenuBar() {
  auto* bar = new QMenuBar(this);
  auto addItem = [this](QMenu* menu, UINT id) {
    QAction* action = menu->addAction(Text(MenuTextId(id)));
    action->setData(id);
    action->setCheckable(m_commands.Router().HasCheck(id));
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
  };
  for (const Popup& popup : MenuTable()) {
    QMenu* menu = bar->addMenu(Text(popup.title));
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenu(menu); });
    for (UINT item : popup.items) {
      if (item == kSeparator) {
        menu->addSeparator();
      } else if (item == kLanguagePopup) {
        QMenu* language = menu->addMenu(Text(IDS_MENU_LANGUAGE));
        connect(language, &QMenu::aboutToShow, this, [this, language] { UpdateMenu(language); });
        addItem(language, ID_LANGUAGE_ENGLISH);
        addItem(language, ID_LANGUAGE_FRENCH);
      } else {
        addItem(menu, item);
      }
    }
  }
  bar->setVisible(!m_fullScreen);
  setMenuBar(bar);  // deletes the previous bar
}

void CMainFrame::UpdateMenu(QMenu* menu) {
  for (QAction* action : menu->actions()) {
    if (!action->data().isValid()) continue;
    const UINT id = action->data().toUInt();
    action->setEnabled(m_commands.Router().IsEnabled(id));
    if (action->isCheckable()) action->setChecked(m_commands.Router().IsChecked(id));
  }
}

void CMainFrame::BuildAccelerators() {
  for (QShortcut* s : m_accelerators) delete s;
  m_accelerators.clear();
  for (const Accelerator& a : AcceleratorTable()) {
    auto* shortcut = new QShortcut(a.keys, this);
    shortcut->setAutoRepeat(false);
    const UINT id = a.command;
    connect(shortcut, &QShortcut::activated, this, [this, id] { RunCommand(id); });
    m_accelerators.push_back(shortcut);
  }
}

// ---- window events --------------------------------------------------------------------------
void CMainFrame::closeEvent(QCloseEvent* event) {
  m_driver.Stop();
  m_game.Shutdown();
  event->accept();
}

void CMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) OnSize();
}

void CMainFrame::OnSize() {
  if (!g_Engine.Device()) return;
  g_Engine.Resize(isMinimized() ? SIZE_MINIMIZED : isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Expose && watched == m_view->SurfaceWindow()) m_driver.Repaint();
  if (watched == m_view) {
    if (event->type() == QEvent::Resize) {
      OnSize();
    } else if (event->type() == QEvent::KeyPress) {
      // Piece keys first; the key still goes on as usual.
      const auto* key = static_cast<QKeyEvent*>(event);
      if (!m_driver.InFrame())
        m_commands.OnPieceKey(KeyCodeFromQtKey(key->key(), key->modifiers().testFlag(Qt::KeypadModifier)));
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

// ---- full screen and wake-up ---------------------------------------------------------------
void CMainFrame::SetFullScreen(bool on) {
  if (on == m_fullScreen) return;
  if (on) {
    m_savedState = windowState();
    m_savedGeometry = geometry();
    menuBar()->hide();
    m_fullScreen = true;
    showFullScreen();
  } else {
    m_fullScreen = false;
    menuBar()->show();
    setWindowState(m_savedState & ~Qt::WindowFullScreen);
    if (!(m_savedState & (Qt::WindowMaximized | Qt::WindowFullScreen))) setGeometry(m_savedGeometry);
    show();
  }
}

void CMainFrame::OnShowMainWindow() {
  if (!m_initialised) return;
  if (!isVisible()) {
    show();
  } else if (isMinimized()) {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  } else {
    showMinimized();
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  }
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void CMainFrame::SetWaitCursor(bool on) {
  if (on)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

// ---- host ---------------------------------------------------------------------------------------
bool CMainFrame::CreateInput() { return g_Input.Create(m_view, nullptr); }

bool CMainFrame::CreateSound() { return g_SoundManager.Create(m_view); }

POINT CMainFrame::CursorPos() {
  return m_view ? m_view->LayoutPixel(m_view->mapFromGlobal(QCursor::pos())) : POINT{};
}

int CMainFrame::ShowCursor(bool show) {
  const bool wasShown = m_cursorCount >= 0;
  m_cursorCount += show ? 1 : -1;
  const bool shown = m_cursorCount >= 0;
  if (m_view && shown != wasShown) {
    if (shown) {
      g_Input.EndRelativeMotion();
      m_view->unsetCursor();
    } else {
      // The motion goes on past the screen edges while the cursor is away.
      m_view->setCursor(Qt::BlankCursor);
      const QPoint global = QCursor::pos();
      g_Input.BeginRelativeMotion(POINT{global.x(), global.y()});
    }
  }
  return m_cursorCount;
}

void CMainFrame::SetCursorPos(POINT layout) {
  if (m_view) QCursor::setPos(m_view->mapToGlobal(QPoint(layout.x, layout.y)));
}

int CMainFrame::WheelScrollLines() { return QApplication::wheelScrollLines(); }

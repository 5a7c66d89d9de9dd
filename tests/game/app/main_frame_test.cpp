// The main window offscreen, on the recording device: menus and
// accelerators through the command rules, keys reaching both the
// accelerators and the polled input, language switches, the frame driver
// on the real event loop, closing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QShortcut>
#include <QTest>
#include <QTimer>

#include "game/app/main_frame.h"
#include "game/command_ids.h"
#include "game/game_profile.h"
#include "platform/shell.h"
#include "tests/game/game_fixture.h"
#include "wait.h"

namespace {
class CountingDialogs : public UnconnectedGameDialogs {
 public:
  void RunGameMenu() override { ++m_gameMenus; }
  bool RunOptions() override {
    ++m_options;
    return false;
  }
  void ShowTutorials() override { ++m_tutorials; }
  int m_gameMenus = 0, m_options = 0, m_tutorials = 0;
};

class MainFrame_Offscreen : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    m_frame = std::make_unique<CMainFrame>(*m_game, m_dialogs, m_saved);
    ASSERT_TRUE(m_frame->LoadFrame());
  }
  void TearDown() override {
    m_frame.reset();
    GameTest::TearDown();  // the host was the frame; the test's host is back
  }
  void Start() {
    const InitResult started = m_frame->StartGame();
    ASSERT_TRUE(started.success) << started.message;
    m_frame->show();
    m_frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_frame.get()));
    m_frame->View()->setFocus();
  }
  QStringList PopupTitles() const {
    QStringList titles;
    for (QAction* a : m_frame->menuBar()->actions()) titles << a->text();
    return titles;
  }

  CountingDialogs m_dialogs;
  UnconnectedSavedGames m_saved;
  std::unique_ptr<CMainFrame> m_frame;
};
}  // namespace

TEST_F(MainFrame_Offscreen, OneMenuBarWithFivePopupsWhateverTheSwitches) {
  EXPECT_EQ(PopupTitles(), (QStringList{"Game", "View", "Puzzle", "Online Resources", "&Help"}));
  QMenu* game = m_frame->menuBar()->actions()[0]->menu();
  QStringList items;
  for (QAction* a : game->actions())
    if (!a->isSeparator()) items << a->text();
  EXPECT_EQ(items, (QStringList{"Show Start Screen", "Create New Puzzle\tF2", "Load Saved Puzzle\tF3",
                                "Save Puzzle\tCtrl + S", "Change Environment\tF7", "Options\tF9", "Language",
                                "E&xit"}));
  for (int i = 0; i < 7; ++i) {
    m_frame->Commands().SetLanguage(CFrameCommands::kFrench);
    m_frame->Commands().SetLanguage(CFrameCommands::kEnglish);
  }
  m_frame->Commands().SetLanguage(CFrameCommands::kFrench);
  EXPECT_EQ(m_frame->findChildren<QMenuBar*>().size(), 1);
  EXPECT_EQ(PopupTitles(), (QStringList{"Jeu", "Affichage", "Casse-tête", "Ressources en ligne", "&Aide"}));
  EXPECT_EQ(m_frame->findChildren<QShortcut*>().size(), 11);
  EXPECT_EQ(m_frame->View()->minimumSize(), QSize(750, 500));
}

TEST_F(MainFrame_Offscreen, MenusShowTheRulesAndAcceleratorsFollowThem) {
  Start();
  QMenu* view = m_frame->menuBar()->actions()[1]->menu();
  emit view->aboutToShow();
  const QList<QAction*> items = view->actions();
  EXPECT_FALSE(items[0]->isEnabled());  // Game Menu: no puzzle runs
  EXPECT_TRUE(items[2]->isEnabled());   // full screen
  EXPECT_TRUE(items[3]->isCheckable());
  EXPECT_FALSE(items[3]->isChecked());  // FPS
  EXPECT_FALSE(items[4]->isEnabled());  // Command Helper: not on the play screen

  // Escape (Game Menu) does nothing on the start screen, F9 runs, and both
  // keys still read as down for the frames.
  QTest::keyPress(m_frame->View(), Qt::Key_Escape);
  QTest::keyPress(m_frame->View(), Qt::Key_F9);
  EXPECT_EQ(m_dialogs.m_gameMenus, 0);
  EXPECT_EQ(m_dialogs.m_options, 1);
  g_Input.Read();
  EXPECT_TRUE(g_Input.m_keys[DIK_ESCAPE] & 0x80);
  EXPECT_TRUE(g_Input.m_keys[DIK_F1 + 8] & 0x80);
  QTest::keyRelease(m_frame->View(), Qt::Key_Escape);
  QTest::keyRelease(m_frame->View(), Qt::Key_F9);
  // Tab stays with the view.
  QTest::keyClick(m_frame->View(), Qt::Key_Tab);
  EXPECT_TRUE(m_frame->View()->hasFocus());
}

TEST_F(MainFrame_Offscreen, ABoxOpenedInsideAFrameStartsNoOtherFrame) {
  m_game->SetTopBar(&m_bar);
  Start();
  int framesWhileOpen = -1;
  bool boxShown = false;
  // The third frame opens a box, as the completion message does; the 0 ms
  // timer keeps firing inside the box's loop.
  m_bar.m_onUpdate = [&] {
    if (m_bar.m_updates != 3) return;
    const int before = m_bar.m_updates;
    QTimer::singleShot(300, [&boxShown] {
      if (QWidget* box = QApplication::activeModalWidget()) {
        boxShown = true;
        box->close();
      }
    });
    QMessageBox::information(m_frame.get(), "Ravelle", "Well done");
    framesWhileOpen = m_bar.m_updates - before;
  };
  testkit::WaitUntil([&] { return m_bar.m_updates >= 10; }, 5000);
  EXPECT_TRUE(boxShown);
  EXPECT_EQ(framesWhileOpen, 0);
  EXPECT_GE(m_bar.m_updates, 10);  // and frames go on afterwards
}

TEST_F(MainFrame_Offscreen, ExitClosesAndShutsTheGameDown) {
  Start();
  ASSERT_NE(g_Engine.Device(), nullptr);
  m_frame->RunCommand(ID_APP_EXIT);
  EXPECT_FALSE(m_frame->isVisible());
  EXPECT_EQ(g_Engine.Device(), nullptr);
  EXPECT_EQ(m_game->m_screenType, kScreenNone);
  EXPECT_FALSE(m_frame->Driver().Started());
}

TEST_F(MainFrame_Offscreen, ResizeReachesTheDeviceAndTheViewStaysAtLeast750x500) {
  Start();
  m_frame->showNormal();
  m_frame->resize(1100, 820);
  testkit::WaitUntil([&] {
    return g_Engine.BackBufferSize().cx == m_frame->View()->width() &&
           g_Engine.BackBufferSize().cy == m_frame->View()->height() && m_frame->width() == 1100;
  });
  EXPECT_EQ(g_Engine.BackBufferSize().cx, m_frame->View()->width());
  EXPECT_EQ(g_Engine.BackBufferSize().cy, m_frame->View()->height());
  EXPECT_EQ(g_SuspendCount, 0);
  m_frame->resize(300, 200);
  // The frame settles at its smallest size; nothing else is due.
  testkit::WaitUntil([&] { return m_frame->width() < 1100; }, 2000);
  EXPECT_GE(m_frame->View()->width(), 750);
  EXPECT_GE(m_frame->View()->height(), 500);
}

TEST_F(MainFrame_Offscreen, FullScreenAndBack) {
  Start();
  m_frame->showNormal();
  m_frame->setGeometry(40, 50, 900, 700);
  testkit::WaitUntil([&] { return m_frame->geometry().size() == QSize(900, 700); }, 2000);
  const QRect before = m_frame->geometry();
  ASSERT_TRUE(m_frame->Commands().Dispatch(ID_TOGGLE_FULL_SCREEN));
  testkit::WaitUntil([&] { return m_frame->isFullScreen(); });
  EXPECT_TRUE(m_frame->IsFullScreen());
  EXPECT_TRUE(m_frame->isFullScreen());
  EXPECT_FALSE(m_frame->menuBar()->isVisible());
  m_frame->Commands().SetLanguage(CFrameCommands::kFrench);  // menus rebuilt while hidden
  EXPECT_FALSE(m_frame->menuBar()->isVisible());
  ASSERT_TRUE(m_frame->Commands().Dispatch(ID_TOGGLE_FULL_SCREEN));
  testkit::WaitUntil([&] { return !m_frame->isFullScreen() && m_frame->geometry() == before; });
  EXPECT_FALSE(m_frame->isFullScreen());
  EXPECT_TRUE(m_frame->menuBar()->isVisible());
  EXPECT_EQ(m_frame->geometry(), before);
  EXPECT_EQ(m_frame->menuBar()->actions()[0]->text(), "Jeu");
}

TEST_F(MainFrame_Offscreen, AWakeUpShowsTheWindowOnlyOnceStarted) {
  m_frame->OnShowMainWindow();  // before the start-up finished: nothing
  EXPECT_FALSE(m_frame->isVisible());
  EXPECT_EQ(m_frame->OnCheckAppValidity(), 8888);
  Start();
  m_frame->showMinimized();
  testkit::WaitUntil([&] { return m_frame->isMinimized(); });
  ASSERT_TRUE(m_frame->isMinimized());
  m_frame->OnShowMainWindow();
  testkit::WaitUntil([&] { return m_frame->isVisible() && !m_frame->isMinimized(); });
  EXPECT_TRUE(m_frame->isVisible());
  EXPECT_FALSE(m_frame->isMinimized());
  m_frame->hide();
  m_frame->OnShowMainWindow();
  EXPECT_TRUE(m_frame->isVisible());
}

TEST_F(MainFrame_Offscreen, StartUpChecksForUpdatesWhenDueAndOpensTheTutorials) {
  ScopedRecordingShell shell;
  ManualClock clock(1000.0, 1700000000);  // 2023-11-14 22:13 UTC
  Start();                                // a fresh profile: the 2001 default is long past
  EXPECT_EQ(m_dialogs.m_tutorials, 1);
  EXPECT_EQ(GetLastNewVersionCheckTime(), 1700000000 - 1700000000 % 60);
  EXPECT_TRUE(shell.launches.empty());  // no checker in this installation
}

TEST_F(MainFrame_Offscreen, NoTutorialsWhenTheyAreOff) {
  ProfileWriteInt("", "ShowTutorialDialog", 0);
  ProfileWriteInt("GameOptions", "NewVersionsCheckAuto", 0);
  Start();
  EXPECT_EQ(m_dialogs.m_tutorials, 0);
  EXPECT_EQ(ProfileGetString("VersionUpdates", "LastNewVersionCheckTime", "none"), "none");
}

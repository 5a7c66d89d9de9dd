#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include "dialog_fixture.h"
#include "game/dialog_services.h"
#include "game/dialogs/about_dialog.h"
#include "game/dialogs/change_environment_dialog.h"
#include "game/dialogs/game_menu_dialog.h"
#include "game/dialogs/new_puzzle_dialog.h"
#include "game/dialogs/options_dialog.h"
#include "game/dialogs/select_image_dialog.h"
#include "game/dialogs/tutorial_dialog.h"
#include "platform/help_viewer.h"
#include "support/controls/hrx_hyperlink.h"

namespace {
using GameMenu_Offscreen = DialogFixture;
using About_Offscreen = DialogFixture;
using Tutorial_Offscreen = DialogFixture;
using DialogHelp_Offscreen = DialogFixture;
}  // namespace

// Each button chooses its command once and closes the menu; the frame posts
// it after exec() returned. Cancel, Enter and Escape choose nothing.
TEST_F(GameMenu_Offscreen, ButtonsChooseTheirCommandAndClose) {
  const struct {
    int button;
    int command;
  } cases[] = {{kMenuSave, kCommandSavePuzzle},
               {kMenuFullScreen, kCommandFullScreen},
               {kMenuStartScreen, kCommandShowStartScreen},
               {IDCANCEL, 0}};
  for (const auto& c : cases) {
    CGameMenuDialog menu;
    int seen = -1;
    QTimer::singleShot(0, &menu, [&] { menu.Item<QPushButton>(c.button)->click(); });
    menu.exec();
    seen = menu.ChosenCommand();
    EXPECT_EQ(seen, c.command) << c.button;
    EXPECT_FALSE(menu.isVisible());
  }
  EXPECT_EQ(CGameMenuDialog().size(), CGameMenuDialog().Units(0, 0, 203, 164).size());  // the template's size
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    CGameMenuDialog menu;
    menu.show();
    QTest::keyClick(menu.Item<QPushButton>(kMenuSave), key);
    EXPECT_FALSE(menu.isVisible()) << key;
    EXPECT_EQ(menu.ChosenCommand(), 0);
  }
}

TEST_F(About_Offscreen, ShowsTitleVersionAndLinksThatOpenTheirAddress) {
  CAboutDialog about;
  about.show();
  EXPECT_EQ(about.windowTitle(), "About Ravelle");
  EXPECT_EQ(about.size(), about.Units(0, 0, 277, 270).size());  // the template's size
  EXPECT_EQ(about.Item<QLabel>(kAboutTitle)->text(), "Ravelle");
  EXPECT_EQ(about.Item<QLabel>(kAboutVersion)->text(), "Version 1.03");
  EXPECT_TRUE(about.Item<QLabel>(kAboutLegal)->text().startsWith("Warning: "));
  for (int id : {kAboutMakerLink, kAboutProductLink}) {
    auto* link = about.Item<CHRXHyperLink>(id);
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->text().startsWith("https://"));
    EXPECT_EQ(link->GetLinkTarget(), link->text());
    EXPECT_EQ(link->toolTip(), link->text());
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, link->height() / 2));
    EXPECT_EQ(m_shell.addresses.back(), link->text().toStdString());
  }
  EXPECT_EQ(m_shell.addresses.size(), 2u);
}

namespace {
void WriteTutorials(const testkit::TempDir& dir) {
  for (const char* page : {"03-c.html", "01-a.html", "02-b.HTML", "notes.htm"})
    dir.WriteFile(std::string("Tutorials/english/") + page,
                  std::string("<html><body>") + page + "</body></html>");
}
}  // namespace

TEST_F(Tutorial_Offscreen, PagesInNameOrderWithButtonsAtTheEnds) {
  WriteTutorials(m_dir);
  CTutorialDialog* window = new CTutorialDialog;
  QPointer<CTutorialDialog> guard(window);
  EXPECT_FALSE(window->isModal());
  EXPECT_EQ(window->PageNames(), (std::vector<std::string>{"01-a.html", "02-b.HTML", "03-c.html"}));
  auto* previous = window->Item<QPushButton>(kTutorialPrevious);
  auto* next = window->Item<QPushButton>(kTutorialNext);
  auto* view = window->findChild<CHRXHtmlCtrl*>();
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(view->toPlainText().contains("01-a.html"));
  EXPECT_FALSE(previous->isEnabled());
  EXPECT_TRUE(next->isEnabled());
  next->click();
  next->click();
  EXPECT_EQ(window->CurrentIndex(), 2);
  EXPECT_TRUE(view->toPlainText().contains("03-c.html"));
  EXPECT_FALSE(next->isEnabled());
  EXPECT_TRUE(previous->isEnabled());
  previous->click();
  EXPECT_TRUE(view->toPlainText().contains("02-b.HTML"));
  window->Item<QPushButton>(IDOK)->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(guard.isNull());

  // A language without a folder has no pages and both buttons off.
  ProfileWriteString("", "Language", "french");
  CTutorialDialog empty;
  EXPECT_TRUE(empty.PageNames().empty());
  EXPECT_FALSE(empty.Item<QWidget>(kTutorialPrevious)->isEnabled());
  EXPECT_FALSE(empty.Item<QWidget>(kTutorialNext)->isEnabled());
}

// One window at a time; however it is closed, the check box is stored and
// the frame's pointer becomes null.
TEST_F(Tutorial_Offscreen, OneWindowWhoseCheckBoxIsStoredOnEveryClose) {
  WriteTutorials(m_dir);
  QWidget frame;
  QPointer<CTutorialDialog> slot;
  const struct {
    const char* how;
    bool checked;
    std::function<void(CTutorialDialog*)> close;
  } cases[] = {
      {"Close", false, [](CTutorialDialog* w) { w->Item<QPushButton>(IDOK)->click(); }},
      {"Escape", true, [](CTutorialDialog* w) { QTest::keyClick(w, Qt::Key_Escape); }},
      {"close box", false, [](CTutorialDialog* w) { w->close(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    CTutorialDialog* first = CTutorialDialog::ShowTutorials(&frame, slot);
    EXPECT_EQ(CTutorialDialog::ShowTutorials(&frame, slot), first);
    EXPECT_EQ(slot.data(), first);
    EXPECT_EQ(first->Item<QCheckBox>(kTutorialAtStart)->isChecked(),
              ProfileGetInt("", "ShowTutorialDialog", 1) != 0);
    first->Item<QCheckBox>(kTutorialAtStart)->setChecked(c.checked);
    c.close(first);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(slot.isNull());
    EXPECT_EQ(ProfileGetInt("", "ShowTutorialDialog", -1), c.checked ? 1 : 0);
  }
}

// Help (button 1001 and F1) shows each dialog's own topic.
TEST_F(DialogHelp_Offscreen, HelpButtonAndF1OpenTheDialogsTopic) {
  for (int topic : {903, 904, 907, 910})
    m_dir.WriteFile("Help/english/" + std::to_string(topic) + ".html",
                    "<html><body>topic " + std::to_string(topic) + "</body></html>");
  Picture("PuzzleSamples/a.png", 40, 30);
  const auto check = [&](CGameDialog& dialog, int topic) {
    SCOPED_TRACE(topic);
    dialog.show();
    const std::string page = m_dir / ("Help/english/" + std::to_string(topic) + ".html");
    static_cast<QPushButton*>(GetDlgItem(&dialog, kHelpButtonId))->click();
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_EQ(HelpViewerBrowser()->source().toLocalFile().toStdString(), page);
    delete HelpWindow();
    QTest::keyClick(&dialog, Qt::Key_F1);
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_EQ(HelpViewerBrowser()->source().toLocalFile().toStdString(), page);
    delete HelpWindow();
  };
  CChangeEnvironmentDialog environment;
  check(environment, 903);
  CCreateNewPuzzleDialog newPuzzle(PuzzleChoice{});
  check(newPuzzle, 904);
  COptionsDialog options;
  check(options, 907);
  CSelectImageDialog picker("");
  check(picker, 910);
  EXPECT_TRUE(m_shell.boxes.empty());

  CGameMenuDialog menu;
  menu.show();
  QTest::keyClick(&menu, Qt::Key_F1);
  EXPECT_EQ(HelpWindow(), nullptr);
  EXPECT_EQ(GetDlgItem(&menu, kHelpButtonId), nullptr);
}

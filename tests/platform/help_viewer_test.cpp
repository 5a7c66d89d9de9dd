// The help window offscreen: reading, going back and forth between pages,
// closing with Escape, and being usable while a modal dialog runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QWindow>

#include "platform/help_viewer.h"
#include "testkit.h"
#include "wait.h"

namespace {

class HelpViewer_Offscreen : public ::testing::Test {
 protected:
  void SetUp() override {
    m_first = m_dir.WriteFile("first.html",
                              "<html><head><title>First page</title></head><body>"
                              "<a href=\"second.html\">next</a></body></html>");
    m_second = m_dir.WriteFile("second.html",
                               "<html><head><title>Second page</title></head><body>two</body></html>");
  }
  void TearDown() override { delete HelpViewerWindow(); }

  static QToolButton* Button(const char* name) { return HelpViewerWindow()->findChild<QToolButton*>(name); }
  static std::string Page() { return HelpViewerBrowser()->source().toLocalFile().toStdString(); }
  static std::string Title() { return HelpViewerWindow()->windowTitle().toStdString(); }
  // A key or click as the window system delivers it, so a window that a
  // modal dialog blocks does not get it.
  static void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(HelpViewerWindow()->windowHandle(), key, modifiers);
  }
  static void Click(QToolButton* button) {
    QTest::mouseClick(HelpViewerWindow()->windowHandle(), Qt::LeftButton, {},
                      button->mapTo(HelpViewerWindow(), button->rect().center()));
  }
  static bool Active() {
    return testkit::WaitUntil([] { return HelpViewerWindow()->isActiveWindow(); }, 5000);
  }
  // Shows the first page and follows its link, as a reader would.
  void ReadFirstThenSecond() {
    ASSERT_TRUE(ShowHelpPage(m_first, "Help", {"Retour", "Avant", "Sommaire"}));
    ASSERT_TRUE(Active());
    Key(Qt::Key_Tab);  // to the link, then follow it
    Key(Qt::Key_Return);
    ASSERT_EQ(Page(), m_second);
  }

  testkit::TempDir m_dir;
  std::string m_first, m_second;
};

}  // namespace

TEST_F(HelpViewer_Offscreen, BackForwardAndHomeWithButtonsAndKeysAndTheTitleFollows) {
  ReadFirstThenSecond();
  EXPECT_EQ(Button("HelpBack")->text(), "Retour");
  EXPECT_EQ(Button("HelpHome")->text(), "Sommaire");
  EXPECT_EQ(Title(), "Second page");
  EXPECT_FALSE(Button("HelpForward")->isEnabled());
  Click(Button("HelpBack"));
  EXPECT_EQ(Page(), m_first);
  EXPECT_EQ(Title(), "First page");
  EXPECT_FALSE(Button("HelpBack")->isEnabled());
  Click(Button("HelpForward"));
  EXPECT_EQ(Page(), m_second);
  Key(Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(Page(), m_first);
  Key(Qt::Key_Right, Qt::AltModifier);
  EXPECT_EQ(Page(), m_second);
  Key(Qt::Key_Home, Qt::AltModifier);
  EXPECT_EQ(Page(), m_first);
  Click(Button("HelpForward"));  // nothing ahead any more after a new page
  EXPECT_EQ(Page(), m_first);

  // Asking again reuses the one window and makes the new page home.
  QWidget* const window = HelpViewerWindow();
  ASSERT_TRUE(ShowHelpPage(m_second, "Help"));
  EXPECT_EQ(HelpViewerWindow(), window);
  HelpViewerBrowser()->setSource(QUrl::fromLocalFile(QString::fromStdString(m_first)));
  Click(Button("HelpHome"));
  EXPECT_EQ(Page(), m_second);
  EXPECT_EQ(Button("HelpBack")->text(), "Back");  // the default texts
}

TEST_F(HelpViewer_Offscreen, EscapeClosesTheWindow) {
  ASSERT_TRUE(ShowHelpPage(m_first, "Help"));
  ASSERT_TRUE(Active());
  Key(Qt::Key_Escape);
  EXPECT_TRUE(testkit::WaitUntil([] { return HelpViewerWindow() == nullptr; }, 5000));
}

TEST_F(HelpViewer_Offscreen, UsableWhileAModalDialogRunsAndOutlivesIt) {
  auto* dialog = new QDialog;
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->show();
  ASSERT_EQ(QApplication::activeModalWidget(), dialog);
  ReadFirstThenSecond();  // becomes active: the dialog does not keep it out
  Click(Button("HelpBack"));
  EXPECT_EQ(Page(), m_first);
  Key(Qt::Key_Right, Qt::AltModifier);
  EXPECT_EQ(Page(), m_second);
  delete dialog;
  ASSERT_NE(HelpViewerWindow(), nullptr);
  EXPECT_TRUE(HelpViewerWindow()->isVisible());
  Click(Button("HelpBack"));
  EXPECT_EQ(Page(), m_first);
}

TEST_F(HelpViewer_Offscreen, NoWindowForAMissingPage) {
  EXPECT_FALSE(ShowHelpPage(m_dir / "absent.html", "Help"));
  EXPECT_EQ(HelpViewerWindow(), nullptr);
  EXPECT_EQ(HelpViewerBrowser(), nullptr);
}

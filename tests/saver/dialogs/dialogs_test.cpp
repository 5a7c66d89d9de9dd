// The settings, picture-folder and about dialogs offscreen, each saved as a
// picture under <build>/demo/saver_dialogs/.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>

#include "demo_picture.h"
#include "platform/help_viewer.h"
#include "platform/profile.h"
#include "platform/shell.h"
#include "profile_watch.h"
#include "resources/strings.h"
#include "saver/dialogs/about_dialog.h"
#include "saver/dialogs/manage_images_dialog.h"
#include "saver/dialogs/settings_dialog.h"
#include "saver/picture_lists.h"
#include "saver/saver_text_ids.h"
#include "support/controls/hrx_dialog_item.h"
#include "support/controls/hrx_hyperlink.h"
#include "support/string_table.h"
#include "support/support.h"
#include "testkit.h"
#include "text_fit.h"

namespace {

class SaverDialogs_Offscreen : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProfileFile(m_dir / "profile.ini");
    SetBuiltInStrings(&SaverStrings());
  }
  void TearDown() override {
    delete HelpViewerWindow();
    UnloadLanguageStrings();
    SetBuiltInStrings(nullptr);
    SetProfileFile("");
  }
  template <class Control = QWidget>
  static Control* Item(const QWidget* dialog, int id) {
    return qobject_cast<Control*>(GetDlgItem(dialog, id));
  }
  static void Save(QWidget* dialog, const char* name) {
    dialog->show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(testkit::SaveDemoPicture(dialog->grab().toImage(), "saver_dialogs", name));
  }
  static int Stored(const char* name) { return ProfileGetInt("ScreensaverOptions", name, -1); }

  testkit::TempDir m_dir;
  testkit::ScopedInstallation m_install{m_dir.path()};
  ScopedRecordingShell m_shell;
};

}  // namespace

TEST_F(SaverDialogs_Offscreen, SettingsOpenWithTheDefaultsAndOkWritesThem) {
  CSettingsDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Ravelle Screensaver");
  EXPECT_TRUE(Item<QCheckBox>(&dialog, kSettingsCloseOnMouseMove)->isChecked());
  EXPECT_FALSE(Item<QCheckBox>(&dialog, kSettingsShowFps)->isChecked());
  EXPECT_TRUE(Item<QCheckBox>(&dialog, kSettingsLimitFps)->isChecked());
  EXPECT_TRUE(Item(&dialog, kSettingsCheckUpdates)->isHidden());
  EXPECT_TRUE(Item(&dialog, kSettingsImagesGroup)->font().bold());
  EXPECT_TRUE(Item(&dialog, kSettingsOptionsGroup)->font().bold());
  EXPECT_FALSE(Item(&dialog, kSettingsCloseOnMouseMove)->font().bold());
  Save(&dialog, "settings");
  EXPECT_EQ(Stored("CloseMouseMove"), -1);  // nothing written by opening
  Item<QPushButton>(&dialog, IDOK)->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Stored("CloseMouseMove"), 1);
  EXPECT_EQ(Stored("ShowFPS"), 0);
  EXPECT_EQ(Stored("LimitFPSToRefreshRate"), 1);
}

TEST_F(SaverDialogs_Offscreen, SettingsShowStoredValuesAndCancelWritesNothing) {
  ProfileWriteInt("ScreensaverOptions", "CloseMouseMove", 0);
  ProfileWriteInt("ScreensaverOptions", "ShowFPS", 7);
  ProfileWriteInt("ScreensaverOptions", "LimitFPSToRefreshRate", 0);
  {
    CSettingsDialog dialog;
    EXPECT_FALSE(Item<QCheckBox>(&dialog, kSettingsCloseOnMouseMove)->isChecked());
    EXPECT_TRUE(Item<QCheckBox>(&dialog, kSettingsShowFps)->isChecked());
    EXPECT_FALSE(Item<QCheckBox>(&dialog, kSettingsLimitFps)->isChecked());
    for (int id : {kSettingsCloseOnMouseMove, kSettingsShowFps, kSettingsLimitFps})
      Item<QCheckBox>(&dialog, id)->toggle();
    Item<QPushButton>(&dialog, IDCANCEL)->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
  }
  EXPECT_EQ(Stored("CloseMouseMove"), 0);
  EXPECT_EQ(Stored("ShowFPS"), 7);
  EXPECT_EQ(Stored("LimitFPSToRefreshRate"), 0);
  CSettingsDialog dialog;
  for (int id : {kSettingsCloseOnMouseMove, kSettingsShowFps, kSettingsLimitFps})
    Item<QCheckBox>(&dialog, id)->toggle();
  Item<QPushButton>(&dialog, IDOK)->click();
  EXPECT_EQ(Stored("CloseMouseMove"), 1);
  EXPECT_EQ(Stored("ShowFPS"), 0);
  EXPECT_EQ(Stored("LimitFPSToRefreshRate"), 1);
}

TEST_F(SaverDialogs_Offscreen, TheRefreshRateTextTogglesItsCheckBox) {
  CSettingsDialog dialog;
  QLabel* text = nullptr;
  for (QLabel* label : dialog.findChildren<QLabel*>())
    if (label->text().startsWith("Limit frame rate")) text = label;
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->wordWrap());
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), text->mapToGlobal(QPointF(5, 5)),
                      Qt::LeftButton, {}, {});
  QCoreApplication::sendEvent(text, &release);
  EXPECT_FALSE(Item<QCheckBox>(&dialog, kSettingsLimitFps)->isChecked());
}

TEST_F(SaverDialogs_Offscreen, HelpOpensTheScreenSaverTopic) {
  const std::string page =
      m_dir.WriteFile("Help/english/5001.html", "<html><body>Screen saver</body></html>");
  CSettingsDialog dialog;
  Item<QPushButton>(&dialog, kSettingsHelp)->click();
  ASSERT_NE(HelpViewerWindow(), nullptr);
  EXPECT_TRUE(m_shell.boxes.empty());
  std::remove(page.c_str());
  Item<QPushButton>(&dialog, kSettingsHelp)->click();  // a missing page is named in a box
  ASSERT_EQ(m_shell.boxes.size(), 1u);
  EXPECT_NE(m_shell.boxes[0].text.find("5001.html"), std::string::npos);
}

TEST_F(SaverDialogs_Offscreen, FolderListHoldsTheSampleFolderAndGrowsWithTheDialog) {
  CManageImagesDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Manage Puzzle Images");
  QTreeWidget* list = dialog.List();
  ASSERT_EQ(list->topLevelItemCount(), 1);  // the folder need not exist
  EXPECT_EQ(list->topLevelItem(0)->text(0).toStdString(), GetPuzzleSamplesDir());
  EXPECT_EQ(list->headerItem()->text(0), "Folder");
  EXPECT_TRUE(Item(&dialog, kManageImagesAdd)->isEnabled());
  list->setCurrentItem(list->topLevelItem(0));
  EXPECT_FALSE(Item(&dialog, kManageImagesRemove)->isEnabled());  // the sample folder stays
  Save(&dialog, "manage_images");

  const QSize start = dialog.size();
  const QRect listAt = list->geometry(), addAt = Item(&dialog, kManageImagesAdd)->geometry(),
              okAt = Item(&dialog, IDOK)->geometry();
  dialog.resize(start + QSize(100, 60));
  QCoreApplication::processEvents();
  EXPECT_EQ(list->geometry(), listAt.adjusted(0, 0, 100, 60));
  EXPECT_EQ(Item(&dialog, kManageImagesAdd)->geometry(), addAt.translated(0, 60));
  EXPECT_EQ(Item(&dialog, IDOK)->geometry(), okAt.translated(100, 60));
  EXPECT_EQ(list->columnWidth(0), list->viewport()->width());
  dialog.resize(start - QSize(200, 100));
  EXPECT_EQ(dialog.size(), start);  // never smaller than it opened
}

namespace {
std::vector<std::string> Rows(const QTreeWidget* list) {
  std::vector<std::string> rows;
  for (int i = 0; i < list->topLevelItemCount(); ++i)
    rows.push_back(list->topLevelItem(i)->text(0).toStdString());
  return rows;
}
void Drop(QWidget* target, const std::vector<std::string>& paths) {
  auto* data = new QMimeData;
  QList<QUrl> urls;
  for (const std::string& path : paths) urls << QUrl::fromLocalFile(QString::fromStdString(path));
  data->setUrls(urls);
  const QPointF at(target->width() / 2, target->height() / 2);
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, data, Qt::LeftButton, {});
  QCoreApplication::sendEvent(target, &enter);
  QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, {});
  if (enter.isAccepted()) QCoreApplication::sendEvent(target, &drop);
  delete data;
}
}  // namespace

// Add (the chooser), Remove (the selected row) and a drop change the list;
// OK stores the user's folders, Cancel forgets.
TEST_F(SaverDialogs_Offscreen, FoldersAreAddedRemovedAndDroppedAndOkStoresThem) {
  const std::string mine = m_dir.MakeFolder("mine"), more = m_dir.MakeFolder("more"),
                    dropped = m_dir.MakeFolder("dropped");
  const std::string samples = GetPuzzleSamplesDir();
  std::string chosen;
  {
    CManageImagesDialog dialog;
    dialog.m_chooseFolder = [&] { return chosen; };
    const auto add = [&](const std::string& folder) {
      chosen = folder;
      Item<QPushButton>(&dialog, kManageImagesAdd)->click();
    };
    add(mine);
    add("");    // the chooser was cancelled
    add(mine);  // already listed
    add(more);
    EXPECT_EQ(Rows(dialog.List()), (std::vector<std::string>{samples, mine, more}));
    dialog.List()->setCurrentItem(dialog.List()->topLevelItem(1));
    ASSERT_TRUE(Item(&dialog, kManageImagesRemove)->isEnabled());
    Item<QPushButton>(&dialog, kManageImagesRemove)->click();
    EXPECT_EQ(Rows(dialog.List()), (std::vector<std::string>{samples, more}));
    Drop(dialog.List()->viewport(), {dropped, m_dir.WriteFile("a.png", ""), more});  // files are not folders
    EXPECT_EQ(Rows(dialog.List()), (std::vector<std::string>{samples, more, dropped}));
    EXPECT_TRUE(ReadUserImageFolders().empty());  // nothing stored before OK
    Item<QPushButton>(&dialog, IDOK)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
  EXPECT_EQ(ReadUserImageFolders(), (std::vector<std::string>{more, dropped}));

  CManageImagesDialog dialog;
  EXPECT_EQ(Rows(dialog.List()), (std::vector<std::string>{samples, more, dropped}));
  dialog.List()->setCurrentItem(dialog.List()->topLevelItem(2));
  Item<QPushButton>(&dialog, kManageImagesRemove)->click();
  Item<QPushButton>(&dialog, IDCANCEL)->click();
  EXPECT_EQ(ReadUserImageFolders(), (std::vector<std::string>{more, dropped}));
}

// A stored folder that has gone is listed, marked, and can be removed.
TEST_F(SaverDialogs_Offscreen, AVanishedFolderIsShownAsSuch) {
  ASSERT_TRUE(WriteUserImageFolders({m_dir / "gone"}));
  CManageImagesDialog dialog;
  ASSERT_EQ(dialog.List()->topLevelItemCount(), 2);
  EXPECT_EQ(dialog.List()->topLevelItem(1)->text(0).toStdString(),
            (m_dir / "gone") + " (not found or cannot be read)");
  dialog.List()->setCurrentItem(dialog.List()->topLevelItem(1));
  Item<QPushButton>(&dialog, kManageImagesRemove)->click();
  Item<QPushButton>(&dialog, IDOK)->click();
  EXPECT_TRUE(ReadUserImageFolders().empty());
}

// Both dialogs that save: one OK saves all their values in one write; a save
// that fails is said in one box naming the file and the reason, in English
// and French, and the dialog stays open until a save succeeds or Cancel.
TEST_F(SaverDialogs_Offscreen, OneOkIsOneWriteAndAFailedSaveKeepsTheDialogOpen) {
  const std::string mine = m_dir.MakeFolder("mine"), more = m_dir.MakeFolder("more");
  struct Case {
    const char* what;
    std::function<QDialog*()> open;  // with the user's changes
    std::function<void()> expectSaved;
  };
  const Case cases[] = {
      {"settings",
       [] {
         auto* d = new CSettingsDialog;
         Item<QCheckBox>(d, kSettingsShowFps)->setChecked(true);
         return d;
       },
       [] {
         EXPECT_EQ(Stored("CloseMouseMove"), 1);
         EXPECT_EQ(Stored("ShowFPS"), 1);
         EXPECT_EQ(Stored("LimitFPSToRefreshRate"), 1);
       }},
      {"picture folders",
       [&] {
         auto* d = new CManageImagesDialog;
         d->AddFolders({mine});
         d->List()->setCurrentItem(d->List()->topLevelItem(2));
         Item<QPushButton>(d, kManageImagesRemove)->click();  // "/gone", then "/gone/too"
         Item<QPushButton>(d, kManageImagesRemove)->click();
         return d;
       },
       [&] {
         EXPECT_EQ(ReadUserImageFolders(), (std::vector<std::string>{more, mine}));
         EXPECT_EQ(ProfileGetString(kSaverFoldersSection, "Folder3", "<none>"), "");  // emptied
       }},
  };
  const std::string french =
      QCoreApplication::applicationDirPath().toStdString() + "/LanguageFrench/Brindle.strings";
  for (const bool inFrench : {false, true}) {
    if (inFrench) {
      ASSERT_TRUE(LoadLanguageStrings(french));
    }
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (inFrench ? " in French" : ""));
      const ScopedProfileFile profile(m_dir.WriteFile(
          std::string(c.what) + (inFrench ? "-fr" : "") + "/profile.ini",
          "[ScreensaverFolders]\nCount=3\nFolder1=" + more + "\nFolder2=/gone\nFolder3=/gone/too\n"));
      const std::string before = testkit::ReadWholeFile(ProfileFilePath());
      const std::string pipe = testkit::BlockProfileWrites();
      m_shell.boxes.clear();
      std::unique_ptr<QDialog> dialog(c.open());
      dialog->show();
      Item<QPushButton>(dialog.get(), IDOK)->click();
      ASSERT_EQ(m_shell.boxes.size(), 1u);
      EXPECT_EQ(m_shell.boxes[0].text, testkit::BlockedProfileBox(inFrench));
      EXPECT_EQ(m_shell.boxes[0].caption, inFrench ? "Économiseur d'écran Ravelle" : "Ravelle Screensaver");
      EXPECT_TRUE(dialog->isVisible());
      EXPECT_EQ(testkit::ReadWholeFile(ProfileFilePath()), before);

      std::filesystem::remove(pipe);
      testkit::FileReplacements replacements(ProfileFilePath());
      Item<QPushButton>(dialog.get(), IDOK)->click();
      EXPECT_EQ(replacements.Count(), 1);
      EXPECT_EQ(m_shell.boxes.size(), 1u);
      EXPECT_FALSE(dialog->isVisible());
      EXPECT_EQ(dialog->result(), QDialog::Accepted);
      c.expectSaved();
    }
  }
}

// At most kMaxUserFolders user's folders: with the list full, Add says so
// instead of asking and a drop adds nothing; a drop that crosses the limit
// adds up to it and says how many were left out. OK stores the full list.
TEST_F(SaverDialogs_Offscreen, TheFolderLimitIsSaidAndNothingAddedIsLostSilently) {
  const auto storeFolders = [&](int count) {
    std::ofstream profile(ProfileFilePath());
    profile << "[ScreensaverFolders]\nCount=" << count << "\n";
    for (int i = 1; i <= count; ++i) profile << "Folder" << i << "=/f/" << i << "\n";
  };
  const std::vector<std::string> dropped = {m_dir.MakeFolder("a"), m_dir.MakeFolder("b"),
                                            m_dir.MakeFolder("c")};
  bool asked = false;
  storeFolders(kMaxUserFolders);
  {
    CManageImagesDialog dialog;
    ASSERT_EQ(dialog.List()->topLevelItemCount(), kMaxUserFolders + 1);
    dialog.m_chooseFolder = [&] {
      asked = true;
      return dropped[0];
    };
    Item<QPushButton>(&dialog, kManageImagesAdd)->click();
    EXPECT_FALSE(asked);
    ASSERT_EQ(m_shell.boxes.size(), 1u);
    EXPECT_EQ(m_shell.boxes[0].text,
              "No more picture folders can be added: the screensaver keeps at most 1000.");
    Drop(dialog.List()->viewport(), {dropped[0]});
    ASSERT_EQ(m_shell.boxes.size(), 2u);
    EXPECT_EQ(m_shell.boxes[1].text,
              "The screensaver keeps at most 1000 picture folders. Dropped folders not added: 1.");
    EXPECT_EQ(dialog.List()->topLevelItemCount(), kMaxUserFolders + 1);
  }
  m_shell.boxes.clear();
  storeFolders(kMaxUserFolders - 1);
  CManageImagesDialog dialog;
  Drop(dialog.List()->viewport(), dropped);
  ASSERT_EQ(m_shell.boxes.size(), 1u);
  EXPECT_EQ(m_shell.boxes[0].text,
            "The screensaver keeps at most 1000 picture folders. Dropped folders not added: 2.");
  ASSERT_EQ(dialog.List()->topLevelItemCount(), kMaxUserFolders + 1);
  EXPECT_EQ(Rows(dialog.List()).back(), dropped[0]);
  Item<QPushButton>(&dialog, IDOK)->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const std::vector<std::string> stored = ReadUserImageFolders();
  ASSERT_EQ(stored.size(), std::size_t(kMaxUserFolders));
  EXPECT_EQ(stored.back(), dropped[0]);
}

TEST_F(SaverDialogs_Offscreen, AboutShowsTitleVersionLinksAndNotice) {
  CSaverAboutDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "About Ravelle Screensaver");
  EXPECT_EQ(Item<QLabel>(&dialog, kSaverAboutTitle)->text(), "Ravelle Screensaver");
  EXPECT_EQ(Item<QLabel>(&dialog, kSaverAboutVersion)->text(), "Version 1.03");
  EXPECT_EQ(Item<QLabel>(&dialog, kSaverAboutLegal)->text().toStdString(), LoadResString(IDS_SAVER_LEGAL));
  EXPECT_EQ(Item<CHRXHyperLink>(&dialog, kSaverAboutHomeLink)->GetLinkTarget(),
            "https://www.halvorn.com/ravelle/screensaver/");
  EXPECT_TRUE(Item(&dialog, kSaverAboutProductGroup)->font().bold());
  EXPECT_FALSE(Item<QLabel>(&dialog, kSaverAboutPicture)->pixmap().isNull());
  Save(&dialog, "about");
}

// Every text fits its control, in both languages, in every dialog (the
// picture-folder one with a user's folder row and a vanished one).
TEST_F(SaverDialogs_Offscreen, NoTextIsWiderThanItsControl) {
  ASSERT_TRUE(WriteUserImageFolders({m_dir.MakeFolder("mine"), m_dir / "gone"}));
  const QString french = QCoreApplication::applicationDirPath() + "/LanguageFrench/Brindle.strings";
  for (const bool inFrench : {false, true}) {
    SCOPED_TRACE(inFrench ? "french" : "english");
    if (inFrench) {
      ASSERT_TRUE(LoadLanguageStrings(french.toStdString()));
    }
    CSettingsDialog settings;
    CManageImagesDialog folders;
    CSaverAboutDialog about;
    for (QDialog* dialog : std::initializer_list<QDialog*>{&settings, &folders, &about}) {
      dialog->show();
      QCoreApplication::processEvents();
      for (const std::string& cut : testkit::CutTexts(dialog))
        ADD_FAILURE() << dialog->windowTitle().toStdString() << ": " << cut;
    }
  }
}

TEST_F(SaverDialogs_Offscreen, FrenchDialogs) {
  // The build's own installation carries the French file.
  const QString file = QCoreApplication::applicationDirPath() + "/LanguageFrench/Brindle.strings";
  ASSERT_TRUE(LoadLanguageStrings(file.toStdString()));
  CSettingsDialog settings;
  EXPECT_EQ(Item<QCheckBox>(&settings, kSettingsShowFps)->text(), "Afficher le nombre d'images par seconde");
  Save(&settings, "settings_french");
  CManageImagesDialog folders;
  Save(&folders, "manage_images_french");
  CSaverAboutDialog about;
  Save(&about, "about_french");
}

// Pictures of every dialog for a person to judge, in English and French,
// made from the build's own installation (sample pictures, tables,
// tutorials), and of the three that preview a picture with one that cannot
// be read: <build>/demo/dialogs/<name>-<language>.png. No text may be
// wider than its control, and the French ones must show no English text.
#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QTreeWidget>
#include <memory>
#include <set>

#include "demo_picture.h"
#include "dialog_fixture.h"
#include "game/dialogs/about_dialog.h"
#include "game/dialogs/change_environment_dialog.h"
#include "game/dialogs/game_menu_dialog.h"
#include "game/dialogs/new_puzzle_dialog.h"
#include "game/dialogs/options_dialog.h"
#include "game/dialogs/select_image_dialog.h"
#include "game/dialogs/tutorial_dialog.h"
#include "support/support.h"
#include "text_fit.h"

namespace {

QString Plain(QString text) { return text.replace(QRegularExpression("\\s+"), " ").trimmed(); }

// Every text a player can read on the dialog and its children.
QStringList Texts(const QWidget* dialog) {
  QStringList out{dialog->windowTitle()};
  for (const QWidget* w : dialog->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(dialog)) continue;
    if (auto* label = qobject_cast<const QLabel*>(w)) out << label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) out << button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(w)) out << group->title();
    if (auto* combo = qobject_cast<const QComboBox*>(w))
      for (int i = 0; i < combo->count(); ++i) out << combo->itemText(i);
    if (auto* list = qobject_cast<const QListWidget*>(w))
      for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    if (auto* tree = qobject_cast<const QTreeWidget*>(w))
      for (int i = 0; i < tree->topLevelItemCount(); ++i) out << tree->topLevelItem(i)->text(0);
  }
  for (QString& text : out) text = Plain(text);
  return out;
}

class DialogDemo_Offscreen : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    SetBuiltInStrings(&GameStrings());
    SetProfileFile(m_dir / "profile.ini");
    const std::string language = GetParam();
    ProfileWriteString("", "Language", language);
    ProfileWriteString("MenuSel", "LastPuzzlePictureFilePath", "");
    ASSERT_FALSE(GetInstallDir().empty()) << "the build's installation";
    if (language == "french") {
      std::string error;
      ASSERT_TRUE(LoadLanguageStrings(GetInstallDir() + "/LanguageFrench/RavelleGame.strings", &error))
          << error;
    }
  }
  void TearDown() override {
    SetProfileFile("");
    UnloadLanguageStrings();
    SetBuiltInStrings(nullptr);
  }

  // Saves the picture, checks that every text fits its control and, in
  // French, that no English text shows.
  void Take(QWidget& dialog, const QString& name) {
    dialog.show();
    QCoreApplication::processEvents();
    const std::string file = name.toStdString() + "-" + GetParam();
    EXPECT_TRUE(testkit::SaveDemoPicture(dialog.grab().toImage(), "dialogs", file)) << file;
    for (const std::string& cut : testkit::CutTexts(&dialog))
      ADD_FAILURE() << name.toStdString() << ": " << cut;
    if (std::string(GetParam()) != "french") return;
    for (const QString& text : Texts(&dialog))
      EXPECT_EQ(EnglishOnly().count(text), 0u) << name.toStdString() << ": " << text.toStdString();
  }
  // The English texts that have another French text.
  static const std::set<QString>& EnglishOnly() {
    static const std::set<QString> texts = [] {
      std::set<QString> out;
      for (const auto& [id, english] : GameStrings())
        if (LoadResString(id) != english) out.insert(Plain(QString::fromStdString(english)));
      return out;
    }();
    return texts;
  }

  testkit::TempDir m_dir;
  ScopedRecordingShell m_shell;
};

}  // namespace

TEST_P(DialogDemo_Offscreen, EveryDialog) {
  PuzzleChoice current;
  current.columns = current.rows = 10;
  CCreateNewPuzzleDialog newPuzzle(current);
  Take(newPuzzle, "new-puzzle");
  CSelectImageDialog picker(newPuzzle.PicturePath());
  Take(picker, "select-image");
  CChangeEnvironmentDialog environment;
  Take(environment, "change-environment");
  auto* tables = environment.Item<QListWidget>(kEnvList);
  tables->setCurrentRow(tables->count() - 1);  // the custom table, no picture chosen yet
  Take(environment, "change-environment-custom");
  COptionsDialog options;
  const char* pages[] = {"options-general", "options-pieces", "options-new-versions"};
  for (int page = 0; page < 3; ++page) {
    GetDlgItem(&options, kOptionsTree)->setFocus();
    options.Item<QTreeWidget>(kOptionsTree)->setCurrentItem(options.Pages()[page].m_item);
    Take(options, pages[page]);
  }
  CGameMenuDialog menu;
  Take(menu, "game-menu");
  CAboutDialog about;
  Take(about, "about");
  auto tutorial = std::make_unique<CTutorialDialog>();
  EXPECT_GE(tutorial->PageNames().size(), 5u);
  Take(*tutorial, "tutorial");
}

// A picture that cannot be read, where each dialog shows one: the line in
// place of its size, and on the custom table's white square.
TEST_P(DialogDemo_Offscreen, AnUnreadablePicture) {
  const std::string damaged = m_dir.WriteFile("Pictures/damaged.jpg", "not a picture");
  m_dir.WriteFile("Pictures/also-damaged.png", "not a picture either");
  ProfileWriteString("MenuSel", "LastOwnPictureFolder", m_dir / "Pictures");
  ProfileWriteString("Environments", "LastEnvFile", "CUSTOM");
  ProfileWriteString("Environments", "LastEnvCustomFile", damaged);
  const QString unreadable = DialogText(IDS_PICTURE_UNREADABLE);
  PuzzleChoice current;
  current.picturePath = damaged;
  CCreateNewPuzzleDialog newPuzzle(current);
  EXPECT_EQ(newPuzzle.Item<QLabel>(kNewPuzzleSizeText)->text(), unreadable);
  Take(newPuzzle, "new-puzzle-unreadable");
  CSelectImageDialog picker(damaged);
  EXPECT_EQ(picker.Item<QLabel>(kPickSizeText)->text(), unreadable);
  Take(picker, "select-image-unreadable");
  CChangeEnvironmentDialog environment;
  EXPECT_TRUE(environment.Item<QLabel>(kEnvUnreadableText)->isVisibleTo(&environment));
  Take(environment, "change-environment-unreadable");
}

INSTANTIATE_TEST_SUITE_P(Languages, DialogDemo_Offscreen, ::testing::Values("english", "french"));

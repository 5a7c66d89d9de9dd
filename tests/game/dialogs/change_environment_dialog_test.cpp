#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "dialog_fixture.h"
#include "game/dialogs/change_environment_dialog.h"

namespace {

class ChangeEnvironment_Offscreen : public DialogFixture {
 protected:
  void SetUp() override {
    DialogFixture::SetUp();
    Environment("001.txt", "Wood", "Bois", "wood.png");
    Environment("002.txt", "marble", "Marbre", "marble.png");
    Environment("003.txt", "Slate", "Ardoise", "slate.png");
    Picture("Environments/Textures/wood.png", 1024, 512);
    Picture("Environments/Textures/marble.png", 64, 64);
    Picture("Environments/Textures/slate.png", 64, 64);
  }
  void Environment(const std::string& file, const std::string& english, const std::string& french,
                   const std::string& texture) {
    m_dir.WriteFile("Environments/" + file, "<Environment><NameEnglish>" + english +
                                                "</NameEnglish><NameFrench>" + french +
                                                "</NameFrench><TextureFileName>" + texture +
                                                "</TextureFileName><Width>600</Width></Environment>");
  }
  static QStringList Lines(const CChangeEnvironmentDialog& d) {
    QStringList out;
    auto* list = d.Item<QListWidget>(kEnvList);
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
  }
  static QSize Preview(const CChangeEnvironmentDialog& d) {
    return d.Item<QLabel>(kEnvPreview)->pixmap().size();
  }
  static bool OkEnabled(const CChangeEnvironmentDialog& d) { return d.Item<QPushButton>(IDOK)->isEnabled(); }
  // The line on the white square that says the picture cannot be read.
  static bool SaysUnreadable(const CChangeEnvironmentDialog& d) {
    const QLabel* line = d.Item<QLabel>(kEnvUnreadableText);
    return line && !line->isHidden() && line->text() == "This picture cannot be read.";
  }
};

}  // namespace

TEST_F(ChangeEnvironment_Offscreen, ListsTheTablesByNameInTheLanguageWithCustomLast) {
  CChangeEnvironmentDialog english;
  EXPECT_EQ(english.windowTitle(), "Change Environment");
  EXPECT_EQ(Lines(english), QStringList({"marble", "Slate", "Wood", "[ Custom ]"}));
  EXPECT_EQ(english.Item<QListWidget>(kEnvList)->currentRow(), 2);  // 001.txt, the default
  EXPECT_EQ(Preview(english), QSize(192, 96));
  EXPECT_TRUE(OkEnabled(english));
  EXPECT_TRUE(english.Item<QWidget>(kEnvSelectImage)->isHidden());

  ProfileWriteString("", "Language", "french");
  ProfileWriteString("Environments", "LastEnvFile", "002.TXT");  // another letter case names nothing
  CChangeEnvironmentDialog french;
  EXPECT_EQ(Lines(french), QStringList({"Ardoise", "Bois", "Marbre", "[ Personnalisé ]"}));
  EXPECT_EQ(french.Item<QListWidget>(kEnvList)->currentRow(), 0);
}

// The custom entry needs a picture that loads; the one chosen is kept even
// when another table is confirmed. Cancel stores nothing.
TEST_F(ChangeEnvironment_Offscreen, ACustomPictureIsChosenThroughTheFileChooser) {
  ProfileWriteString("Environments", "LastEnvFile", "CUSTOM");
  ProfileWriteString("Environments", "LastEnvCustomFile", m_dir / "gone.jpg");
  const std::string photo = Picture("Photos/PHOTO.JPG", 300, 600);
  QString filterSeen;
  std::string folderSeen;
  SetFileChooser([&](QWidget*, const QString&, const std::string& folder, const QString& filter) {
    folderSeen = folder;
    filterSeen = filter;
    return photo;
  });
  {
    CChangeEnvironmentDialog dialog;
    EXPECT_EQ(dialog.Item<QListWidget>(kEnvList)->currentRow(), 3);
    EXPECT_FALSE(dialog.Item<QWidget>(kEnvSelectImage)->isHidden());
    EXPECT_EQ(Preview(dialog), QSize(192, 192));  // the white square
    EXPECT_EQ(dialog.Item<QLabel>(kEnvPreview)->pixmap().toImage().pixelColor(96, 96), QColor(Qt::white));
    EXPECT_TRUE(SaysUnreadable(dialog));
    EXPECT_FALSE(OkEnabled(dialog));

    dialog.Item<QPushButton>(kEnvSelectImage)->click();
    EXPECT_EQ(folderSeen, m_dir.path());
    EXPECT_TRUE(filterSeen.contains("*.JPG")) << filterSeen.toStdString();
    EXPECT_TRUE(filterSeen.contains("*.jpg"));
    EXPECT_TRUE(filterSeen.startsWith("All Supported Files ("));
    EXPECT_EQ(Preview(dialog), QSize(96, 192));
    EXPECT_FALSE(SaysUnreadable(dialog));
    EXPECT_TRUE(OkEnabled(dialog));
    dialog.Item<QPushButton>(IDCANCEL)->click();
    EXPECT_EQ(Profile("Environments", "LastEnvCustomFile"), m_dir / "gone.jpg");
  }
  CChangeEnvironmentDialog dialog;
  dialog.Item<QPushButton>(kEnvSelectImage)->click();
  dialog.Item<QListWidget>(kEnvList)->setCurrentRow(0);
  EXPECT_TRUE(dialog.Item<QWidget>(kEnvSelectImage)->isHidden());
  dialog.Item<QPushButton>(IDOK)->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Profile("Environments", "LastEnvFile"), "002.txt");
  EXPECT_EQ(Profile("Environments", "LastEnvCustomFile"), photo);
  SetFileChooser(nullptr);
}

// A description that cannot be read is listed under its file name and can
// never be confirmed, so "LastEnvFile" is never stored empty; a table whose
// texture is missing cannot be confirmed either, and says why.
TEST_F(ChangeEnvironment_Offscreen, BrokenTablesCannotBeConfirmed) {
  m_dir.WriteFile("Environments/004.txt", "<Environment><NameEnglish>Half");
  Environment("005.txt", "Felt", "Feutre", "missing.png");
  ProfileWriteString("Environments", "LastEnvFile", "004.txt");
  CChangeEnvironmentDialog dialog;
  EXPECT_EQ(Lines(dialog), QStringList({"004.txt", "Felt", "marble", "Slate", "Wood", "[ Custom ]"}));
  EXPECT_EQ(dialog.Item<QListWidget>(kEnvList)->currentRow(), 0);
  EXPECT_FALSE(OkEnabled(dialog));
  dialog.Item<QListWidget>(kEnvList)->setCurrentRow(1);
  EXPECT_FALSE(dialog.PreviewLoaded());
  EXPECT_TRUE(SaysUnreadable(dialog));  // missing.png
  EXPECT_FALSE(OkEnabled(dialog));
  dialog.Item<QListWidget>(kEnvList)->setCurrentRow(5);
  EXPECT_FALSE(SaysUnreadable(dialog));  // the custom table, no picture chosen yet
  EXPECT_FALSE(OkEnabled(dialog));
  dialog.Item<QListWidget>(kEnvList)->setCurrentRow(3);
  EXPECT_FALSE(SaysUnreadable(dialog));
  EXPECT_TRUE(OkEnabled(dialog));
  dialog.Item<QPushButton>(IDOK)->click();
  EXPECT_EQ(Profile("Environments", "LastEnvFile"), "003.txt");
  EXPECT_EQ(Profile("Environments", "LastEnvCustomFile"), "");
}

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <map>

#include "dialog_fixture.h"
#include "game/dialogs/select_image_dialog.h"
#include "game/puzzle_game.h"

namespace {
using SelectImage_Offscreen = DialogFixture;

QStringList Lines(const CSelectImageDialog& d) {
  QStringList out;
  auto* list = d.Item<QListWidget>(kPickList);
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}
}  // namespace

TEST_F(SelectImage_Offscreen, ListsPicturesSortedAndSelectsTheCurrentOne) {
  Picture("PuzzleSamples/zebra.png", 64, 48);
  Picture("PuzzleSamples/Apple.bmp", 2000, 500);
  Picture("PuzzleSamples/mango.JPG", 640, 480);
  m_dir.WriteFile("PuzzleSamples/notes.txt", "text");
  m_dir.MakeFolder("PuzzleSamples/d.png");
  CSelectImageDialog dialog(Samples() + "/MANGO.jpg");
  EXPECT_EQ(dialog.windowTitle(), "Select puzzle image");
  EXPECT_EQ(Lines(dialog), QStringList({"Apple.bmp", "mango.JPG", "zebra.png"}));
  EXPECT_EQ(dialog.Item<QListWidget>(kPickList)->currentRow(), 1);
  EXPECT_EQ(dialog.Item<QLineEdit>(kPickFolder)->text().toStdString(), Samples());
  EXPECT_EQ(dialog.Item<QLabel>(kPickPreview)->pixmap().size(), QSize(160, 120));
  EXPECT_EQ(dialog.Item<QLabel>(kPickSizeText)->text(), "Image size = 640 X 480 pixels");

  dialog.Item<QListWidget>(kPickList)->setCurrentRow(0);  // 2000 x 500
  EXPECT_EQ(dialog.Item<QLabel>(kPickPreview)->pixmap().size(), QSize(200, 50));
  dialog.Item<QListWidget>(kPickList)->setCurrentRow(1);
  dialog.Item<QPushButton>(IDOK)->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.GetSelectedPath(), Samples() + "/mango.JPG");

  CSelectImageDialog unnamed("");
  EXPECT_EQ(unnamed.Item<QListWidget>(kPickList)->currentRow(), 0);
  unnamed.Item<QPushButton>(IDCANCEL)->click();
  EXPECT_EQ(unnamed.GetSelectedPath(), "");
}

TEST_F(SelectImage_Offscreen, AFolderWithoutPicturesOffersNothing) {
  m_dir.WriteFile("PuzzleSamples/readme.txt", "text");
  CSelectImageDialog dialog(Samples() + "/a.png");
  EXPECT_EQ(Lines(dialog), QStringList({"This folder does not contain any valid images."}));
  EXPECT_FALSE(dialog.Item<QListWidget>(kPickList)->isEnabled());
  EXPECT_EQ(dialog.Item<QListWidget>(kPickList)->currentRow(), -1);
  EXPECT_TRUE(dialog.Item<QWidget>(kPickSizeText)->isHidden());
  EXPECT_TRUE(dialog.Item<QWidget>(kPickPreview)->isHidden());
  EXPECT_FALSE(dialog.Item<QPushButton>(IDOK)->isEnabled());

  // A 100 x 60 picture is enlarged to the whole box.
  Picture("Mine/small.png", 100, 60);
  SetFolderChooser([&](QWidget*, const QString&, const std::string& start) {
    EXPECT_FALSE(start.empty());
    return m_dir / "Mine/";
  });
  dialog.Item<QPushButton>(kPickBrowse)->click();
  SetFolderChooser(nullptr);
  EXPECT_EQ(Lines(dialog), QStringList({"small.png"}));
  EXPECT_TRUE(dialog.Item<QPushButton>(IDOK)->isEnabled());
  EXPECT_FALSE(dialog.Item<QWidget>(kPickSizeText)->isHidden());
  EXPECT_EQ(dialog.Item<QLabel>(kPickPreview)->pixmap().size(), QSize(200, 120));
  dialog.Item<QPushButton>(IDOK)->click();
  EXPECT_EQ(dialog.GetSelectedPath(), m_dir / "Mine/small.png");

  // Reopened on that picture, the dialog shows its folder; the samples
  // button goes back.
  CSelectImageDialog again(m_dir / "Mine/small.png");
  EXPECT_EQ(again.Folder(), m_dir / "Mine");
  again.Item<QPushButton>(kPickSampleFolder)->click();
  EXPECT_EQ(again.Folder(), Samples());
}

TEST_F(SelectImage_Offscreen, ControlsFollowTheirAnchorsAndTheSizeHasAFloor) {
  Picture("PuzzleSamples/a.png", 640, 480);
  CSelectImageDialog dialog("");
  dialog.show();
  const QSize opened = dialog.size();
  std::map<int, QRect> before;
  for (int id :
       std::initializer_list<int>{kPickListGroup, kPickList, kPickPreviewGroup, kPickPreview, kPickSizeText,
                                  kPickOwnGroup, kPickBrowse, kPickSamplesGroup, kPickSampleFolder,
                                  kPickFolderGroup, kPickFolder, 1001, IDOK, IDCANCEL})
    before[id] = GetDlgItem(&dialog, id)->geometry();
  dialog.resize(opened.width() + 100, opened.height() + 50);
  const struct {
    int id;
    QRect expected;
  } cases[] = {
      {kPickListGroup, before[kPickListGroup].adjusted(0, 0, 100, 50)},
      {kPickList, before[kPickList].adjusted(0, 0, 100, 50)},
      {kPickPreviewGroup, before[kPickPreviewGroup].translated(100, 0)},
      {kPickPreview, before[kPickPreview].translated(100, 0)},
      {kPickSizeText, before[kPickSizeText].translated(100, 0)},
      {kPickOwnGroup, before[kPickOwnGroup].translated(100, 0)},
      {kPickBrowse, before[kPickBrowse].translated(100, 0)},
      {kPickSamplesGroup, before[kPickSamplesGroup].translated(100, 0).adjusted(0, 0, 0, 50)},
      {kPickSampleFolder, before[kPickSampleFolder].translated(100, 0)},
      {kPickFolderGroup, before[kPickFolderGroup].translated(0, 50).adjusted(0, 0, 100, 0)},
      {kPickFolder, before[kPickFolder].translated(0, 50).adjusted(0, 0, 100, 0)},
      {1001, before[1001]},
      {IDOK, before[IDOK].translated(100, 50)},
      {IDCANCEL, before[IDCANCEL].translated(100, 50)},
  };
  for (const auto& c : cases) EXPECT_EQ(GetDlgItem(&dialog, c.id)->geometry(), c.expected) << c.id;
  EXPECT_EQ(dialog.Item<QLabel>(kPickPreview)->size(), QSize(160, 120));  // the picture's size, not stretched
  EXPECT_EQ(dialog.minimumSize(), opened);
  dialog.resize(opened);
  for (const auto& [id, rect] : before) EXPECT_EQ(GetDlgItem(&dialog, id)->geometry(), rect) << id;
}

// The game's default picture is the first line the dialogs show: a GIF sample
// is in all three lists or in none.
TEST_F(SelectImage_Offscreen, TheGamesDefaultPictureIsTheDialogsFirstLine) {
  static const char kOnePixelGif[] =
      "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00,"
      "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;";
  m_dir.WriteFile("PuzzleSamples/a.gif", std::string(kOnePixelGif, sizeof kOnePixelGif - 1));
  Picture("PuzzleSamples/b.png", 64, 48);
  CSelectImageDialog dialog("");
  EXPECT_EQ(Lines(dialog), QStringList({"a.gif", "b.png"}));
  EXPECT_EQ(dialog.Item<QLabel>(kPickSizeText)->text(), "Image size = 1 X 1 pixels");  // a valid picture

  CPuzzleGame game;
  ASSERT_TRUE(game.ChooseDefaultPicture());
  EXPECT_EQ(game.m_settings.picturePath, Samples() + "/" + Lines(dialog).front().toStdString());
}

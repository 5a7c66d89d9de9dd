#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "dialog_fixture.h"
#include "game/dialogs/new_puzzle_dialog.h"
#include "game/dialogs/select_image_dialog.h"
#include "game/game_profile.h"
#include "puzzle/grid_sizes.h"
#include "tests/game/puzzle_choice_print.h"

namespace {

class NewPuzzle_Offscreen : public DialogFixture {
 protected:
  PuzzleChoice Current(const std::string& picture, int columns, int rows) {
    PuzzleChoice s;
    s.picturePath = picture;
    s.columns = columns;
    s.rows = rows;
    return s;
  }
  static QString Line(const CCreateNewPuzzleDialog& d, int line) {
    return d.Item<QComboBox>(kNewPuzzleDimensions)->itemText(line);
  }
  static int Selected(const CCreateNewPuzzleDialog& d) {
    return d.Item<QComboBox>(kNewPuzzleDimensions)->currentIndex();
  }
};

}  // namespace

// A 3 x 3 puzzle carried over to a 1024 x 768 sample: the count of 9 pieces
// gives 4 x 3 for its aspect, which is line 0.
TEST_F(NewPuzzle_Offscreen, OpensOnThePicturesSizesWithTheCarriedOverCount) {
  const std::string sample = Picture("PuzzleSamples/a.png", 1024, 768);
  CCreateNewPuzzleDialog dialog(Current(sample, 3, 3));
  EXPECT_EQ(dialog.windowTitle(), "Create new puzzle");
  EXPECT_EQ(dialog.PicturePath(), sample);
  EXPECT_EQ(dialog.Columns(), 4);
  EXPECT_EQ(dialog.Rows(), 3);
  EXPECT_EQ(Line(dialog, 0), "4 X 3 ( 12 pieces )");
  EXPECT_EQ(Selected(dialog), 0);
  EXPECT_EQ(dialog.Item<QLabel>(kNewPuzzlePreview)->pixmap().size(), QSize(160, 120));
  EXPECT_EQ(dialog.Item<QLabel>(kNewPuzzleSizeText)->text(), "Image size = 1024 X 768 pixels");
  EXPECT_TRUE(dialog.Item<QWidget>(kNewPuzzleDownload)->isHidden());
  EXPECT_EQ(dialog.Item<QWidget>(kNewPuzzleImageGroup)->font().weight(), 700);

  // 10 x 10 on 4:3 gives 11 x 8.
  CCreateNewPuzzleDialog ten(Current(sample, 10, 10));
  EXPECT_EQ(Line(ten, Selected(ten)), "11 X 8 ( 88 pieces )");
}

// When the carried-over size is not offered, the line with the closest
// piece count is selected, the earlier one on a tie.
TEST_F(NewPuzzle_Offscreen, AnUnlistedSizeSelectsTheClosestPieceCount) {
  // 2,000 pieces on a picture ten times as high as wide give 15 x 141,
  // above the 2,000-piece limit, so that size is not offered.
  const std::string sample = Picture("PuzzleSamples/a.png", 100, 1000);
  std::vector<std::pair<int, int>> pairs;
  ListGridSizes(pairs, 0.1f);
  CCreateNewPuzzleDialog dialog(Current(sample, 40, 50));
  ASSERT_EQ(std::make_pair(dialog.Columns(), dialog.Rows()), std::make_pair(15, 141));
  int expected = -1, best = 1000000;
  for (size_t i = 0; i < pairs.size(); ++i) {
    const int difference = std::abs(pairs[i].first * pairs[i].second - dialog.Columns() * dialog.Rows());
    if (difference < best) best = difference, expected = static_cast<int>(i);
  }
  EXPECT_GT(best, 0);
  EXPECT_EQ(Selected(dialog), expected);
  EXPECT_EQ(dialog.Columns(), 15);  // the selection changes nothing
}

TEST_F(NewPuzzle_Offscreen, StoredChoicesOutOfRangeShowAndSaveAsTheirNearestMeaning) {
  const std::string sample = Picture("PuzzleSamples/a.png", 400, 300);
  const struct {
    int shape, irregularity, rotate;
    const char* shown;
    int shownIrregularity;
    bool checked;
    int writtenShape, writtenRotate;
  } cases[] = {
      {51, 150, 7, "Random Mix", 100, true, 51, 1},
      {4, -3, 0, "Classic", 0, false, 1, 0},
      {3, 40, 1, "Round", 40, true, 3, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    ProfileWriteInt("MenuSel", "LastPieceShape", c.shape);
    ProfileWriteInt("MenuSel", "LastPieceIrregularity", c.irregularity);
    ProfileWriteInt("MenuSel", "LastRotatePieces", c.rotate);
    CCreateNewPuzzleDialog dialog(Current(sample, 4, 3));
    EXPECT_EQ(dialog.Item<QComboBox>(kNewPuzzleShape)->currentText(), c.shown);
    EXPECT_EQ(dialog.Item<QSlider>(kNewPuzzleIrregularity)->value(), c.shownIrregularity);
    EXPECT_EQ(dialog.Item<QCheckBox>(kNewPuzzleRotate)->isChecked(), c.checked);
    dialog.Item<QPushButton>(IDOK)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ProfileGetInt("MenuSel", "LastPieceShape", -1), c.writtenShape);
    EXPECT_EQ(ProfileGetInt("MenuSel", "LastPieceIrregularity", -1), c.shownIrregularity);
    EXPECT_EQ(ProfileGetInt("MenuSel", "LastRotatePieces", -1), c.writtenRotate);
  }
}

TEST_F(NewPuzzle_Offscreen, OkFillsTheSettingsAndTheProfileCancelNeither) {
  const std::string sample = Picture("PuzzleSamples/a.png", 400, 300);
  {
    CCreateNewPuzzleDialog dialog(Current(sample, 4, 3));
    dialog.Item<QComboBox>(kNewPuzzleShape)->setCurrentIndex(1);
    dialog.Item<QSlider>(kNewPuzzleIrregularity)->setValue(33);
    dialog.Item<QPushButton>(IDCANCEL)->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(Profile("MenuSel", "LastPieceShape"), "<none>");
    EXPECT_EQ(Profile("MenuSel", "LastPuzzlePictureFilePath"), "<none>");
  }
  CCreateNewPuzzleDialog dialog(Current(sample, 4, 3));
  auto* sizes = dialog.Item<QComboBox>(kNewPuzzleDimensions);
  sizes->setCurrentIndex(2);
  emit sizes->activated(2);
  dialog.Item<QComboBox>(kNewPuzzleShape)->setCurrentIndex(2);
  dialog.Item<QCheckBox>(kNewPuzzleRotate)->setChecked(true);
  dialog.Item<QSlider>(kNewPuzzleIrregularity)->setValue(33);
  dialog.Item<QPushButton>(IDOK)->click();
  PuzzleChoice expected;
  expected.picturePath = sample;
  std::tie(expected.columns, expected.rows) = dialog.DimensionPairs()[2];
  expected.rotatePieces = true;
  expected.pieceShape = PieceShapeRound;
  expected.irregularity = 33;
  const PuzzleChoice& s = dialog.Choice();
  EXPECT_EQ(s, expected);
  EXPECT_EQ(Profile("MenuSel", "LastPuzzlePictureFilePath"), sample);
  EXPECT_EQ(ProfileGetInt("MenuSel", "LastPuzzleSizeX", 0), s.columns);
  EXPECT_EQ(ProfileGetInt("MenuSel", "LastPuzzleSizeY", 0), s.rows);
  EXPECT_EQ(ProfileGetInt("MenuSel", "LastRotatePieces", 0), 1);
  EXPECT_EQ(Profile("MenuSel", "LastOwnPictureFolder"), "<none>");  // a sample
}

TEST(StartPicture, KeepsSamplesAndOwnPicturesElseTakesTheFirstSample) {
  testkit::TempDir dir;
  const std::string samples = dir.MakeFolder("Samples");
  dir.WriteFile("Samples/b.png", "x");
  dir.WriteFile("Samples/a.jpg", "x");
  dir.WriteFile("Own/mine.png", "x");
  dir.WriteFile("Elsewhere/other.png", "x");
  const std::string first = samples + "/a.jpg";
  const struct {
    std::string current, own, expected;
  } cases[] = {
      {samples + "/b.png", "", samples + "/b.png"},
      {dir / "SAMPLES/b.png", "", first},                         // the file does not exist in that spelling
      {dir / "Own/mine.png", "", first},                          // another folder
      {dir / "Own/mine.png", dir / "own", dir / "Own/mine.png"},  // the player's own folder
      {dir / "Elsewhere/other.png", dir / "Own", first},
      {samples + "/gone.png", "", first},
      {"", "", first},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ChooseStartPicture(c.current, samples, c.own), c.expected) << c.current << " own " << c.own;
  // The samples folder named in another letter case still counts.
  dir.WriteFile("samples2/x.png", "x");
  EXPECT_EQ(ChooseStartPicture(dir / "samples2/x.png", dir / "SAMPLES2", ""), dir / "samples2/x.png");
  // Without sample pictures the path stays as the folder rule left it.
  const std::string empty = dir.MakeFolder("Empty");
  EXPECT_EQ(ChooseStartPicture(empty + "/gone.png", empty, ""), empty + "/gone.png");
  EXPECT_EQ(ChooseStartPicture(dir / "Own/mine.png", empty, ""), "");
}

// A picture that does not load says so in place of its size and offers
// nothing to cut,
// also when it is chosen after one that loaded; one so wide that no size
// fits leaves the list empty and OK disabled, and still previews at least a
// pixel high.
TEST_F(NewPuzzle_Offscreen, UnreadableAndExtremePictures) {
  const std::string damaged = m_dir.WriteFile("PuzzleSamples/a.png", "not a picture");
  auto offersNothing = [](CCreateNewPuzzleDialog& d, const char* when) {
    EXPECT_EQ(d.Item<QLabel>(kNewPuzzleSizeText)->text(), "This picture cannot be read.") << when;
    EXPECT_TRUE(d.Item<QLabel>(kNewPuzzlePreview)->pixmap().isNull()) << when;
    EXPECT_TRUE(d.DimensionPairs().empty()) << when;
    EXPECT_EQ(d.Item<QComboBox>(kNewPuzzleDimensions)->count(), 0) << when;
    EXPECT_FALSE(d.Item<QPushButton>(IDOK)->isEnabled()) << when;
  };
  CCreateNewPuzzleDialog broken(Current(damaged, 4, 4));
  offersNothing(broken, "opened on it");
  broken.Item<QPushButton>(IDOK)->click();
  EXPECT_EQ(Profile("MenuSel", "LastPuzzleSizeX"), "<none>");

  // In the picture dialog, after a picture that loaded, the damaged one
  // says it cannot be read and cannot be chosen; a picture damaged once chosen offers
  // nothing either.
  const std::string good = Picture("PuzzleSamples/0.png", 400, 300);
  const std::string later = Picture("PuzzleSamples/c.png", 200, 100);
  CCreateNewPuzzleDialog chosen(Current(good, 4, 3));
  ASSERT_EQ(chosen.Item<QLabel>(kNewPuzzleSizeText)->text(), "Image size = 400 X 300 pixels");
  OnNextModal([&](QWidget* modal) {
    auto* list = static_cast<QListWidget*>(GetDlgItem(modal, kPickList));
    auto* ok = static_cast<QPushButton*>(GetDlgItem(modal, IDOK));
    auto* size = static_cast<QLabel*>(GetDlgItem(modal, kPickSizeText));
    list->setCurrentRow(0);
    EXPECT_EQ(size->text(), "Image size = 400 X 300 pixels");
    list->setCurrentRow(1);  // a.png, the damaged one
    EXPECT_EQ(size->text(), "This picture cannot be read.");
    EXPECT_FALSE(ok->isEnabled());
    list->setCurrentRow(2);  // c.png, readable while it is chosen
    EXPECT_TRUE(ok->isEnabled());
    m_dir.WriteFile("PuzzleSamples/c.png", "damaged since");
    ok->click();
  });
  chosen.Item<QPushButton>(kNewPuzzleSelectImage)->click();
  EXPECT_EQ(chosen.PicturePath(), later);
  offersNothing(chosen, "chosen after a good one");

  const std::string wide = Picture("PuzzleSamples/b.png", 2000, 5);
  CCreateNewPuzzleDialog dialog(Current(wide, 4, 4));
  EXPECT_TRUE(dialog.DimensionPairs().empty());
  EXPECT_EQ(Selected(dialog), -1);
  EXPECT_FALSE(dialog.Item<QPushButton>(IDOK)->isEnabled());
  EXPECT_EQ(dialog.Item<QLabel>(kNewPuzzlePreview)->pixmap().size(), QSize(200, 1));
  dialog.Item<QPushButton>(IDOK)->click();
  EXPECT_EQ(Profile("MenuSel", "LastPuzzleSizeX"), "<none>");
}

// "Select a new image" takes the picture dialog's choice, rebuilds the list
// for the new aspect and keeps about the same piece count; a picture of the
// player's own stays the choice the next time the dialog opens.
TEST_F(NewPuzzle_Offscreen, AChosenPictureOfYourOwnIsKept) {
  const std::string sample = Picture("PuzzleSamples/a.png", 400, 300);
  const std::string own = Picture("Mine/tall.png", 300, 600);
  SetFolderChooser([&](QWidget*, const QString&, const std::string&) { return m_dir / "Mine"; });
  CCreateNewPuzzleDialog dialog(Current(sample, 10, 10));
  OnNextModal([](QWidget* modal) {
    static_cast<QPushButton*>(GetDlgItem(modal, kPickBrowse))->click();
    static_cast<QPushButton*>(GetDlgItem(modal, IDOK))->click();
  });
  dialog.Item<QPushButton>(kNewPuzzleSelectImage)->click();
  SetFolderChooser(nullptr);
  EXPECT_EQ(dialog.PicturePath(), own);
  EXPECT_EQ(dialog.Item<QLabel>(kNewPuzzleSizeText)->text(), "Image size = 300 X 600 pixels");
  EXPECT_LT(dialog.Columns(), dialog.Rows());
  EXPECT_NEAR(dialog.PieceCount(), 88, 12);
  dialog.Item<QPushButton>(IDOK)->click();
  EXPECT_EQ(Profile("MenuSel", "LastOwnPictureFolder"), m_dir / "Mine");

  CCreateNewPuzzleDialog again(Current(own, 5, 10));
  EXPECT_EQ(again.PicturePath(), own);
}

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "dialog_fixture.h"
#include "game/dialogs/options_dialog.h"

namespace {

class Options_Offscreen : public DialogFixture {
 protected:
  static void Show(COptionsDialog& d, int page) {
    auto* tree = d.Item<QTreeWidget>(kOptionsTree);
    tree->setCurrentItem(tree->topLevelItem(page));
  }
  static QString Caption(const COptionsDialog& d) { return d.Item<QLabel>(kOptionsCaption)->text(); }
  static QWidget* Page(const COptionsDialog& d, int page) { return d.Pages()[page].m_page; }
  template <class W>
  static W* On(const COptionsDialog& d, int page, int id) {
    return qobject_cast<W*>(GetDlgItem(Page(d, page), id));
  }
  std::vector<int> Stored() const {
    std::vector<int> out;
    for (const char* entry : {"CameraDefaultHeight", "LimitFPSToRefreshRate", "PuzzleDefinition",
                              "ShinyPieces", "NewVersionsCheckAuto", "NewVersionsCheckXDays"})
      out.push_back(ProfileGetInt("GameOptions", entry, -99));
    return out;
  }
};

}  // namespace

TEST_F(Options_Offscreen, OddStoredValuesShowSensiblyAndSaveBackCleaned) {
  for (const auto& [entry, value] : std::vector<std::pair<const char*, int>>{{"CameraDefaultHeight", 2},
                                                                             {"PuzzleDefinition", 0},
                                                                             {"ShinyPieces", 5},
                                                                             {"LimitFPSToRefreshRate", 0},
                                                                             {"NewVersionsCheckAuto", 0},
                                                                             {"NewVersionsCheckXDays", 61}})
    ProfileWriteInt("GameOptions", entry, value);
  COptionsDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Options");
  EXPECT_EQ(Caption(dialog), "General");
  EXPECT_EQ(dialog.CurrentPage(), Page(dialog, 0));
  EXPECT_EQ(dialog.Item<QWidget>(kOptionsCaption)->font().weight(), 700);
  EXPECT_EQ(On<QLineEdit>(dialog, 0, kGeneralHeight)->text(), "5");
  EXPECT_FALSE(On<QCheckBox>(dialog, 0, kGeneralLimitFps)->isChecked());
  EXPECT_EQ(On<QComboBox>(dialog, 1, kPiecesDefinition)->currentText(), "Very low");
  EXPECT_TRUE(On<QCheckBox>(dialog, 1, kPiecesShiny)->isChecked());
  EXPECT_TRUE(On<QRadioButton>(dialog, 2, kVersionsManual)->isChecked());
  EXPECT_EQ(On<QComboBox>(dialog, 2, kVersionsInterval)->currentText(), "15 days");
  for (int id : {kVersionsCheckEvery, kVersionsInterval, kVersionsNote})
    EXPECT_FALSE(GetDlgItem(Page(dialog, 2), id)->isEnabled()) << id;
  EXPECT_TRUE(GetDlgItem(Page(dialog, 2), kVersionsManualNote)->isEnabled());
  dialog.Item<QPushButton>(IDOK)->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Stored(), std::vector<int>({5, 0, 1, 1, 0, 15}));
}

// Edits on every page survive page switches; Cancel keeps none of them and
// OK saves them all, also of pages never shown.
TEST_F(Options_Offscreen, PagesKeepTheirEditsUntilOkOrCancel) {
  for (bool confirm : {false, true}) {
    SCOPED_TRACE(confirm ? "OK" : "Cancel");
    COptionsDialog dialog;
    On<QLineEdit>(dialog, 0, kGeneralHeight)->setText("120");
    Show(dialog, 2);
    EXPECT_EQ(Caption(dialog), "New versions");
    EXPECT_TRUE(Page(dialog, 2)->isVisibleTo(&dialog));
    EXPECT_FALSE(Page(dialog, 0)->isVisibleTo(&dialog));
    On<QRadioButton>(dialog, 2, kVersionsManual)->click();
    EXPECT_FALSE(GetDlgItem(Page(dialog, 2), kVersionsInterval)->isEnabled());
    On<QComboBox>(dialog, 2, kVersionsInterval)->setCurrentIndex(3);
    On<QComboBox>(dialog, 1, kPiecesDefinition)->setCurrentIndex(3);  // a page never shown
    Show(dialog, 0);
    EXPECT_EQ(On<QLineEdit>(dialog, 0, kGeneralHeight)->text(), "120");
    dialog.Item<QPushButton>(confirm ? IDOK : IDCANCEL)->click();
    EXPECT_EQ(Stored(), confirm ? std::vector<int>({120, 1, 4, 1, 0, 60}) : std::vector<int>(6, -99));
  }
}

// A height that is no integer of 5..300 is refused with a message and the
// dialog stays open on the General page, from a switch of page and from OK.
TEST_F(Options_Offscreen, AWrongHeightKeepsTheDialogOpenOnItsPage) {
  const struct {
    const char* typed;
    const char* message;
  } cases[] = {
      {"", "Please enter an integer."},
      {"12a", "Please enter an integer."},
      {"400", "Please enter an integer between 5 and 300."},
      {"4", "Please enter an integer between 5 and 300."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    m_shell.boxes.clear();
    COptionsDialog dialog;
    dialog.show();
    On<QLineEdit>(dialog, 0, kGeneralHeight)->setText(c.typed);
    Show(dialog, 1);
    EXPECT_EQ(Caption(dialog), "General");
    EXPECT_EQ(dialog.Item<QTreeWidget>(kOptionsTree)->currentItem(), dialog.Pages()[0].m_item);
    ASSERT_EQ(m_shell.boxes.size(), 1u);
    EXPECT_EQ(m_shell.boxes[0].text, c.message);

    dialog.Item<QPushButton>(IDOK)->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(m_shell.boxes.size(), 2u);
    EXPECT_EQ(Stored()[0], -99);
  }
  COptionsDialog dialog;
  On<QLineEdit>(dialog, 0, kGeneralHeight)->setText("300");
  dialog.Item<QPushButton>(IDOK)->click();
  EXPECT_EQ(Stored()[0], 300);
}

TEST_F(Options_Offscreen, ReturnInAPageEndsNothingEscapeCancelsTheDialog) {
  COptionsDialog dialog;
  dialog.show();
  QLineEdit* height = On<QLineEdit>(dialog, 0, kGeneralHeight);
  height->setText("40");
  QTest::keyClick(height, Qt::Key_Up);
  EXPECT_EQ(height->text(), "41");
  QTest::keyClick(height, Qt::Key_Return);
  EXPECT_TRUE(dialog.isVisible());
  QTest::keyClick(height, Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(Stored()[0], -99);
}

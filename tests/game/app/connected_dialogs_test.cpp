// The frame's dialog seam over the real dialogs: what a dialog chose reaches
// the game's settings, a cancelled dialog changes nothing, and the game
// menu's button runs its command after the menu closed.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QPushButton>

#include "game/app/connected_dialogs.h"
#include "game/dialogs/game_menu_dialog.h"
#include "game/dialogs/new_puzzle_dialog.h"
#include "game/game_host.h"
#include "support/controls/hrx_dialog_item.h"
#include "tests/game/dialogs/dialog_fixture.h"

namespace {

class PostingHost : public IGameHost {
 public:
  HWND DeviceWindow() override { return nullptr; }
  bool CreateInput() override { return false; }
  bool CreateSound() override { return false; }
  POINT CursorPos() override { return POINT{}; }
  void PostCommand(UINT id) override { m_posted.push_back(id); }
  void MinimizeWindow() override {}
  std::vector<UINT> m_posted;
};

class ConnectedDialogs_Offscreen : public DialogFixture {
 protected:
  void SetUp() override {
    DialogFixture::SetUp();
    SetGameHost(&m_host);
  }
  void TearDown() override {
    SetGameHost(nullptr);
    DialogFixture::TearDown();
  }
  PostingHost m_host;
  CConnectedGameDialogs m_dialogs;
};

TEST_F(ConnectedDialogs_Offscreen, NewPuzzleFillsTheSettingsOnOkOnly) {
  const std::string picture = Picture("PuzzleSamples/Lake.png", 800, 600);
  PuzzleSettings settings;
  settings.picturePath = picture;
  settings.columns = 4;
  settings.rows = 3;
  settings.m_currentFile = "saved.rvpuzzle";

  OnNextModal([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
  EXPECT_FALSE(m_dialogs.RunNewPuzzle(settings));
  EXPECT_EQ(settings.columns, 4);
  EXPECT_EQ(settings.pieceShape, 1);
  EXPECT_EQ(settings.m_currentFile, "saved.rvpuzzle");

  OnNextModal([](QWidget* dialog) {
    auto* shape = static_cast<QComboBox*>(GetDlgItem(dialog, kNewPuzzleShape));
    shape->setCurrentIndex(2);  // Round
    static_cast<QPushButton*>(GetDlgItem(dialog, IDOK))->click();
  });
  ASSERT_TRUE(m_dialogs.RunNewPuzzle(settings));
  EXPECT_EQ(settings.pieceShape, 3);
  EXPECT_EQ(settings.picturePath, picture);
  EXPECT_GT(settings.PieceCount(), 0);
  EXPECT_EQ(settings.m_currentFile, "");
}

TEST_F(ConnectedDialogs_Offscreen, GameMenuPostsTheChosenCommandOnceAfterClosing) {
  OnNextModal([](QWidget* menu) { static_cast<QPushButton*>(GetDlgItem(menu, kMenuSave))->click(); });
  m_dialogs.RunGameMenu();
  EXPECT_EQ(m_host.m_posted, std::vector<UINT>{kCommandSavePuzzle});

  OnNextModal([](QWidget* menu) { static_cast<QDialog*>(menu)->reject(); });
  m_dialogs.RunGameMenu();
  EXPECT_EQ(m_host.m_posted.size(), 1u);
}

}  // namespace

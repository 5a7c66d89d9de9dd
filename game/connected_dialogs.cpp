#include "game/connected_dialogs.h"

#include <QWidget>

#include "game/dialogs/about_dialog.h"
#include "game/dialogs/change_environment_dialog.h"
#include "game/dialogs/game_menu_dialog.h"
#include "game/dialogs/new_puzzle_dialog.h"
#include "game/dialogs/options_dialog.h"
#include "game/dialogs/tutorial_dialog.h"
#include "game/game_host.h"

CConnectedGameDialogs::CConnectedGameDialogs() = default;

CConnectedGameDialogs::~CConnectedGameDialogs() {
  if (m_tutorials) delete m_tutorials.data();
}

// The dialog's record and the game's choice share their field names.
template <typename From, typename To>
static void CopyChoice(const From& from, To& to) {
  to.m_picturePath = from.m_picturePath;
  to.m_columns = from.m_columns;
  to.m_rows = from.m_rows;
  to.m_rotatePieces = from.m_rotatePieces;
  to.m_pieceShape = from.m_pieceShape;
  to.m_irregularity = from.m_irregularity;
}

bool CConnectedGameDialogs::RunNewPuzzle(PuzzleSettings& settings) {
  NewPuzzleSettings current;
  CopyChoice(settings, current);
  current.m_pieceCount = settings.m_pieceCount;
  current.m_currentFile = settings.m_currentFile;
  CCreateNewPuzzleDialog dialog(current, m_parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  PuzzleChoice choice;
  CopyChoice(dialog.Settings(), choice);
  settings.SetChoice(choice);
  settings.m_currentFile = dialog.Settings().m_currentFile;
  return true;
}

bool CConnectedGameDialogs::RunChangeEnvironment() {
  CChangeEnvironmentDialog dialog(m_parent);
  return dialog.exec() == QDialog::Accepted;
}

bool CConnectedGameDialogs::RunOptions() {
  COptionsDialog dialog(m_parent);
  return dialog.exec() == QDialog::Accepted;
}

void CConnectedGameDialogs::RunGameMenu() {
  CGameMenuDialog menu(m_parent);
  menu.exec();
  if (const int command = menu.ChosenCommand()) GameHost().PostCommand(static_cast<UINT>(command));
}

void CConnectedGameDialogs::RunAbout() {
  CAboutDialog dialog(m_parent);
  dialog.exec();
}

void CConnectedGameDialogs::ShowTutorials() { CTutorialDialog::ShowTutorials(m_parent, m_tutorials); }

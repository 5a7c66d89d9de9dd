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

bool CConnectedGameDialogs::RunNewPuzzle(PuzzleSettings& settings) {
  NewPuzzleSettings current;
  current.m_picturePath = settings.m_picturePath;
  current.m_columns = settings.m_columns;
  current.m_rows = settings.m_rows;
  current.m_pieceCount = settings.m_pieceCount;
  current.m_rotatePieces = settings.m_rotatePieces;
  current.m_pieceShape = settings.m_pieceShape;
  current.m_irregularity = settings.m_irregularity;
  current.m_currentFile = settings.m_currentFile;
  CCreateNewPuzzleDialog dialog(current, m_parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  const NewPuzzleSettings& chosen = dialog.Settings();
  PuzzleChoice choice;
  choice.m_picturePath = chosen.m_picturePath;
  choice.m_columns = chosen.m_columns;
  choice.m_rows = chosen.m_rows;
  choice.m_rotatePieces = chosen.m_rotatePieces;
  choice.m_pieceShape = chosen.m_pieceShape;
  choice.m_irregularity = chosen.m_irregularity;
  settings.SetChoice(choice);
  settings.m_currentFile = chosen.m_currentFile;
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

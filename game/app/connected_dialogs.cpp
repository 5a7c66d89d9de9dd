#include "game/app/connected_dialogs.h"

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
  CCreateNewPuzzleDialog dialog(settings.Choice(), m_parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  settings.SetChoice(dialog.Choice());
  settings.m_currentFile.clear();  // a new puzzle has no saved game yet
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

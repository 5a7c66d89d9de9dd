#pragma once
// CGameMenuDialog: the modal "Game Menu" that Escape opens during a puzzle.
// Its three buttons each choose a command and close the menu; "Cancel",
// Enter, Escape and the close box only close it.
//
// The frame runs it and, once exec() has returned (and play time runs
// again), posts ChosenCommand() when it is not 0, so that the command runs
// after the menu has gone:
//   CGameMenuDialog menu(frame);
//   menu.exec();
//   if (int command = menu.ChosenCommand()) post command;
#include "game/dialogs/game_dialog.h"

enum : int {
  kMenuActionsGroup = 1044,
  kMenuSave = 1026,
  kMenuFullScreen = 1027,
  kMenuStartScreen = 1029,
};

// The commands the buttons choose.
inline constexpr int kCommandSavePuzzle = 32104;
inline constexpr int kCommandFullScreen = 32202;
inline constexpr int kCommandShowStartScreen = 32101;

class CGameMenuDialog : public CGameDialog {
  Q_OBJECT

 public:
  explicit CGameMenuDialog(QWidget* parent = nullptr);

  // The command a button chose; 0 when the menu was only closed.
  int ChosenCommand() const { return m_command; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Choose(int command);

  int m_command = 0;
};

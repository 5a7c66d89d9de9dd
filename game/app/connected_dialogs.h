#pragma once
// The game's dialogs behind the frame's dialog seam: each Run opens the
// dialog of game/dialogs modal over the main window (the frame pauses the
// play time and keeps frames from running around it), the tutorial window
// modeless, one at a time.
#include <QPointer>

#include "game/command_seams.h"

class QWidget;
class CTutorialDialog;

class CConnectedGameDialogs : public IGameDialogs {
 public:
  CConnectedGameDialogs();
  ~CConnectedGameDialogs() override;
  // The window the dialogs open over; set once the main window exists.
  void SetParent(QWidget* parent) { m_parent = parent; }

  bool RunNewPuzzle(PuzzleSettings& settings) override;
  bool RunChangeEnvironment() override;
  bool RunOptions() override;
  // The chosen button's command is posted after the menu closed.
  void RunGameMenu() override;
  void RunAbout() override;
  void ShowTutorials() override;

 private:
  QWidget* m_parent = nullptr;
  QPointer<CTutorialDialog> m_tutorials;
};

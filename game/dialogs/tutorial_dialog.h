#pragma once
// CTutorialDialog: the modeless "Game Tutorials" window. It shows the
// tutorial pages of the current language (the .html files of
// Tutorials/<language>/, in name order) one at a time, with "Previous
// tutorial" and "Next tutorial", and the check box "Show tutorials at start
// up". Closing it ("Close", Escape or the close box) stores the check box
// ("ShowTutorialDialog") and deletes the window; when the box's value could
// not be stored, a box says why first (the window closes all the same, so
// it never keeps the player from closing it). It keeps the texts of the
// language it was opened in. Play time runs on while it is open.
//
// The frame keeps one pointer to it and opens it through ShowTutorials,
// which raises the open window instead of making a second one:
//   QPointer<CTutorialDialog> m_tutorials;   // null once the window is gone
//   CTutorialDialog::ShowTutorials(frame, m_tutorials);
#include <QPointer>
#include <string>
#include <vector>

#include "game/dialogs/game_dialog.h"
#include "support/controls/hrx_html_ctrl.h"

class QCheckBox;

enum : int {
  kTutorialPrevious = 5016,
  kTutorialNext = 5015,
  kTutorialAtStart = 5017,
};

class CTutorialDialog : public CGameDialog {
  Q_OBJECT

 public:
  explicit CTutorialDialog(QWidget* parent = nullptr);
  ~CTutorialDialog() override;

  // Raises the window of the slot, or makes, shows and remembers a new one.
  static CTutorialDialog* ShowTutorials(QWidget* frame, QPointer<CTutorialDialog>& slot);

  const std::vector<std::string>& PageNames() const { return m_pages; }
  int CurrentIndex() const { return m_index; }
  // The language's tutorial folder.
  static std::string TutorialFolder();

  // Stores the check box and closes the window, which then deletes itself.
  void done(int result) override;

 private:
  void BuildPageList();
  void ShowPage(int index);
  void UpdateButtons();
  void Step(int by);

  CHRXHtmlCtrl m_html;
  QCheckBox* m_atStart = nullptr;
  int m_index = 0;
  std::vector<std::string> m_pages;
  std::string m_folder;
};

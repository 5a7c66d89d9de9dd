#include "game/dialogs/tutorial_dialog.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "game/game_profile.h"
#include "resources/strings.h"
#include "support/support.h"

CTutorialDialog::CTutorialDialog(QWidget* parent) : CGameDialog(0, parent) {
  setWindowTitle(DialogText(IDS_TUTORIAL_TITLE));
  setModal(false);
  SetFixedUnits(529, 230);
  QLabel* placeholder = AddLabel(this, kHtmlPlaceholderId, "Static", Units(7, 7, 515, 195));
  placeholder->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  QPushButton* previous = AddButton(this, kTutorialPrevious, DialogText(IDS_TUTORIAL_PREVIOUS),
                                    Units(7, 209, 90, 15), EnterKey::ToDefault);
  QPushButton* next = AddButton(this, kTutorialNext, DialogText(IDS_TUTORIAL_NEXT), Units(102, 209, 90, 15),
                                EnterKey::ToDefault);
  m_atStart =
      AddCheckBox(this, kTutorialAtStart, DialogText(IDS_TUTORIAL_AT_START), Units(205, 210, 200, 13));
  QPushButton* close =
      AddButton(this, IDOK, DialogText(IDS_DLG_CLOSE), Units(462, 209, 60, 15), EnterKey::ToDefault);
  close->setDefault(true);
  connect(previous, &QPushButton::clicked, this, [this] { Step(-1); });
  connect(next, &QPushButton::clicked, this, [this] { Step(+1); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  CreateHtmlCtrlInPlaceholder(this, m_html);
  BuildPageList();
  m_index = 0;
  UpdateButtons();
  ShowPage(0);
  m_atStart->setChecked(ReadProfileBool(profile::kShowTutorialDialog));
}

CTutorialDialog::~CTutorialDialog() = default;

CTutorialDialog* CTutorialDialog::ShowTutorials(QWidget* frame, QPointer<CTutorialDialog>& slot) {
  if (slot && slot->isVisible()) {
    slot->raise();
    slot->activateWindow();
    return slot;
  }
  slot = new CTutorialDialog(frame);
  slot->show();
  // In front with the keys, also when it opens by itself at the start.
  slot->raise();
  slot->activateWindow();
  return slot;
}

std::string CTutorialDialog::TutorialFolder() { return GetTutorialsDir() + kPathSeparator + GetLanguage(); }

void CTutorialDialog::BuildPageList() {
  m_pages.clear();
  m_folder = TutorialFolder();
  ListFilesInFolder(m_folder, m_pages, "html");
}

void CTutorialDialog::ShowPage(int index) {
  if (index < 0 || index >= static_cast<int>(m_pages.size())) return;
  m_html.Navigate(QString::fromStdString(m_folder + kPathSeparator + m_pages[index]));
}

void CTutorialDialog::UpdateButtons() {
  Item<QWidget>(kTutorialPrevious)->setEnabled(m_index > 0);
  Item<QWidget>(kTutorialNext)->setEnabled(m_index < static_cast<int>(m_pages.size()) - 1);
}

void CTutorialDialog::Step(int by) {
  const int next = m_index + by;
  if (next < 0 || next >= static_cast<int>(m_pages.size())) return;
  m_index = next;
  ShowPage(m_index);
  UpdateButtons();
}

void CTutorialDialog::done(int result) {
  // Saved when the player changed it: an unwritable profile then says so
  // once, not at every close.
  if (m_atStart->isChecked() != ReadProfileBool(profile::kShowTutorialDialog))
    GameProfileChange().Set(profile::kShowTutorialDialog, m_atStart->isChecked()).SaveOrSay();
  QDialog::done(result);
  deleteLater();
}

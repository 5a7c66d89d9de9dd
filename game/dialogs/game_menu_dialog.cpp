#include "game/dialogs/game_menu_dialog.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>

#include "resources/strings.h"

CGameMenuDialog::CGameMenuDialog(QWidget* parent) : CGameDialog(0, parent) {
  setWindowTitle(DialogText(IDS_MENU_TITLE));
  SetFixedUnits(203, 164);
  AddBoldGroup(this, kMenuActionsGroup, DialogText(IDS_MENU_ACTIONS), Units(7, 7, 189, 128));
  const struct {
    int id;
    unsigned text;
    int command;
  } buttons[] = {{kMenuSave, IDS_MENU_SAVE, kCommandSavePuzzle},
                 {kMenuFullScreen, IDS_MENU_FULL_SCREEN, kCommandFullScreen},
                 {kMenuStartScreen, IDS_MENU_START_SCREEN, kCommandShowStartScreen}};
  int y = 26;
  for (const auto& b : buttons) {
    QPushButton* button =
        AddButton(this, b.id, DialogText(b.text), Units(17, y, 169, 24), EnterKey::ToDefault);
    connect(button, &QPushButton::clicked, this, [this, command = b.command] { Choose(command); });
    y += 35;
  }
  QPushButton* cancel =
      AddButton(this, IDCANCEL, DialogText(IDS_DLG_CANCEL), Units(136, 142, 60, 15), EnterKey::ToDefault);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CGameMenuDialog::Choose(int command) {
  m_command = command;
  reject();
}

void CGameMenuDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    reject();
    return;
  }
  CGameDialog::keyPressEvent(event);
}

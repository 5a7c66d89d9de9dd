#pragma once
// Control ids of dialog items. A dialog's controls are its direct child
// widgets, each with a signed id (the item ids the dialogs are described by:
// 1 OK, 2 Cancel, 1001 Help, ...). The id lives on the widget itself, so a
// control keeps it when moved, and an item that is deleted is simply not
// found any more.
class QWidget;

// Gives the control its item id.
void SetDlgCtrlID(QWidget* control, int id);
// The control's item id; 0 for none (or a null control).
int GetDlgCtrlID(const QWidget* control);
// The first direct child of the dialog (in creation order) with the id;
// null when there is none or the dialog is null. Grandchildren are not
// searched: items sit directly on their dialog.
QWidget* GetDlgItem(const QWidget* dialog, int id);

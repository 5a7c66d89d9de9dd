#include "saver/manage_images_dialog.h"

#include <QHeaderView>
#include <QIcon>
#include <QPushButton>
#include <QResizeEvent>
#include <QTreeWidget>

#include "platform/shell.h"
#include "resources/strings.h"
#include "saver/saver_text_ids.h"
#include "saver/dialog_kit.h"
#include "saver/picture_lists.h"
#include "support/controls/hrx_dialog_item.h"
#include "support/string_table.h"

CManageImagesDialog::CManageImagesDialog(QWidget* parent) : QDialog(parent) {
  SetUpDialog(this, 437, 259, ResText(IDS_SAVER_MANAGE_TITLE));
  setSizeGripEnabled(true);
  InitControls();
  GetImageFolders(m_folders);
  FillFolderList();
}

void CManageImagesDialog::InitControls() {
  m_list = new QTreeWidget(this);
  m_list->setGeometry(DialogUnits(7, 7, 423, 220));
  SetDlgCtrlID(m_list, 1001);
  m_list->setRootIsDecorated(false);
  m_list->setColumnCount(1);
  m_list->setHeaderLabels({ResText(IDS_SAVER_FOLDER_COLUMN)});
  m_list->header()->setSectionsClickable(false);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setIconSize(QSize(16, 16));
  AddButton(this, 1002, ResText(IDS_SAVER_ADD_FOLDER), DialogUnits(7, 235, 90, 16))->setEnabled(false);
  AddButton(this, 1003, ResText(IDS_SAVER_REMOVE_FOLDER), DialogUnits(101, 235, 90, 16))->setEnabled(false);
  auto* ok = AddButton(this, IDOK, ResText(IDS_SAVER_OK), DialogUnits(313, 235, 55, 16));
  auto* cancel = AddButton(this, IDCANCEL, ResText(IDS_SAVER_CANCEL), DialogUnits(375, 235, 55, 16));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  m_resize.m_owner = this;
  m_resize.m_initialWidth = width();
  m_resize.m_initialHeight = height();
  m_resize.AddControl(1001, 0, 3);
  m_resize.AddControl(1002, 2, 2);
  m_resize.AddControl(1003, 2, 2);
  m_resize.AddControl(IDOK, 3, 3);
  m_resize.AddControl(IDCANCEL, 3, 3);
  m_list->setColumnWidth(0, m_list->viewport()->width());
  setMinimumSize(size());
  m_initialised = true;
}

void CManageImagesDialog::FillFolderList() {
  m_list->clear();
  const QIcon folder(SaverPicture(kFolderBitmapId));
  for (const std::string& path : m_folders)
    new QTreeWidgetItem(m_list, {QString::fromStdString(path)});
  for (int i = 0; i < m_list->topLevelItemCount(); ++i) m_list->topLevelItem(i)->setIcon(0, folder);
}

void CManageImagesDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (m_resize.m_owner) m_resize.Resize(event->size().width(), event->size().height());
  if (m_initialised) m_list->setColumnWidth(0, m_list->viewport()->width());
}

#include "saver/dialogs/manage_images_dialog.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QIcon>
#include <QMimeData>
#include <QPushButton>
#include <QResizeEvent>
#include <QTreeWidget>

#include <algorithm>

#include "platform/profile.h"
#include "platform/shell.h"
#include "resources/settings_saving.h"
#include "resources/strings.h"
#include "saver/dialogs/dialog_pictures.h"
#include "saver/picture_lists.h"
#include "saver/saver_text_ids.h"
#include "support/controls/dialog_kit.h"
#include "support/controls/hrx_dialog_item.h"
#include "support/string_table.h"
#include "support/support.h"

namespace {
// The first row is the sample folder.
constexpr int kFirstUserRow = 1;

// The local folders among dropped addresses.
std::vector<std::string> DroppedFolders(const QMimeData* data) {
  std::vector<std::string> folders;
  if (!data || !data->hasUrls()) return folders;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isDir())
      folders.push_back(QDir::cleanPath(url.toLocalFile()).toStdString());
  return folders;
}
}  // namespace

CManageImagesDialog::CManageImagesDialog(QWidget* parent) : QDialog(parent) {
  SetUpDialog(this, 437, 259, DialogText(IDS_SAVER_MANAGE_TITLE), SaverIcon());
  setSizeGripEnabled(true);
  setAcceptDrops(true);
  m_chooseFolder = [this] { return ChooseFolder(); };
  InitControls();
  m_folders = {GetPuzzleSamplesDir()};
  for (const std::string& folder : ReadUserImageFolders()) m_folders.push_back(folder);
  FillFolderList();
}

void CManageImagesDialog::InitControls() {
  m_list = Place(this, new QTreeWidget, kManageImagesList, DialogUnits(this, 7, 7, 423, 220));
  m_list->setRootIsDecorated(false);
  m_list->setColumnCount(1);
  m_list->setHeaderLabels({DialogText(IDS_SAVER_FOLDER_COLUMN)});
  m_list->header()->setSectionsClickable(false);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setIconSize(QSize(16, 16));
  auto* add = AddButton(this, kManageImagesAdd, DialogText(IDS_SAVER_ADD_FOLDER),
                        DialogUnits(this, 7, 235, 124, 16), EnterKey::ToFocused);
  auto* remove = AddButton(this, kManageImagesRemove, DialogText(IDS_SAVER_REMOVE_FOLDER),
                           DialogUnits(this, 135, 235, 124, 16), EnterKey::ToFocused);
  connect(add, &QPushButton::clicked, this, [this] { OnAddFolder(); });
  connect(remove, &QPushButton::clicked, this, [this] { RemoveSelectedFolder(); });
  connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
  auto* ok = AddButton(this, IDOK, DialogText(IDS_SAVER_OK), DialogUnits(this, 313, 235, 55, 16),
                       EnterKey::ToFocused);
  auto* cancel = AddButton(this, IDCANCEL, DialogText(IDS_SAVER_CANCEL), DialogUnits(this, 375, 235, 55, 16),
                           EnterKey::ToFocused);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] { OnBnClickedOk(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  m_resize.m_owner = this;
  m_resize.m_initialWidth = width();
  m_resize.m_initialHeight = height();
  m_resize.AddControl(kManageImagesList, 0, 3);
  m_resize.AddControl(kManageImagesAdd, 2, 2);
  m_resize.AddControl(kManageImagesRemove, 2, 2);
  m_resize.AddControl(IDOK, 3, 3);
  m_resize.AddControl(IDCANCEL, 3, 3);
  m_list->setColumnWidth(0, m_list->viewport()->width());
  setMinimumSize(size());
  m_initialised = true;
}

void CManageImagesDialog::FillFolderList() {
  m_list->clear();
  const QIcon folder(SaverPicture(kFolderBitmapId));
  for (std::size_t i = 0; i < m_folders.size(); ++i) {
    const std::string& path = m_folders[i];
    // The sample folder is shown as it is, there or not.
    const bool unreadable = int(i) >= kFirstUserRow && !IsReadableFolder(path);
    const QString text =
        unreadable ? QString::fromStdString(FormatResString(IDS_SAVER_FOLDER_UNREADABLE, path.c_str()))
                   : QString::fromStdString(path);
    auto* row = new QTreeWidgetItem(m_list, {text});
    row->setIcon(0, folder);
    row->setData(0, Qt::UserRole, QString::fromStdString(path));
    if (unreadable) row->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
  }
  UpdateButtons();
}

void CManageImagesDialog::SelectRow(int row) {
  if (row >= 0 && row < m_list->topLevelItemCount()) m_list->setCurrentItem(m_list->topLevelItem(row));
  UpdateButtons();
}

void CManageImagesDialog::UpdateButtons() {
  QTreeWidgetItem* current = m_list->currentItem();
  const bool userRow =
      current && current->isSelected() && m_list->indexOfTopLevelItem(current) >= kFirstUserRow;
  GetDlgItem(this, kManageImagesRemove)->setEnabled(userRow);
}

std::string CManageImagesDialog::ChooseFolder() {
  return QFileDialog::getExistingDirectory(this, DialogText(IDS_SAVER_CHOOSE_FOLDER), QDir::homePath())
      .toStdString();
}

int CManageImagesDialog::UserFolderCount() const { return int(m_folders.size()) - kFirstUserRow; }

void CManageImagesDialog::OnAddFolder() {
  if (UserFolderCount() < kMaxUserFolders) return AddFolders({m_chooseFolder()});
  Shell().MessageBox(FormatResString(IDS_SAVER_FOLDERS_FULL, kMaxUserFolders), GetProductTitle(),
                     MB_OK | MB_ICONWARNING);
}

void CManageImagesDialog::AddFolders(const std::vector<std::string>& folders) {
  const std::size_t before = m_folders.size();
  int selected = -1, leftOut = 0;
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    const auto at = std::find(m_folders.begin(), m_folders.end(), folder);
    if (at != m_folders.end()) {
      selected = int(at - m_folders.begin());
    } else if (UserFolderCount() >= kMaxUserFolders) {
      ++leftOut;
    } else {
      m_folders.push_back(folder);
      selected = int(m_folders.size()) - 1;
    }
  }
  if (m_folders.size() != before) FillFolderList();
  if (selected >= 0) SelectRow(selected);
  if (leftOut > 0)
    Shell().MessageBox(FormatResString(IDS_SAVER_FOLDERS_LEFT_OUT, kMaxUserFolders, leftOut),
                       GetProductTitle(), MB_OK | MB_ICONWARNING);
}

void CManageImagesDialog::RemoveSelectedFolder() {
  QTreeWidgetItem* current = m_list->currentItem();
  const int row = current && current->isSelected() ? m_list->indexOfTopLevelItem(current) : -1;
  if (row < kFirstUserRow || row >= int(m_folders.size())) return;
  m_folders.erase(m_folders.begin() + row);
  FillFolderList();
  SelectRow(std::min(row, int(m_folders.size()) - 1));
}

void CManageImagesDialog::OnBnClickedOk() {
  const std::vector<std::string> users(m_folders.begin() + kFirstUserRow, m_folders.end());
  if (SaveSettingsOrSay(UserImageFoldersChange(users), GetProductTitle())) accept();
}

void CManageImagesDialog::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFolders(event->mimeData()).empty()) event->acceptProposedAction();
}

void CManageImagesDialog::dropEvent(QDropEvent* event) {
  const std::vector<std::string> folders = DroppedFolders(event->mimeData());
  if (folders.empty()) return;
  event->acceptProposedAction();
  AddFolders(folders);
}

void CManageImagesDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (m_resize.m_owner) m_resize.Resize(event->size().width(), event->size().height());
  if (m_initialised) m_list->setColumnWidth(0, m_list->viewport()->width());
}

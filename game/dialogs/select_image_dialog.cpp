#include "game/dialogs/select_image_dialog.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QResizeEvent>
#include <algorithm>

#include "game/game_profile.h"
#include "resources/strings.h"
#include "support/support.h"

// Sections: layout - opening - folder and list - preview - buttons

namespace {
// Item ids with their anchor modes (top-left, bottom-right), in the order
// they are registered.
constexpr struct {
  int id, topLeft, bottomRight;
} kAnchors[] = {
    {kPickListGroup, 0, 3},    {kPickList, 0, 3},        {kPickPreviewGroup, 1, 1}, {kPickPreview, 1, 1},
    {kPickSizeText, 1, 1},     {kPickOwnGroup, 1, 1},    {kPickBrowse, 1, 1},       {kPickSamplesGroup, 1, 3},
    {kPickSampleFolder, 1, 1}, {kPickFolderGroup, 2, 3}, {kPickFolder, 2, 3},       {IDOK, 3, 3},
    {IDCANCEL, 3, 3},
};
}  // namespace

// ---- layout ----------------------------------------------------------------------
CSelectImageDialog::CSelectImageDialog(const std::string& currentPath, QWidget* parent)
    : CGameDialog(kSelectImageHelpTopic, parent), m_path(currentPath) {
  BuildControls();
  InitControls();
  FillImageList();
  SelectCurrentPicture();
  UpdatePreview();
}

CSelectImageDialog::~CSelectImageDialog() = default;

void CSelectImageDialog::BuildControls() {
  setWindowTitle(DialogText(IDS_PICK_TITLE));
  resize(Units(0, 0, 403, 283).size());
  AddBoldGroup(this, kPickListGroup, DialogText(IDS_PICK_IMAGE_LIST), Units(7, 7, 200, 214));
  m_list = Place(this, new QListWidget, kPickList, Units(14, 20, 186, 194));
  AddBoldGroup(this, kPickPreviewGroup, DialogText(IDS_PICK_PREVIEW), Units(214, 7, 182, 106));
  m_preview = Place(this, new QLabel, kPickPreview, Units(222, 20, 140, 80));
  m_preview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  m_sizeText = AddLabel(this, kPickSizeText, QString(), Units(222, 98, 166, 10));
  AddBoldGroup(this, kPickOwnGroup, DialogText(IDS_PICK_OWN_IMAGES), Units(214, 118, 182, 36));
  AddButton(this, kPickBrowse, DialogText(IDS_PICK_BROWSE), Units(222, 132, 166, 15), EnterKey::ToDefault);
  AddBoldGroup(this, kPickSamplesGroup, DialogText(IDS_PICK_SAMPLES), Units(214, 159, 182, 36));
  AddButton(this, kPickSampleFolder, DialogText(IDS_PICK_SAMPLE_FOLDER), Units(222, 173, 166, 15),
            EnterKey::ToDefault);
  AddBoldGroup(this, kPickFolderGroup, DialogText(IDS_PICK_CURRENT_FOLDER), Units(7, 244, 389, 32));
  m_folderEdit = Place(this, new QLineEdit, kPickFolder, Units(14, 257, 375, 13));
  m_folderEdit->setReadOnly(true);
  AddHelpButton(Units(7, 225, 60, 15));
  QPushButton* ok =
      AddButton(this, IDOK, DialogText(IDS_PICK_SELECT), Units(276, 225, 58, 15), EnterKey::ToDefault);
  ok->setDefault(true);
  QPushButton* cancel =
      AddButton(this, IDCANCEL, DialogText(IDS_DLG_CANCEL), Units(338, 225, 58, 15), EnterKey::ToDefault);

  connect(ok, &QPushButton::clicked, this, [this] { OnOk(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(Item<QPushButton>(kPickSampleFolder), &QPushButton::clicked, this, [this] { OnSampleFolder(); });
  connect(Item<QPushButton>(kPickBrowse), &QPushButton::clicked, this, [this] { OnBrowse(); });
  connect(m_list, &QListWidget::currentRowChanged, this, [this] { UpdatePreview(); });
}

// ---- opening ---------------------------------------------------------------------
void CSelectImageDialog::InitControls() {
  m_resize.m_owner = this;
  m_resize.m_initialWidth = width();
  m_resize.m_initialHeight = height();
  for (const auto& anchor : kAnchors) m_resize.AddControl(anchor.id, anchor.topLeft, anchor.bottomRight);
  setMinimumSize(size());

  // A picture of the player's own opens its folder; anything else the samples.
  const std::string samples = GetPuzzleSamplesDir();
  const std::string own = GetFolderFromPath(m_path);
  const bool ownFolder =
      !m_path.empty() && own != m_path && FolderExists(own) && !SamePathIgnoringCase(own, samples);
  m_folder = ownFolder ? own : samples;
  m_folderEdit->setText(QString::fromStdString(m_folder));
  m_initialised = true;
}

void CSelectImageDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  m_resize.Resize(event->size().width(), event->size().height());
}

// ---- folder and list ----------------------------------------------------------------
void CSelectImageDialog::ShowFolder(const std::string& folder) {
  m_folder = folder;
  TrimRight(m_folder, kPathSeparatorString);
  m_folderEdit->setText(QString::fromStdString(m_folder));
  FillImageList();
  UpdatePreview();
}

void CSelectImageDialog::FillImageList() {
  std::vector<std::string> names = ListFolderPictures(m_folder);
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) < 0;
  });
  m_filling = true;
  m_list->clear();
  QPushButton* ok = Item<QPushButton>(IDOK);
  if (!names.empty()) {
    for (const std::string& name : names) m_list->addItem(QString::fromStdString(name));
    m_filling = false;
    m_list->setCurrentRow(0);
    m_list->setEnabled(true);
    m_sizeText->show();
    ok->setEnabled(true);
  } else {
    m_list->addItem(DialogText(IDS_FOLDER_HAS_NO_IMAGES));
    m_filling = false;
    m_list->setCurrentRow(-1);
    m_list->setEnabled(false);
    m_sizeText->hide();
    ok->setEnabled(false);
  }
}

void CSelectImageDialog::SelectCurrentPicture() {
  if (!m_list->isEnabled()) return;
  const QString name = QString::fromStdString(GetFileNameFromPath(m_path));
  for (int row = 0; row < m_list->count(); ++row)
    if (m_list->item(row)->text().startsWith(name, Qt::CaseInsensitive)) {
      m_list->setCurrentRow(row);
      return;
    }
}

// ---- preview ---------------------------------------------------------------------
void CSelectImageDialog::UpdatePreview() {
  if (m_filling || !m_list->isEnabled() || m_list->currentRow() < 0) {
    m_preview->hide();
    return;
  }
  m_preview->show();
  const std::string path = m_folder + kPathSeparator + m_list->currentItem()->text().toStdString();
  const PicturePreview picture = LoadPicturePreview(path, kPreviewWidth, kPreviewHeight);
  // A picture that cannot be read has no size and cannot be chosen.
  Item<QPushButton>(IDOK)->setEnabled(picture.loaded);
  m_pictureWidth = picture.width;
  m_pictureHeight = picture.height;
  ShowPicturePreview(m_preview, m_sizeText, picture);
  if (!picture.loaded) return;
  if (SWndResizeParam* entry = m_resize.FindControl(kPickPreview)) {
    entry->m_rect.right = entry->m_rect.left + picture.preview.width();
    entry->m_rect.bottom = entry->m_rect.top + picture.preview.height();
  }
}

// ---- buttons -----------------------------------------------------------------------
void CSelectImageDialog::OnSampleFolder() { ShowFolder(GetPuzzleSamplesDir()); }

void CSelectImageDialog::OnBrowse() {
  std::string start = m_folder;
  if (SamePathIgnoringCase(start, GetPuzzleSamplesDir()))
    start = ReadProfileString(profile::kLastOwnPictureFolder);
  if (start.empty()) start = QDir::homePath().toStdString();
  const std::string chosen = CurrentFolderChooser()(this, DialogText(IDS_PICK_CHOOSE_FOLDER), start);
  if (!chosen.empty()) ShowFolder(chosen);
}

void CSelectImageDialog::OnOk() {
  if (!m_list->isEnabled() || !m_list->currentItem()) return;
  m_path = m_folderEdit->text().toStdString() + kPathSeparator + m_list->currentItem()->text().toStdString();
  accept();
}

#include "game/dialogs/change_environment_dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <algorithm>

#include "game/game_profile.h"
#include "resources/strings.h"
#include "support/support.h"

// Sections: layout - list - preview - buttons

namespace {
bool IsCustom(const EnvironmentInfo& info) { return info.m_filePath == kCustomEnvironment; }
}  // namespace

// ---- layout ----------------------------------------------------------------------
CChangeEnvironmentDialog::CChangeEnvironmentDialog(QWidget* parent)
    : CGameDialog(kChangeEnvironmentHelpTopic, parent) {
  BuildControls();
  InitEnvironmentList();
  UpdatePreview();
  UpdateButtons();
}

CChangeEnvironmentDialog::~CChangeEnvironmentDialog() = default;

void CChangeEnvironmentDialog::BuildControls() {
  setWindowTitle(DialogText(IDS_ENV_TITLE));
  SetFixedUnits(427, 205);
  AddBoldGroup(this, kEnvGroup, DialogText(IDS_ENV_TABLE_APPEARANCE), Units(7, 7, 413, 167));
  m_list = Place(this, new QListWidget, kEnvList, Units(15, 21, 190, 145));
  m_preview = Place(this, new QLabel, kEnvPreview, Units(215, 21, 130, 118));
  m_preview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // On the white square, above the preview.
  m_unreadable =
      AddWrappingLabel(this, kEnvUnreadableText, DialogText(IDS_PICTURE_UNREADABLE),
                       QRect(m_preview->pos(), QSize(kPreviewSize, kPreviewSize)).adjusted(8, 8, -8, -8));
  m_unreadable->setAlignment(Qt::AlignCenter);
  QPalette dark = m_unreadable->palette();  // the square is white whatever the style
  dark.setColor(QPalette::WindowText, Qt::black);
  m_unreadable->setPalette(dark);
  m_unreadable->hide();
  // Under the preview square, whatever the font.
  QPushButton* select = AddButton(this, kEnvSelectImage, DialogText(IDS_ENV_SELECT_IMAGE),
                                  Units(215, 145, 100, 15), EnterKey::ToDefault);
  select->move(m_preview->x(), m_preview->y() + kPreviewSize + Units(0, 0, 0, 4).height());
  AddHelpButton(Units(7, 183, 60, 15));
  QPushButton* ok =
      AddButton(this, IDOK, DialogText(IDS_DLG_OK), Units(293, 183, 60, 15), EnterKey::ToDefault);
  ok->setDefault(true);
  QPushButton* cancel =
      AddButton(this, IDCANCEL, DialogText(IDS_DLG_CANCEL), Units(360, 183, 60, 15), EnterKey::ToDefault);

  connect(ok, &QPushButton::clicked, this, [this] { OnOk(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(Item<QPushButton>(kEnvSelectImage), &QPushButton::clicked, this, [this] { OnSelectImage(); });
}

// ---- list ------------------------------------------------------------------------
void CChangeEnvironmentDialog::InitEnvironmentList() {
  const bool french = GetLanguage() == "french";
  std::vector<std::string> files;
  ListEnvironmentFiles(files);
  for (const std::string& file : files) {
    Entry entry;
    entry.valid = ParseEnvironmentFile(entry.info, GetEnvironmentsDir() + kPathSeparator + file);
    if (!entry.valid) {
      // Shown under its file name; never chosen.
      entry.info = EnvironmentInfo{};
      entry.info.m_filePath = GetEnvironmentsDir() + kPathSeparator + file;
      entry.info.m_nameEnglish = entry.info.m_nameFrench = file;
    }
    m_entries.push_back(entry);
  }
  const auto name = [french](const Entry& e) {
    return QString::fromStdString(french ? e.info.m_nameFrench : e.info.m_nameEnglish);
  };
  std::stable_sort(m_entries.begin(), m_entries.end(), [&](const Entry& a, const Entry& b) {
    return name(a).compare(name(b), Qt::CaseInsensitive) < 0;
  });

  Entry custom;
  custom.info.m_filePath = kCustomEnvironment;
  custom.info.m_nameEnglish = "[ Custom ]";
  custom.info.m_nameFrench = "[ Personnalisé ]";
  custom.info.m_textureFileName = GetLastEnvCustomFile();
  custom.info.m_tileWidth = kDefaultTileWidth;
  m_entries.push_back(custom);

  for (const Entry& entry : m_entries) m_list->addItem(name(entry));
  m_list->setCurrentRow(0);
  const std::string stored = GetLastEnvFile();
  for (size_t i = 0; i < m_entries.size(); ++i)
    if (GetFileNameFromPath(m_entries[i].info.m_filePath) == stored) {
      m_list->setCurrentRow(static_cast<int>(i));
      break;
    }
  connect(m_list, &QListWidget::currentRowChanged, this, [this] {
    UpdatePreview();
    UpdateButtons();
  });
}

CChangeEnvironmentDialog::Entry& CChangeEnvironmentDialog::Selected() {
  const int row = std::clamp(m_list->currentRow(), 0, static_cast<int>(m_entries.size()) - 1);
  return m_entries[row];
}

// ---- preview ---------------------------------------------------------------------
void CChangeEnvironmentDialog::UpdatePreview() {
  const EnvironmentInfo& info = Selected().info;
  std::string path;
  if (IsCustom(info)) {
    path = info.m_textureFileName;
  } else if (!info.m_textureFileName.empty()) {
    std::string folder = GetEnvironmentTexturesDir();
    TrimRight(folder, kPathSeparatorString);
    path = folder + kPathSeparator + info.m_textureFileName;
  }
  PicturePreview picture = LoadPicturePreview(path, kPreviewSize, kPreviewSize);
  m_previewLoaded = picture.loaded;
  if (picture.loaded) {
    m_textureWidth = picture.width;
    m_textureHeight = picture.height;
  } else {
    QImage blank(128, 128, QImage::Format_RGB32);
    blank.fill(Qt::white);
    const bool unreadable = picture.unreadable;
    picture = FitPicturePreview(blank, kPreviewSize, kPreviewSize);
    picture.unreadable = unreadable;
  }
  m_preview->setPixmap(picture.preview);
  m_preview->resize(picture.preview.size());
  m_unreadable->setVisible(picture.unreadable);
}

void CChangeEnvironmentDialog::UpdateButtons() {
  const Entry& entry = Selected();
  Item<QWidget>(kEnvSelectImage)->setVisible(IsCustom(entry.info));
  Item<QWidget>(IDOK)->setEnabled(m_previewLoaded && entry.valid);
}

// ---- buttons -----------------------------------------------------------------------
void CChangeEnvironmentDialog::OnSelectImage() {
  Entry& custom = m_entries.back();
  const std::string folder = custom.info.m_textureFileName.empty()
                                 ? std::string()
                                 : GetFolderFromPath(custom.info.m_textureFileName);
  const std::string chosen = CurrentFileChooser()(this, DialogText(IDS_ENV_OPEN_PICTURE), folder,
                                                  QtFileFilter(LoadResString(IDS_PICTURE_FILE_FILTER)));
  if (chosen.empty()) return;
  custom.info.m_filePath = kCustomEnvironment;
  custom.info.m_textureFileName = chosen;
  UpdatePreview();
  UpdateButtons();
}

void CChangeEnvironmentDialog::OnOk() {
  const Entry& entry = Selected();
  if (!m_previewLoaded || !entry.valid) return;
  const bool saved = GameProfileChange()
                         .Set(profile::kLastEnvFile, GetFileNameFromPath(entry.info.m_filePath))
                         .Set(profile::kLastEnvCustomFile, m_entries.back().info.m_textureFileName)
                         .SaveOrSay();
  if (saved) accept();
}

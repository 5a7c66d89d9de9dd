#include "game/dialogs/new_puzzle_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <algorithm>
#include <cstdlib>

#include "game/dialogs/select_image_dialog.h"
#include "game/game_profile.h"
#include "puzzle/grid_sizes.h"
#include "resources/strings.h"
#include "support/support.h"

// Sections: start picture - layout - opening - picture and dimensions - OK

// ---- start picture -------------------------------------------------------------
std::string ChooseStartPicture(const std::string& current, const std::string& samplesFolder,
                               const std::string& ownFolder) {
  std::string path = current;
  const std::string folder = GetFolderFromPath(path);
  const bool inSamples = SamePathIgnoringCase(folder, samplesFolder);
  const bool inOwn = !ownFolder.empty() && SamePathIgnoringCase(folder, ownFolder);
  if (!inSamples && !inOwn) path.clear();
  if (path.empty() || !QFileInfo(QString::fromStdString(path)).isFile()) {
    const std::vector<std::string> samples = ListFolderPictures(samplesFolder);
    if (!samples.empty()) path = samplesFolder + kPathSeparator + samples.front();
  }
  return path;
}

// ---- layout ----------------------------------------------------------------------
CCreateNewPuzzleDialog::CCreateNewPuzzleDialog(const PuzzleChoice& current, QWidget* parent)
    : CGameDialog(kNewPuzzleHelpTopic, parent), m_choice(current) {
  BuildControls();
  InitControls();
  UpdatePreview();
  FillDimensionList();
}

CCreateNewPuzzleDialog::~CCreateNewPuzzleDialog() = default;

void CCreateNewPuzzleDialog::BuildControls() {
  setWindowTitle(DialogText(IDS_NEW_TITLE));
  SetFixedUnits(479, 200);
  AddBoldGroup(this, kNewPuzzleImageGroup, DialogText(IDS_NEW_IMAGE), Units(7, 7, 228, 163));
  m_preview = Place(this, new QLabel, kNewPuzzlePreview, Units(17, 22, 140, 80));
  m_preview->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  m_sizeText = AddLabel(this, kNewPuzzleSizeText, QString(), Units(17, 110, 208, 10));
  AddButton(this, kNewPuzzleSelectImage, DialogText(IDS_NEW_SELECT_IMAGE), Units(17, 126, 120, 16),
            EnterKey::ToDefault);
  AddButton(this, kNewPuzzleDownload, DialogText(IDS_NEW_DOWNLOAD), Units(17, 148, 120, 16),
            EnterKey::ToDefault);
  // The size text and the button follow the preview box, whatever the font.
  const int below = m_preview->y() + kPreviewHeight + Units(0, 0, 0, 6).height();
  if (m_sizeText->y() < below) {
    const int shift = below - m_sizeText->y();
    for (int id : {kNewPuzzleSizeText, kNewPuzzleSelectImage, kNewPuzzleDownload})
      GetDlgItem(this, id)->move(GetDlgItem(this, id)->pos() + QPoint(0, shift));
  }

  AddBoldGroup(this, kNewPuzzleDimensionsGroup, DialogText(IDS_NEW_DIMENSIONS), Units(244, 7, 228, 44));
  m_dimensions = AddDropList(this, kNewPuzzleDimensions, Units(254, 25, 208, 14));

  AddBoldGroup(this, kNewPuzzlePieceGroup, DialogText(IDS_NEW_PIECE_PROPERTIES), Units(244, 58, 228, 112));
  AddLabel(this, kNoItemId, DialogText(IDS_NEW_SHAPE), Units(254, 75, 208, 10));
  m_shape = AddDropList(this, kNewPuzzleShape, Units(254, 86, 130, 14));
  m_rotate = AddCheckBox(this, kNewPuzzleRotate, DialogText(IDS_NEW_ROTATE), Units(254, 106, 208, 12));
  AddLabel(this, kNoItemId, DialogText(IDS_NEW_IRREGULARITY), Units(254, 126, 208, 10));
  m_irregularity = Place(this, new QSlider(Qt::Horizontal), kNewPuzzleIrregularity, Units(254, 138, 208, 14));
  m_irregularity->setTickPosition(QSlider::NoTicks);
  AddLabel(this, kNoItemId, DialogText(IDS_NEW_REGULAR), Units(254, 153, 100, 10));
  QLabel* irregular = AddLabel(this, kNoItemId, DialogText(IDS_NEW_IRREGULAR), Units(362, 153, 100, 10));
  irregular->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  AddHelpButton(Units(7, 178, 60, 16));
  QPushButton* ok =
      AddButton(this, IDOK, DialogText(IDS_NEW_CREATE), Units(270, 178, 130, 16), EnterKey::ToDefault);
  ok->setDefault(true);
  QPushButton* cancel =
      AddButton(this, IDCANCEL, DialogText(IDS_DLG_CANCEL), Units(407, 178, 65, 16), EnterKey::ToDefault);

  connect(ok, &QPushButton::clicked, this, [this] { OnOk(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(Item<QPushButton>(kNewPuzzleSelectImage), &QPushButton::clicked, this, [this] { OnSelectImage(); });
  connect(m_dimensions, &QComboBox::activated, this, [this](int line) { OnSelchangeDimensions(line); });
}

// ---- opening ---------------------------------------------------------------------
void CCreateNewPuzzleDialog::InitControls() {
  Item<QWidget>(kNewPuzzleDownload)->hide();

  m_choice.picturePath = ChooseStartPicture(m_choice.picturePath, GetPuzzleSamplesDir(),
                                            ReadProfileString(profile::kLastOwnPictureFolder));

  for (unsigned id : {IDS_SHAPE_CLASSIC, IDS_SHAPE_SQUARE, IDS_SHAPE_ROUND, IDS_SHAPE_RANDOM_MIX})
    m_shape->addItem(DialogText(id));
  // The piece controls open as the player last chose them.
  const PuzzleChoice last = ReadPuzzleChoice();
  m_shape->setCurrentIndex(0);
  for (int line = 0; line < 4; ++line)
    if (kShapeLines[line] == last.pieceShape) m_shape->setCurrentIndex(line);

  m_rotate->setChecked(last.rotatePieces);
  m_irregularity->setRange(0, 100);
  m_irregularity->setValue(last.irregularity);
}

// ---- picture and dimensions -----------------------------------------------------
void CCreateNewPuzzleDialog::UpdatePreview() {
  const PicturePreview picture = LoadPicturePreview(m_choice.picturePath, kPreviewWidth, kPreviewHeight);
  // Not loaded: nothing to show, no size, and (FillDimensionList) nothing
  // to cut.
  m_pictureWidth = picture.width;
  m_pictureHeight = picture.height;
  ShowPicturePreview(m_preview, m_sizeText, picture);
  if (!picture.loaded) return;
  const float aspect = static_cast<float>(m_pictureWidth) / static_cast<float>(m_pictureHeight);
  GridSizeForCount(m_choice.PieceCount(), aspect, m_choice.columns, m_choice.rows);
}

void CCreateNewPuzzleDialog::FillDimensionList() {
  m_pairs.clear();
  if (m_pictureWidth > 0 && m_pictureHeight > 0)
    ListGridSizes(m_pairs, static_cast<float>(m_pictureWidth) / static_cast<float>(m_pictureHeight));
  m_dimensions->clear();
  for (const auto& [columns, rows] : m_pairs)
    m_dimensions->addItem(QString::fromStdString(
        FormatString(LoadResString(IDS_DIMENSION_LINE).c_str(), columns, rows, columns * rows)));
  int selected = -1;
  for (size_t i = 0; i < m_pairs.size() && selected < 0; ++i)
    if (m_pairs[i].first == m_choice.columns && m_pairs[i].second == m_choice.rows)
      selected = static_cast<int>(i);
  if (selected < 0) {
    int best = 1000000;
    for (size_t i = 0; i < m_pairs.size(); ++i) {
      const int difference = std::abs(m_pairs[i].first * m_pairs[i].second - m_choice.PieceCount());
      if (difference < best) {
        best = difference;
        selected = static_cast<int>(i);
      }
    }
  }
  m_dimensions->setCurrentIndex(selected);
  // With no size to offer there is nothing to create.
  Item<QPushButton>(IDOK)->setEnabled(selected >= 0);
}

void CCreateNewPuzzleDialog::OnSelchangeDimensions(int line) {
  if (line < 0 || line >= static_cast<int>(m_pairs.size())) return;
  m_choice.columns = m_pairs[line].first;
  m_choice.rows = m_pairs[line].second;
}

void CCreateNewPuzzleDialog::OnSelectImage() {
  CSelectImageDialog picker(m_choice.picturePath, this);
  if (picker.exec() != QDialog::Accepted) return;
  m_choice.picturePath = picker.GetSelectedPath();
  UpdatePreview();
  FillDimensionList();
}

// ---- OK ---------------------------------------------------------------------------
void CCreateNewPuzzleDialog::OnOk() {
  const int line = m_dimensions->currentIndex();
  if (line < 0 || line >= static_cast<int>(m_pairs.size())) return;
  m_choice.columns = m_pairs[line].first;
  m_choice.rows = m_pairs[line].second;
  m_choice.rotatePieces = m_rotate->isChecked();
  m_choice.pieceShape = kShapeLines[std::clamp(m_shape->currentIndex(), 0, 3)];
  m_choice.irregularity = m_irregularity->value();
  SaveNewPuzzleChoice(m_choice);  // the puzzle is made even when its choice was not kept
  accept();
}

bool SaveNewPuzzleChoice(const PuzzleChoice& choice) {
  GameProfileChange change;
  PutPuzzleChoice(change, choice);
  const std::string folder = GetFolderFromPath(choice.picturePath);
  if (!choice.picturePath.empty() && !SamePathIgnoringCase(folder, GetPuzzleSamplesDir()))
    change.Set(profile::kLastOwnPictureFolder, folder);
  return change.SaveOrSay();
}

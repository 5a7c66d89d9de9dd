#pragma once
// CCreateNewPuzzleDialog: the modal "Create new puzzle" dialog (help topic
// 904). The player chooses the picture (a preview with its size in pixels),
// the dimensions out of a list made for the picture's aspect, the piece
// shape, whether pieces may rotate, and the edge irregularity.
//
// The frame hands it the current puzzle's choice; the dialog works on its
// own copy, and after exec() answers Accepted, Choice() holds the player's
// choice and "MenuSel" already holds it too (one write; when it could not be
// stored, a box says why, and the puzzle is made all the same); the frame
// takes it into the game's puzzle settings and creates the puzzle. Cancel,
// Escape and the close box change nothing.
//
// The picture: the current one when it lies in the samples folder or in the
// player's own picture folder (both compared without regard to case), else
// the first sample picture; a missing file also gives the first sample.
// With no sample pictures the path stays as it is. A picture that cannot be
// read shows no preview and no size, and no dimensions are offered for it
// (OK stays disabled until another picture is chosen).
#include <string>
#include <utility>
#include <vector>

#include "game/dialogs/game_dialog.h"
#include "game/puzzle_choice.h"

class QComboBox;
class QLabel;
class QSlider;
class QCheckBox;

// Item ids.
enum : int {
  kNewPuzzleImageGroup = 1012,
  kNewPuzzlePreview = 1038,
  kNewPuzzleSelectImage = 1009,
  kNewPuzzleSizeText = 1010,
  kNewPuzzleDownload = 1015,
  kNewPuzzleDimensionsGroup = 1039,
  kNewPuzzleDimensions = 1013,
  kNewPuzzlePieceGroup = 1036,
  kNewPuzzleShape = 1008,
  kNewPuzzleRotate = 1011,
  kNewPuzzleIrregularity = 1174,
};
inline constexpr int kNewPuzzleHelpTopic = 904;

// The shape lines' piece shapes.
inline constexpr PieceShape kShapeLines[4] = {PieceShapeClassic, PieceShapeSquare, PieceShapeRound,
                                              PieceShapeRandomMix};

class CCreateNewPuzzleDialog : public CGameDialog {
  Q_OBJECT

 public:
  explicit CCreateNewPuzzleDialog(const PuzzleChoice& current, QWidget* parent = nullptr);
  ~CCreateNewPuzzleDialog() override;

  // After Accepted: the player's choice.
  const PuzzleChoice& Choice() const { return m_choice; }

  // The choice as it stands while the dialog is open.
  const std::string& PicturePath() const { return m_choice.picturePath; }
  int PictureWidth() const { return m_pictureWidth; }
  int PictureHeight() const { return m_pictureHeight; }
  int Columns() const { return m_choice.columns; }
  int Rows() const { return m_choice.rows; }
  int PieceCount() const { return m_choice.PieceCount(); }
  const std::vector<std::pair<int, int>>& DimensionPairs() const { return m_pairs; }

  // The preview box in pixels.
  static constexpr int kPreviewWidth = 200;
  static constexpr int kPreviewHeight = 120;

 private:
  void BuildControls();
  void InitControls();
  void UpdatePreview();
  void FillDimensionList();
  void OnSelchangeDimensions(int line);
  void OnSelectImage();
  void OnOk();

  PuzzleChoice m_choice;
  QLabel* m_preview = nullptr;
  QLabel* m_sizeText = nullptr;
  QSlider* m_irregularity = nullptr;
  QComboBox* m_dimensions = nullptr;
  QComboBox* m_shape = nullptr;
  QCheckBox* m_rotate = nullptr;
  std::vector<std::pair<int, int>> m_pairs;
  int m_pictureWidth = 0;
  int m_pictureHeight = 0;
};

// The picture the dialog opens with, from the current one: see the top of
// this file. ownFolder is the player's own picture folder ("" for none).
std::string ChooseStartPicture(const std::string& current, const std::string& samplesFolder,
                               const std::string& ownFolder);

// Saves the choice in "MenuSel" (PutPuzzleChoice) and, for a picture outside
// the samples folder, its folder as the player's own picture folder, in one
// write; false when they could not be saved (said in a box).
bool SaveNewPuzzleChoice(const PuzzleChoice& choice);

#pragma once
// The pages of the options dialog: General (camera height, frame-rate
// limit), Pieces (definition, shiny pieces) and New versions (automatic
// update check and its interval). Each page checks and loads its own values
// of the profile section "GameOptions" and adds them to the dialog's one
// change on OK.
//
// A page is a child of the options dialog. Return inside a page does not
// end anything; Escape inside a page cancels the whole dialog.
#include "game/dialogs/game_dialog.h"
#include "game/game_profile.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QToolButton;

class CPrefPageBaseDialog : public CGameDialog {
  Q_OBJECT

 public:
  explicit CPrefPageBaseDialog(QWidget* parent);

  // Whether the page's values may be saved; a page that refuses says why
  // and puts the focus on the value.
  virtual bool Validate() = 0;
  // The profile's values into the controls.
  virtual bool LoadSettings() = 0;
  // The controls' values into change (saved by the dialog).
  virtual void CollectSettings(GameProfileChange& change) const = 0;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

enum : int {
  kGeneralHeight = 1041,
  kGeneralHeightUpDown = 1042,
  kGeneralLimitFps = 5032,
  kPiecesDefinition = 1022,
  kPiecesShiny = 1025,
  kVersionsManual = 1165,
  kVersionsAuto = 1166,
  kVersionsManualNote = 1175,
  kVersionsCheckEvery = 1169,
  kVersionsInterval = 1167,
  kVersionsNote = 1174,
};

// The camera height's range.
inline constexpr int kMinCameraHeight = 5;
inline constexpr int kMaxCameraHeight = 300;

class COptionsPageGeneral : public CPrefPageBaseDialog {
  Q_OBJECT

 public:
  explicit COptionsPageGeneral(QWidget* parent);
  // An integer of 5..300 in the height; otherwise a message box ("Please
  // enter an integer." or the range) and false.
  bool Validate() override;
  bool LoadSettings() override;
  void CollectSettings(GameProfileChange& change) const override;

 private:
  void Step(int by);
  bool eventFilter(QObject* watched, QEvent* event) override;

  QLineEdit* m_height;
  QCheckBox* m_limitFps;
};

class COptionsPagePieces : public CPrefPageBaseDialog {
  Q_OBJECT

 public:
  explicit COptionsPagePieces(QWidget* parent);
  bool Validate() override { return true; }
  bool LoadSettings() override;
  void CollectSettings(GameProfileChange& change) const override;

 private:
  QComboBox* m_definition;
  QCheckBox* m_shiny;
};

class COptionsPageNewVersions : public CPrefPageBaseDialog {
  Q_OBJECT

 public:
  explicit COptionsPageNewVersions(QWidget* parent);
  bool Validate() override { return true; }
  bool LoadSettings() override;
  void CollectSettings(GameProfileChange& change) const override;

 private:
  // With automatic checks the interval and its note are enabled and the
  // manual note disabled; the reverse otherwise.
  void EnableControls();

  QRadioButton* m_manual;
  QRadioButton* m_auto;
  QComboBox* m_interval;
};

// The intervals of the New versions page, in days, line by line.
inline constexpr int kCheckIntervals[4] = {7, 15, 30, 60};

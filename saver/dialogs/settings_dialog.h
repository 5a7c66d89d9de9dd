#pragma once
// The screen saver's settings (the configure switch): the three options of
// the profile section "ScreensaverOptions", and buttons for the picture
// folders, the help and the about box. OK writes the options as 1 or 0, in
// one write; when they could not be saved, a box says why and the dialog
// stays open. Cancel writes nothing.
#include <QDialog>

class QCheckBox;

inline constexpr int kSettingsDialogId = 143;

// The controls' item ids.
enum : int {
  kSettingsImagesGroup = 1004,
  kSettingsAbout = 1006,
  kSettingsCheckUpdates = 1007,
  kSettingsCloseOnMouseMove = 1008,
  kSettingsShowFps = 1009,
  kSettingsOptionsGroup = 1010,
  kSettingsManageImages = 1011,
  kSettingsLimitFps = 1012,
  kSettingsHelp = 1023,
};

class CSettingsDialog : public QDialog {
 public:
  explicit CSettingsDialog(QWidget* parent = nullptr);

  void OnBnClickedManageImages();
  void OnBnClickedAbout();
  void OnBnClickedHelp();
  void OnBnClickedOk();

  int m_closeMouseMove = 1;
  int m_showFps = 0;

 private:
  void InitControls();
  QCheckBox* Check(int id) const;
};

// Runs the settings modally; when help opened from them is still shown,
// returns once that help window is closed.
void RunSettingsDialog(QWidget* parent);

#pragma once
// CSelectImageDialog: the modal, resizable "Select puzzle image" dialog
// (help topic 910). It lists the pictures of a folder (the game's samples
// folder, or a folder of the player's own chosen with "Browse my
// directories ..."), previews the selected one with its size in pixels,
// and answers the chosen picture's full path. It changes no settings. A
// picture that cannot be read shows no preview and no size, and cannot be
// chosen (OK is disabled while it is selected).
//
//   CSelectImageDialog picker(currentPath, parent);
//   if (picker.exec() == QDialog::Accepted) path = picker.GetSelectedPath();
//
// It opens on the samples folder, or on the current picture's folder when
// that is another existing folder (a picture of the player's own), with the
// current picture selected. The controls keep their places on resizing by
// their anchors; the dialog cannot be made smaller than it opened.
#include <string>

#include "game/dialogs/game_dialog.h"
#include "support/controls/wnd_resize_helper.h"

class QLabel;
class QLineEdit;
class QListWidget;

enum : int {
  kPickListGroup = 1019,
  kPickList = 1014,
  kPickPreviewGroup = 1020,
  kPickPreview = 1012,
  kPickSizeText = 1010,
  kPickOwnGroup = 1023,
  kPickBrowse = 1017,
  kPickSamplesGroup = 1024,
  kPickSampleFolder = 1016,
  kPickFolderGroup = 1021,
  kPickFolder = 1018,
};
inline constexpr int kSelectImageHelpTopic = 910;

class CSelectImageDialog : public CGameDialog {
  Q_OBJECT

 public:
  CSelectImageDialog(const std::string& currentPath, QWidget* parent = nullptr);
  ~CSelectImageDialog() override;

  // After Accepted: folder + "/" + the chosen name; else the path given.
  std::string GetSelectedPath() const { return m_path; }
  std::string Folder() const { return m_folder; }
  int PictureWidth() const { return m_pictureWidth; }
  int PictureHeight() const { return m_pictureHeight; }

  static constexpr int kPreviewWidth = 200;
  static constexpr int kPreviewHeight = 120;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildControls();
  void InitControls();
  void ShowFolder(const std::string& folder);
  void FillImageList();
  void SelectCurrentPicture();
  void UpdatePreview();
  void OnSampleFolder();
  void OnBrowse();
  void OnOk();

  bool m_initialised = false;
  bool m_filling = false;
  CWndResizeHelper m_resize;
  std::string m_path;
  std::string m_folder;
  int m_pictureWidth = 0;
  int m_pictureHeight = 0;
  QListWidget* m_list = nullptr;
  QLabel* m_preview = nullptr;
  QLabel* m_sizeText = nullptr;
  QLineEdit* m_folderEdit = nullptr;
};

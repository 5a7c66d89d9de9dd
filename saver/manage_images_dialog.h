#pragma once
// The picture folders the screen saver takes its pictures from, in a
// resizable list with one column "Folder". The list is the one fixed folder
// (the installation's sample pictures), so "Add Image Folder" and "Remove
// Image Folder" are disabled. OK and Cancel store nothing. The dialog cannot
// be made smaller than it opens.
#include <QDialog>
#include <string>
#include <vector>

#include "support/controls/wnd_resize_helper.h"

class QTreeWidget;

inline constexpr int kManageImagesDialogId = 142;

class CManageImagesDialog : public QDialog {
 public:
  explicit CManageImagesDialog(QWidget* parent = nullptr);

  QTreeWidget* List() const { return m_list; }
  std::vector<std::string> m_folders;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void InitControls();
  void FillFolderList();

  bool m_initialised = false;
  CWndResizeHelper m_resize;
  QTreeWidget* m_list = nullptr;
};

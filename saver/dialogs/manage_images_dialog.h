#pragma once
// The picture folders the screen saver takes its pictures from, in a
// resizable list with one column "Folder": first the installation's sample
// pictures (always there, never removed), then the user's own folders.
// "Add Image Folder" asks for a folder with the toolkit's folder chooser;
// "Remove Image Folder" removes the selected user's folder; folders dropped
// from a file manager are added. A folder already listed is not added again.
// At most kMaxUserFolders user's folders are listed: with the list full, Add
// says so in a box instead of asking, and a drop adds up to the limit and
// says how many of its folders were left out. A user's folder that is gone
// or cannot be read stays listed, marked so. OK stores the user's folders in
// the profile in one write (when they could not be saved, a box says why and
// the dialog stays open); Cancel forgets the changes. The dialog cannot be made smaller than
// it opens.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "support/controls/wnd_resize_helper.h"

class QTreeWidget;

inline constexpr int kManageImagesDialogId = 142;

// The controls' item ids.
enum : int {
  kManageImagesList = 1001,
  kManageImagesAdd = 1002,
  kManageImagesRemove = 1003,
};

class CManageImagesDialog : public QDialog {
 public:
  explicit CManageImagesDialog(QWidget* parent = nullptr);

  QTreeWidget* List() const { return m_list; }
  // Adds the folders not listed yet, in order, while the list has room (an
  // empty one is ignored), and selects the last one named; says in a box
  // how many were left out for want of room.
  void AddFolders(const std::vector<std::string>& folders);
  void RemoveSelectedFolder();
  void OnBnClickedOk();

  // The sample folder, then the user's folders.
  std::vector<std::string> m_folders;
  // Asks for a folder; empty when the user cancels. Tests replace it.
  std::function<std::string()> m_chooseFolder;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void InitControls();
  void FillFolderList();
  void SelectRow(int row);
  void UpdateButtons();
  std::string ChooseFolder();
  // Add: a folder from m_chooseFolder, or the box that says the list is full.
  void OnAddFolder();
  int UserFolderCount() const;

  bool m_initialised = false;
  CWndResizeHelper m_resize;
  QTreeWidget* m_list = nullptr;
};

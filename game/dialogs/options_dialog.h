#pragma once
// COptionsDialog: the modal "Options" dialog (help topic 907). A tree on the
// left lists the pages General, Pieces and New versions; the selected page
// shows on the right under its bold caption. Every page loads its values
// when the dialog opens; the page shown is checked before another one is
// shown; OK checks every page, then saves the values of every page in one
// write; when they could not be saved, a box says why and the dialog stays
// open. Cancel, Escape and the close box save nothing.
//
// The frame reads "PuzzleDefinition" and "ShinyPieces" before exec() and
// again after Accepted, and rebuilds or restyles the board when they
// changed; the other options are read where they are used.
#include <QString>
#include <vector>

#include "game/dialogs/options_pages.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

enum : int {
  kOptionsTree = 1171,
  kOptionsCaption = 1172,
  kOptionsPageArea = 1173,
};
inline constexpr int kOptionsHelpTopic = 907;

// One page of the tree.
struct PREF_DIALOG_DATA {
  QTreeWidgetItem* m_item = nullptr;
  QString m_caption;
  CPrefPageBaseDialog* m_page = nullptr;  // not owned by the record
};

class COptionsDialog : public CGameDialog {
  Q_OBJECT

 public:
  explicit COptionsDialog(QWidget* parent = nullptr);
  ~COptionsDialog() override;

  const std::vector<PREF_DIALOG_DATA>& Pages() const { return m_pages; }
  // The page shown.
  CPrefPageBaseDialog* CurrentPage() const;
  // Checks every page, then saves every page's values together; false when a
  // page refuses (nothing saved, the refusing page shown) or the values
  // could not be saved (said in a box).
  bool ValidateAndSaveAll();

 private:
  void InitPages();
  void AddPage(QTreeWidgetItem* item, const QString& caption, CPrefPageBaseDialog* page);
  // Checks the page shown, then shows the tree's current item's page.
  void SelectPage();
  // Shows the item's page under its caption, unchecked.
  void ShowRecord(QTreeWidgetItem* item);
  void OnOk();
  const PREF_DIALOG_DATA* Record(const QTreeWidgetItem* item) const;

  QTreeWidgetItem* m_currentItem = nullptr;
  std::vector<PREF_DIALOG_DATA> m_pages;
  COptionsPageGeneral* m_general;
  COptionsPagePieces* m_pieces;
  COptionsPageNewVersions* m_newVersions;
  QTreeWidget* m_tree = nullptr;
  QLabel* m_caption = nullptr;
};

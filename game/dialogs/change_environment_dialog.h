#pragma once
// CChangeEnvironmentDialog: the modal "Change Environment" dialog (help
// topic 903) in which the player chooses the table: one of the environments
// described in the environments folder, listed by their names in the
// current language, or "[ Custom ]", a picture of the player's own. The
// selected table's texture is previewed.
//
// OK stores the choice ("Environments" "LastEnvFile" and
// "LastEnvCustomFile", in one write); the frame then reloads the table. When
// the choice could not be stored, a box says why and the dialog stays open.
// OK is enabled only
// while the selected entry's picture loaded and, for a description file,
// the file was read correctly; a file that cannot be read is listed under
// its file name so that the player sees it, but cannot be chosen. A
// picture that does not load previews as a white square; when one was
// named (a missing or damaged texture or custom picture), a line on the
// square says that it cannot be read.
#include <QPixmap>
#include <string>
#include <vector>

#include "game/dialogs/game_dialog.h"
#include "game/environment.h"

class QLabel;
class QListWidget;

enum : int {
  kEnvGroup = 1035,
  kEnvList = 1028,
  kEnvPreview = 1037,
  kEnvSelectImage = 5033,
  kEnvUnreadableText = 1038,  // the line on the white square
};
inline constexpr int kChangeEnvironmentHelpTopic = 903;

class CChangeEnvironmentDialog : public CGameDialog {
  Q_OBJECT

 public:
  explicit CChangeEnvironmentDialog(QWidget* parent = nullptr);
  ~CChangeEnvironmentDialog() override;

  // One line of the list.
  struct Entry {
    EnvironmentInfo info;
    bool valid = true;  // the description file was read correctly
  };
  const std::vector<Entry>& Entries() const { return m_entries; }
  bool PreviewLoaded() const { return m_previewLoaded; }

  static constexpr int kPreviewSize = 192;

 private:
  void BuildControls();
  void InitEnvironmentList();
  void UpdatePreview();
  void UpdateButtons();
  void OnSelectImage();
  void OnOk();
  Entry& Selected();

  std::vector<Entry> m_entries;  // the custom entry last
  bool m_previewLoaded = false;
  int m_textureWidth = 0;
  int m_textureHeight = 0;
  QListWidget* m_list = nullptr;
  QLabel* m_preview = nullptr;
  QLabel* m_unreadable = nullptr;
};

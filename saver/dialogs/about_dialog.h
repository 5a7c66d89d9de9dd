#pragma once
// The screen saver's about box: its picture, product title, version, the
// maker's and the product's home pages as links, and the legal notice.
#include <QDialog>

inline constexpr int kSaverAboutDialogId = 140;

// The controls' item ids.
enum : int {
  kSaverAboutMakerLink = 1014,
  kSaverAboutHomeLink = 1015,
  kSaverAboutTitle = 1016,
  kSaverAboutLegal = 1017,
  kSaverAboutPicture = 1018,
  kSaverAboutProductGroup = 1019,
  kSaverAboutVersion = 1022,
};

class CSaverAboutDialog : public QDialog {
 public:
  explicit CSaverAboutDialog(QWidget* parent = nullptr);
};

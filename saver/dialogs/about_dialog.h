#pragma once
// The screen saver's about box: its picture, product title, version, the
// maker's and the product's home pages as links, and the legal notice.
#include <QDialog>

inline constexpr int kSaverAboutDialogId = 140;

class CSaverAboutDialog : public QDialog {
 public:
  explicit CSaverAboutDialog(QWidget* parent = nullptr);
};

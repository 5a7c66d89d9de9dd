#pragma once
// CAboutDialog: the modal "About Ravelle" box: the product's title picture,
// title and version, the maker's and the product's home pages as links
// (each opens its address through the shell and shows it as its tooltip),
// and the legal notice. No help.
//   CAboutDialog(frame).exec();
#include "game/dialogs/game_dialog.h"

class CHRXHyperLink;

enum : int {
  kAboutPicture = 1175,
  kAboutGroup = 1176,
  kAboutTitle = 1113,
  kAboutVersion = 1203,
  kAboutMakerLink = 1111,
  kAboutProductLink = 1112,
  kAboutLegal = 1118,
};

class CAboutDialog : public CGameDialog {
  Q_OBJECT

 public:
  explicit CAboutDialog(QWidget* parent = nullptr);

 private:
  CHRXHyperLink* m_makerLink;
  CHRXHyperLink* m_productLink;
};

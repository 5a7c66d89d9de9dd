#include "game/dialogs/about_dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "game/dialog_services.h"
#include "game/game_profile.h"
#include "resources/strings.h"
#include "support/controls/hrx_hyperlink.h"
#include "support/support.h"

namespace {
// The start screen's title picture, its colour-key background made clear.
QPixmap TitlePicture() {
  QImage title = ReadPictureFile(GetTexturesDir() + kPathSeparator + "MenuBarStartMenuTitle.png");
  if (title.isNull()) return {};
  title = title.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < title.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(title.scanLine(y));
    for (int x = 0; x < title.width(); ++x)
      if ((line[x] & 0xFFFFFFu) == 0xFF00FFu) line[x] = 0;
  }
  return QPixmap::fromImage(title);
}
}  // namespace

CAboutDialog::CAboutDialog(QWidget* parent) : CGameDialog(0, parent) {
  setWindowTitle(DialogText(IDS_ABOUT_TITLE));
  SetFixedUnits(277, 270);
  QLabel* picture = Place(this, new QLabel, kAboutPicture, Units(7, 7, 263, 32));
  picture->setAlignment(Qt::AlignCenter);
  picture->setPixmap(TitlePicture());
  AddBoldGroup(this, kAboutGroup, DialogText(IDS_ABOUT_PRODUCT_INFORMATION), Units(7, 44, 263, 198));
  QLabel* title =
      AddLabel(this, kAboutTitle, QString::fromStdString(GetProductTitle()), Units(17, 60, 243, 10));
  title->setTextFormat(Qt::PlainText);
  AddLabel(this, kAboutVersion, DialogText(IDS_ABOUT_VERSION) + QString::fromStdString(GetGameVersion()),
           Units(17, 73, 243, 10));
  AddLabel(this, kNoItemId, DialogText(IDS_ABOUT_MAKER_PAGE_LABEL), Units(17, 93, 243, 10));
  m_makerLink = Place(this, new CHRXHyperLink, kAboutMakerLink, Units(17, 105, 243, 10));
  m_makerLink->setText(DialogText(IDS_ABOUT_MAKER_ADDRESS));
  AddLabel(this, kNoItemId, DialogText(IDS_ABOUT_PRODUCT_PAGE_LABEL), Units(17, 123, 243, 10));
  m_productLink = Place(this, new CHRXHyperLink, kAboutProductLink, Units(17, 135, 243, 10));
  m_productLink->setText(DialogText(IDS_ABOUT_PRODUCT_ADDRESS));
  AddWrappingLabel(this, kAboutLegal, DialogText(IDS_LEGAL_WARNING), Units(17, 157, 243, 78));
  QPushButton* ok =
      AddButton(this, IDOK, DialogText(IDS_DLG_OK), Units(210, 249, 60, 15), EnterKey::ToDefault);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

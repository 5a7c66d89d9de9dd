#include "saver/dialogs/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "platform/shell.h"
#include "resources/strings.h"
#include "saver/dialogs/dialog_pictures.h"
#include "saver/picture_lists.h"
#include "saver/saver_text_ids.h"
#include "support/controls/dialog_kit.h"
#include "support/controls/hrx_dialog_item.h"
#include "support/controls/hrx_hyperlink.h"
#include "support/string_table.h"

namespace {

CHRXHyperLink* AddLink(QWidget* parent, int id, const char* address, const QRect& rect) {
  return Place(parent, new CHRXHyperLink(address), id, rect);
}

}  // namespace

CSaverAboutDialog::CSaverAboutDialog(QWidget* parent) : QDialog(parent) {
  SetUpDialog(this, 357, 270, DialogText(IDS_SAVER_ABOUT_TITLE), SaverIcon());
  setFixedSize(size());
  auto* picture = AddWrappingLabel(this, kSaverAboutPicture, QString(), DialogUnits(this, 7, 10, 44, 40));
  picture->setPixmap(SaverPicture(kAboutPictureId));
  AddBoldGroup(this, kSaverAboutProductGroup, DialogText(IDS_SAVER_PRODUCT_INFO),
               DialogUnits(this, 60, 7, 290, 118));
  QLabel* title = AddWrappingLabel(this, kSaverAboutTitle, QString::fromStdString(GetProductTitle()),
                                   DialogUnits(this, 70, 22, 270, 12));
  title->setTextFormat(Qt::PlainText);
  AddWrappingLabel(this, kSaverAboutVersion,
                   DialogText(IDS_SAVER_VERSION) + QString::fromStdString(GetGameVersion()),
                   DialogUnits(this, 70, 36, 270, 12));
  AddWrappingLabel(this, 0, DialogText(IDS_SAVER_MAKER_PAGE), DialogUnits(this, 70, 56, 270, 10));
  AddLink(this, kSaverAboutMakerLink, "https://www.halvorn.com/", DialogUnits(this, 70, 67, 270, 10));
  AddWrappingLabel(this, 0, DialogText(IDS_SAVER_HOME_PAGE), DialogUnits(this, 70, 88, 270, 10));
  AddLink(this, kSaverAboutHomeLink, "https://www.halvorn.com/ravelle/screensaver/",
          DialogUnits(this, 70, 99, 270, 10));
  AddWrappingLabel(this, kSaverAboutLegal, DialogText(IDS_SAVER_LEGAL), DialogUnits(this, 7, 134, 343, 100));
  auto* ok = AddButton(this, IDOK, DialogText(IDS_SAVER_OK), DialogUnits(this, 150, 246, 57, 16),
                       EnterKey::ToFocused);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

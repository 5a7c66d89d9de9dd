#include "saver/dialogs/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "platform/shell.h"
#include "resources/strings.h"
#include "saver/saver_text_ids.h"
#include "saver/dialog_kit.h"
#include "saver/picture_lists.h"
#include "support/controls/hrx_dialog_item.h"
#include "support/controls/hrx_hyperlink.h"
#include "support/string_table.h"

namespace {

CHRXHyperLink* AddLink(QWidget* parent, int id, const char* address, const QRect& rect) {
  auto* link = new CHRXHyperLink(address, parent);
  link->setGeometry(rect);
  SetDlgCtrlID(link, id);
  return link;
}

}  // namespace

CSaverAboutDialog::CSaverAboutDialog(QWidget* parent) : QDialog(parent) {
  SetUpDialog(this, 357, 270, ResText(IDS_SAVER_ABOUT_TITLE));
  setFixedSize(size());
  auto* picture = AddLabel(this, 1018, QString(), DialogUnits(7, 10, 44, 40));
  picture->setPixmap(SaverPicture(kAboutPictureId));
  AddBoldGroup(this, 1019, ResText(IDS_SAVER_PRODUCT_INFO), DialogUnits(60, 7, 290, 118));
  QLabel* title = AddLabel(this, 1016, QString::fromStdString(GetProductTitle()), DialogUnits(70, 22, 270, 12));
  title->setTextFormat(Qt::PlainText);
  AddLabel(this, 1022, ResText(IDS_SAVER_VERSION) + QString::fromStdString(GetGameVersion()),
           DialogUnits(70, 36, 270, 12));
  AddLabel(this, 0, ResText(IDS_SAVER_MAKER_PAGE), DialogUnits(70, 56, 270, 10));
  AddLink(this, 1014, "https://www.halvorn.com/", DialogUnits(70, 67, 270, 10));
  AddLabel(this, 0, ResText(IDS_SAVER_HOME_PAGE), DialogUnits(70, 88, 270, 10));
  AddLink(this, 1015, "https://www.halvorn.com/ravelle/screensaver/", DialogUnits(70, 99, 270, 10));
  AddLabel(this, 1017, ResText(IDS_SAVER_LEGAL), DialogUnits(7, 134, 343, 100));
  auto* ok = AddButton(this, IDOK, ResText(IDS_SAVER_OK), DialogUnits(150, 246, 57, 16));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

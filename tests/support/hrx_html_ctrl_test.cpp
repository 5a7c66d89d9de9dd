#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTextDocument>
#include <QUrl>
#include <memory>

#include "platform/shell.h"
#include "support/controls/hrx_dialog_item.h"
#include "support/controls/hrx_font.h"
#include "support/controls/hrx_html_ctrl.h"
#include "testkit.h"

namespace {

// A dialog that keeps the view as a member, with a sunken placeholder.
struct TutorialLikeDialog : QWidget {
  CHRXHtmlCtrl html;
  QLabel* placeholder;
  TutorialLikeDialog() {
    resize(600, 400);
    placeholder = new QLabel("Static", this);
    placeholder->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    placeholder->setGeometry(12, 20, 480, 300);
    SetDlgCtrlID(placeholder, kHtmlPlaceholderId);
  }
};

}  // namespace

TEST(HtmlCtrl_Offscreen, TakesThePlaceholdersPlaceAndId) {
  auto dialog = std::make_unique<TutorialLikeDialog>();
  ASSERT_TRUE(CreateHtmlCtrlInPlaceholder(dialog.get(), dialog->html));
  EXPECT_EQ(dialog->html.parentWidget(), dialog.get());
  EXPECT_EQ(dialog->html.geometry(), QRect(12, 20, 480, 300));
  EXPECT_EQ(GetDlgCtrlID(&dialog->html), kHtmlPlaceholderId);
  EXPECT_TRUE(dialog->placeholder->isHidden());
  EXPECT_FALSE(dialog->html.isHidden());
  dialog->show();
  dialog->html.resize(300, 200);
  EXPECT_EQ(dialog->html.frameWidth(), 0);  // no border of its own shows
  EXPECT_EQ(dialog->html.viewport()->size(), QSize(300, 200));
  dialog.reset();  // the member view is destroyed once, with its dialog
}

TEST(HtmlCtrl_Offscreen, WithoutAPlaceholderNothingChanges) {
  QWidget dialog;
  CHRXHtmlCtrl html;
  EXPECT_FALSE(CreateHtmlCtrlInPlaceholder(&dialog, html));
  EXPECT_EQ(html.parentWidget(), nullptr);
  EXPECT_FALSE(CreateHtmlCtrlInPlaceholder(nullptr, html));
}

TEST(HtmlCtrl_Offscreen, ShowsLocalPagesAndHandsOtherAddressesToTheShell) {
  ScopedRecordingShell shell;
  testkit::TempDir dir;
  const std::string first = dir.WriteFile("english/01 First.html",
                                          "<html><body><h1>First page</h1><a href='02%20Second.html'>next</a>"
                                          " <a href='https://example.org/more'>web</a></body></html>");
  dir.WriteFile("english/02 Second.html", "<html><body><p>Second page</p></body></html>");
  CHRXHtmlCtrl html;

  ASSERT_TRUE(html.Navigate(QString::fromStdString(first)));
  EXPECT_TRUE(html.toPlainText().contains("First page"));

  emit html.anchorClicked(QUrl("02%20Second.html"));  // a link between pages
  EXPECT_TRUE(html.toPlainText().contains("Second page"));

  emit html.anchorClicked(QUrl("https://example.org/more"));
  EXPECT_EQ(shell.addresses, std::vector<std::string>{"https://example.org/more"});
  EXPECT_TRUE(html.toPlainText().contains("Second page"));

  EXPECT_FALSE(html.Navigate(QString::fromStdString(dir / "english/missing.html")));
  EXPECT_FALSE(html.Navigate(QString::fromStdString(dir / "english")));  // a folder
  EXPECT_TRUE(html.toPlainText().contains("Second page"));               // the page stays

  EXPECT_TRUE(html.Navigate(QUrl::fromLocalFile(QString::fromStdString(first)).toString()));
  EXPECT_TRUE(html.toPlainText().contains("First page"));
  EXPECT_TRUE(html.Navigate("mailto:someone@example.org"));
  EXPECT_EQ(shell.addresses.back(), "mailto:someone@example.org");
}

// The view reads pages and pictures itself, through the opener: a picture
// that is a pipe draws as nothing instead of hanging the dialog, and a
// real one still shows.
TEST(HtmlCtrl_Offscreen, APictureThatIsAPipeDoesNotHangThePage) {
  testkit::TempDir dir;
  QImage picture(8, 6, QImage::Format_RGB32);
  picture.fill(Qt::red);
  ASSERT_TRUE(picture.save(QString::fromStdString(dir / "real.png")));
  ASSERT_EQ(::mkfifo((dir / "pipe.png").c_str(), 0600), 0);
  const std::string page = dir.WriteFile(
      "page.html", "<html><body><p>Pictures</p><img src='pipe.png'><img src='real.png'></body></html>");
  CHRXHtmlCtrl html;
  html.resize(300, 200);
  ASSERT_TRUE(html.Navigate(QString::fromStdString(page)));
  html.grab();  // lays the page out, which loads its pictures
  EXPECT_TRUE(html.toPlainText().contains("Pictures"));
  const QVariant real = html.document()->resource(QTextDocument::ImageResource, QUrl("real.png"));
  const QImage shown = real.typeId() == QMetaType::QByteArray ? QImage::fromData(real.toByteArray())
                                                              : real.value<QPixmap>().toImage();
  EXPECT_EQ(shown.size(), QSize(8, 6)) << real.typeName();
}

TEST(HrxFont_Offscreen, Weight700MakesABoldGroupBoxFont) {
  QGroupBox box("Image list");
  CHRXFont bold(box.font());
  bold.setWeight(QFont::Weight(700));
  box.setFont(bold);
  EXPECT_TRUE(box.font().bold());
  EXPECT_EQ(box.font().family(), QGroupBox().font().family());
  EXPECT_EQ(box.font().pointSizeF(), QGroupBox().font().pointSizeF());
}

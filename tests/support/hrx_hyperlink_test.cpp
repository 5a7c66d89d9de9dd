#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPixmap>
#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/shell.h"
#include "support/controls/hrx_hyperlink.h"
#include "wait.h"

namespace {

const QString kAddress = QStringLiteral("https://maker.example/home");

// A window that counts the presses its children pass on.
struct Window : QWidget {
  int presses = 0;
  void mousePressEvent(QMouseEvent*) override { ++presses; }
};

// A shown window at a known place with one link of 300 x 40 in it.
struct LinkFixture {
  Window window;
  CHRXHyperLink* link;

  explicit LinkFixture(const QString& text = kAddress) {
    window.setGeometry(100, 100, 400, 100);
    link = new CHRXHyperLink(text, &window);
    link->setGeometry(10, 10, 300, 40);
    window.show();
  }
  int TextWidth() const { return QFontMetrics(link->font()).horizontalAdvance(link->text()); }
  QColor Shown() const { return link->palette().color(QPalette::WindowText); }
  // The colour once it has become want, or after two seconds: the hover
  // state follows a timer, which a busy machine may delay.
  QColor ShownSoon(const QColor& want) const {
    (void)testkit::WaitUntil([&] { return Shown() == want; }, 2000);
    return Shown();
  }
  QPoint Global(int x, int y) const { return link->mapToGlobal(QPoint(x, y)); }
  void Click(int x, int y) { QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(x, y)); }
  // The cursor goes to the point on the link and moves there; the hover
  // timer gets time to tick.
  void Hover(int x, int y) {
    QCursor::setPos(Global(x, y));
    QTest::mouseMove(link, QPoint(x, y));
    testkit::KeepRunningFor(60);
  }
  void Leave() {
    QCursor::setPos(Global(350, 60));
    testkit::KeepRunningFor(60);
  }
};

const QColor kBlue(0, 0, 255), kRed(255, 0, 0), kPurple(128, 0, 128);

}  // namespace

TEST(HyperLink_Offscreen, TakesItsAddressAndTooltipFromItsText) {
  LinkFixture f;
  EXPECT_EQ(f.link->GetLinkTarget(), kAddress);
  EXPECT_EQ(f.link->toolTip(), kAddress);
  EXPECT_TRUE(f.link->font().underline());
  EXPECT_EQ(f.Shown(), kBlue);
  EXPECT_EQ(f.link->GetHoverCursor()->shape(), Qt::PointingHandCursor);

  f.link->SetLinkTarget("https://second.example/");
  EXPECT_EQ(f.link->toolTip(), "https://second.example/");
  f.link->update();  // events do not take the address back from the text
  QApplication::processEvents();
  EXPECT_EQ(f.link->GetLinkTarget(), "https://second.example/");

  f.link->SetUnderlined(false);
  EXPECT_FALSE(f.link->font().underline());
  f.link->SetStateColors(0x00FF00, 0x000000, 0x0000FF);
  EXPECT_EQ(f.Shown(), QColor(0, 255, 0));
}

// A link made without text (as Qt code and the about boxes make them) takes
// the address and tooltip from the text set afterwards, through either class,
// and a click opens that address.
TEST(HyperLink_Offscreen, TheAddressFollowsEveryTextSetLater) {
  ScopedRecordingShell shell;
  LinkFixture f{QString()};
  f.link->setText(kAddress);
  EXPECT_EQ(f.link->GetLinkTarget(), kAddress);
  EXPECT_EQ(f.link->toolTip(), kAddress);
  f.Click(2, 20);
  EXPECT_EQ(shell.addresses, std::vector<std::string>{kAddress.toStdString()});

  QLabel* asLabel = f.link;
  asLabel->setText("https://other.example/");
  EXPECT_EQ(f.link->GetLinkTarget(), "https://other.example/");
  EXPECT_EQ(f.link->toolTip(), "https://other.example/");
  f.Click(2, 20);
  EXPECT_EQ(shell.addresses.back(), "https://other.example/");
}

TEST(HyperLink_Offscreen, AnEmptyTextGivesNoAddressAndNoTooltip) {
  ScopedRecordingShell shell;
  LinkFixture f{QString()};
  EXPECT_TRUE(f.link->GetLinkTarget().isEmpty());
  EXPECT_TRUE(f.link->toolTip().isEmpty());
  EXPECT_FALSE(f.link->OpenTarget());
  EXPECT_TRUE(shell.addresses.empty());  // nothing is handed to the shell
}

TEST(HyperLink_Offscreen, OnlyAClickOnTheTextOpensIt) {
  struct Case {
    Qt::Alignment alignment;
    int x;  // in link coordinates
    int y;
    bool opens;
  };
  LinkFixture probe;
  const int tw = probe.TextWidth();
  const int inset = (300 - tw) / 2;
  ASSERT_LT(tw, 280);
  const Case cases[] = {
      {Qt::AlignLeft, 0, 20, true},
      {Qt::AlignLeft, tw - 1, 20, true},
      {Qt::AlignLeft, tw, 20, false},
      {Qt::AlignLeft, 295, 20, false},
      {Qt::AlignLeft, tw / 2, 0, true},
      {Qt::AlignLeft, tw / 2, 39, true},
      {Qt::AlignHCenter, inset - 1, 20, false},
      {Qt::AlignHCenter, inset, 20, true},
      {Qt::AlignHCenter, 299 - inset, 20, true},
      {Qt::AlignHCenter, 300 - inset, 20, false},
      {Qt::AlignRight, 300 - tw, 20, true},
      {Qt::AlignRight, 299 - tw, 20, false},
      {Qt::AlignRight, 5, 20, false},
  };
  for (const Case& c : cases) {
    ScopedRecordingShell shell;
    LinkFixture f;
    f.link->setAlignment(c.alignment | Qt::AlignVCenter);
    f.Click(c.x, c.y);
    SCOPED_TRACE(testing::Message() << "alignment " << int(c.alignment) << " x " << c.x << " y " << c.y);
    EXPECT_EQ(shell.addresses.size(), c.opens ? 1u : 0u);
    EXPECT_EQ(f.link->WasVisited(), c.opens);
    EXPECT_EQ(f.window.presses, 1);  // a text link passes every click on
  }
}

TEST(HyperLink_Offscreen, ClickOpensThroughTheShellAndShowsVisitedOnceLeft) {
  ScopedRecordingShell shell;
  LinkFixture f;
  f.Hover(5, 20);
  EXPECT_EQ(f.ShownSoon(kRed), kRed);
  EXPECT_EQ(f.link->cursor().shape(), Qt::PointingHandCursor);
  f.Click(5, 20);
  EXPECT_EQ(shell.addresses, std::vector<std::string>{kAddress.toStdString()});
  EXPECT_TRUE(f.link->WasVisited());
  EXPECT_EQ(f.Shown(), kRed);  // still under the mouse
  f.Leave();
  EXPECT_EQ(f.ShownSoon(kPurple), kPurple);

  // The second press of a double click opens nothing more.
  QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(5, 20), QPointF(f.Global(5, 20)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(f.link, &twice);
  EXPECT_EQ(shell.addresses.size(), 1u);
}

TEST(HyperLink_Offscreen, AFailedOpenLeavesTheLinkUnvisited) {
  ScopedRecordingShell shell;
  shell.openSucceeds = false;
  LinkFixture f;
  f.Hover(5, 20);
  f.Click(5, 20);
  f.Leave();
  EXPECT_EQ(shell.addresses.size(), 1u);
  EXPECT_FALSE(f.link->WasVisited());
  EXPECT_EQ(f.Shown(), kBlue);
}

TEST(HyperLink_Offscreen, HoverFollowsTheTextNotTheWholeLabel) {
  LinkFixture f;
  f.Hover(f.TextWidth() + 20, 20);  // on the label, beside the text
  EXPECT_EQ(f.Shown(), kBlue);
  EXPECT_NE(f.link->cursor().shape(), Qt::PointingHandCursor);
  f.Hover(2, 20);
  EXPECT_EQ(f.ShownSoon(kRed), kRed);
  f.link->MarkVisited(true);
  EXPECT_EQ(f.Shown(), kRed);  // hover wins over visited
  f.Leave();
  EXPECT_EQ(f.ShownSoon(kPurple), kPurple);
}

// A move at every poll of the wait, a few milliseconds apart, until the
// hover colour shows: it comes while the moves go on (a timer started again
// at every move would hold it back for as long as they last).
TEST(HyperLink_Offscreen, HoverShowsWhileTheMouseKeepsMoving) {
  LinkFixture f;
  QCursor::setPos(f.Global(5, 20));
  int moves = 0;
  const bool shown = testkit::WaitUntil(
      [&] {
        QTest::mouseMove(f.link, QPoint(5 + moves++ % 2, 20));
        return f.Shown() == kRed;
      },
      2000);
  EXPECT_TRUE(shown) << "still not hovered after " << moves << " moves";
}

TEST(HyperLink_Offscreen, AnImageLabelKeepsItsColoursAndCountsAsTextAllOver) {
  ScopedRecordingShell shell;
  LinkFixture f{QString()};
  QPixmap picture(16, 16);
  picture.fill(Qt::green);
  f.link->setPixmap(picture);
  const QColor before = f.Shown();
  f.link->SetLinkTarget(kAddress);
  EXPECT_FALSE(f.link->HasTextStyle());
  f.Click(295, 35);  // far from where any text would be
  EXPECT_EQ(shell.addresses.size(), 1u);
  EXPECT_TRUE(f.link->WasVisited());
  EXPECT_EQ(f.window.presses, 0);  // handled by the link itself
  f.link->MarkVisited(true);
  EXPECT_EQ(f.Shown(), before);
}

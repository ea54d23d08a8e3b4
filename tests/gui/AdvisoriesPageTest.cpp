// The Advisories tab on the offscreen platform: the panels' geometry, the
// keys and clicks that expand and open, the scroll bar coming with an
// expanded description, and the tips panel.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

#include <algorithm>
#include <cstdlib>

#include "DemoAccount.h"
#include "core/advisories/Feed.h"
#include "core/util/DateTime.h"
#include "gui/advisories/AdvisoriesPage.h"
#include "gui/advisories/AdvisoryItem.h"
#include "gui/advisories/WrappedText.h"
#include "gui/controls/FocusLabel.h"
#include "gui/controls/ScrollingCtrl.h"

namespace qgm::gui {
namespace {

std::vector<TAdvisory> DemoFeed() {
  corvalink::sim::DemoAccount demo(EncodeDate(2026, 12, 8));
  const auto tree = BuildXmlTree1252(demo.FeedXml(corvalink::sim::FeedFormat::Rss2));
  return ReadAdvisories(*tree, false, {});
}

class AdvisoriesPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    page_ = std::make_unique<TAdvisoriesPage>(settings_);
    page_->resize(295, 400);
    page_->OnOpenLink = [this](const std::string& url) { opened_.push_back(url); };
    page_->show();
    page_->activateWindow();
    QApplication::setActiveWindow(page_.get());
    QApplication::processEvents();
  }
  TScrollingCtrl& List() { return *page_->List(); }
  void Show(std::vector<TAdvisory> a) {
    page_->ShowAdvisories(a);
    page_->Activated();
    QApplication::processEvents();
  }
  void Click(TMyScrollItem& item, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(List().viewport(), button, Qt::NoModifier, at + QPoint(0, item.ScreenTop()));
  }
  // The first column from `from` on holding a dark (title) pixel.
  int TitleLeft(const TMyScrollItem& item, int from) {
    const QImage shot = List().viewport()->grab().toImage();
    for (int x = from; x < shot.width(); ++x)
      for (int y = item.ScreenTop() + 8; y < item.ScreenTop() + 20; ++y)
        if (qGray(shot.pixel(x, y)) < 100) return x;
    return -1;
  }

  TSettings settings_;
  std::unique_ptr<TAdvisoriesPage> page_;
  std::vector<std::string> opened_;
};

TEST_F(AdvisoriesPageTest, TitlesStartAfterTheIconsAndTheHandShowsOverLinks) {
  std::vector<TAdvisory> a(2);
  a[0].Title = "Ivy outage";
  a[0].Link = "http://x/1";
  a[1].Title = "Ivy report";
  a[1].Link = "http://x/2";
  a[1].EnclosureUrl = "http://x/2.pdf";
  Show(a);
  TMyScrollItem& plain = *page_->Item(0);
  TMyScrollItem& enclosed = *page_->Item(1);
  // Text starts a pixel or two inside its rectangle.
  // Right of the link ball (6..21) and of the report's place (22..37).
  const int plainLeft = TitleLeft(plain, 23), enclosedLeft = TitleLeft(enclosed, 39);
  EXPECT_GE(plainLeft, 25);
  EXPECT_LE(plainLeft, 27);
  EXPECT_GE(enclosedLeft, 41);
  EXPECT_LE(enclosedLeft, 43);
  auto cursorAt = [&](TMyScrollItem& item, int x) {
    QTest::mouseMove(List().viewport(), QPoint(x, item.ScreenTop() + 12));
    QApplication::processEvents();
    return List().viewport()->cursor().shape();
  };
  EXPECT_EQ(cursorAt(plain, 10), Qt::PointingHandCursor);
  EXPECT_EQ(cursorAt(plain, 30), Qt::ArrowCursor);
  EXPECT_EQ(cursorAt(enclosed, 30), Qt::PointingHandCursor);
  EXPECT_EQ(cursorAt(enclosed, 120), Qt::ArrowCursor);
  // The ball opens the link, the second place the report.
  Click(enclosed, QPoint(10, 12));
  Click(enclosed, QPoint(30, 12));
  EXPECT_EQ(opened_, (std::vector<std::string>{"http://x/2", "http://x/2.pdf"}));
  EXPECT_FALSE(enclosed.Expanded);
}

TEST_F(AdvisoriesPageTest, ClicksAndKeysExpandCollapseAndOpenOnce) {
  Show(DemoFeed());
  TMyScrollItem& first = *page_->Item(0);
  const int collapsed = first.Height();
  const int secondTop = page_->Item(1)->Top();
  Click(first, QPoint(150, 10));
  EXPECT_TRUE(first.Expanded);
  EXPECT_GT(first.Height(), collapsed);
  EXPECT_EQ(page_->Item(1)->Top(), secondTop + first.Height() - collapsed);
  QTest::keyClick(&List(), Qt::Key_Left);
  EXPECT_FALSE(first.Expanded);
  EXPECT_EQ(first.Height(), collapsed);
  QTest::keyClick(&List(), Qt::Key_Right);
  EXPECT_TRUE(first.Expanded);
  // Enter opens the report when there is one, else the link, once a press.
  QTest::keyClick(&List(), Qt::Key_Return);
  ASSERT_EQ(opened_.size(), 1u);
  EXPECT_EQ(opened_[0], "https://www.corvalink.example/status/maintenance-sydney.pdf");
  QTest::keyClick(&List(), Qt::Key_Down);
  QTest::keyClick(&List(), Qt::Key_Return);
  EXPECT_EQ(opened_.back(), "https://www.corvalink.example/status");
  // A right click selects, and does nothing else.
  TMyScrollItem& third = *page_->Item(2);
  Click(third, QPoint(150, 10), Qt::RightButton);
  EXPECT_TRUE(third.Selected());
  EXPECT_FALSE(third.Expanded);
  EXPECT_EQ(opened_.size(), 2u);
}

TEST_F(AdvisoriesPageTest, NothingToOpenOrShowDoesNothing) {
  std::vector<TAdvisory> a(1);
  a[0].Title = "No link, no text";
  Show(a);
  TMyScrollItem& item = *page_->Item(0);
  const int height = item.Height();
  QTest::keyClick(&List(), Qt::Key_Return);
  EXPECT_TRUE(opened_.empty());
  Click(item, QPoint(150, 10));
  EXPECT_TRUE(item.Expanded);  // set, though there is nothing to show
  EXPECT_EQ(item.Height(), height);
  Click(item, QPoint(10, 12));  // the ball without a link expands instead
  EXPECT_FALSE(item.Expanded);
  EXPECT_TRUE(opened_.empty());
}

TEST_F(AdvisoriesPageTest, ExpandingPastTheBottomMeasuresForTheScrollBarsWidth) {
  // Six short items fit; one long description does not.
  std::vector<TAdvisory> a(6);
  for (int i = 0; i < 6; ++i) {
    a[i].Title = "Advisory " + std::to_string(i);
    for (int w = 0; w < 60; ++w) a[i].Description += "word" + std::to_string(w) + " ";
  }
  Show(a);
  ASSERT_FALSE(List().HasVScroll());
  TMyScrollItem& item = *page_->Item(0);
  const int before = item.Height();
  const int bar = List().style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &List());
  const int narrow = DrawWrappedText(nullptr, QFontMetrics(List().font()), item.Description,
                                     QRect(0, 0, item.TextWidth() - bar, 1000), wtMeasureOnly);
  item.SetExpanded(true);
  ASSERT_TRUE(List().HasVScroll());
  EXPECT_EQ(item.Height(), before + narrow + 2);
  // The next resize lays every item out again at the width left.
  page_->resize(page_->width(), page_->height() + 1);
  QApplication::processEvents();
  EXPECT_EQ(item.Height(), item.MeasureHeight(List().ClientWidth() - 22));
  // Collapsing lets the bar go, measured at the full width again.
  item.SetExpanded(false);
  EXPECT_FALSE(List().HasVScroll());
}

TEST_F(AdvisoriesPageTest, TabsAndOtherControlsInAFeedWrapLikeSpaces) {
  // As feeds send them: tabs between words, a form feed, a bare carriage
  // return, a tab before an address longer than the line.
  std::vector<TAdvisory> a(4);
  a[0].Title = "Planned\tmaintenance:\tSydney\texchange\tand\tsurrounding\tareas";
  a[0].Description = "Work\tbegins\tat\tmidnight.\f\rExpect\vshort\tdropouts.";
  a[1].Title = std::string(200, 'x');
  a[2].Title = "Outage\t\t\t\tresolved";
  a[3].Title =
      "Report:\thttps://www.corvalink.example/status/2026/12/08/"
      "sydney-exchange-maintenance-window-report.pdf";
  Show(a);
  const QFontMetrics metrics(List().font());
  const int w = page_->Item(0)->TextWidth() - page_->Item(0)->IconsWidth();
  // The tabs break the title as spaces would.
  std::string spaced = a[0].Title;
  std::replace(spaced.begin(), spaced.end(), '\t', ' ');
  EXPECT_EQ(page_->Item(0)->Height(),
            DrawWrappedText(nullptr, metrics, QString::fromStdString(spaced), QRect(0, 0, w, 1000),
                            wtMeasureOnly) +
                14);
  EXPECT_GT(page_->Item(0)->Height(), metrics.height() + 14);
  page_->Item(0)->SetExpanded(true);
  EXPECT_GT(page_->Item(0)->Height(), 3 * metrics.height() + 14);
  (void)List().viewport()->grab();  // and it paints
}

TEST_F(AdvisoriesPageTest, TipsHideAndShowAndAreRemembered) {
  QStringList tips;
  for (const QLabel* tip : page_->TipsPanel()->findChildren<QLabel*>()) tips << tip->text();
  EXPECT_EQ(tips, QStringList({QStringLiteral("* Click on an item (or use the left & right arrow "
                                              "keys)\nto expand or collapse that advisory's "
                                              "description."),
                               QStringLiteral("* Use the ctrl key together with the up & down "
                                              "arrow\nkeys for vertical scrolling without "
                                              "changing items."),
                               QStringLiteral("* Click the coloured button (or use the <enter> "
                                              "key to\nopen an advisory report in your "
                                              "browser.")}));
  EXPECT_FALSE(settings_.HideAdvisoryTips);
  EXPECT_GE(page_->TipsPanel()->height(), 30);
  page_->HideTipsLink()->OnClick();
  QApplication::processEvents();
  EXPECT_LT(page_->TipsPanel()->height(), 30);
  EXPECT_EQ(page_->HideTipsLink()->Caption(), QStringLiteral("Show &tips"));
  EXPECT_TRUE(settings_.HideAdvisoryTips);
  page_->HideTipsLink()->OnClick();
  QApplication::processEvents();
  EXPECT_GE(page_->TipsPanel()->height(), 30);
  EXPECT_EQ(page_->HideTipsLink()->Caption(), QStringLiteral("Hide &tips"));
  EXPECT_FALSE(settings_.HideAdvisoryTips);
  // Stored hidden: the page starts with them hidden, and showing it
  // changes nothing.
  TSettings hidden;
  hidden.HideAdvisoryTips = true;
  TAdvisoriesPage again(hidden);
  again.resize(295, 400);
  again.show();
  QApplication::processEvents();
  EXPECT_LT(again.TipsPanel()->height(), 30);
  EXPECT_TRUE(hidden.HideAdvisoryTips);
}

// The demo feed collapsed and with two advisories open, saved as pictures
// when QGM_TEST_SHOTS names a folder.
TEST_F(AdvisoriesPageTest, DemoFeedShots) {
  std::vector<TAdvisory> feed = DemoFeed();
  feed[1].IsNew = false;
  feed[3].IsNew = false;
  Show(feed);
  const QImage collapsed = page_->grab().toImage();
  page_->Item(0)->SetExpanded(true);
  page_->Item(2)->Select();
  page_->Item(2)->SetExpanded(true);
  QApplication::processEvents();
  const QImage expanded = page_->grab().toImage();
  EXPECT_NE(collapsed, expanded);
  EXPECT_TRUE(List().HasVScroll());
  if (const char* dir = std::getenv("QGM_TEST_SHOTS")) {
    collapsed.save(QString::fromLocal8Bit(dir) + QStringLiteral("/advisories-collapsed.png"));
    expanded.save(QString::fromLocal8Bit(dir) + QStringLiteral("/advisories-expanded.png"));
  }
}

}  // namespace
}  // namespace qgm::gui

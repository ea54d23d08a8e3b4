// The main window's rules on the offscreen platform, with settings in a
// temporary folder.
#include "gui/about/AboutPage.h"
#include "gui/app/MainForm.h"
#include "gui/app/Program.h"
#include "gui/broadband/BroadbandPage.h"
#include "gui/callusage/CallhavenPage.h"
#include "gui/controls/FocusLabel.h"
#include "gui/controls/TabRows.h"
#include "gui/network/NetworkPage.h"
#include "gui/provider/ProviderPage.h"
#include "core/platform/dummy/DummyPlatform.h"
#include "support/FakeTime.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QScreen>
#include <QTest>
#include <QTextDocument>

namespace qgm::gui {
namespace {

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.isValid());
    TStartOptions options;
    options.Folders = FoldersBelow(home_.path().toStdString());
    options.Timers = &timers_;
    program_ = std::make_unique<TProgram>(options);
    form_ = &program_->Window();
    form_->show();
    QApplication::setActiveWindow(form_);
    QApplication::processEvents();
    tabs_ = form_->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    menu_ = form_->findChild<QMenu*>(QStringLiteral("PopupMenu1"));
  }
  QTemporaryDir home_;
  test::FakeTimerFactory timers_;
  std::unique_ptr<TProgram> program_;
  TMainForm* form_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QMenu* menu_ = nullptr;
};

TEST_F(MainFormTest, FirstRunOpensOnSetupWithEightPagesCallHavenHidden) {
  ASSERT_TRUE(tabs_ && menu_);
  EXPECT_EQ(tabs_->count(), 8);
  EXPECT_EQ(tabs_->tabText(0), QStringLiteral("&Broadband"));
  EXPECT_EQ(tabs_->tabText(4), QStringLiteral("Ca&llHaven"));
  EXPECT_FALSE(tabs_->isTabVisible(4));
  EXPECT_EQ(tabs_->currentIndex(), 7);  // no account yet: the Setup page
  EXPECT_TRUE(program_->ShowAtStart());
  EXPECT_EQ(form_->windowTitle(), QStringLiteral("Corvalink Meter"));
}

TEST_F(MainFormTest, EveryTabStaysVisibleAndClickableAtTheWindowsSize) {
  auto* rows = form_->findChild<TTabRows*>();
  ASSERT_TRUE(rows);
  const int rowsForSeven = rows->RowCount();
  tabs_->setTabVisible(kPageCallhaven, true);
  rows->Refresh();
  QApplication::processEvents();
  EXPECT_GT(rows->RowCount(), 1);  // eight wrap onto a second row
  EXPECT_LE(rowsForSeven, rows->RowCount());
  const QRect window = form_->rect();
  for (int i = 0; i < tabs_->count(); ++i) {
    const QRect r = rows->TabRect(i);
    ASSERT_FALSE(r.isEmpty()) << i;
    EXPECT_TRUE(window.contains(rows->mapTo(form_, r.topLeft()))) << i;
    EXPECT_TRUE(window.contains(rows->mapTo(form_, r.bottomRight()))) << i;
    QTest::mouseClick(rows, Qt::LeftButton, {}, rows->TabRect(i).center());
    EXPECT_EQ(tabs_->currentIndex(), i);
  }
  // The row of the current tab lies next to the pages.
  tabs_->setCurrentIndex(kPageBroadband);
  EXPECT_EQ(rows->TabRect(kPageBroadband).bottom(), rows->height() - 1);
  if (const QByteArray dir = qgetenv("QGM_TEST_SHOTS"); !dir.isEmpty())
    form_->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/eight-tabs.png"));
}

TEST_F(MainFormTest, CtrlTabSkipsTheHiddenPage) {
  tabs_->setCurrentIndex(3);  // Network
  QTest::keyClick(tabs_, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(tabs_->currentIndex(), 5);  // Advisories
  QTest::keyClick(tabs_, Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(tabs_->currentIndex(), 3);
}

// The menu follows the window as it shows and hides, before it is opened:
// a StatusNotifier host lays the menu out before it says it opens it, so a
// change made on opening comes too late for that first layout.
TEST_F(MainFormTest, TrayMenuDependsOnTheWindow) {
  const auto actions = menu_->actions();
  const auto pagesShown = [&actions] {
    int visible = 0;
    for (int i = 0; i < 6; ++i) visible += actions[i]->isVisible();
    return visible;
  };
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(actions[0]->text(), QStringLiteral("&Minimize"));
    EXPECT_EQ(pagesShown(), 1);
    form_->hide();
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Broadband"));
    EXPECT_EQ(pagesShown(), 6);
    form_->show();
  }
}

// Shown partly off the work area, the window comes back onto it once
// placed; hidden into the tray and shown again, it is where it was.
TEST_F(MainFormTest, TheWindowSettlesOnTheWorkAreaAndKeepsItsPlace) {
  const QRect area = form_->screen()->availableGeometry();
  const auto settled = [] { QTest::qWait(600); };
  form_->move(area.right() - 100, area.bottom() - 50);
  settled();
  EXPECT_TRUE(area.contains(form_->frameGeometry())) << form_->x() << "," << form_->y();
  const QPoint place(area.left() + 40, area.top() + 30);
  form_->move(place);
  settled();
  for (int round = 0; round < 4; ++round) {
    form_->hide();
    form_->show();
    settled();
    EXPECT_EQ(form_->frameGeometry().topLeft(), place) << "round " << round;
  }
}

TEST_F(MainFormTest, TrayMenuItemsInOrder) {
  // The window is shown: "&Minimize" first.
  QStringList items;
  for (QAction* a : menu_->actions()) items << (a->isSeparator() ? QStringLiteral("-") : a->text());
  EXPECT_EQ(items.join(QLatin1Char('|')),
            QStringLiteral("&Minimize|History|Network|Advisories|Corvalink|About|-|Setup|"
                           "Debug Report|-|Radio Stations|-|Help|Refresh|-|Exit"));
}

TEST_F(MainFormTest, AltAcceleratorFindsTheVisiblePage) {
  QTest::keyClick(tabs_, Qt::Key_V, Qt::AltModifier);
  EXPECT_EQ(tabs_->currentIndex(), 5);  // Ad&visories
  QTest::keyClick(tabs_, Qt::Key_B, Qt::AltModifier);
  EXPECT_EQ(tabs_->currentIndex(), 0);
  QTest::keyClick(tabs_, Qt::Key_L, Qt::AltModifier);  // Ca&llHaven is hidden
  EXPECT_EQ(tabs_->currentIndex(), 0);
}

// The keys leave the focus where it can be seen and a screen reader can
// name it: a page's key takes it to the page's first control, and a page
// shown with nothing of its own focused never keeps the focus itself.
TEST_F(MainFormTest, APagesKeyTakesTheFocusToItsFirstControl) {
  QTest::keyClick(tabs_, Qt::Key_B, Qt::AltModifier);
  QApplication::processEvents();
  QWidget* focused = QApplication::focusWidget();
  ASSERT_TRUE(focused);
  EXPECT_EQ(focused->objectName(), QStringLiteral("imgAmtLeft"));  // the allowance bar

  QTest::keyClick(tabs_, Qt::Key_S, Qt::AltModifier);
  QApplication::processEvents();
  focused = QApplication::focusWidget();
  ASSERT_TRUE(focused);
  // The Setup pages' own tab bar, from which the arrow keys go page to page.
  EXPECT_TRUE(qobject_cast<QTabBar*>(focused)) << focused->metaObject()->className();
  EXPECT_TRUE(tabs_->widget(7)->isAncestorOf(focused));

  // From the focused advisories list to a page shown by Ctrl+Tab.
  QTest::keyClick(tabs_, Qt::Key_V, Qt::AltModifier);
  QApplication::processEvents();
  ASSERT_TRUE(tabs_->widget(5)->isAncestorOf(QApplication::focusWidget()));
  for (int i = 0; i < 3; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QApplication::processEvents();
    focused = QApplication::focusWidget();
    ASSERT_TRUE(focused);
    QWidget* page = tabs_->currentWidget();
    EXPECT_NE(focused, page) << "page " << tabs_->currentIndex();
  }
}

TEST_F(MainFormTest, HidingToTheTrayLeavesOnlyTheUsagePagesActive) {
  tabs_->setCurrentIndex(2);  // Corvalink
  form_->ShowMainForm(false);
  EXPECT_EQ(tabs_->currentIndex(), 0);
  form_->ShowMainForm(true);
  tabs_->setCurrentIndex(1);  // History stays
  form_->ShowMainForm(false);
  EXPECT_EQ(tabs_->currentIndex(), 1);
}

TEST_F(MainFormTest, AddressLabelCopiesAndSaysSoForASecond) {
  form_->SetPublicAddress("203.0.113.7");
  auto* label = form_->findChild<TFocusLabel*>(QStringLiteral("lblCurrentIP"));
  ASSERT_TRUE(label);
  tabs_->setCurrentIndex(3);
  QTest::mouseClick(label, Qt::LeftButton);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("203.0.113.7"));
  EXPECT_EQ(label->Caption(), QStringLiteral("Copied to clipboard"));
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(128, 0, 0));
  QTest::mouseClick(label, Qt::LeftButton);  // a click meanwhile copies nothing
  EXPECT_EQ(label->Caption(), QStringLiteral("Copied to clipboard"));
  form_->SetPublicAddress("203.0.113.9");  // a new address arrives meanwhile
  EXPECT_EQ(label->Caption(), QStringLiteral("Copied to clipboard"));
  timers_.FireAll(1000);  // the second has passed: the address as it is now
  EXPECT_EQ(label->Caption(), QStringLiteral("203.0.113.9"));
  EXPECT_NE(label->palette().color(QPalette::WindowText), QColor(128, 0, 0));

  form_->SetPublicAddress("");  // an empty address copies nothing
  QApplication::clipboard()->setText(QStringLiteral("before"));
  QTest::mouseClick(label, Qt::LeftButton);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before"));
}

// F1 opens the help at the current page's section; Escape hides the window,
// and a second copy's call brings it back.
TEST_F(MainFormTest, HelpKeyEscapeAndTheSecondCopysCall) {
  const struct {
    int page;
    const char* anchor;
  } pages[] = {{0, "#broadband"}, {1, "#history"}, {2, ""},     {3, "#network"},
               {5, ""},           {6, "#about"},   {7, "#setup"}};
  for (const auto& p : pages) {
    tabs_->setCurrentIndex(p.page);
    {
      std::lock_guard lock(dummy::Record().Lock);
      dummy::Record().Opened.clear();
    }
    QTest::keyClick(tabs_->currentWidget(), Qt::Key_F1);
    std::lock_guard lock(dummy::Record().Lock);
    ASSERT_EQ(dummy::Record().Opened.size(), 1u) << p.page;
    EXPECT_EQ(dummy::Record().Opened[0], program_->HelpAddress() + p.anchor) << p.page;
  }
  const auto shown = [this] { return form_->isVisible() && !form_->isMinimized(); };
  ASSERT_TRUE(shown());
  QTest::keyClick(form_, Qt::Key_Escape);
  EXPECT_FALSE(shown());
  form_->BringUp();
  EXPECT_TRUE(shown());
}

TEST(ProviderPage, ClientNumberCopiesAndSaysSoForASecond) {
  test::FakeTimerFactory timers;
  TProviderPage page(timers);
  page.ShowClientNo("1234567");
  page.show();
  auto* label = page.findChild<TFocusLabel*>(QStringLiteral("lblClientNo"));
  ASSERT_TRUE(label);
  QTest::mouseClick(label, Qt::LeftButton);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1234567"));
  EXPECT_EQ(label->Caption(), QStringLiteral("Client No. copied to clipboard"));
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(128, 0, 0));
  timers.FireAll(1000);
  EXPECT_EQ(label->Caption(), QStringLiteral("1234567"));
}

TEST_F(MainFormTest, TextsFromServersShowAsTheyStand) {
  // Markup that, taken as rich text, draws bold and loads a local file.
  const std::string markup = "<b>Bold</b> <img src=\"file:///etc/hostname\">";
  const QString literal = QString::fromStdString(markup);
  IUpdateView& view = *form_;
  view.SetStatus(markup);
  TServiceDetails d;
  d.Received = true;
  d.SpeedCaption = d.Speed = d.Plan = d.UploadsCounted = d.Carrier = d.Shaping = d.Capped =
      d.ExcessFee = d.PlanCost = markup;
  view.ShowServiceDetails(d);
  form_->BroadbandPage().ShowTodayMetered(markup);
  form_->AboutPage().SetClockState(markup);
  QApplication::processEvents();
  for (const char* name :
       {"StatusBar1", "lblSpeedCaption", "lblSpeed", "lblPlan", "lblShaping", "lblPlanCost",
        "lblTodayMetered", "lblCarrier", "lblUploadsMetered", "lblCapped", "lblExcessFee"}) {
    auto* label = form_->findChild<QLabel*>(QString::fromLatin1(name));
    ASSERT_TRUE(label) << name;
    EXPECT_EQ(label->text(), literal) << name;
    EXPECT_EQ(label->textFormat(), Qt::PlainText) << name;
  }
  // Every label of the window, the Setup page's too, takes text as it stands.
  tabs_->setCurrentIndex(kPageSetup);
  QApplication::processEvents();
  int labels = 0;
  for (const QLabel* label : form_->findChildren<QLabel*>()) {
    EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
    labels += label->text() == literal;
  }
  EXPECT_EQ(labels, 12);  // the eleven above and the clock state

  // A call graph hint shows its text literally.
  auto* graph = form_->findChild<TCallGraph*>(QStringLiteral("imgCallhaven"));
  ASSERT_TRUE(graph);
  graph->HintFor = [&](int) { return literal + QStringLiteral("\nsecond line"); };
  tabs_->setTabVisible(kPageCallhaven, true);
  tabs_->setCurrentIndex(kPageCallhaven);
  QApplication::processEvents();
  ASSERT_GT(graph->width(), 150);
  QTest::mouseMove(graph, QPoint(150, 40));
  QApplication::processEvents();
  QTextDocument shown;
  shown.setHtml(graph->toolTip());
  EXPECT_EQ(shown.toPlainText(), literal + QStringLiteral("\nsecond line"));
}

}  // namespace
}  // namespace qgm::gui

// The program's own lists and graphs as a screen reader sees them, on the
// demo program's window: the advisories list with a child per advisory and
// its actions, the Setup lists' items with their states, the history
// graphs as tables of their bars, stepped through by the arrow keys.
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "core/history/HistoryGraphs.h"
#include "core/platform/dummy/DummyPlatform.h"
#include "core/util/DateTime.h"
#include "gui/accessibility/AccessibleEvents.h"
#include "gui/accessibility/ListAccessible.h"
#include "gui/advisories/AdvisoriesPage.h"
#include "gui/advisories/AdvisoryItem.h"
#include "gui/app/MainForm.h"
#include "gui/app/Program.h"
#include "gui/callusage/CallhavenPage.h"
#include "gui/controls/BarGraph.h"
#include "gui/controls/ScrollingCtrl.h"
#include "gui/history/HistoryPage.h"
#include "gui/network/NetGraph.h"
#include "gui/setup/MyItem.h"
#include "support/DemoProgram.h"
#include "support/FakeTime.h"
#include "support/SimulatorFixture.h"

namespace qgm::gui {
namespace {

QAccessibleInterface* Factory(const QString&, QObject* object) {
  return MakeListAccessible(object);
}

// The events the program tells assistive tools: the object, the kind and
// the child.
struct TSeen {
  QObject* Object;
  QAccessible::Event Type;
  int Child;
};
std::vector<TSeen>& Seen() {
  static std::vector<TSeen> seen;
  return seen;
}
void Record(const QAccessibleEvent& event) {
  Seen().push_back({event.object(), event.type(), event.child()});
}

bool SawFocus(QObject* object, int child) {
  for (const TSeen& s : Seen())
    if (s.Object == object && s.Type == QAccessible::Focus && s.Child == child) return true;
  return false;
}

class ListAccessibility : public test::SimulatorTest {
 protected:
  void SetUp() override {
    SimulatorTest::SetUp();
    QAccessible::installFactory(Factory);
    SetAccessibleWatcher(Record);
    Seen().clear();
    {
      std::lock_guard lock(dummy::Record().Lock);
      dummy::Record().Opened.clear();
      dummy::Record().OpenSucceeds = true;
    }
    ASSERT_TRUE(home_.isValid());
    program_ = test::StartDemoProgram(home_, Sim(), timers_);
  }
  void TearDown() override {
    program_.reset();
    SetAccessibleWatcher({});
    QAccessible::removeFactory(Factory);
  }
  QTabWidget* ShowPage(int page) {
    TMainForm& form = program_->Window();
    form.show();
    auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    if (tabs) tabs->setCurrentIndex(page);
    QApplication::processEvents();
    // The window the user works in, above the demo's notice popup.
    form.activateWindow();
    QApplication::setActiveWindow(&form);
    QApplication::processEvents();
    return tabs;
  }
  std::vector<std::string> Opened() {
    std::lock_guard lock(dummy::Record().Lock);
    return dummy::Record().Opened;
  }

  QTemporaryDir home_;
  test::FakeTimerFactory timers_;
  std::unique_ptr<TProgram> program_;
};

TEST_F(ListAccessibility, AdvisoriesListHasAChildPerAdvisoryNamedByTitle) {
  ShowPage(kPageAdvisories);
  TAdvisoriesPage& page = program_->Window().AdvisoriesPage();
  TScrollingCtrl* list = page.List();
  ASSERT_EQ(list->Count(), 5);
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(list);
  ASSERT_TRUE(iface);
  EXPECT_EQ(iface->role(), QAccessible::List);
  EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Advisories"));
  ASSERT_EQ(iface->childCount(), 5);
  for (int i = 0; i < 5; ++i) {
    const TMyScrollItem& item = *page.Item(i);
    QAccessibleInterface* child = iface->child(i);
    ASSERT_TRUE(child) << i;
    EXPECT_EQ(child->role(), QAccessible::ListItem);
    EXPECT_EQ(child->text(QAccessible::Name), item.Title) << i;
    EXPECT_FALSE(item.Title.isEmpty());
    const QString description = child->text(QAccessible::Description);
    EXPECT_TRUE(description.startsWith(item.IsNew ? QStringLiteral("new") : QStringLiteral("seen")))
        << description.toStdString();
    EXPECT_TRUE(description.contains(item.Description)) << i;
    EXPECT_EQ(iface->indexOfChild(child), i);
    EXPECT_EQ(child->parent(), iface);
    EXPECT_EQ(child->state().selected, item.Selected()) << i;
  }

  // Expanding through the action shows the description, as a click does.
  QAccessibleInterface* first = iface->child(0);
  ASSERT_TRUE(first->state().expandable);
  EXPECT_TRUE(first->state().collapsed);
  QAccessibleActionInterface* actions = first->actionInterface();
  ASSERT_TRUE(actions);
  ASSERT_TRUE(actions->actionNames().contains(QStringLiteral("Expand")));
  const int height = page.Item(0)->Height();
  actions->doAction(QStringLiteral("Expand"));
  EXPECT_TRUE(page.Item(0)->Expanded);
  EXPECT_GT(page.Item(0)->Height(), height);
  EXPECT_TRUE(first->state().expanded);
  EXPECT_TRUE(actions->actionNames().contains(QStringLiteral("Collapse")));
  actions->doAction(QStringLiteral("Collapse"));
  EXPECT_FALSE(page.Item(0)->Expanded);
}

TEST_F(ListAccessibility, AdvisoryActionsOpenItsLinkAndReport) {
  ShowPage(kPageAdvisories);
  TAdvisoriesPage& page = program_->Window().AdvisoriesPage();
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(page.List());
  ASSERT_TRUE(iface);
  ASSERT_EQ(iface->childCount(), page.List()->Count());
  int withReport = -1;
  for (int i = 0; i < page.List()->Count(); ++i)
    if (!page.Item(i)->EnclosureUrl.isEmpty()) withReport = i;
  ASSERT_FALSE(page.Item(0)->Link.isEmpty());
  QAccessibleActionInterface* actions = iface->child(0)->actionInterface();
  ASSERT_TRUE(actions);
  actions->doAction(QStringLiteral("Open link"));
  EXPECT_EQ(Opened(), (std::vector<std::string>{page.Item(0)->Link.toStdString()}));
  if (withReport >= 0) {
    QAccessibleActionInterface* report = iface->child(withReport)->actionInterface();
    ASSERT_TRUE(report->actionNames().contains(QStringLiteral("Open report")));
    report->doAction(QStringLiteral("Open report"));
    ASSERT_EQ(Opened().size(), 2u);
    EXPECT_EQ(Opened().back(), page.Item(withReport)->EnclosureUrl.toStdString());
  }
}

TEST_F(ListAccessibility, ArrowKeysOnAListTellTheItemTheyReach) {
  ShowPage(kPageAdvisories);
  TScrollingCtrl* list = program_->Window().AdvisoriesPage().List();
  list->setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(list->hasFocus());
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(list);
  ASSERT_TRUE(iface);
  ASSERT_EQ(iface->childCount(), list->Count());
  Seen().clear();
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_TRUE(SawFocus(list, 1));
  EXPECT_EQ(iface->focusChild(), iface->child(1));
  EXPECT_TRUE(iface->child(1)->state().focused);
  EXPECT_FALSE(iface->child(0)->state().selected);
}

TEST_F(ListAccessibility, SetupListsAreNamedByTheirCaptionsAndTellTheirItems) {
  QTabWidget* tabs = ShowPage(kPageSetup);
  ASSERT_TRUE(tabs);
  TMainForm& form = program_->Window();
  auto* email = form.findChild<TScrollingCtrl*>(QStringLiteral("scEmail"));
  ASSERT_TRUE(email);
  ASSERT_GT(email->Count(), 0);
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(email);
  ASSERT_TRUE(iface);
  EXPECT_EQ(iface->text(QAccessible::Name),
            QStringLiteral("%1 Email Accounts").arg(email->Count()));
  ASSERT_EQ(iface->childCount(), email->Count());
  ASSERT_TRUE(iface->child(0));
  for (int i = 0; i < email->Count(); ++i) {
    auto* item = static_cast<TMyItem*>(email->GetItem(i));
    QAccessibleInterface* child = iface->child(i);
    EXPECT_EQ(child->text(QAccessible::Name), item->Caption);
    EXPECT_FALSE(item->Caption.isEmpty());
    EXPECT_EQ(child->state().selected, i == email->ItemIndex());
    EXPECT_FALSE(child->state().expandable);
    // A mailbox is edited in place, as Enter opens the editor.
    ASSERT_TRUE(child->actionInterface());
    EXPECT_TRUE(child->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::pressAction()));
  }
  auto* mine = form.findChild<TScrollingCtrl*>(QStringLiteral("scRadio"));
  auto* available = form.findChild<TScrollingCtrl*>(QStringLiteral("scRadio2"));
  ASSERT_TRUE(mine && available);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(mine)->text(QAccessible::Name),
            QStringLiteral("Channels in QGM's Radio Menu"));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(available)->text(QAccessible::Name),
            QStringLiteral("Available unmetered Channels"));
}

TEST(ListAccessibilityStates, CheckBoxesAndOutlinesAreToldAndWorkedByActions) {
  QAccessible::installFactory(Factory);
  TScrollingCtrl list;
  list.SetScrollItemClass<TMyItem>();
  list.resize(200, 200);
  auto* parent = static_cast<TMyItem*>(list.AddItem());
  parent->Caption = QStringLiteral("Parent");
  auto* child = static_cast<TMyItem*>(list.AddItem());
  child->Caption = QStringLiteral("Child");
  child->Level = 1;
  child->ShowCheckBox = true;
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&list);
  ASSERT_TRUE(iface);
  EXPECT_EQ(iface->role(), QAccessible::Tree);
  ASSERT_EQ(iface->childCount(), 2);
  ASSERT_TRUE(iface->child(0) && iface->child(0)->actionInterface());
  QAccessibleInterface* top = iface->child(0);
  QAccessibleInterface* box = iface->child(1);
  EXPECT_EQ(top->text(QAccessible::Name), QStringLiteral("Parent"));
  EXPECT_TRUE(top->state().expandable);
  EXPECT_TRUE(top->state().expanded);
  EXPECT_TRUE(box->state().checkable);
  EXPECT_FALSE(box->state().checked);
  box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_TRUE(child->Checked());
  EXPECT_TRUE(box->state().checked);
  // Collapsing hides the child: the list has one child left.
  top->actionInterface()->doAction(QStringLiteral("Collapse"));
  EXPECT_TRUE(parent->Collapsed());
  EXPECT_TRUE(iface->child(0)->state().collapsed);
  EXPECT_EQ(iface->childCount(), 1);
  QAccessible::removeFactory(Factory);
}

TEST_F(ListAccessibility, DayGraphIsATableOfItsBars) {
  ShowPage(kPageHistory);
  TMainForm& form = program_->Window();
  auto* graph = form.findChild<TBarGraph*>(QStringLiteral("imgDayHistory"));
  auto* box = form.findChild<QGroupBox*>(QStringLiteral("gbDayHistory"));
  ASSERT_TRUE(graph && box);
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(graph);
  ASSERT_TRUE(iface);
  EXPECT_EQ(iface->role(), QAccessible::Chart);
  EXPECT_EQ(iface->text(QAccessible::Name), box->title());
  EXPECT_TRUE(box->title().startsWith(QStringLiteral("Traffic to Metered Sites Last 31 days")));
  EXPECT_TRUE(iface->text(QAccessible::Description).startsWith(QStringLiteral("31 days up to ")))
      << iface->text(QAccessible::Description).toStdString();
  QAccessibleTableInterface* table = iface->tableInterface();
  ASSERT_TRUE(table);
  ASSERT_EQ(table->rowCount(), kGraphBars);  // the demo has years of history
  EXPECT_EQ(table->columnCount(), 2);
  EXPECT_EQ(iface->childCount(), 2 * kGraphBars);
  // Each row tells what the pointer's hint over that bar tells.
  THistoryPage& page = *form.findChild<THistoryPage*>();
  for (int row : {0, 15, 30}) {
    const QRect bar = graph->BarRect(row);
    page.PointerAt(true, bar.center().x());
    const QStringList hint = page.DayHintText().split(QLatin1Char('\n'));
    ASSERT_GE(hint.size(), 2);
    QAccessibleInterface* date = table->cellAt(row, 0);
    QAccessibleInterface* value = table->cellAt(row, 1);
    ASSERT_TRUE(date && value);
    EXPECT_EQ(date->text(QAccessible::Name), hint[0]) << row;
    EXPECT_EQ(value->text(QAccessible::Name), hint.mid(1).join(QStringLiteral(", "))) << row;
    EXPECT_TRUE(value->text(QAccessible::Name).contains(QStringLiteral(" MB"))) << row;
    EXPECT_EQ(date->tableCellInterface()->rowIndex(), row);
    EXPECT_EQ(value->tableCellInterface()->columnIndex(), 1);
    EXPECT_EQ(iface->indexOfChild(value), 2 * row + 1);
  }
  auto* months = form.findChild<TBarGraph*>(QStringLiteral("imgMonthHistory"));
  ASSERT_TRUE(months);
  QAccessibleInterface* monthIface = QAccessible::queryAccessibleInterface(months);
  ASSERT_TRUE(monthIface);
  EXPECT_TRUE(monthIface->text(QAccessible::Name).startsWith(QStringLiteral("Monthly Traffic")));
  ASSERT_TRUE(monthIface->tableInterface());
  EXPECT_GT(monthIface->tableInterface()->rowCount(), 0);
  EXPECT_TRUE(monthIface->tableInterface()
                  ->cellAt(0, 1)
                  ->text(QAccessible::Name)
                  .contains(QStringLiteral(" GB")));
}

TEST_F(ListAccessibility, ArrowKeysStepThroughTheBarsOfAFocusedGraph) {
  ShowPage(kPageHistory);
  TMainForm& form = program_->Window();
  auto* graph = form.findChild<TBarGraph*>(QStringLiteral("imgDayHistory"));
  ASSERT_TRUE(graph);
  EXPECT_EQ(graph->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
  graph->setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(graph->hasFocus());
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(graph);
  ASSERT_TRUE(iface);
  QAccessibleTableInterface* table = iface->tableInterface();
  ASSERT_TRUE(table);
  EXPECT_EQ(graph->CurrentBar(), kGraphBars - 1);  // today
  const QImage before = graph->grab().toImage();
  Seen().clear();
  QTest::keyClick(graph, Qt::Key_Left);
  EXPECT_EQ(graph->CurrentBar(), kGraphBars - 2);
  EXPECT_TRUE(SawFocus(graph, 2 * (kGraphBars - 2)));
  EXPECT_EQ(iface->focusChild(), table->cellAt(kGraphBars - 2, 0));
  EXPECT_TRUE(table->cellAt(kGraphBars - 2, 0)->state().focused);
  EXPECT_TRUE(table->isRowSelected(kGraphBars - 2));
  // The hint follows the keys, and the mark moved on the picture.
  THistoryPage& page = *form.findChild<THistoryPage*>();
  EXPECT_TRUE(page.DayHintText().startsWith(graph->BarLabel(kGraphBars - 2)));
  EXPECT_NE(graph->grab().toImage(), before);
  QTest::keyClick(graph, Qt::Key_Home);
  EXPECT_EQ(graph->CurrentBar(), 0);
  QTest::keyClick(graph, Qt::Key_Left);
  EXPECT_EQ(graph->CurrentBar(), 0);
  QTest::keyClick(graph, Qt::Key_End);
  EXPECT_EQ(graph->CurrentBar(), kGraphBars - 1);
}

TEST_F(ListAccessibility, CallhavenGraphIsATableOfItsMonths) {
  ShowPage(kPageCallhaven);
  if (program_->Calls().Count() < 28) program_->UpdateNow();
  ASSERT_EQ(program_->Calls().Count(), 28);
  auto* graph = program_->Window().findChild<TCallGraph*>(QStringLiteral("imgCallhaven"));
  ASSERT_TRUE(graph);
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(graph);
  ASSERT_TRUE(iface);
  EXPECT_EQ(iface->role(), QAccessible::Chart);
  EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Monthly Totals ($)"));
  const TCallMonth& now = program_->Calls().Items(0);
  const QString month = QString::fromStdString(LongMonthName(now.Month));
  EXPECT_TRUE(iface->text(QAccessible::Description)
                  .startsWith(QStringLiteral("28 months up to %1 %2").arg(month).arg(now.Year)))
      << iface->text(QAccessible::Description).toStdString();
  QAccessibleTableInterface* table = iface->tableInterface();
  ASSERT_TRUE(table);
  ASSERT_EQ(table->rowCount(), 28);
  // The last row is the newest month, at the right, where its hint shows.
  EXPECT_EQ(table->cellAt(27, 0)->text(QAccessible::Name),
            QStringLiteral("%1 %2").arg(month).arg(now.Year));
  EXPECT_TRUE(table->cellAt(27, 1)->text(QAccessible::Name).contains(QStringLiteral("TOTAL: ")));
  const TCallMonth& oldest = program_->Calls().Items(27);
  EXPECT_TRUE(table->cellAt(0, 0)
                  ->text(QAccessible::Name)
                  .startsWith(QString::fromStdString(LongMonthName(oldest.Month))));
  EXPECT_GT(graph->BarRect(27).left(), 200);
  EXPECT_LT(graph->BarRect(0).left(), 10);

  // The keys step through the months and Enter shows the one reached.
  graph->setFocus();
  QApplication::processEvents();
  ASSERT_TRUE(graph->hasFocus());
  EXPECT_EQ(graph->CurrentBar(), 27);
  Seen().clear();
  QTest::keyClick(graph, Qt::Key_Left);
  EXPECT_EQ(graph->CurrentBar(), 26);
  EXPECT_TRUE(SawFocus(graph, 2 * 26));
  EXPECT_EQ(iface->focusChild(), table->cellAt(26, 0));
  QTest::keyClick(graph, Qt::Key_Return);
  auto* selector = program_->Window().findChild<QComboBox*>(QStringLiteral("cbCallhaven"));
  ASSERT_TRUE(selector);
  EXPECT_EQ(selector->currentIndex(), 1);
}

TEST(TrafficGraphAccessibility, EachSecondOnThePictureIsARow) {
  QAccessible::installFactory(Factory);
  TNetGraph graph;
  graph.setAccessibleName(QStringLiteral("Traffic"));
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&graph);
  ASSERT_TRUE(iface);
  ASSERT_TRUE(iface->tableInterface());
  EXPECT_EQ(iface->tableInterface()->rowCount(), 0);
  for (int i = 0; i < TNetGraph::kWidth; ++i) {
    graph.Step(i % 50, 10);
    graph.Tell(QStringLiteral("In: %1, Out: 1 kbits/sec").arg(i));
  }
  // Only the seconds the picture still shows.
  const int shown = TNetGraph::kWidth / 2;
  ASSERT_EQ(iface->tableInterface()->rowCount(), shown);
  EXPECT_EQ(iface->tableInterface()->cellAt(shown - 1, 0)->text(QAccessible::Name),
            QStringLiteral("Now"));
  EXPECT_EQ(iface->tableInterface()->cellAt(shown - 1, 1)->text(QAccessible::Name),
            QStringLiteral("In: %1, Out: 1 kbits/sec").arg(TNetGraph::kWidth - 1));
  EXPECT_EQ(iface->tableInterface()->cellAt(shown - 2, 0)->text(QAccessible::Name),
            QStringLiteral("1 s ago"));
  EXPECT_TRUE(iface->text(QAccessible::Description).contains(QStringLiteral("now In: ")));
  EXPECT_EQ(graph.BarRect(shown - 1).right(), TNetGraph::kWidth - 1);
  graph.Reset();
  EXPECT_EQ(iface->tableInterface()->rowCount(), 0);
  QAccessible::removeFactory(Factory);
}

}  // namespace
}  // namespace qgm::gui

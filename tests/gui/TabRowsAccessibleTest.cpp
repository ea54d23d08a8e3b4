// The tab rows as a screen reader meets them: a page tab list whose tabs
// are named without their accelerators, say which one is showing, skip
// none and show their page when pressed.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "gui/app/MainForm.h"
#include "gui/app/Program.h"
#include "gui/controls/TabRows.h"
#include "support/FakeTime.h"

namespace qgm::gui {
namespace {

TEST(TabRowsAccessible, APageTabListOfPressablePageTabs) {
  QAccessible::setActive(true);
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());
  test::FakeTimerFactory timers;
  TStartOptions options;
  options.Folders = FoldersBelow(home.path().toStdString());
  options.Timers = &timers;
  TProgram program(options);
  TMainForm& form = program.Window();
  form.show();
  QApplication::processEvents();

  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&form);
  ASSERT_TRUE(window);
  EXPECT_EQ(window->role(), QAccessible::Window);
  EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("Corvalink Meter"));

  auto* rows = form.findChild<TTabRows*>();
  ASSERT_TRUE(rows);
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(rows);
  ASSERT_TRUE(list);
  EXPECT_EQ(list->role(), QAccessible::PageTabList);
  QTabWidget* tabs = rows->Tabs();
  ASSERT_EQ(list->childCount(), tabs->count());
  const QStringList names = {QStringLiteral("Broadband"), QStringLiteral("History"),
                             QStringLiteral("Corvalink"), QStringLiteral("Network"),
                             QStringLiteral("CallHaven"), QStringLiteral("Advisories"),
                             QStringLiteral("About"),     QStringLiteral("Setup")};
  for (int i = 0; i < list->childCount(); ++i) {
    QAccessibleInterface* tab = list->child(i);
    ASSERT_TRUE(tab) << i;
    EXPECT_EQ(tab->role(), QAccessible::PageTab);
    EXPECT_EQ(tab->text(QAccessible::Name), names.value(i)) << i;
    EXPECT_EQ(list->indexOfChild(tab), i);
    EXPECT_EQ(tab->parent(), list);
    EXPECT_EQ(tab->state().invisible, !tabs->isTabVisible(i)) << i;
  }
  // Pressed, a tab shows its page and is the selected one.
  QAccessibleInterface* history = list->child(1);
  ASSERT_TRUE(history->actionInterface());
  history->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(tabs->currentIndex(), 1);
  EXPECT_TRUE(history->state().selected);
  EXPECT_FALSE(list->child(0)->state().selected);
  EXPECT_EQ(list->child(2)->text(QAccessible::Accelerator), QStringLiteral("Alt+C"));
}

}  // namespace
}  // namespace qgm::gui

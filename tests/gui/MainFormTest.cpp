// The main window's rules on the offscreen platform, with settings in a
// temporary folder.
#include "gui/app/MainForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace qgm::gui {
namespace {

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.isValid());
    qputenv("XDG_CONFIG_HOME", (home_.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home_.path() + QStringLiteral("/data")).toUtf8());
    form_ = std::make_unique<TMainForm>(TStartOptions{});
    form_->show();
    QApplication::setActiveWindow(form_.get());
    QApplication::processEvents();
    tabs_ = form_->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    menu_ = form_->findChild<QMenu*>();
  }
  QTemporaryDir home_;
  std::unique_ptr<TMainForm> form_;
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
  EXPECT_TRUE(form_->ShowAtStart());
  EXPECT_EQ(form_->windowTitle(), QStringLiteral("Corvalink Meter"));
}

TEST_F(MainFormTest, CtrlTabSkipsTheHiddenPage) {
  tabs_->setCurrentIndex(3);  // Network
  QTest::keyClick(tabs_, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(tabs_->currentIndex(), 5);  // Advisories
  QTest::keyClick(tabs_, Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(tabs_->currentIndex(), 3);
}

TEST_F(MainFormTest, TrayMenuDependsOnTheWindow) {
  emit menu_->aboutToShow();
  const auto actions = menu_->actions();
  EXPECT_EQ(actions[0]->text(), QStringLiteral("&Minimize"));
  EXPECT_FALSE(actions[1]->isVisible());
  form_->hide();
  emit menu_->aboutToShow();
  EXPECT_EQ(actions[0]->text(), QStringLiteral("Broadband"));
  int visiblePages = 0;
  for (int i = 0; i < 6; ++i) visiblePages += actions[i]->isVisible();
  EXPECT_EQ(visiblePages, 6);
}

}  // namespace
}  // namespace qgm::gui

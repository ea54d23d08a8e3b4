// The Setup tab's Email page: adding, editing in place, testing and
// deleting mailboxes, the count and hints, and that looking changes nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdlib>

#include "gui/controls/ItemEditor.h"
#include "gui/controls/ScrollingCtrl.h"
#include "gui/setup/EmailPage.h"
#include "gui/setup/MyItem.h"

namespace qgm::gui {
namespace {

class EmailPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.CheckEmail = true;
    settings_.Mailboxes = {{"demo", "demo", "uidl-1"}, {"family", "family", ""}};
    window_ = std::make_unique<QWidget>();
    window_->resize(300, 420);
    page_ = new TEmailPage(settings_, window_.get());
    page_->resize(300, 420);
    page_->OnTestMailbox = [this](const std::string& login, const std::string& password) {
      tested_.push_back(login + "/" + password);
      return password != "bad";
    };
    page_->OnChange = [this] { ++changes_; };
    window_->show();
    window_->activateWindow();
    QApplication::setActiveWindow(window_.get());
    page_->Activated();
    QApplication::processEvents();
  }
  TScrollingCtrl& List() { return *page_->List(); }
  TMyItem& Item(int i) { return static_cast<TMyItem&>(*List().GetItem(i)); }
  // Types into the open editor and leaves it as the user does, by Tab out
  // of the last field; the commit follows the editor's exit.
  void Edit(const QString& name, const QString& password) {
    ASSERT_TRUE(page_->Editor()->Open());
    page_->NameEdit()->setText(name);
    page_->PasswordEdit()->setText(password);
    page_->PasswordEdit()->setFocus();
    QTest::keyClick(page_->PasswordEdit(), Qt::Key_Return);
    QApplication::processEvents();
  }

  TSettings settings_;
  std::unique_ptr<QWidget> window_;
  TEmailPage* page_ = nullptr;
  std::vector<std::string> tested_;
  int changes_ = 0;
};

TEST_F(EmailPageTest, LoadsTheStoredMailboxesAndLookingChangesNothing) {
  ASSERT_EQ(List().Count(), 2);
  EXPECT_EQ(Item(0).Caption, QStringLiteral("demo"));
  EXPECT_EQ(Item(0).LastUidl, QStringLiteral("uidl-1"));
  EXPECT_EQ(page_->CountLabel()->text(), QStringLiteral("2 Email Accounts"));
  EXPECT_TRUE(page_->DeleteButton()->isEnabled());
  // The hint shows while the list has the focus.
  List().setFocus();
  QApplication::processEvents();
  EXPECT_TRUE(page_->EditHint()->isVisible());
  // Open the editor and leave it unchanged.
  QTest::keyClick(&List(), Qt::Key_F2);
  ASSERT_TRUE(page_->Editor()->Open());
  EXPECT_EQ(page_->NameEdit()->text(), QStringLiteral("demo"));
  EXPECT_EQ(page_->PasswordEdit()->text(), QStringLiteral("demo"));
  QTest::keyClick(page_->NameEdit(), Qt::Key_Escape);
  QApplication::processEvents();
  EXPECT_FALSE(page_->Editor()->Open());
  EXPECT_EQ(changes_, 0);
  EXPECT_EQ(settings_.Mailboxes,
            (std::vector<TMailboxSetting>{{"demo", "demo", "uidl-1"}, {"family", "family", ""}}));
  EXPECT_EQ(tested_, std::vector<std::string>{"demo/demo"});  // every commit tests the login
}

TEST_F(EmailPageTest, AddingANameWithADomainKeepsTheLoginPart) {
  page_->AddAccount();
  Edit(QStringLiteral("alice@corvalink.com"), QStringLiteral("secret"));
  ASSERT_EQ(List().Count(), 3);
  EXPECT_EQ(Item(2).Caption, QStringLiteral("alice"));
  EXPECT_EQ(tested_.back(), "alice/secret");
  EXPECT_EQ(settings_.Mailboxes.back().Name, "alice");
  EXPECT_EQ(settings_.Mailboxes.back().Password, "secret");
  EXPECT_EQ(page_->CountLabel()->text(), QStringLiteral("3 Email Accounts"));
  EXPECT_FALSE(page_->Warning()->isVisible());
  EXPECT_GE(changes_, 1);
}

TEST_F(EmailPageTest, AFailedLoginWarnsForTenSecondsOrUntilTheSelectionMoves) {
  List().GetItem(1)->Select();
  QApplication::processEvents();
  List().setFocus();
  QTest::keyClick(&List(), Qt::Key_F2);
  Edit(QStringLiteral("family"), QStringLiteral("bad"));
  EXPECT_TRUE(page_->Warning()->isVisible());
  EXPECT_EQ(page_->Warning()->text(),
            QStringLiteral("Warning: there was a problem\naccessing account \"family\"."));
  auto* timer = page_->findChild<QTimer*>(QStringLiteral("DudEmailTimer"));
  ASSERT_TRUE(timer);
  EXPECT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 10000);
  // The password is kept all the same: the user may be offline.
  EXPECT_EQ(settings_.Mailboxes[1].Password, "bad");
  List().GetItem(0)->Select();
  QApplication::processEvents();
  EXPECT_FALSE(page_->Warning()->isVisible());
  EXPECT_FALSE(timer->isActive());
}

TEST_F(EmailPageTest, ClearingTheNameOrDeleteRemovesTheMailbox) {
  List().setFocus();
  QTest::keyClick(&List(), Qt::Key_F2);
  Edit(QString(), QStringLiteral("demo"));
  ASSERT_EQ(List().Count(), 1);
  EXPECT_EQ(Item(0).Caption, QStringLiteral("family"));
  EXPECT_EQ(page_->CountLabel()->text(), QStringLiteral("1 Email Account"));
  List().setFocus();
  QTest::keyClick(&List(), Qt::Key_Delete);
  EXPECT_EQ(List().Count(), 0);
  EXPECT_FALSE(page_->DeleteButton()->isEnabled());
  EXPECT_EQ(page_->CountLabel()->text(), QStringLiteral("0 Email Accounts"));
  EXPECT_TRUE(settings_.Mailboxes.empty());
  // Nothing to edit: no hint.
  page_->DeleteButton()->setFocus();
  List().setFocus();
  QApplication::processEvents();
  EXPECT_FALSE(page_->EditHint()->isVisible());
}

// The page with two mailboxes, the editor open and the warning, saved as
// pictures when QGM_TEST_SHOTS names a folder.
TEST_F(EmailPageTest, Shots) {
  List().setFocus();
  QApplication::processEvents();
  const QImage two = window_->grab().toImage();
  QTest::keyClick(&List(), Qt::Key_F2);
  ASSERT_TRUE(page_->Editor()->Open());
  QApplication::processEvents();
  const QImage editing = window_->grab().toImage();
  Edit(QStringLiteral("demo"), QStringLiteral("bad"));
  const QImage warning = window_->grab().toImage();
  EXPECT_NE(two, editing);
  EXPECT_NE(editing, warning);
  if (const char* dir = std::getenv("QGM_TEST_SHOTS")) {
    const QString d = QString::fromLocal8Bit(dir);
    two.save(d + QStringLiteral("/email-two.png"));
    editing.save(d + QStringLiteral("/email-editing.png"));
    warning.save(d + QStringLiteral("/email-warning.png"));
  }
}

}  // namespace
}  // namespace qgm::gui

// The Setup tab's Radio page: the provider's list, adding from it, editing,
// deleting, clearing, backup and restore, and the Listen links.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

#include "core/radio/Channels.h"
#include "gui/controls/FocusLabel.h"
#include "gui/controls/ItemEditor.h"
#include "gui/controls/ScrollingCtrl.h"
#include "gui/setup/MyItem.h"
#include "gui/setup/RadioPage.h"
#include "support/FakeDialogs.h"

namespace qgm::gui {
namespace {

const std::vector<TRadioChannel> kAvailable = {
    {"CVK Classic FM", "http://radio.corvalink.com/classic.pls"},
    {"CVK Jazz Lounge", "http://radio.corvalink.com/jazz.pls"},
    {"Harbour City Rock", "http://streams.example.net/rock.m3u"},
    {"late night talk", "http://streams.example.net/talk?a=b"}};

class RadioPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.RadioChannels = {{"Zed FM", "http://z/zed.pls"}};
    window_ = std::make_unique<QWidget>();
    window_->resize(300, 460);
    page_ = new TRadioPage(settings_, dialogs_, window_.get());
    page_->resize(300, 460);
    page_->DataFolder = dir_.path().toStdString();
    page_->OnPlay = [this](const std::string& a) { played_.push_back(a); };
    page_->OnChange = [this] { ++changes_; };
    page_->OnNeedAvailable = [this] { ++needs_; };
    window_->show();
    window_->activateWindow();
    QApplication::setActiveWindow(window_.get());
    QApplication::processEvents();
  }
  TScrollingCtrl& Mine() { return *page_->MyList(); }
  TScrollingCtrl& Available() { return *page_->AvailableList(); }
  std::vector<std::string> Captions() const {
    std::vector<std::string> c;
    for (const auto& ch : settings_.RadioChannels) c.push_back(ch.Name);
    return c;
  }

  QTemporaryDir dir_;
  TSettings settings_;
  test::FakeDialogs dialogs_;
  std::unique_ptr<QWidget> window_;
  TRadioPage* page_ = nullptr;
  std::vector<std::string> played_;
  int changes_ = 0, needs_ = 0;
};

TEST_F(RadioPageTest, ShowingThePageAsksForTheListOnceItIsMissing) {
  EXPECT_EQ(page_->MyCount()->text(), QStringLiteral("1 Channel"));
  page_->Activated();
  QApplication::processEvents();
  EXPECT_EQ(needs_, 1);
  page_->ShowAvailable({kAvailable[0]});
  EXPECT_EQ(page_->AvailableCount()->text(), QStringLiteral("1 Channels"));
  page_->Activated();
  QApplication::processEvents();
  EXPECT_EQ(needs_, 1);
  EXPECT_EQ(changes_, 0);  // looking changes nothing
}

TEST_F(RadioPageTest, EnterAddsFromTheAvailableListAndMovesOn) {
  page_->ShowAvailable(kAvailable);
  EXPECT_EQ(page_->AvailableCount()->text(), QStringLiteral("4 Channels"));
  Available().setFocus();
  QApplication::processEvents();
  EXPECT_TRUE(page_->AvailableListen()->isEnabled());  // a list with the focus and channels
  QTest::keyClick(&Available(), Qt::Key_Return);
  EXPECT_EQ(Available().ItemIndex(), 1);
  QTest::keyClick(&Available(), Qt::Key_Down);
  QTest::keyClick(&Available(), Qt::Key_Down);
  QTest::keyClick(&Available(), Qt::Key_Return);  // the last: nothing after it
  EXPECT_EQ(Captions(), (std::vector<std::string>{"CVK Classic FM", "late night talk", "Zed FM"}));
  EXPECT_EQ(page_->MyCount()->text(), QStringLiteral("3 Channels"));
  EXPECT_EQ(changes_, 2);
  // The same address again, from a double-click: nothing.
  Available().GetItem(0)->Select();
  page_->AddSelectedAvailable();
  EXPECT_EQ(settings_.RadioChannels.size(), 3u);
  EXPECT_EQ(changes_, 2);
  // The selection moved on all the same; Listen plays the selected channel.
  page_->AvailableListen()->OnClick();
  EXPECT_EQ(played_, std::vector<std::string>{"http://radio.corvalink.com/jazz.pls"});
}

TEST_F(RadioPageTest, EditingDeletingAndClearing) {
  settings_.RadioChannels = {{"A", "http://a"}, {"B", "http://b"}, {"C", "http://c"}};
  page_->LoadFromModel();
  Mine().setFocus();
  QTest::keyClick(&Mine(), Qt::Key_F2);
  ASSERT_TRUE(page_->Editor()->Open());
  EXPECT_EQ(page_->CaptionEdit()->text(), QStringLiteral("A"));
  page_->CaptionEdit()->setText(QStringLiteral("Zulu"));
  page_->AddressEdit()->setText(QStringLiteral("http://zulu/stream"));
  QTest::keyClick(page_->CaptionEdit(), Qt::Key_Escape);
  QApplication::processEvents();
  // Kept in place: an edit is not sorted again.
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Zulu", "B", "C"}));
  EXPECT_EQ(settings_.RadioChannels[0].Address, "http://zulu/stream");
  // An emptied caption deletes the channel.
  Mine().GetItem(1)->Select();
  Mine().setFocus();
  QTest::keyClick(&Mine(), Qt::Key_F2);
  page_->CaptionEdit()->clear();
  QTest::keyClick(page_->CaptionEdit(), Qt::Key_Escape);
  QApplication::processEvents();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Zulu", "C"}));
  // Delete, then Clear All.
  Mine().setFocus();
  QTest::keyClick(&Mine(), Qt::Key_Delete);
  EXPECT_EQ(settings_.RadioChannels.size(), 1u);
  EXPECT_EQ(page_->MyCount()->text(), QStringLiteral("1 Channel"));
  page_->ClearButton()->click();
  EXPECT_TRUE(settings_.RadioChannels.empty());
  EXPECT_FALSE(page_->ClearButton()->isEnabled());
  EXPECT_EQ(page_->MyCount()->text(), QStringLiteral("0 Channels"));
}

// The ".txt" comes from the dialog, so the dialog asks before a backup
// replaces a file of that name; nothing is replaced without its question.
TEST_F(RadioPageTest, BackupAsksBeforeReplacingTheFileWithItsSuffix) {
  const QString file = dir_.filePath(QStringLiteral("mine"));
  const QString txt = file + QStringLiteral(".txt");
  {
    QFile old(txt);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("Old=http://old/\r\n");
  }
  const auto contents = [&txt] {
    QFile f(txt);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
  };
  // Declined: the old file stays.
  dialogs_.fileNames = {file};
  page_->BackupChannels();
  ASSERT_EQ(dialogs_.suffixes.size(), 1u);
  EXPECT_EQ(dialogs_.suffixes[0], QStringLiteral("txt"));
  EXPECT_EQ(dialogs_.replaceQuestions, (std::vector<QString>{txt}));
  EXPECT_EQ(contents(), QByteArray("Old=http://old/\r\n"));
  EXPECT_FALSE(QFile::exists(file));
  // Agreed: the backup replaces it.
  dialogs_.fileNames = {file};
  dialogs_.replaceAnswers = {true};
  page_->BackupChannels();
  EXPECT_EQ(dialogs_.replaceQuestions.size(), 2u);
  EXPECT_EQ(contents(), QByteArray("Zed FM=http://z/zed.pls\r\n"));
  EXPECT_TRUE(dialogs_.warnings.empty());
}

TEST_F(RadioPageTest, BackupThenRestoreGivesTheSameList) {
  settings_.RadioChannels = {{"Jazz", "a=b"}, {"News", "http://n/x?y=1&z=2"}};
  page_->LoadFromModel();
  const QString file = dir_.filePath(QStringLiteral("mine"));
  dialogs_.fileNames = {file};
  page_->BackupChannels();
  ASSERT_EQ(dialogs_.suggestions.size(), 1u);
  EXPECT_TRUE(dialogs_.suggestions[0].startsWith(dir_.path()));  // opens in the data folder
  ASSERT_TRUE(QFile::exists(file + QStringLiteral(".txt")));     // the extension added
  page_->ClearChannels();
  dialogs_.fileNames = {file + QStringLiteral(".txt")};
  page_->RestoreChannels();
  ASSERT_EQ(settings_.RadioChannels.size(), 2u);
  EXPECT_EQ(settings_.RadioChannels[0].Address, "a=b");
  EXPECT_EQ(settings_.RadioChannels[1].Address, "http://n/x?y=1&z=2");
  EXPECT_EQ(Mine().Count(), 2);
  EXPECT_TRUE(page_->ClearButton()->isEnabled());
  // A file that cannot be read is said, and the list stays.
  dialogs_.fileNames = {dir_.filePath(QStringLiteral("missing.txt"))};
  page_->RestoreChannels();
  EXPECT_EQ(dialogs_.warnings.size(), 1u);
  EXPECT_EQ(settings_.RadioChannels.size(), 2u);
}

// The page with both lists, saved as a picture when QGM_TEST_SHOTS names a
// folder.
TEST_F(RadioPageTest, Shot) {
  page_->ShowAvailable(kAvailable);
  settings_.RadioChannels = DefaultChannels(kAvailable);
  page_->LoadFromModel();
  Available().setFocus();
  QApplication::processEvents();
  const QImage shot = window_->grab().toImage();
  EXPECT_FALSE(shot.isNull());
  if (const char* dir = std::getenv("QGM_TEST_SHOTS"))
    shot.save(QString::fromLocal8Bit(dir) + QStringLiteral("/radio-page.png"));
}

}  // namespace
}  // namespace qgm::gui

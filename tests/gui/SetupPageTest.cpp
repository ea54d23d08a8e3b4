// The Setup page against the settings model.
#include "gui/setup/SetupPage.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <QTabWidget>

#include "core/platform/FileIo.h"
#include "core/settings/SettingsStore.h"
#include "gui/controls/NumEdit.h"
#include "gui/setup/EmailPage.h"
#include "support/FakeDialogs.h"
#include "support/TempFolder.h"

namespace qgm::gui {
namespace {

TEST(SetupPage, ShowsAndEditsTheModel) {
  TSettings s;
  s.AccountName = "john";
  s.Password = "secret";
  s.AccountType = 2;
  s.StartDelay = 60;
  s.UseProxy = false;
  s.ProxyPort = 3128;
  s.TrayFontColor = 0xFFFFFF;  // white text: the preview panel turns grey
  test::FakeDialogs dialogs;
  TSetupPage page(s, dialogs);
  page.resize(307, 420);
  page.LoadFromModel();
  page.show();
  QApplication::processEvents();

  auto* name = page.findChild<QLineEdit*>(QStringLiteral("eUsername"));
  auto* port = page.findChild<TNumedit*>(QStringLiteral("neProxyPort"));
  ASSERT_TRUE(name && port);
  EXPECT_EQ(name->text(), QStringLiteral("john"));
  EXPECT_EQ(port->Value(), 3128.0L);
  EXPECT_FALSE(port->isEnabled());  // proxy off: its fields are off too

  int edits = 0;
  bool marked = false;
  page.OnAccountChange = [&](bool, bool credentials) {
    ++edits;
    marked = credentials;
  };
  name->setFocus();
  QTest::keyClicks(name, QStringLiteral("ny"));
  EXPECT_EQ(s.AccountName, "johnny");
  EXPECT_TRUE(marked);
  EXPECT_EQ(edits, 2);
}

// The alert levels take whole per cents from 1 to 100; an empty box is no
// level. Loading the page changes nothing.
TEST(SetupPage, UsageAlertLevelsAndPace) {
  TSettings s;
  s.UsageAlertLevel2 = 90;
  test::FakeDialogs dialogs;
  TSetupPage page(s, dialogs);
  page.LoadFromModel();
  auto* level1 = page.findChild<QLineEdit*>(QStringLiteral("eAlertLevel1"));
  auto* level2 = page.findChild<QLineEdit*>(QStringLiteral("eAlertLevel2"));
  auto* pace = page.findChild<QCheckBox*>(QStringLiteral("cbAlertPace"));
  ASSERT_TRUE(level1 && level2 && pace);
  EXPECT_EQ(level1->text(), QString());
  EXPECT_EQ(level2->text(), QStringLiteral("90"));
  EXPECT_EQ(s.UsageAlertLevel1, 0);
  QTest::keyClicks(level1, QStringLiteral("80"));
  EXPECT_EQ(s.UsageAlertLevel1, 80);
  QTest::keyClicks(level1, QStringLiteral("5"));  // 805: refused by the box
  EXPECT_EQ(level1->text(), QStringLiteral("80"));
  level2->selectAll();
  QTest::keyClick(level2, Qt::Key_Delete);
  EXPECT_EQ(s.UsageAlertLevel2, 0);
  pace->click();
  EXPECT_TRUE(s.UsageAlertPace);
}

// The choice of the program's own popups over the desktop's notifications:
// off by default. A run that opens every page of Setup and changes nothing
// leaves a hive that never had the value byte for byte as it was; ticked,
// the value is stored and read back; unticked, it goes again.
class SetupPageHive : public test::TempFolderTest {
 protected:
  // One program run: load, open Setup on every page, let `act` work on
  // the page, save.
  void Run(const std::function<void(TSetupPage&, QCheckBox&)>& act = {}) {
    TRegistryStore registry(dir_ / "registry.reg");
    TAutostart autostart(dir_ / "autostart");
    TDebugLog log;
    TSettingsStore store(registry, autostart, log, "/opt/qgm/bin/qgm", nullptr);
    TStartupContext context;
    context.WindowWidth = 300;
    context.WindowHeight = 200;
    context.WorkArea = [](const TRect&) { return TRect{0, 0, 1920, 1050}; };
    TSettings s;
    store.LoadSettings(s, context);
    store.LoadMailboxes(s);
    store.LoadRadioList(s);
    test::FakeDialogs dialogs;
    TSetupPage page(s, dialogs);
    page.LoadFromModel();
    page.show();
    auto* pages = page.findChild<QTabWidget*>();
    ASSERT_TRUE(pages);
    for (int i = 0; i < pages->count(); ++i) {
      pages->setCurrentIndex(i);
      QApplication::processEvents();
    }
    auto* box = page.findChild<QCheckBox*>(QStringLiteral("cbOwnPopups"));
    ASSERT_TRUE(box);
    EXPECT_EQ(box->isChecked(), s.OwnPopups);
    if (act) act(page, *box);
    store.SaveSettings(s);
    saved_ = s;
  }
  std::string Hive() const { return ReadWholeFile(dir_ / "registry.reg").value_or(""); }
  TSettings saved_;
};

TEST_F(SetupPageHive, OwnPopupsOffByDefaultAndStoredOnlyWhenTicked) {
  Run();
  const std::string plain = Hive();
  ASSERT_FALSE(plain.empty());
  EXPECT_FALSE(saved_.OwnPopups);
  EXPECT_EQ(plain.find("OwnPopups"), std::string::npos);
  Run();
  EXPECT_EQ(Hive(), plain);

  int changes = 0;
  Run([&](TSetupPage& page, QCheckBox& box) {
    page.OnChange = [&] { ++changes; };
    box.click();
  });
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(saved_.OwnPopups);
  EXPECT_NE(Hive().find("\"OwnPopups\"=dword:00000001"), std::string::npos) << Hive();
  const std::string ticked = Hive();
  Run();  // shown ticked, left alone
  EXPECT_EQ(Hive(), ticked);
  Run([](TSetupPage&, QCheckBox& box) { box.click(); });
  EXPECT_FALSE(saved_.OwnPopups);
  EXPECT_EQ(Hive(), plain);
}

// Unticking the release check asks first, with No as the default; any
// answer but Yes ticks the box again. Ticking it asks nothing.
TEST(SetupPage, TurningTheReleaseCheckOffIsAskedAbout) {
  TSettings s;
  test::FakeDialogs dialogs;
  TSetupPage page(s, dialogs);
  page.LoadFromModel();
  auto* box = page.findChild<QCheckBox*>(QStringLiteral("cbCheckForUpdates"));
  ASSERT_TRUE(box);
  ASSERT_TRUE(box->isChecked());
  for (const auto answer : {QMessageBox::No, QMessageBox::Cancel}) {
    dialogs.answers = {answer};
    box->click();
    EXPECT_TRUE(box->isChecked());
    EXPECT_TRUE(s.CheckForUpdates);
  }
  ASSERT_EQ(dialogs.questions.size(), 2u);
  EXPECT_EQ(
      dialogs.questions[0],
      QStringLiteral("Are you REALLY sure you don't want to be notified when QGM is updated?"));
  EXPECT_EQ(dialogs.defaults[0], QMessageBox::No);
  dialogs.answers = {QMessageBox::Yes};
  box->click();
  EXPECT_FALSE(box->isChecked());
  EXPECT_FALSE(s.CheckForUpdates);
  box->click();
  EXPECT_TRUE(s.CheckForUpdates);
  EXPECT_EQ(dialogs.questions.size(), 3u);
}

}  // namespace
}  // namespace qgm::gui

namespace qgm::gui {
namespace {

TEST(SetupPage, PhonePageTakesDigitsAndDecidesTheTab) {
  TSettings s;
  test::FakeDialogs dialogs;
  TSetupPage page(s, dialogs);
  page.LoadFromModel();
  int changes = 0, resets = 0;
  page.OnCallhavenChange = [&] { ++changes; };
  page.OnResetCallHistory = [&] { ++resets; };
  page.show();
  auto* number = page.findChild<QLineEdit*>(QStringLiteral("eChPhoneNo"));
  auto* password = page.findChild<QLineEdit*>(QStringLiteral("eChPassword"));
  auto* box = page.findChild<QCheckBox*>(QStringLiteral("cbSetupCallhaven"));
  ASSERT_TRUE(number && password && box);
  QTest::keyClicks(number, QStringLiteral("02a98-76"));
  EXPECT_EQ(number->text(), QStringLiteral("029876"));
  EXPECT_EQ(s.CallhavenNo1, "029876");
  QTest::keyClicks(password, QStringLiteral("pw"));
  box->setChecked(true);
  EXPECT_EQ(s.CallhavenNo2, "pw");
  EXPECT_TRUE(s.CallhavenVisible);
  EXPECT_GE(changes, 3);
  EXPECT_EQ(password->echoMode(), QLineEdit::Password);
  page.findChild<QPushButton*>(QStringLiteral("btnResetChHist"))->click();
  EXPECT_EQ(resets, 1);
  page.SetResetEnabled(false);
  EXPECT_FALSE(page.findChild<QPushButton*>(QStringLiteral("btnResetChHist"))->isEnabled());
}

// What the user does with a copied line: everything in the field replaced.
void Paste(QLineEdit* edit, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  edit->selectAll();
  edit->paste();
}

TEST(SetupPage, CredentialFieldsStayOneLine) {
  TSettings s;
  s.Password = "secret";
  s.UseProxy = true;
  test::FakeDialogs dialogs;
  TSetupPage page(s, dialogs);
  page.LoadFromModel();
  page.show();
  auto* password = page.findChild<QLineEdit*>(QStringLiteral("ePassword"));
  auto* phone = page.findChild<QLineEdit*>(QStringLiteral("eChPhoneNo"));
  ASSERT_TRUE(password && phone);

  // A copied line brings its line break along: dropped.
  Paste(password, QStringLiteral("pasted\r\n"));
  EXPECT_EQ(password->text(), QStringLiteral("pasted"));
  EXPECT_EQ(s.Password, "pasted");
  Paste(phone, QStringLiteral("0298765432\n"));
  EXPECT_EQ(s.CallhavenNo1, "0298765432");
  EXPECT_TRUE(dialogs.warnings.empty());

  // A break inside would become a second command: refused, with the
  // reason, and the field keeps what it had.
  Paste(password, QStringLiteral("pw\r\nDELE 1"));
  EXPECT_EQ(password->text(), QStringLiteral("pasted"));
  EXPECT_EQ(s.Password, "pasted");
  ASSERT_EQ(dialogs.warnings.size(), 1u);
  EXPECT_EQ(dialogs.warnings[0], QStringLiteral("The password holds a line break."));

  // The proxy's fields too.
  auto* proxyPassword = page.findChild<QLineEdit*>(QStringLiteral("eProxyPassword"));
  ASSERT_TRUE(proxyPassword);
  Paste(proxyPassword, QString::fromUtf16(u"a\0b", 3));
  EXPECT_EQ(s.ProxyPassword, "");
  ASSERT_EQ(dialogs.warnings.size(), 2u);
  EXPECT_EQ(dialogs.warnings[1], QStringLiteral("The proxy password holds a NUL character."));

  // The mailbox editor's fields say why in the page's warning line.
  TEmailPage* email = page.EmailPage();
  Paste(email->PasswordEdit(), QStringLiteral("box\n"));
  EXPECT_EQ(email->PasswordEdit()->text(), QStringLiteral("box"));
  Paste(email->NameEdit(), QStringLiteral("demo\nfamily"));
  EXPECT_EQ(email->NameEdit()->text(), QStringLiteral(""));
  EXPECT_EQ(email->Warning()->text(), QStringLiteral("The mailbox name holds a line break."));
  EXPECT_FALSE(email->Warning()->isHidden());
}

}  // namespace
}  // namespace qgm::gui

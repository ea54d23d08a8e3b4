// Flows that go through dialogs and the desktop, run headless: the dialogs
// are answered by the test and the dummy platform records what the program
// asked the desktop to open.
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QThread>
#include <QTimer>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPainter>
#include <QSlider>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <cstdlib>

#include <gtest/gtest.h>

#include "core/callusage/CallMonths.h"
#include "core/platform/FileIo.h"
#include "core/platform/dummy/DummyPlatform.h"
#include "gui/advisories/AdvisoriesPage.h"
#include "gui/advisories/AdvisoryItem.h"
#include "gui/app/MainForm.h"
#include "gui/app/Program.h"
#include "gui/callusage/CallhavenPage.h"
#include "gui/controls/FocusLabel.h"
#include "gui/controls/ScrollingCtrl.h"
#include "gui/tray/MessageForm.h"
#include "gui/tray/TrayIcon.h"
#include "support/FakeDialogs.h"
#include "support/FakeTime.h"
#include "support/SilentServer.h"
#include "support/SimulatorFixture.h"

namespace qgm::gui {
namespace {

class ProgramFlows : public test::SimulatorTest {
 protected:
  void SetUp() override {
    SimulatorTest::SetUp();
    ASSERT_TRUE(home_.isValid());
    Start(true);
    std::lock_guard lock(dummy::Record().Lock);
    dummy::Record().Opened.clear();
    dummy::Record().OpenSucceeds = true;
  }
  void TearDown() override {
    Sim().ClearCannedReplies();
    Sim().SetHomeFiles("*", "");
    dummy::Record().Administrator = true;
    dummy::Record().OpenSucceeds = true;
    dummy::Record().OpenStarts = true;
    TTrayIcon::AssumeKind(ETrayKind::XEmbed);
  }
  // Runs the event loop while the download test runs, noting each caption
  // its link shows.
  void RunDownloadTestUntilIdle(TFocusLabel& link, std::vector<QString>& seen) {
    QElapsedTimer waited;
    waited.start();
    while (program_->DownloadTestRunning() && waited.elapsed() < 20000) {
      QApplication::processEvents(QEventLoop::AllEvents, 5);
      QThread::msleep(1);
      if (seen.empty() || seen.back() != link.Caption()) seen.push_back(link.Caption());
    }
    QApplication::processEvents();
  }
  // (Re)starts the program on the test's folders.
  void Start(bool demo, std::vector<std::string> args = {}) {
    program_.reset();
    TStartOptions options;
    options.Demo = demo;
    options.Args = std::move(args);
    options.Endpoints = test::SimulatorEndpoints(Sim());
    if (!mirrorHost_.empty()) options.Endpoints.MirrorHost = mirrorHost_;
    options.Folders = FoldersBelow(home_.path().toStdString());
    options.Timers = &timers_;
    options.Dialogs = &dialogs_;
    options.Notifications = notifications_;
    program_ = std::make_unique<TProgram>(options);
  }
  // Shows the window on a page, as a click on its tab does; the tab control.
  QTabWidget* ShowPage(int page) {
    TMainForm& form = program_->Window();
    form.show();
    auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    if (tabs) tabs->setCurrentIndex(page);
    QApplication::processEvents();
    return tabs;
  }
  std::string Hive() const {
    return ReadWholeFile(program_->Folders().Config / "registry.reg").value_or("<none>");
  }
  std::vector<std::string> Opened() {
    std::lock_guard lock(dummy::Record().Lock);
    return dummy::Record().Opened;
  }
  void ClickViewLog() {
    auto* link = program_->Window().findChild<TFocusLabel*>(QStringLiteral("lblViewMetered"));
    ASSERT_TRUE(link);
    link->OnClick();
  }

  QTemporaryDir home_;
  std::string mirrorHost_;  // in place of the simulator's
  test::FakeTimerFactory timers_;
  test::FakeDialogs dialogs_;
  IDesktopNotifications* notifications_ = nullptr;  // null: the platform's (none)
  std::unique_ptr<TProgram> program_;
};

TEST_F(ProgramFlows, DebugReportIsSavedWhereTheUserSaysAndOpened) {
  const QString file = home_.path() + QStringLiteral("/report.xml");
  dialogs_.fileNames = {file};
  program_->Window().RunDebugReport();
  ASSERT_EQ(dialogs_.suggestions.size(), 1u);
  EXPECT_TRUE(dialogs_.suggestions[0].endsWith(QStringLiteral("/QGM_DebugInfo.xml")));
  const auto report = ReadWholeFile(file.toStdString());
  ASSERT_TRUE(report);
  EXPECT_NE(report->find("<debug_info>"), std::string::npos);
  EXPECT_EQ(Opened(), (std::vector<std::string>{file.toStdString()}));

  // Cancelled: nothing is written or opened.
  program_->Window().RunDebugReport();
  EXPECT_EQ(Opened().size(), 1u);
  EXPECT_TRUE(dialogs_.warnings.empty());

  // A folder that cannot be written: the user is told, nothing is opened.
  dialogs_.fileNames = {home_.path() + QStringLiteral("/no/such/folder/r.xml")};
  program_->Window().RunDebugReport();
  ASSERT_EQ(dialogs_.warnings.size(), 1u);
  EXPECT_TRUE(dialogs_.warnings[0].startsWith(QStringLiteral("The report could not be written")));
  EXPECT_EQ(Opened().size(), 1u);
}

TEST_F(ProgramFlows, UsageLogOpensOnceThereIsOne) {
  ClickViewLog();  // no update yet: no log, a beep
  EXPECT_EQ(dialogs_.beeps, 1);
  EXPECT_TRUE(Opened().empty());

  program_->Cycle().MainTimerTimer();
  ClickViewLog();
  EXPECT_EQ(Opened(), (std::vector<std::string>{program_->UsageLogPath()}));
  EXPECT_TRUE(dialogs_.warnings.empty());

  // The desktop has no opener and nothing is associated with CSV or text.
  dummy::Record().OpenStarts = false;
  ClickViewLog();
  ASSERT_EQ(dialogs_.warnings.size(), 1u);
  EXPECT_TRUE(dialogs_.warnings[0].startsWith(QStringLiteral("There is no application")));
}

TEST_F(ProgramFlows, ShowingEverySetupPageChangesNoSetting) {
  // A run stores an account, a proxy and a start delay between the
  // slider's steps.
  Start(false);
  TSettings& s = program_->Settings();
  s.AccountName = "demo";
  s.Password = "demo";
  s.UseProxy = true;
  s.ProxyAddress = "proxy.example";
  s.ProxyPort = 3128;
  s.ProxyUsername = "proxy-user";
  s.ProxyPassword = "proxy-pass";
  s.StartDelay = 15;
  s.StayOnTop = true;
  program_->Window().Exit();
  const std::string before = Hive();
  ASSERT_NE(before.find("proxy.example"), std::string::npos);

  // The next run: every Setup page is shown and left alone, then Exit.
  Start(false);
  TMainForm& form = program_->Window();
  QTabWidget* tabs = ShowPage(kPageSetup);
  ASSERT_TRUE(tabs);
  auto* setupPages = tabs->widget(kPageSetup)->findChild<QTabWidget*>();
  ASSERT_TRUE(setupPages);
  for (int i = 0; i < setupPages->count(); ++i) {
    setupPages->setCurrentIndex(i);
    QApplication::processEvents();
  }
  tabs->setCurrentIndex(kPageBroadband);
  EXPECT_EQ(timers_.FireAll(3000), 0);  // nothing changed: no save is due
  form.move(program_->Settings().PosX, program_->Settings().PosY);
  form.Exit();
  EXPECT_EQ(Hive(), before);
}

TEST_F(ProgramFlows, ASetupChangeIsSavedSoonWithoutExit) {
  Start(false);
  TMainForm& form = program_->Window();
  QTabWidget* tabs = ShowPage(kPageSetup);
  ASSERT_TRUE(tabs);
  QCheckBox* startMinimized = nullptr;
  for (QCheckBox* box : form.findChildren<QCheckBox*>()) {
    if (box->text() == QStringLiteral("Start Minimized")) startMinimized = box;
  }
  ASSERT_TRUE(startMinimized);
  startMinimized->click();
  EXPECT_EQ(Hive(), "<none>");          // not at once,
  EXPECT_EQ(timers_.FireAll(3000), 1);  // but a few seconds later
  EXPECT_NE(Hive().find("\"StartMimimized\"=dword:00000001"), std::string::npos);
  EXPECT_EQ(timers_.FireAll(3000), 0);  // once
}

TEST_F(ProgramFlows, TheTrayNumberShowsOnTheDesktopsColours) {
  const QPalette saved = QGuiApplication::palette();
  QPalette dark = saved;
  dark.setColor(QPalette::Window, QColor(30, 30, 30));
  QApplication::setPalette(dark);
  Start(false);
  EXPECT_EQ(program_->Settings().TrayFontColor, 0x00FFFFFFu);  // white on a dark desktop
  QPalette light = saved;
  light.setColor(QPalette::Window, QColor(240, 240, 240));
  QApplication::setPalette(light);
  Start(false);
  EXPECT_EQ(program_->Settings().TrayFontColor, 0u);
  EXPECT_FALSE(program_->Settings().TrayFontColorChosen);
  // The default black, stored by Exit, follows the desktop to dark: it was
  // never the user's choice.
  program_->Window().Exit();
  QApplication::setPalette(dark);
  Start(false);
  EXPECT_EQ(program_->Settings().TrayFontColor, 0x00FFFFFFu);
  // A colour the user chose in Setup wins, black included.
  for (const uint32_t chosen : {0x0000FF00u, 0u}) {
    program_->Settings().TrayFontColor = chosen;
    program_->Settings().TrayFontColorChosen = true;
    program_->Window().Exit();
    Start(false);
    EXPECT_EQ(program_->Settings().TrayFontColor, chosen);
  }
  QApplication::setPalette(saved);
}

TEST_F(ProgramFlows, WithoutATrayClosingTheWindowEndsTheProgram) {
  TTrayIcon::AssumeKind(ETrayKind::None);
  Start(false);
  TMainForm& form = program_->Window();
  form.show();
  QApplication::processEvents();
  EXPECT_EQ(Hive(), "<none>");
  form.close();  // the close box: nowhere to hide, so the program ends
  EXPECT_NE(Hive().find("\"posx\""), std::string::npos);
  EXPECT_FALSE(form.isVisible());
}

// Exit from the tray menu while an update waits on a server that never
// answers: the request is abandoned and the update ends at once, instead of
// holding the program until the read time-out (30 s) runs out.
TEST_F(ProgramFlows, ExitDuringARequestToASilentServerEndsItAtOnce) {
  test::SilentServer silent;
  program_.reset();
  TStartOptions options;
  options.Demo = true;
  options.Endpoints = test::SimulatorEndpoints(Sim());
  options.Endpoints.FeedsUrl = silent.Url("/network-status.rss");
  options.Folders = FoldersBelow(home_.path().toStdString());
  options.Timers = &timers_;
  options.Dialogs = &dialogs_;
  program_ = std::make_unique<TProgram>(options);
  auto* menu = program_->Window().findChild<QMenu*>(QStringLiteral("PopupMenu1"));
  ASSERT_TRUE(menu);
  QAction* exitItem = nullptr;
  for (QAction* a : menu->actions())
    if (a->text() == QStringLiteral("Exit")) exitItem = a;
  ASSERT_TRUE(exitItem);
  bool chosen = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (silent.Accepted() == 0 || chosen) return;
    chosen = true;
    exitItem->trigger();  // as the user picks it while the request waits
  });
  poll.start(50);
  QElapsedTimer took;
  took.start();
  program_->UpdateNow();  // the feed is asked for first, from the silent server
  EXPECT_TRUE(chosen) << "the request to the silent server never began";
  EXPECT_LT(took.elapsed(), 10000) << "the update waited for the server's time-out";
  EXPECT_NE(Hive().find("\"posx\""), std::string::npos) << "settings saved on Exit";
}

TEST_F(ProgramFlows, WithATrayTheWindowHidesIntoIt) {
  Start(false);
  TMainForm& form = program_->Window();
  form.show();
  QApplication::processEvents();
  form.setWindowState(Qt::WindowMinimized);  // the title bar's minimise button
  QApplication::processEvents();
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.isMinimized());  // hidden, not a taskbar button
  form.show();
  form.close();  // the close box hides too; the program goes on
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(Hive(), "<none>");
}

TEST_F(ProgramFlows, ACommandLineRunWritesNoSetting) {
  Start(false, {"demo", "demo"});
  TMainForm& form = program_->Window();
  QTabWidget* tabs = ShowPage(kPageSetup);
  ASSERT_TRUE(tabs);
  auto* password = form.findChild<QLineEdit*>(QStringLiteral("ePassword"));
  ASSERT_TRUE(password);
  password->setFocus();
  QTest::keyClick(password, Qt::Key_Backspace);  // edited, then put back
  QTest::keyClicks(password, QStringLiteral("o"));
  program_->Cycle().MainTimerTimer();  // a successful update after the edit
  auto* status = form.findChild<QLabel*>(QStringLiteral("StatusBar1"));
  ASSERT_TRUE(status);
  EXPECT_TRUE(status->text().startsWith(QStringLiteral("  Last updated: ")))
      << status->text().toStdString();
  password->selectAll();
  QTest::keyClick(password, Qt::Key_Delete);  // emptied
  form.Exit();
  EXPECT_EQ(Hive(), "<none>");
}

}  // namespace
}  // namespace qgm::gui

namespace qgm::gui {
namespace {

TEST_F(ProgramFlows, AdvisoriesSeenOnTheirTabStaySeenInTheNextRun) {
  Start(false);
  TSettings& s = program_->Settings();
  s.AccountName = "demo";
  s.Password = "demo";
  program_->UpdateNow();
  TAdvisoriesPage& page = program_->Window().AdvisoriesPage();
  ASSERT_EQ(page.List()->Count(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(page.Item(i)->IsNew) << i;
  ShowPage(kPageAdvisories);
  EXPECT_EQ(program_->Window().focusWidget(), page.List());
  EXPECT_EQ(s.HashList.size(), 5u);
  EXPECT_EQ(timers_.FireAll(3000), 1);  // saved soon after
  program_->Window().Exit();
  const std::string stored = Hive();
  ASSERT_NE(stored.find("\"HashList\"=\"" + s.HashList.front() + ","), std::string::npos) << stored;

  // Next run: a visit before any refresh keeps the stored keys, and an
  // unchanged hive stays unwritten.
  Start(false);
  ShowPage(kPageAdvisories);
  EXPECT_EQ(program_->Settings().HashList.size(), 5u);
  EXPECT_EQ(timers_.FireAll(3000), 0);
  ShowPage(kPageBroadband);
  program_->UpdateNow();
  TAdvisoriesPage& again = program_->Window().AdvisoriesPage();
  ASSERT_EQ(again.List()->Count(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(again.Item(i)->IsNew) << i;
  program_->Window().move(program_->Settings().PosX, program_->Settings().PosY);
  program_->Window().Exit();
  EXPECT_EQ(Hive(), stored);
}

TEST_F(ProgramFlows, FailedRequestLeavesTheListAlone) {
  Start(false);
  program_->Settings().AccountName = "demo";
  program_->Settings().Password = "demo";
  program_->UpdateNow();
  ShowPage(kPageAdvisories);
  TAdvisoriesPage& page = program_->Window().AdvisoriesPage();
  TScrollingCtrl& list = *page.List();
  ASSERT_EQ(list.Count(), 5);
  // The user reads the first three advisories, picks the fourth and
  // scrolls down.
  for (int i = 0; i < 3; ++i) page.Item(i)->SetExpanded(true);
  page.Item(3)->Select();
  ASSERT_TRUE(list.HasVScroll());
  list.ScrollTo(40);
  const int scrolled = list.ScrollPos();
  ASSERT_GT(scrolled, 0);
  const TScrollItem* second = page.Item(1);

  // The next update finds the feed gone: the list stays as the user left it.
  corvalink::sim::FeedOptions broken;
  broken.redirectLoop = true;
  Sim().SetFeed(broken);
  program_->UpdateNow();
  ASSERT_EQ(list.Count(), 5);
  EXPECT_EQ(page.Item(1), second);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(page.Item(i)->Expanded) << i;
  EXPECT_EQ(list.ItemIndex(), 3);
  EXPECT_EQ(list.ScrollPos(), scrolled);

  // The refresh link still puts back what it emptied.
  page.RefreshLink()->OnClick();
  EXPECT_EQ(list.Count(), 5);
}

}  // namespace
}  // namespace qgm::gui

namespace qgm::gui {
namespace {

TEST_F(ProgramFlows, NewMailWithoutVoicemailBlinksTheEnvelopeUntilAcknowledged) {
  Start(false);
  TSettings& s = program_->Settings();
  s.AccountName = "demo";
  s.Password = "demo";
  s.CheckEmail = true;
  s.Mailboxes = {{"demo", "demo", ""}, {"empty", "empty", ""}};
  {
    std::lock_guard lock(dummy::Record().Lock);
    dummy::Record().Started.clear();
  }
  program_->UpdateNow();
  EXPECT_EQ(program_->Cycle().AlertState(), 2);
  EXPECT_EQ(program_->Window().Tray().Hint(), QStringLiteral("demo has mail."));
  {
    // The desktop's new-mail sound, handed to the player.
    std::lock_guard lock(dummy::Record().Lock);
    ASSERT_FALSE(dummy::Record().Started.empty());
    EXPECT_EQ(dummy::Record().Started.back().back(), "/dummy/sounds/message-new-email.oga");
  }
  // The alert timer blinks the envelope; a click on the tray ends it.
  EXPECT_GE(timers_.FireAll(1000), 1);
  program_->TrayClicked();
  EXPECT_TRUE(program_->Window().Tray().Hint().startsWith(QStringLiteral("Amount Left: ")));
  // Unticked: no check at the next update.
  s.CheckEmail = false;
  program_->UpdateNow();
  EXPECT_TRUE(program_->Window().Tray().Hint().startsWith(QStringLiteral("Amount Left: ")));
  std::lock_guard lock(dummy::Record().Lock);
  EXPECT_EQ(std::count_if(
                dummy::Record().Started.begin(), dummy::Record().Started.end(),
                [](const auto& args) { return args.back().ends_with("message-new-email.oga"); }),
            1);
}

}  // namespace
}  // namespace qgm::gui

namespace qgm::gui {
namespace {

TEST_F(ProgramFlows, RadioDefaultsFillTheTraySubmenuAndPlay) {
  Start(true);
  TMainForm& form = program_->Window();
  ASSERT_TRUE(form.RadioMenu());
  EXPECT_FALSE(form.RadioMenu()->isEnabled());  // nothing yet
  ShowPage(kPageSetup);  // the Setup pages open, as on a first run
  program_->UpdateNow();
  // The open Radio page shows the defaults too.
  auto* count = form.findChild<QLabel*>(QStringLiteral("lblRadioList"));
  auto* clear = form.findChild<QPushButton*>(QStringLiteral("btnRadioClear"));
  ASSERT_TRUE(count && clear);
  EXPECT_EQ(count->text(), QStringLiteral("3 Channels"));
  EXPECT_TRUE(clear->isEnabled());
  // The first update brings the provider's list; an empty user list gets
  // the provider's own channels.
  EXPECT_EQ(program_->AvailableChannels().size(), 7u);
  EXPECT_EQ(program_->AvailableChannels().front().Name, "Country Roads");  // sorted by caption
  ASSERT_EQ(program_->Settings().RadioChannels.size(), 3u);
  const QList<QAction*> items = form.RadioMenu()->actions();
  ASSERT_EQ(items.size(), 3);
  EXPECT_EQ(items[1]->text(), QStringLiteral("CVK Jazz Lounge"));
  EXPECT_TRUE(form.RadioMenu()->isEnabled());
  if (const char* dir = std::getenv("QGM_TEST_SHOTS")) {
    form.RadioMenu()->popup(QPoint(0, 0));
    QApplication::processEvents();
    form.RadioMenu()->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/radio-menu.png"));
    form.RadioMenu()->hide();
  }
  // A chosen player gets the address as its one argument.
  program_->Settings().RadioPlayer = "/opt/My Player/play";
  {
    std::lock_guard lock(dummy::Record().Lock);
    dummy::Record().Started.clear();
  }
  items[1]->trigger();
  {
    std::lock_guard lock(dummy::Record().Lock);
    ASSERT_EQ(dummy::Record().Started.size(), 1u);
    EXPECT_EQ(
        dummy::Record().Started[0],
        (std::vector<std::string>{"/opt/My Player/play", "http://radio.corvalink.com/jazz.pls"}));
  }
  // The submenu follows a change of the list.
  program_->Settings().RadioChannels.pop_back();
  program_->RadioChanged();
  EXPECT_EQ(form.RadioMenu()->actions().size(), 2);
  // Addresses that are not web addresses are never handed on; one without
  // a scheme is played as http.
  program_->PlayChannel("file:///etc/passwd");
  program_->PlayChannel("javascript:alert(1)");
  program_->PlayChannel("host:8000/x");
  std::lock_guard lock(dummy::Record().Lock);
  ASSERT_EQ(dummy::Record().Started.size(), 2u);
  EXPECT_EQ(dummy::Record().Started[1],
            (std::vector<std::string>{"/opt/My Player/play", "http://host:8000/x"}));
}

}  // namespace
}  // namespace qgm::gui

namespace qgm::gui {
namespace {

TEST_F(ProgramFlows, CallhavenTabShowsTwentyEightMonthsAndTheirGraph) {
  Start(true);
  TMainForm& form = program_->Window();
  QTabWidget* tabs = ShowPage(kPageCallhaven);
  ASSERT_TRUE(tabs);
  EXPECT_TRUE(tabs->isTabVisible(kPageCallhaven));
  auto label = [&form](const char* name) {
    auto* l = form.findChild<QLabel*>(QString::fromLatin1(name));
    return l ? l->text() : QStringLiteral("<missing>");
  };
  EXPECT_EQ(label("lblChNoT"), QStringLiteral("--"));  // until the first refresh
  program_->UpdateNow();
  ASSERT_EQ(program_->Calls().Count(), 28);
  const TCallMonth& now = program_->Calls().Items(0);
  EXPECT_EQ(label("lblChNoT"), QString::number(now.TotalCalls));
  EXPECT_NE(label("lblChMax"), QStringLiteral("0"));
  EXPECT_TRUE(label("lblChUpdate").startsWith(QStringLiteral("Last updated: ")));
  auto* selector = form.findChild<QComboBox*>(QStringLiteral("cbCallhaven"));
  ASSERT_TRUE(selector);
  EXPECT_EQ(selector->count(), 28);
  // A click on the oldest bar shows the oldest month.
  auto* graph = form.findChild<TCallGraph*>(QStringLiteral("imgCallhaven"));
  ASSERT_TRUE(graph);
  QTest::mouseClick(graph, Qt::LeftButton, Qt::NoModifier, QPoint(3, 100));
  EXPECT_EQ(selector->currentIndex(), 27);
  EXPECT_EQ(label("lblChNoT"), QString::number(program_->Calls().Items(27).TotalCalls));
  // The hint of the newest bar, and a picture of it all.
  QTest::mouseMove(graph, QPoint(220, 60));
  QApplication::processEvents();
  QTextDocument shown;
  shown.setHtml(graph->toolTip());
  EXPECT_TRUE(shown.toPlainText().startsWith(QString::fromStdString(LongMonthName(now.Month))))
      << graph->toolTip().toStdString();
  if (const char* dir = std::getenv("QGM_TEST_SHOTS")) {
    // The offscreen platform shows no tool tips: the hint is drawn where it
    // would appear, in the tool tip's colours.
    QImage shot = form.grab().toImage();
    QLabel tip(graph->toolTip());
    tip.setPalette(QToolTip::palette());
    tip.setAutoFillBackground(true);
    tip.setFrameShape(QFrame::Box);
    tip.setMargin(3);
    tip.adjustSize();
    QPainter p(&shot);
    p.drawImage(graph->mapTo(&form, QPoint(220, 60)) - QPoint(tip.width(), -16),
                tip.grab().toImage());
    p.end();
    shot.save(QString::fromLocal8Bit(dir) + QStringLiteral("/callhaven.png"));
  }
  // The details link opens the selected month's file.
  {
    std::lock_guard lock(dummy::Record().Lock);
    dummy::Record().Opened.clear();
  }
  form.findChild<TFocusLabel*>(QStringLiteral("fLblPhoneDetails"))->OnClick();
  std::lock_guard lock(dummy::Record().Lock);
  ASSERT_EQ(dummy::Record().Opened.size(), 1u);
  EXPECT_NE(dummy::Record().Opened[0].find("callhaven_"), std::string::npos);
}

}  // namespace
}  // namespace qgm::gui

namespace qgm::gui {
namespace {

TEST_F(ProgramFlows, TheDownloadTestRunsFromItsLinkAndStopsOnAnotherTab) {
  Start(true);
  ShowPage(kPageNetwork);
  auto* link = program_->Window().findChild<TFocusLabel*>(QStringLiteral("lblTestDownload"));
  ASSERT_TRUE(link);
  EXPECT_EQ(link->Caption(), QStringLiteral("Download Test File"));
  // The demo's provider is on this computer: the demo watches loopback,
  // offered after the real adapters.
  auto* adapters = program_->Window().findChild<QComboBox*>(QStringLiteral("cbNetworkAdaptors"));
  ASSERT_TRUE(adapters);
  EXPECT_EQ(adapters->count(), 3);
  EXPECT_EQ(adapters->currentText(), QStringLiteral("lo"));
  std::vector<QString> seen;
  auto runUntilIdle = [&] { RunDownloadTestUntilIdle(*link, seen); };
  link->OnClick();
  EXPECT_EQ(link->Caption(), QStringLiteral("Connecting to Server"));
  link->OnClick();  // cancelling at once
  EXPECT_EQ(link->Caption(), QStringLiteral(" Cancelling Test ... "));
  link->OnClick();  // a click while cancelling does nothing
  runUntilIdle();
  EXPECT_EQ(link->Caption(), QStringLiteral("Download Test File"));
  // A whole run: connecting, then the test, then idle again.
  seen.clear();
  link->OnClick();
  runUntilIdle();
  EXPECT_EQ(link->Caption(), QStringLiteral("Download Test File"));
  EXPECT_NE(std::find(seen.begin(), seen.end(), QStringLiteral("Cancel Test")), seen.end());
  // Another tab stops a running test.
  link->OnClick();
  ASSERT_TRUE(program_->DownloadTestRunning());
  ShowPage(kPageBroadband);
  runUntilIdle();
  EXPECT_FALSE(program_->DownloadTestRunning());
  EXPECT_EQ(link->Caption(), QStringLiteral("Download Test File"));
}

// A running test stops at the start of an update, when the window is
// minimised into the tray or its close box hides it there, and at Exit.
// The mirror paces its transfers, so only a stop ends a test here.
TEST_F(ProgramFlows, TheDownloadTestStopsAtAnUpdateOnMinimisingAndOnClose) {
  corvalink::sim::SimulatorOptions options;
  options.ftpBytesPerSecond = 100000;  // 105 s a file
  auto paced = std::make_unique<corvalink::sim::ProviderSimulator>(options);
  paced->Start();
  mirrorHost_ = "127.0.0.1:" + std::to_string(paced->FtpPort());
  Start(true);
  TMainForm& form = program_->Window();
  auto* link = form.findChild<TFocusLabel*>(QStringLiteral("lblTestDownload"));
  ASSERT_TRUE(link);
  std::vector<QString> seen;
  // Started and transferring.
  const auto running = [&] {
    form.ShowMainForm(true);
    ShowPage(kPageNetwork);
    link->OnClick();
    QElapsedTimer waited;
    waited.start();
    while (link->Caption() != QStringLiteral("Cancel Test") && waited.elapsed() < 10000)
      QApplication::processEvents(QEventLoop::AllEvents, 5);
    return program_->DownloadTestRunning() && link->Caption() == QStringLiteral("Cancel Test");
  };
  const auto stopped = [&] {
    RunDownloadTestUntilIdle(*link, seen);
    return !program_->DownloadTestRunning() &&
           link->Caption() == QStringLiteral("Download Test File");
  };
  ASSERT_TRUE(running());
  program_->UpdateNow();
  EXPECT_TRUE(stopped()) << "at the start of an update";
  ASSERT_TRUE(running());
  form.setWindowState(Qt::WindowMinimized);  // the title bar's minimise button
  EXPECT_TRUE(stopped()) << "minimised";
  ASSERT_TRUE(running());
  form.close();  // the close box hides the window into the tray
  EXPECT_TRUE(stopped()) << "closed";
  ASSERT_TRUE(running());
  form.Exit();
  EXPECT_TRUE(stopped()) << "at Exit";
  program_.reset();
}

// The graph's scales follow the plan's speed at the first update of a run
// whose settings held none, not at the next update and not in a run that
// stored a scale.
TEST_F(ProgramFlows, TheNetworkScalesFollowThePlanOnceWhenNoneWasStored) {
  const auto& account = Sim().Account();
  std::string service = account.ServiceXml(account.homeServiceId);
  const std::string speed = "ADSL2+ up to 24 Mbps";
  ASSERT_NE(service.find(speed), std::string::npos);
  service.replace(service.find(speed), speed.size(), "24000/1024k");
  Sim().SetCannedReply(account.homeServiceId + "/service", 200, service);
  const auto position = [this](const char* name) {
    auto* bar = program_->Window().findChild<QSlider*>(QString::fromLatin1(name));
    return bar ? bar->value() : -1;
  };
  Start(true);
  ASSERT_TRUE(program_->Settings().LanScaleInAbsent);
  EXPECT_EQ(position("tbIn"), 11);
  program_->UpdateNow();
  EXPECT_EQ(position("tbIn"), 3);  // 24000
  EXPECT_EQ(position("tbOut"), 12);
  program_->Window().findChild<QSlider*>(QStringLiteral("tbIn"))->setValue(7);
  program_->UpdateNow();
  EXPECT_EQ(position("tbIn"), 7);
  program_->Window().Exit();

  Start(true);
  ASSERT_FALSE(program_->Settings().LanScaleInAbsent);
  program_->Window().findChild<QSlider*>(QStringLiteral("tbOut"))->setValue(16);
  program_->UpdateNow();
  EXPECT_EQ(position("tbIn"), 7);
  EXPECT_EQ(position("tbOut"), 16);
}

TEST_F(ProgramFlows, AnUnreachableMirrorGoesBackToTheLinkWithoutCancel) {
  mirrorHost_ = "127.0.0.1:1";
  Start(true);
  ShowPage(kPageNetwork);
  auto* link = program_->Window().findChild<TFocusLabel*>(QStringLiteral("lblTestDownload"));
  ASSERT_TRUE(link);
  std::vector<QString> seen;
  link->OnClick();
  EXPECT_EQ(link->Caption(), QStringLiteral("Connecting to Server"));
  RunDownloadTestUntilIdle(*link, seen);
  EXPECT_FALSE(program_->DownloadTestRunning());
  EXPECT_EQ(link->Caption(), QStringLiteral("Download Test File"));
  EXPECT_EQ(std::find(seen.begin(), seen.end(), QStringLiteral("Cancel Test")), seen.end());
}

// The first update checks the clock and, for an administrator, the home
// site's release; the notice's link saves the release in the data folder
// and hands it to qgm-update.
TEST_F(ProgramFlows, ANewerReleaseIsAnnouncedAndHandedToTheUpdater) {
  Sim().OfferDemoUpdate();
  auto notices = [] {
    std::vector<TMessageForm*> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* form = qobject_cast<TMessageForm*>(w);
      auto* caption = form ? form->findChild<QLabel*>(QStringLiteral("lblCaption")) : nullptr;
      if (caption && caption->text() == QStringLiteral("A new QGM update is available") &&
          form->isVisible())
        found.push_back(form);
    }
    return found;
  };
  // Not an administrator: no check.
  dummy::Record().Administrator = false;
  Start(true);
  program_->UpdateNow();
  QApplication::processEvents();
  EXPECT_TRUE(notices().empty());
  auto* clock = program_->Window().findChild<QLabel*>(QStringLiteral("lblClockState"));
  ASSERT_TRUE(clock);
  EXPECT_FALSE(clock->text().isEmpty());
  EXPECT_NE(clock->text(), QStringLiteral("Unable to get the time."));

  dummy::Record().Administrator = true;
  Start(true);
  {
    std::lock_guard lock(dummy::Record().Lock);
    dummy::Record().Started.clear();
  }
  program_->UpdateNow();
  QApplication::processEvents();  // notices show from the event loop
  const auto shown = notices();
  ASSERT_EQ(shown.size(), 1u);
  auto* link = shown[0]->findChild<TFocusLabel*>(QStringLiteral("lblGetMoreInfo"));
  ASSERT_TRUE(link);
  EXPECT_EQ(link->Caption(), QStringLiteral("Click here to download"));
  link->OnClick();
  const auto saved = program_->DataFolder() / "qgm9901.exe";
  EXPECT_TRUE(std::filesystem::exists(saved));
  std::lock_guard lock(dummy::Record().Lock);
  ASSERT_FALSE(dummy::Record().Started.empty());
  EXPECT_EQ(dummy::Record().Started.back(),
            (std::vector<std::string>{(ProgramFolder() / "qgm-update").string(),
                                      ProgramPath().string(), saved.string()}));
}

// After an update the Broadband tab says where the month is heading, and
// an alert level already passed is told once, not again at the next update.
TEST_F(ProgramFlows, ProjectionLineAndAUsageAlertToldOnce) {
  Start(true);
  TSettings& s = program_->Settings();
  s.CheckEmail = false;
  s.UsageAlertLevel1 = 1;  // passed on every day of the demo's month but its first
  auto alerts = [] {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* form = qobject_cast<TMessageForm*>(w);
      auto* body = form ? form->findChild<QLabel*>(QStringLiteral("lblBody")) : nullptr;
      if (body && form->isVisible() && body->text().startsWith(QStringLiteral("You have used 1%")))
        ++n;
    }
    return n;
  };
  program_->UpdateNow();
  QApplication::processEvents();
  auto* line = program_->Window().findChild<QLabel*>(QStringLiteral("lblProjection"));
  ASSERT_TRUE(line);
  const bool firstDay = DecodeDate(Sim().Account().Today()).day == 15;
  if (firstDay) {
    EXPECT_FALSE(line->isVisibleTo(&program_->Window()));
  } else {
    EXPECT_TRUE(line->text().startsWith(QStringLiteral("At this pace: ")))
        << line->text().toStdString();
    EXPECT_EQ(alerts(), 1);
    EXPECT_EQ(s.UsageAlertsTold.size(), 1u);
  }
  program_->UpdateNow();
  QApplication::processEvents();
  EXPECT_EQ(alerts(), firstDay ? 0 : 1);
}

// A notification server as the program sees it through the platform.
class TFakeNotifications : public IDesktopNotifications {
 public:
  struct TSent {
    TNotification Notification;
    TNotificationEvents Events;
  };
  bool ServerRuns() const override { return true; }
  QStringList Capabilities() const override { return {}; }
  void Notify(const TNotification& n, TNotificationEvents events) override {
    sent.push_back({n, events});
    if (events.Shown) events.Shown(serverSound);
  }
  const TSent* Find(const QString& text) const {
    for (const TSent& s : sent)
      if (s.Notification.Body.contains(text) || s.Notification.Summary == text) return &s;
    return nullptr;
  }
  bool serverSound = false;
  std::vector<TSent> sent;
};

class DesktopNoticeFlows : public ProgramFlows {
 protected:
  void SetUp() override {
    notifications_ = &fake_;
    ProgramFlows::SetUp();
  }
  int Popups() const {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<TMessageForm*>(w) && w->isVisible()) ++n;
    return n;
  }
  // The sounds the program played itself (the dummy player's files).
  std::vector<std::string> Sounds() {
    std::vector<std::string> played;
    std::lock_guard lock(dummy::Record().Lock);
    for (const auto& argv : dummy::Record().Started)
      if (argv.size() == 2 && argv[0] == "dummy-player")
        played.push_back(std::filesystem::path(argv[1]).stem().string());
    return played;
  }
  void ClearStarted() {
    std::lock_guard lock(dummy::Record().Lock);
    dummy::Record().Started.clear();
  }
  TFakeNotifications fake_;
};

// Where the desktop has a notification server, the provider's notices and
// the voicemail alert go there and no popup shows. The link is the
// notification's action; following it opens the address and counts as
// closing the notice, once, as the user dismissing it does; an expired
// notification does not. The program plays its own sounds only because
// this server plays none.
TEST_F(DesktopNoticeFlows, NoticesAndTheMailAlertGoToTheDesktop) {
  ClearStarted();
  program_->UpdateNow();
  QApplication::processEvents();
  EXPECT_EQ(Popups(), 0);
  const auto* maintenance = fake_.Find(QStringLiteral("Scheduled maintenance"));
  const auto* radio = fake_.Find(QStringLiteral("unmetered radio streaming"));
  const auto* mail = fake_.Find(QStringLiteral("New voicemail"));
  ASSERT_TRUE(maintenance && radio && mail);
  EXPECT_EQ(maintenance->Notification.Summary, QStringLiteral("QGM (Quota Gauge)"));
  EXPECT_TRUE(maintenance->Notification.Urgent);
  EXPECT_EQ(maintenance->Notification.ExpireMs, 0);
  // One labelled button for the link, and no action behind a click on the
  // notice's body.
  ASSERT_EQ(maintenance->Notification.Actions.size(), 1u);
  EXPECT_EQ(maintenance->Notification.Actions[0].first, QStringLiteral("more-info"));
  EXPECT_EQ(maintenance->Notification.Actions[0].second,
            QStringLiteral("For more information click here"));
  EXPECT_TRUE(radio->Notification.Actions.empty());
  EXPECT_FALSE(radio->Notification.Urgent);
  EXPECT_TRUE(radio->Notification.SoundName.isEmpty());
  EXPECT_EQ(mail->Notification.Body,
            QStringLiteral("demo and family have mail.\nYou also have voicemail."));
  EXPECT_EQ(mail->Notification.SoundName, QStringLiteral("phone-incoming-call"));
  // The tray's alert stands as before.
  EXPECT_EQ(program_->Cycle().AlertState(), 5);
  EXPECT_EQ(Sounds(), (std::vector<std::string>{"cuckoo", "ring"}));

  TSettings& s = program_->Settings();
  radio->Events.Closed(ENotificationClosed::Expired);
  EXPECT_TRUE(s.SeenNoticeRefs.empty());
  maintenance->Events.ActionInvoked(QStringLiteral("default"));  // a click on its body
  EXPECT_TRUE(Opened().empty());
  EXPECT_TRUE(s.SeenNoticeRefs.empty());
  maintenance->Events.ActionInvoked(QStringLiteral("more-info"));
  maintenance->Events.ActionInvoked(QStringLiteral("more-info"));
  maintenance->Events.Closed(ENotificationClosed::Dismissed);
  EXPECT_EQ(Opened(), (std::vector<std::string>{"https://www.corvalink.example/status"}));
  EXPECT_EQ(s.SeenNoticeRefs, (std::vector<std::string>{"MAINT-2026-12"}));
  EXPECT_EQ(timers_.FireAll(3000), 1);  // saved soon after
  EXPECT_NE(Hive().find("\"MessageReferences\"=\"MAINT-2026-12\""), std::string::npos) << Hive();

  // The next run: the dismissed notice stays away, the expired one comes again.
  fake_.sent.clear();
  Start(true);
  program_->UpdateNow();
  QApplication::processEvents();
  EXPECT_EQ(fake_.Find(QStringLiteral("Scheduled maintenance")), nullptr);
  EXPECT_NE(fake_.Find(QStringLiteral("unmetered radio streaming")), nullptr);
  EXPECT_EQ(Popups(), 0);
}

// A server that plays sounds plays them: the program stays quiet. With the
// program's own popups chosen in Setup, nothing goes to the desktop and the
// popups and sounds are as on a desktop without a server.
TEST_F(DesktopNoticeFlows, ServerSoundsAndTheOwnPopupsChoice) {
  fake_.serverSound = true;
  ClearStarted();
  program_->UpdateNow();
  QApplication::processEvents();
  EXPECT_NE(fake_.Find(QStringLiteral("Scheduled maintenance")), nullptr);
  EXPECT_EQ(fake_.Find(QStringLiteral("Scheduled maintenance"))->Notification.SoundName,
            QStringLiteral("dialog-warning"));
  EXPECT_TRUE(Sounds().empty());

  fake_.sent.clear();
  Start(true);
  program_->Settings().OwnPopups = true;
  ClearStarted();
  program_->UpdateNow();
  QApplication::processEvents();
  EXPECT_TRUE(fake_.sent.empty());
  EXPECT_EQ(Popups(), 2);
  EXPECT_EQ(Sounds(), (std::vector<std::string>{"cuckoo", "ring"}));
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* popup = qobject_cast<TMessageForm*>(w)) popup->close();
  QApplication::processEvents();
}

}  // namespace
}  // namespace qgm::gui

// The tray by protocol: an XEmbed tray clicks and double-clicks, a
// StatusNotifier host presses once, and a desktop with no tray at all gets
// an ordinary window.
namespace qgm::gui {
namespace {

class TrayKinds : public ProgramFlows {
 protected:
  // Starts with the demo account and its mail on a desktop of this kind.
  void StartOn(ETrayKind kind) {
    TTrayIcon::AssumeKind(kind);
    Start(false);
    TSettings& s = program_->Settings();
    s.AccountName = "demo";
    s.Password = "demo";
    s.CheckEmail = true;
    s.Mailboxes = {{"demo", "demo", ""}};
    native_ = program_->Window().findChild<QSystemTrayIcon*>();
  }
  void Send(QSystemTrayIcon::ActivationReason reason) {
    ASSERT_TRUE(native_);
    emit native_->activated(reason);
    QApplication::processEvents();
  }
  QString Hint() const { return program_->Window().Tray().Hint(); }
  // The menu about to show, then closing, with an alert flashing: whether
  // each acknowledges it, and whether the menu's first row is the hint's.
  void MenuOpening(ETrayKind kind, bool ackOnShow, bool ackOnHide, bool figureRows) {
    StartOn(kind);
    auto* menu = program_->Window().findChild<QMenu*>(QStringLiteral("PopupMenu1"));
    ASSERT_TRUE(menu);
    program_->UpdateNow();
    ASSERT_TRUE(program_->AlertFlashing());
    Q_EMIT menu->aboutToShow();
    EXPECT_EQ(!program_->AlertFlashing(), ackOnShow);
    Q_EMIT menu->aboutToHide();
    EXPECT_EQ(!program_->AlertFlashing(), ackOnShow || ackOnHide);
    QAction* first = nullptr;
    for (QAction* a : menu->actions())
      if (a->isVisible() && !first) first = a;
    ASSERT_TRUE(first);
    EXPECT_EQ(first->text() == Hint().section(QLatin1Char('\n'), 0, 0), figureRows)
        << first->text().toStdString();
    EXPECT_EQ(!first->isEnabled(), figureRows);
  }
  QSystemTrayIcon* native_ = nullptr;
};

TEST_F(TrayKinds, AStatusNotifierPressShowsAndHidesTheWindowUnlessAnAlertFlashes) {
  StartOn(ETrayKind::StatusNotifier);
  TMainForm& form = program_->Window();
  form.hide();
  Send(QSystemTrayIcon::Trigger);
  EXPECT_TRUE(form.isVisible());
  Send(QSystemTrayIcon::Trigger);
  EXPECT_FALSE(form.isVisible());

  program_->UpdateNow();  // new mail: the envelope blinks
  ASSERT_TRUE(program_->AlertFlashing());
  ASSERT_EQ(Hint(), QStringLiteral("demo has mail."));
  Send(QSystemTrayIcon::Trigger);  // acknowledges, the window stays hidden
  EXPECT_FALSE(program_->AlertFlashing());
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(Hint().startsWith(QStringLiteral("Amount Left: ")));
  Send(QSystemTrayIcon::Trigger);
  EXPECT_TRUE(form.isVisible());
}

// Only a user's opening of the menu acknowledges an alert. A StatusNotifier
// host may fetch the menu ahead of any opening (GNOME's does after every
// change), which Qt reports as the menu about to show; the menu closing
// tells that a user had it open. XEmbed menus are Qt's own. There the
// figures head the menu, as some of those hosts show no tooltip.
TEST_F(TrayKinds, OnAStatusNotifierHostTheMenuAcknowledgesOnceClosed) {
  MenuOpening(ETrayKind::StatusNotifier, false, true, true);
}
TEST_F(TrayKinds, AnXEmbedMenuAcknowledgesAsItShows) {
  MenuOpening(ETrayKind::XEmbed, true, false, false);
}

TEST_F(TrayKinds, AnXEmbedClickAcknowledgesAndADoubleClickShowsOrHides) {
  StartOn(ETrayKind::XEmbed);
  TMainForm& form = program_->Window();
  form.hide();
  Send(QSystemTrayIcon::Trigger);
  EXPECT_FALSE(form.isVisible());  // a click alone never shows the window
  Send(QSystemTrayIcon::MiddleClick);
  EXPECT_TRUE(Hint().isEmpty());  // and the middle button does nothing here
  Send(QSystemTrayIcon::DoubleClick);
  EXPECT_TRUE(form.isVisible());
  program_->UpdateNow();
  ASSERT_TRUE(program_->AlertFlashing());
  Send(QSystemTrayIcon::Trigger);
  EXPECT_FALSE(program_->AlertFlashing());
  EXPECT_TRUE(form.isVisible());
  Send(QSystemTrayIcon::DoubleClick);
  EXPECT_FALSE(form.isVisible());
}

// The host going away with the window in the tray (a panel crashed, an
// extension switched off): the window shows and closing it ends the
// program; once a host is back the close box hides into the tray again.
TEST_F(TrayKinds, WhenTheTrayGoesTheWindowShowsAndClosingEnds) {
  StartOn(ETrayKind::StatusNotifier);
  TMainForm& form = program_->Window();
  form.hide();
  TTrayIcon::AssumeKind(ETrayKind::None);
  form.Tray().HostsChanged();
  EXPECT_TRUE(form.isVisible()) << "no way back to the window";
  EXPECT_FALSE(form.Tray().Available());
  TTrayIcon::AssumeKind(ETrayKind::StatusNotifier);
  form.Tray().HostsChanged();
  EXPECT_TRUE(form.Tray().Available());
  form.close();  // hides into the tray that came back
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(Hive(), "<none>") << "the program goes on";
  form.show();
  TTrayIcon::AssumeKind(ETrayKind::None);
  form.Tray().HostsChanged();
  form.close();  // nowhere to hide: the program ends, its settings saved
  EXPECT_NE(Hive().find("\"posx\""), std::string::npos);
}

TEST_F(TrayKinds, TheStatusNotifierMiddleButtonRefreshes) {
  StartOn(ETrayKind::StatusNotifier);
  ASSERT_TRUE(Hint().isEmpty());  // no update yet
  Send(QSystemTrayIcon::MiddleClick);
  EXPECT_TRUE(Hint().startsWith(QStringLiteral("demo has mail."))) << Hint().toStdString();
  EXPECT_TRUE(program_->AlertFlashing());
}

TEST_F(TrayKinds, WithoutATrayTheWindowShowsAtStartAndTheUserIsToldOnce) {
  // Set up on a desktop with a tray to start minimised.
  Start(false);
  program_->Settings().StartMinimized = true;
  program_->Window().Exit();
  const auto noTrayNotices = [] {
    int found = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* form = qobject_cast<TMessageForm*>(w);
      if (!form) continue;
      for (QLabel* label : form->findChildren<QLabel*>()) {
        if (label->text().contains(QStringLiteral("shows no tray icons"))) ++found;
      }
    }
    return found;
  };
  TTrayIcon::AssumeKind(ETrayKind::None);
  Start(false);
  QApplication::processEvents();
  EXPECT_TRUE(program_->ShowAtStart());  // "Start Minimized" would hide it into nothing
  EXPECT_FALSE(program_->Window().Tray().Visible());
  EXPECT_EQ(noTrayNotices(), 1);
  TMainForm& form = program_->Window();
  form.show();
  form.setWindowState(Qt::WindowMinimized);  // to the taskbar, not hidden
  QApplication::processEvents();
  EXPECT_TRUE(form.isVisible());
  form.close();  // ends the program, saved
  EXPECT_NE(Hive().find("\"NoTrayTold\"=dword:00000001"), std::string::npos);
  EXPECT_NE(Hive().find("\"StartMimimized\"=dword:00000001"), std::string::npos);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (qobject_cast<TMessageForm*>(w)) delete w;
  }
  Start(false);
  QApplication::processEvents();
  EXPECT_EQ(noTrayNotices(), 0);  // told once only
  EXPECT_TRUE(program_->ShowAtStart());
}

}  // namespace
}  // namespace qgm::gui

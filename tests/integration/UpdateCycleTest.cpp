#include "core/usage/UpdateCycle.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

#include "core/advisories/Advisories.h"
#include "core/net/NetErrors.h"
#include "core/platform/FileIo.h"
#include "support/FakeTime.h"
#include "support/FakeUpdateView.h"
#include "support/SilentServer.h"
#include "support/SimulatorFixture.h"

namespace qgm::test {
namespace {

using corvalink::sim::Scenario;

class UpdateCycleTest : public SimulatorTest {
 protected:
  void SetUp() override {
    SimulatorTest::SetUp();
    Sim().SetSpamStatus("No spam detected from this address");
    Sim().SetHomeFiles("*", "");
    service_ = std::make_unique<TUsageService>(ServiceConfig(), sink_);
    TUpdateConfig config;
    config.ApiHost = "https://localhost:" + std::to_string(Sim().HttpsPort());
    config.NoticeUrl = Sim().HomeSite() + "notice.txt";
    config.Context = &Context();
    config.SaveAccount = [this](const TUsageAccount& a) { saved_.push_back(a); };
    TUpdateHooks hooks;
    hooks.CheckClock = [this] { ++clockChecks_; };
    hooks.History = [this](TUsageService&, const TUsageAccount&, bool first) {
      historyFirst_.push_back(first);
      // An alert that starts while the update waits (events run meanwhile).
      if (alertDuringUpdate_) cycle_->StartAlert(alertDuringUpdate_);
    };
    hooks.CheckForNewVersion = [this] { ++versionChecks_; };
    hooks.AutoScaleFromPlan = [this] { ++autoScales_; };
    settings_.AccountName = "demo";
    settings_.Password = "demo";
    config_ = config;
    hooks_ = hooks;
    cycle_ = MakeCycle();
  }
  // A cycle as at another start of the program, with the current hooks.
  std::unique_ptr<TUpdateCycle> MakeCycle() {
    return std::make_unique<TUpdateCycle>(settings_, *service_, view_, clock_, main_, alert_, sink_,
                                          log_, config_, hooks_);
  }

  FakeClock clock_;
  FakeTimer main_, alert_;
  FakeView view_;
  Sink sink_;
  TDebugLog log_;
  TSettings settings_;
  std::vector<std::string>& seen_ = settings_.SeenNoticeRefs;
  std::vector<TUsageAccount> saved_;
  int clockChecks_ = 0, versionChecks_ = 0, autoScales_ = 0;
  int alertDuringUpdate_ = 0;
  std::vector<bool> historyFirst_;
  std::unique_ptr<TUsageService> service_;
  TUpdateConfig config_;
  TUpdateHooks hooks_;
  std::unique_ptr<TUpdateCycle> cycle_;
};

TEST_F(UpdateCycleTest, WaitingThenUpToDate) {
  cycle_->Start(60);
  EXPECT_EQ(main_.interval, 60000);
  EXPECT_TRUE(alert_.running);
  EXPECT_EQ(cycle_->AlertState(), 0);
  EXPECT_EQ(view_.trayNumber, -1);
  clock_.Advance(1000);
  cycle_->TrayAlertTimerTimer();
  EXPECT_EQ(view_.status, "  The first update will start in 59 seconds ...");

  clock_.Advance(59000);
  cycle_->MainTimerTimer();
  EXPECT_EQ(main_.interval, kHourMs);
  EXPECT_FALSE(alert_.running);
  EXPECT_EQ(view_.button, "O&K");
  EXPECT_FALSE(view_.refreshEnabled);
  EXPECT_EQ(view_.status, "  Last updated: Tue 8 Dec - 9:01 am");
  EXPECT_EQ(view_.trayNumber, static_cast<int>(cycle_->Record.PercentLeft.RoundToWhole()));
  EXPECT_NE(view_.trayColour, kAqua);
  EXPECT_EQ(view_.hint.rfind("Amount Left: ", 0), 0u);
  EXPECT_TRUE(view_.details.Received);
  EXPECT_EQ(view_.publicAddress, Sim().Account().publicAddress);
  EXPECT_EQ(view_.figures.Allowance.Text, "200,000 MB");
  EXPECT_FALSE(cycle_->FirstUpdate());
  EXPECT_EQ(clockChecks_, 1);  // the first update checks the clock
  EXPECT_EQ(historyFirst_, (std::vector<bool>{true}));
  EXPECT_EQ(sink_.shown.size(), 2u);  // the demo account's notices
}

TEST_F(UpdateCycleTest, AMegabyteOfPublicAddressIsCutForItsLabel) {
  const std::string saved = Sim().Account().publicAddress;
  Sim().Account().publicAddress = std::string(1 << 20, '7');
  cycle_->Start(1);
  cycle_->MainTimerTimer();
  Sim().Account().publicAddress = saved;
  EXPECT_EQ(view_.publicAddress, std::string(255, '7'));
}

// A failed plan request leaves whether uploads count as the last answer
// said, for the History tab's caption and the graphs' hints.
TEST_F(UpdateCycleTest, AFailedPlanRequestKeepsWhetherUploadsCount) {
  Sim().Account().uploadsMetered = true;
  cycle_->Start(1);
  cycle_->MainTimerTimer();
  ASSERT_TRUE(view_.details.Received);
  EXPECT_TRUE(view_.details.UploadsMetered);
  Sim().SetCannedReply(Sim().Account().homeServiceId + "/service", 503, "busy");
  cycle_->MainTimerTimer();
  Sim().ClearCannedReplies();
  Sim().Account().uploadsMetered = false;
  EXPECT_FALSE(view_.details.Received);
  EXPECT_TRUE(view_.details.UploadsMetered);
}

// The address is the text before the page's line feed: a page without one
// (no status line, the trailing blanks trimmed) gives no address.
TEST_F(UpdateCycleTest, ASpamPageWithoutALineFeedGivesNoAddress) {
  const std::string saved = Sim().Account().spamStatus;
  Sim().Account().spamStatus.clear();
  view_.publicAddress = "stale";
  cycle_->Start(1);
  cycle_->MainTimerTimer();
  Sim().Account().spamStatus = saved;
  EXPECT_EQ(view_.publicAddress, "");
}

TEST_F(UpdateCycleTest, ASilentFeedServerDoesNotHoldUpTheUsageRequest) {
  // The feed is fetched first in every pass, by a client without a time-out
  // of its own; its server accepts and never answers.
  SilentServer feedServer;
  TNetContext quick(Sim().CaFile().string());
  quick.Timeouts.ReadMs = 300;  // the program's is 30 s
  std::vector<std::string> hashes;
  TAdvisories advisories({feedServer.Url("/network-status.rss"), UserAgent(), &quick}, hashes,
                         clock_, nullptr);
  hooks_.RefreshAdvisories = [&] { advisories.RefreshAdvisories(); };
  cycle_ = MakeCycle();
  cycle_->Start(1);
  cycle_->MainTimerTimer();
  EXPECT_EQ(feedServer.Accepted(), 1);
  EXPECT_EQ(advisories.Failure(), kReadTimeout);
  // The usage service was asked all the same, and the update completed.
  bool usageAsked = false;
  for (const auto& r : Sim().Requests()) usageAsked |= r.path.find("/api/v1.5/") == 0;
  EXPECT_TRUE(usageAsked);
  EXPECT_EQ(view_.status.rfind("  Last updated: ", 0), 0u) << view_.status;
}

TEST_F(UpdateCycleTest, StartDelayZeroWaitsOneSecondWithoutCountdownText) {
  cycle_->Start(0);
  EXPECT_EQ(main_.interval, 1000);
  view_.status = "unchanged";
  cycle_->TrayAlertTimerTimer();
  EXPECT_FALSE(alert_.running);
  EXPECT_EQ(view_.status, "unchanged");
}

TEST_F(UpdateCycleTest, RejectedPasswordRetriesAndAnEditedOneIsStoredAfterSuccess) {
  cycle_->Start(60);
  Sim().SetScenario(Scenario::WrongPassword);
  cycle_->MainTimerTimer();
  EXPECT_EQ(main_.interval, kRetryMs);
  EXPECT_TRUE(alert_.running);
  EXPECT_EQ(cycle_->AlertState(), 1);
  EXPECT_EQ(view_.button, "&Refresh");
  EXPECT_TRUE(view_.refreshEnabled);
  clock_.Advance(1000);
  cycle_->TrayAlertTimerTimer();
  EXPECT_EQ(view_.status, "HTTP/1.1 401 Unauthorized  Retrying in 9 min 59 sec");
  clock_.Advance(540000);
  cycle_->TrayAlertTimerTimer();
  EXPECT_EQ(view_.status, "HTTP/1.1 401 Unauthorized  Retrying in 59 sec");
  view_.visible = false;  // no countdown text while the window is hidden,
  clock_.Advance(1000);   // and the timer rests instead of waking each second
  cycle_->TrayAlertTimerTimer();
  EXPECT_EQ(view_.status, "HTTP/1.1 401 Unauthorized  Retrying in 59 sec");
  EXPECT_FALSE(alert_.running);
  view_.visible = true;  // shown again: the countdown goes on where it stands
  cycle_->WindowShown();
  EXPECT_TRUE(alert_.running);
  clock_.Advance(1000);
  cycle_->TrayAlertTimerTimer();
  EXPECT_EQ(view_.status, "HTTP/1.1 401 Unauthorized  Retrying in 57 sec");

  // The user types the right password: Refresh is offered, the pair is
  // stored once an update succeeds.
  Sim().SetScenario(Scenario::Normal);
  settings_.Password = "demo";
  cycle_->AccountSetupChange(true);
  EXPECT_TRUE(view_.refreshEnabled);
  EXPECT_TRUE(saved_.empty());
  cycle_->MainTimerTimer();
  ASSERT_EQ(saved_.size(), 1u);
  EXPECT_EQ(saved_[0].Password, "demo");
  EXPECT_FALSE(cycle_->CredentialsChanged());
}

TEST_F(UpdateCycleTest, SkippedWithoutCredentials) {
  settings_.AccountName = "";
  cycle_->MainTimerTimer();
  EXPECT_EQ(view_.status, "No Username supplied.");
  EXPECT_EQ(main_.interval, kHourMs);
  EXPECT_EQ(cycle_->AlertState(), 1);
  EXPECT_TRUE(Sim().Requests().empty());
  settings_.AccountName = "demo";
  settings_.Password = "";
  settings_.AccountType = 0;
  cycle_->MainTimerTimer();
  EXPECT_EQ(view_.status, "No Password supplied.");
}

TEST_F(UpdateCycleTest, ClockCheckAtTheFirstUpdateAndEverySixHours) {
  cycle_->MainTimerTimer();  // 09:00, first
  EXPECT_EQ(clockChecks_, 1);
  clock_.now = EncodeDate(2026, 12, 8) + EncodeTime(7, 0, 0);
  cycle_->MainTimerTimer();
  EXPECT_EQ(clockChecks_, 1);
  clock_.now = EncodeDate(2026, 12, 8) + EncodeTime(6, 0, 0);
  cycle_->MainTimerTimer();
  EXPECT_EQ(clockChecks_, 2);
}

TEST_F(UpdateCycleTest, SeenNoticeReferencesAndTheNoticeFile) {
  Sim().SetNotices(false);
  seen_ = {"OLD-1", "OLD-2"};
  cycle_->MainTimerTimer();
  EXPECT_TRUE(seen_.empty());  // no notices and no notice file: all may show again

  // A notice file counts as a notice, and its reference is remembered.
  seen_ = {"OLD-1"};
  cycle_ = std::make_unique<TUpdateCycle>(
      settings_, *service_, view_, clock_, main_, alert_, sink_, log_,
      TUpdateConfig{"https://localhost:" + std::to_string(Sim().HttpsPort()),
                    Sim().HomeSite() + "notice.txt",
                    &Context(),
                    {}});
  settings_.AccountName = "demo";
  settings_.Password = "demo";
  settings_.AccountType = kAccountHome;
  Sim().SetHomeFiles("*", "NOTICE-7\nA message from the QGM team.");
  sink_.shown.clear();
  cycle_->MainTimerTimer();
  EXPECT_EQ(seen_, (std::vector<std::string>{"OLD-1"}));
  ASSERT_EQ(sink_.shown.size(), 1u);
  EXPECT_EQ(sink_.shown[0].Reference, "NOTICE-7");
  EXPECT_EQ(sink_.shown[0].Body, "A message from the QGM team.");
  EXPECT_FALSE(sink_.shown[0].Alert);

  // Once closed, the notice file's message is not shown again.
  seen_ = {"NOTICE-7"};
  sink_.shown.clear();
  cycle_ = MakeCycle();
  cycle_->MainTimerTimer();
  EXPECT_TRUE(sink_.shown.empty());
}

// What an update does depends on what else runs: a call-usage download
// skips it, a tray alert keeps the mailboxes from being checked, and with
// logging on each update that goes ahead is written to the debug log.
TEST_F(UpdateCycleTest, WhatRunsBesideTheUpdate) {
  const std::filesystem::path logFile =
      std::filesystem::temp_directory_path() / ("qgm-update-log-" + std::to_string(::getpid()));
  std::filesystem::remove(logFile);
  log_ = TDebugLog(logFile);
  log_.SetEnabled(true);
  bool downloading = true;
  int mailChecks = 0;
  hooks_.CallUsageRunning = [&downloading] { return downloading; };
  hooks_.CheckMailboxes = [&mailChecks] { ++mailChecks; };
  settings_.CheckEmail = true;
  cycle_ = MakeCycle();

  cycle_->MainTimerTimer();
  EXPECT_EQ(view_.status, "");
  EXPECT_EQ(main_.interval, kHourMs);
  EXPECT_EQ(cycle_->AlertState(), 1);
  EXPECT_TRUE(Sim().Requests().empty());
  EXPECT_FALSE(std::filesystem::exists(logFile));

  downloading = false;
  alertDuringUpdate_ = 2;  // an alert flashing by the end of the update
  cycle_->MainTimerTimer();
  EXPECT_EQ(view_.status, "  Last updated: Tue 8 Dec - 9:00 am");
  EXPECT_EQ(mailChecks, 0);
  alertDuringUpdate_ = 0;
  cycle_->MainTimerTimer();
  EXPECT_EQ(mailChecks, 1);
  const std::optional<std::string> log = ReadWholeFile(logFile);
  std::filesystem::remove(logFile);
  ASSERT_TRUE(log);
  EXPECT_EQ(*log, "QGM update:    08 Dec 26 09:00 AM\r\nQGM update:    08 Dec 26 09:00 AM\r\n");
}

// The countdown to a retry shows the nearest whole second.
TEST_F(UpdateCycleTest, RetryCountdownRoundsToTheNearestSecond) {
  Sim().SetScenario(Scenario::WrongPassword);
  cycle_->MainTimerTimer();
  const int64_t failedAt = clock_.tick;
  const struct {
    int64_t left;
    const char* shown;
  } cases[] = {{598600, "9 min 59 sec"}, {598400, "9 min 58 sec"}, {59600, "1 min 0 sec"},
               {59400, "59 sec"},        {1600, "2 sec"}};
  for (const auto& c : cases) {
    clock_.Advance(failedAt + kRetryMs - c.left - clock_.tick);
    cycle_->TrayAlertTimerTimer();
    EXPECT_EQ(view_.status, std::string("HTTP/1.1 401 Unauthorized  Retrying in ") + c.shown)
        << c.left;
  }
}

TEST_F(UpdateCycleTest, SpamStatus) {
  cycle_->MainTimerTimer();
  EXPECT_EQ(sink_.shown.size(), 2u);  // only the provider's notices
  Sim().SetSpamStatus("Spam detected: 140 messages in the last hour");
  sink_.shown.clear();
  Sim().SetNotices(false);
  cycle_->MainTimerTimer();
  cycle_->MainTimerTimer();
  ASSERT_EQ(sink_.shown.size(), 2u);  // again after every update
  EXPECT_TRUE(sink_.shown[0].Alert);
  EXPECT_EQ(sink_.shown[0].Reference, "");
  EXPECT_EQ(sink_.shown[0].Body, std::string(kSpamNoticeLine1) + "\n" + kSpamNoticeLine2);
  settings_.SkipSpamCheck = true;
  cycle_->MainTimerTimer();
  EXPECT_EQ(sink_.shown.size(), 2u);
}

TEST_F(UpdateCycleTest, SpamCheckGoesThroughTheProxy) {
  cycle_->CheckSpamRate();
  EXPECT_FALSE(view_.publicAddress.empty());
  // A proxy that cannot be reached: the check goes to it, not past it.
  settings_.UseProxy = true;
  settings_.ProxyAddress = "127.0.0.1";
  settings_.ProxyPort = 1;
  cycle_->CheckSpamRate();
  EXPECT_EQ(view_.publicAddress, "");
}

// The automatic version check belongs to the first update of a run, and
// only when no tray alert is flashing then; a run whose first update met
// an alert does not check later either.
TEST_F(UpdateCycleTest, VersionCheckAtTheFirstUpdateOnlyWithoutAFlashingAlert) {
  cycle_->MainTimerTimer();
  EXPECT_EQ(versionChecks_, 1);
  cycle_->MainTimerTimer();
  EXPECT_EQ(versionChecks_, 1);

  cycle_ = MakeCycle();
  versionChecks_ = clockChecks_ = 0;
  alertDuringUpdate_ = 2;
  cycle_->MainTimerTimer();
  EXPECT_TRUE(alert_.running);
  EXPECT_EQ(clockChecks_, 1);  // the rest of the first update ran
  EXPECT_EQ(versionChecks_, 0);
  alertDuringUpdate_ = 0;
  cycle_->MainTimerTimer();
  EXPECT_FALSE(alert_.running);
  EXPECT_EQ(versionChecks_, 0);
}

// The graph's scales follow the plan once a run, and only in a run whose
// settings held none.
TEST_F(UpdateCycleTest, PlanScalesOnceWhenPending) {
  cycle_->MainTimerTimer();
  EXPECT_EQ(autoScales_, 0);
  cycle_ = MakeCycle();
  cycle_->AutoScalePending = true;
  cycle_->MainTimerTimer();
  EXPECT_EQ(autoScales_, 1);
  EXPECT_FALSE(cycle_->AutoScalePending);
  cycle_->MainTimerTimer();
  EXPECT_EQ(autoScales_, 1);
}

TEST_F(UpdateCycleTest, AlertsBlinkUntilAcknowledged) {
  cycle_->MainTimerTimer();
  cycle_->StartAlert(2);
  view_.visible = false;  // the tray blinks whether the window shows or not
  cycle_->TrayAlertTimerTimer();
  cycle_->TrayAlertTimerTimer();
  cycle_->TrayAlertTimerTimer();
  EXPECT_EQ(view_.pictures, (std::vector<int>{2, 0, 2}));
  EXPECT_TRUE(alert_.running);
  cycle_->TrayIcon1Click();
  EXPECT_FALSE(alert_.running);
  EXPECT_EQ(view_.restores, 1);
  cycle_->TrayIcon1Click();  // nothing flashing: nothing to do
  EXPECT_EQ(view_.restores, 1);
  // The next update's start ends a voicemail alert too.
  cycle_->StartAlert(5);
  cycle_->MainTimerTimer();
  EXPECT_EQ(view_.restores, 2);
}

TEST_F(UpdateCycleTest, ServerFailureShowsTheReplyAndRetries) {
  Sim().SetScenario(Scenario::ServerError);
  cycle_->MainTimerTimer();
  EXPECT_NE(view_.status.find("<error>"), std::string::npos);
  EXPECT_EQ(main_.interval, kRetryMs);
  EXPECT_EQ(cycle_->RetryStatusText(), view_.status);
  EXPECT_TRUE(cycle_->FirstUpdate());  // the first update has not happened yet
}

}  // namespace
}  // namespace qgm::test

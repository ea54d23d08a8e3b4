#include "core/usage/UpdateCycle.h"

#include <algorithm>

#include "core/net/HttpClient.h"
#include "core/net/NetErrors.h"
#include "core/net/UsageRequest.h"
#include "core/util/Format.h"
#include "core/util/Text.h"

namespace qgm {

TUpdateCycle::TUpdateCycle(TSettings& settings, TUsageService& service, IUpdateView& view,
                           IClock& clock, ITimer& mainTimer, ITimer& alertTimer,
                           INoticeSink& notices, TDebugLog& log, TUpdateConfig config,
                           TUpdateHooks hooks)
    : settings_(settings),
      service_(service),
      view_(view),
      clock_(clock),
      mainTimer_(mainTimer),
      alertTimer_(alertTimer),
      notices_(notices),
      log_(log),
      config_(std::move(config)),
      hooks_(std::move(hooks)) {}

void TUpdateCycle::SetMainInterval(int ms) {
  mainTimer_.SetInterval(ms);
  nextUpdateTick_ = clock_.TickMs() + ms;
}

void TUpdateCycle::Start(int startDelaySeconds) {
  view_.DrawTrayNumber(-1, Record.BarColour);
  alertState_ = 0;
  mainTimer_.SetInterval(std::max(startDelaySeconds, 1) * 1000);
  // The countdown aims at the delay itself, without the one-second minimum.
  nextUpdateTick_ = clock_.TickMs() + static_cast<int64_t>(startDelaySeconds) * 1000;
  mainTimer_.Start();
  alertTimer_.Start();
  countdownResting_ = false;
}

void TUpdateCycle::MainTimerTimer() {
  if (alertState_ < 2) alertTimer_.Stop();                     // 1
  if (hooks_.CancelDownloadTest) hooks_.CancelDownloadTest();  // 2
  view_.ShowTray();                                            // 3
  SetMainInterval(kHourMs);                                    // 4
  view_.SetBottomButton("O&K");                                // 5
  view_.SetRefreshEnabled(false);
  view_.SetStatus("  Updating ...");
  const TDateTime t = clock_.Now();  // 6
  TrayIcon1Click();                  // 7: an alert still flashing is acknowledged
  view_.DrawTrayNumber(-1, kAqua);   // 8
  if (hooks_.RefreshAdvisories) hooks_.RefreshAdvisories();  // 9

  const TUsageAccount account = AccountOf(settings_);  // 10
  const bool callUsageRunning = hooks_.CallUsageRunning && hooks_.CallUsageRunning();
  if (account.Name.empty() || account.Password.empty() || callUsageRunning) {
    view_.SetStatus(account.Name.empty()       ? "No Username supplied."
                    : account.Password.empty() ? "No Password supplied."
                                               : "");
    return Finish(kHourMs);  // 20
  }
  if (log_.Enabled()) log_.Write(TDebugLog::UpdateLine(t));  // 11

  noNotice_ = false;  // 12
  const TUsageFetchResult r = service_.FetchUsage(account, settings_.SeenNoticeRefs, t, Record);
  noNotice_ = r.NoNotice;
  if (!r.Ok) {
    view_.SetStatus(r.FailureText);  // 21
    return Finish(kRetryMs);
  }
  view_.ShowUsageFigures(::qgm::ShowUsageFigures(r.ParseCode, Record));

  if (credentialsChanged_) {  // 13
    credentialsChanged_ = false;
    if (config_.SaveAccount) config_.SaveAccount(account);
  }
  view_.DrawTrayNumber(static_cast<int>(Record.PercentLeft.RoundToWhole()),
                       Record.BarColour);  // 14
  view_.SetStatus("  Last updated: " + FormatDateTime("ddd d mmm - h:nn am/pm", t));
  view_.SetTrayHint(BuildTrayHint(Record, t, clock_.Now(),
                                  settings_.CommandLineCredentials ? account.Name : std::string()));

  view_.ShowServiceDetails(service_.FetchServiceDetails(account));      // 15
  if (hooks_.History) hooks_.History(service_, account, firstUpdate_);  // 16

  const int hour = DecodeTime(t).hour;  // 17
  if ((firstUpdate_ || hour % 6 == 0) && hooks_.CheckClock) hooks_.CheckClock();
  CheckSpamRate();

  if (firstUpdate_) {  // 18
    firstUpdate_ = false;
    if (hooks_.FillAvailableChannels) hooks_.FillAvailableChannels();
    if (settings_.CallhavenVisible && hooks_.RefreshCallUsage) hooks_.RefreshCallUsage();
    if (!alertTimer_.Running() && hooks_.CheckForNewVersion) hooks_.CheckForNewVersion();
    FetchNoticeFile();
  }

  if (noNotice_) settings_.SeenNoticeRefs.clear();  // 19
  if (!alertTimer_.Running() && settings_.CheckEmail && hooks_.CheckMailboxes)
    hooks_.CheckMailboxes();
  if (AutoScalePending && hooks_.AutoScaleFromPlan) {
    hooks_.AutoScaleFromPlan();
    AutoScalePending = false;
  }
  if (hooks_.UsageUpdated) hooks_.UsageUpdated();
}

void TUpdateCycle::Finish(int intervalMs) {  // 22
  SetMainInterval(intervalMs);
  view_.SetBottomButton("&Refresh");
  view_.SetRefreshEnabled(true);
  alertTimer_.Start();
  countdownResting_ = false;
  alertState_ = 1;
  retryStatusText_ = view_.Status();
}

void TUpdateCycle::TrayAlertTimerTimer() {
  const bool phase = blinkPhase_;
  blinkPhase_ = !blinkPhase_;
  if (alertState_ == 0 || alertState_ == 1) {
    if (!view_.WindowVisible()) {
      // Nothing to count down on a hidden window: the timer rests until the
      // window shows again, so an idle program does not wake every second.
      alertTimer_.Stop();
      countdownResting_ = true;
      return;
    }
    const int64_t left = nextUpdateTick_ - clock_.TickMs();
    if (left <= 0) {
      alertTimer_.Stop();
      return;
    }
    if (alertState_ == 0) {
      view_.SetStatus(Format("  The first update will start in %1.0n seconds ...",
                             {static_cast<long double>(left) / 1000}));
      return;
    }
    const int64_t s = RoundHalfEven(static_cast<long double>(left) / 1000);
    view_.SetStatus(
        s / 60 > 0 ? Format("%s  Retrying in %d min %d sec", {retryStatusText_, s / 60, s % 60})
                   : Format("%s  Retrying in %d sec", {retryStatusText_, s}));
    return;
  }
  if (alertState_ == 2 || alertState_ == 5) view_.ShowAlertPicture(alertState_, !phase);
}

void TUpdateCycle::WindowShown() {
  if (!countdownResting_) return;
  countdownResting_ = false;
  if (alertState_ == 0 || alertState_ == 1) alertTimer_.Start();
}

void TUpdateCycle::TrayIcon1Click() {
  if (!alertTimer_.Running()) return;
  if (alertState_ > 1) alertTimer_.Stop();
  view_.RestoreTray();
}

void TUpdateCycle::StartAlert(int alertState) {
  alertState_ = alertState;
  countdownResting_ = false;
  alertTimer_.Start();
}

void TUpdateCycle::AccountSetupChange(bool credentialsEdited) {
  if (credentialsEdited) credentialsChanged_ = true;
  view_.SetBottomButton("&Refresh");
  view_.SetRefreshEnabled(true);
}

void TUpdateCycle::CheckSpamRate() {
  THttpClient client(config_.Context ? *config_.Context : TNetContext::Default());
  client.UserAgent = UserAgent();
  client.ReadTimeoutMs = 30000;
  ApplyProxySettings(client, ProxyOf(settings_));  // as every other request
  try {
    const std::string body =
        Trim(client.Get(config_.ApiHost + "/cgi-bin/showmyspamrate?textonly=1"));
    const auto lf = body.find('\n');
    // The address is what comes before the line feed: none without one.
    std::string address = lf == std::string::npos ? "" : body.substr(0, lf);
    if (!address.empty() && address.back() == '\r') address.pop_back();
    view_.SetPublicAddress(address.substr(0, kLabelTextLimit));
    const std::string status = lf == std::string::npos ? "" : body.substr(lf + 1, kLabelTextLimit);
    if (!settings_.SkipSpamCheck && !status.empty() && status[0] != 'N') {
      TNoticeRequest n;
      n.Caption = kNoticeCaption;
      n.Body = std::string(kSpamNoticeLine1) + "\n" + kSpamNoticeLine2;
      n.Alert = true;
      n.LinkAddress = config_.ApiHost + "/cgi-bin/showmyspamrate";
      notices_.ShowNotice(n);
    }
  } catch (const ENetError&) {
    view_.SetPublicAddress("");
  }
}

void TUpdateCycle::FetchNoticeFile() {
  if (config_.NoticeUrl.empty()) return;
  THttpClient client(config_.Context ? *config_.Context : TNetContext::Default());
  client.AllowCookies = true;
  ApplyProxySettings(client, ProxyOf(settings_));
  try {
    const std::string body = client.Get(config_.NoticeUrl);
    if (body.empty()) return;
    noNotice_ = false;
    const auto lf = body.find('\n');
    std::string reference = body.substr(0, lf);
    if (!reference.empty() && reference.back() == '\r') reference.pop_back();
    reference.resize(std::min(reference.size(), kNoticeRefLimit));  // as a service notice's
    const std::string message =
        lf == std::string::npos ? "" : body.substr(lf + 1, kNoticeBodyLimit);
    const auto& seen = settings_.SeenNoticeRefs;
    if (std::find(seen.begin(), seen.end(), reference) != seen.end()) reference.clear();
    if (reference.empty()) return;
    TNoticeRequest n;
    n.Caption = kNoticeCaption;
    n.Body = message;
    n.Reference = reference;
    notices_.ShowNotice(n);
  } catch (const ENetError&) {
  }
}

}  // namespace qgm

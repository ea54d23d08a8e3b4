#pragma once
// The update cycle: the hourly usage update with its ten-minute retries, the
// first-update countdown and the once-a-second tick, as a controller that
// talks to the window through a view interface and to time through clock
// and timer interfaces (so tests run hours of cycle in milliseconds).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/debug/DebugLog.h"
#include "core/settings/Settings.h"
#include "core/usage/BroadbandFigures.h"
#include "core/usage/UsageService.h"
#include "core/util/Timing.h"

namespace qgm {

// What the cycle shows in the window and the tray.
class IUpdateView {
 public:
  virtual ~IUpdateView() = default;
  virtual void SetStatus(const std::string& text) = 0;
  virtual std::string Status() const = 0;
  virtual void SetBottomButton(const std::string& caption) = 0;  // "O&K" or "&Refresh"
  virtual void SetRefreshEnabled(bool enabled) = 0;              // button and menu item
  virtual void ShowTray() = 0;
  virtual void DrawTrayNumber(int number, uint32_t barColour) = 0;
  // The normal hint, kept to come back to after an alert.
  virtual void SetTrayHint(const std::string& hint) = 0;
  // Back to the normal hint and the number picture.
  virtual void RestoreTray() = 0;
  // One blink of an alert: the alert icon ("ZMAIL" for 2, "ZPHONE" for 5)
  // or the number picture.
  virtual void ShowAlertPicture(int alertState, bool alertIcon) = 0;
  virtual void ShowUsageFigures(const TBroadbandFigures& figures) = 0;
  virtual void ShowServiceDetails(const TServiceDetails& details) = 0;
  virtual void SetPublicAddress(const std::string& address) = 0;
  virtual bool WindowVisible() const = 0;
};

// The follow-up work of later features, called in this order by an update.
// An empty function is work not built yet: it does nothing.
struct TUpdateHooks {
  std::function<void()> CancelDownloadTest;
  std::function<void()> RefreshAdvisories;  // errors are the hook's own
  std::function<bool()> CallUsageRunning;   // an update is skipped meanwhile
  // The history step; `firstUpdate` tells whether the log is to be skipped.
  std::function<void(TUsageService& service, const TUsageAccount& account, bool firstUpdate)>
      History;
  std::function<void()> CheckClock;
  std::function<void()> FillAvailableChannels;
  std::function<void()> RefreshCallUsage;    // only when the CallHaven tab is visible
  std::function<void()> CheckForNewVersion;  // version link reset and check
  std::function<void()> CheckMailboxes;      // may start an alert (AlertState 2 or 5)
  std::function<void()> AutoScaleFromPlan;
  // Last of every successful update: the record and the history are fresh.
  std::function<void()> UsageUpdated;
};

// The account the settings name.
inline TUsageAccount AccountOf(const TSettings& s) {
  return {s.AccountName, s.Password, s.AccountType};
}

// The proxy the settings name (the Setup tab's Proxy page).
inline TProxySettings ProxyOf(const TSettings& s) {
  return {s.UseProxy, s.ProxyAddress, s.ProxyPort, s.ProxyUsername, s.ProxyPassword};
}

struct TUpdateConfig {
  std::string ApiHost;    // "https://host[:port]" for the spam-rate page
  std::string NoticeUrl;  // the program's notice file (plain HTTP); empty: none
  TNetContext* Context = nullptr;
  // Saving the pair after a success when the user edited it.
  std::function<void(const TUsageAccount&)> SaveAccount;
};

inline constexpr int kHourMs = 3600000;
inline constexpr int kRetryMs = 600000;
inline constexpr const char* kSpamNoticeLine1 =
    "Corvalink has detected what appears to be SPAM coming from your IP address.";
inline constexpr const char* kSpamNoticeLine2 =
    "Please contact the Corvalink Help Desk on 1300 268 254 as soon as possible.";

class TUpdateCycle {
 public:
  // `settings` are the program's live settings: every update reads them as
  // they stand then, so a change made in Setup reaches the next update. The
  // cycle writes only the seen notice references.
  TUpdateCycle(TSettings& settings, TUsageService& service, IUpdateView& view, IClock& clock,
               ITimer& mainTimer, ITimer& alertTimer, INoticeSink& notices, TDebugLog& log,
               TUpdateConfig config, TUpdateHooks hooks = {});

  TUsageRecord Record;

  // Start-up: the "?" in the tray and the first-update countdown.
  void Start(int startDelaySeconds);
  // The update (MainTimer's tick, Refresh, the tray menu's Refresh).
  void MainTimerTimer();
  // The once-a-second tick: countdowns and alert blinking.
  void TrayAlertTimerTimer();
  // The window was shown: a countdown resting while it was hidden goes on.
  void WindowShown();
  // A click on the tray icon (also before its menu opens): ends an alert.
  void TrayIcon1Click();
  // The account name or password was edited (Refresh becomes possible).
  void AccountSetupChange(bool credentialsEdited);
  // The mailbox check starts an alert (2 new mail, 5 voicemail).
  void StartAlert(int alertState);

  int AlertState() const { return alertState_; }
  // A mail or voicemail alert blinks, not yet acknowledged.
  bool AlertFlashing() const { return alertState_ > 1 && alertTimer_.Running(); }
  bool FirstUpdate() const { return firstUpdate_; }
  bool CredentialsChanged() const { return credentialsChanged_; }
  bool AutoScalePending = false;
  const std::string& RetryStatusText() const { return retryStatusText_; }
  int64_t NextUpdateTick() const { return nextUpdateTick_; }

  // The spam-rate check after every successful update.
  void CheckSpamRate();
  // The program's notice file, at the first update.
  void FetchNoticeFile();

 private:
  void Finish(int intervalMs);
  void SetMainInterval(int ms);

  TSettings& settings_;
  TUsageService& service_;
  IUpdateView& view_;
  IClock& clock_;
  ITimer& mainTimer_;
  ITimer& alertTimer_;
  INoticeSink& notices_;
  TDebugLog& log_;
  TUpdateConfig config_;
  TUpdateHooks hooks_;

  int alertState_ = 0;
  std::string retryStatusText_;
  bool firstUpdate_ = true;
  bool credentialsChanged_ = false;
  bool noNotice_ = false;
  bool blinkPhase_ = false;
  bool countdownResting_ = false;  // the countdown's timer stopped on a hidden window
  int64_t nextUpdateTick_ = 0;
};

}  // namespace qgm

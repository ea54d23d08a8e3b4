#pragma once
// Everything the program keeps between runs, as one plain model the windows
// bind to, and what the loader needs from the world outside it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/util/DateTime.h"

namespace qgm {

struct TMailboxSetting {
  std::string Name;
  std::string Password;
  std::string LastUidl;
  bool operator==(const TMailboxSetting&) const = default;
};

struct TRadioChannel {
  std::string Name;
  std::string Address;
};

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct TSettings {
  // Account (the Setup tab).
  int AccountType = 0;  // 0 Home / SOHO, 1 Business, 2 RoamMobile
  std::string AccountName;
  std::string Password;
  bool RunOnStartup = false;
  std::string ClientNo;  // empty: the customer number and its caption are hidden
  bool SkipSpamCheck = false;

  // Decided while loading.
  bool CommandLineCredentials = false;  // then nothing is ever saved
  bool DebugLogging = false;
  std::string WindowCaption = "QGM";
  bool ShowSetupTab = false;  // the account is incomplete
  bool ShowWindowAtStart = false;
  bool LanScaleInAbsent = true;  // scale the network graph once from the plan
  int SelectedAdapter = -1;      // index into the adapter list, -1 none

  // Proxy.
  bool UseProxy = false;
  std::string ProxyAddress;
  int ProxyPort = 0;
  std::string ProxyUsername;
  std::string ProxyPassword;

  // Options.
  bool StartMinimized = false;
  bool StayOnTop = false;
  bool ShowHistoryTotals = false;
  bool ShowHistoryDownloads = true;
  bool ShowHistoryUploads = false;
  bool HideAdvisoryTips = false;
  int StartDelay = 60;  // seconds, 0..180
  bool CheckEmail = false;
  bool CheckForUpdates = true;
  uint32_t TrayFontColor = 0;  // 0x00BBGGRR
  // Whether the user chose TrayFontColor in Setup. Until then it is the
  // desktop's default and the digits get a halo of the opposite lightness,
  // so they read on a panel of any colour.
  bool TrayFontColorChosen = false;
  std::string NetworkAdaptor;
  std::string RadioPlayer;

  // CallHaven.
  TDateTime CallhavenDate = 36526;  // 1 January 2000
  std::string CallhavenNo1;
  std::string CallhavenNo2;  // the password
  bool CallhavenVisible = false;

  // Network graph.
  int LanScaleIn = 11;
  int LanScaleOut = 15;
  bool SpeedInBytes = false;

  // Main window position.
  int PosX = 0;
  int PosY = 0;

  // Usage alerts: up to two levels in per cent of the allowance used (0:
  // none), the pace warning, and what has been told this billing month
  // ("<rollover yyyy-mm-dd>:<level>" or "...:pace").
  int UsageAlertLevel1 = 0;
  int UsageAlertLevel2 = 0;
  bool UsageAlertPace = false;
  std::vector<std::string> UsageAlertsTold;
  // The desktop showed no tray icons once and the user was told so.
  bool NoTrayToldOnce = false;

  // Notices and alerts in the program's own popups even where the desktop
  // has a notification server.
  bool OwnPopups = false;

  std::vector<std::string> SeenNoticeRefs;
  std::vector<std::string> HashList;
  std::vector<TMailboxSetting> Mailboxes;
  std::vector<TRadioChannel> RadioChannels;

  // The first update's delay: never below one second.
  int FirstUpdateIntervalMs() const { return (StartDelay < 1 ? 1 : StartDelay) * 1000; }
};

// What loading the settings takes from the window system and the machine.
struct TStartupContext {
  std::vector<std::string> Args;  // command-line arguments, program name excluded
  bool LaunchedMinimized = false;
  int WindowWidth = 0;
  int WindowHeight = 0;
  // The work area of the monitor nearest to a window rectangle (the primary
  // work area when there is only one).
  std::function<TRect(const TRect& window)> WorkArea;
  std::vector<std::string> AdapterNames;
  uint32_t DefaultTrayTextColor = 0;  // the theme's taskbar text colour, else black
  // The player for radio channels when none is stored.
  std::function<std::string()> DefaultRadioPlayer;
  bool CallFilesExist = false;
  TDateTime Now = 0;
};

}  // namespace qgm

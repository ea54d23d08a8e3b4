#pragma once
// What the main window asks of the program: the settings it shows, and the
// work behind its buttons, menus and Setup pages. The window never builds
// a service of its own.

#include <string>
#include <vector>

#include "core/about/ProviderLinks.h"
#include "core/settings/Settings.h"
#include "core/usage/UsageRecord.h"
#include "core/util/Timing.h"
#include "gui/app/Dialogs.h"

namespace qgm::gui {

enum class TOpenResult {
  Opened,
  Missing,    // there is nothing to open (yet)
  NoProgram,  // no program is associated with the file type
  Failed,     // a program is associated but could not open it
};

class IProgramActions {
 public:
  virtual ~IProgramActions() = default;
  // The live settings: what the pages change, the next update reads.
  virtual TSettings& Settings() = 0;
  virtual const TUsageRecord& Record() const = 0;
  // Where the window's timers come from (click-to-copy feedback, popups).
  virtual ITimerFactory& Timers() = 0;
  // The file and message dialogs the window shows.
  virtual IDialogs& Dialogs() = 0;
  // An update now (Refresh, the tray menu's Refresh).
  virtual void UpdateNow() = 0;
  // The window has just been shown.
  virtual void WindowShown() = 0;
  // A click on the tray icon or its menu opening: acknowledges an alert.
  virtual void TrayClicked() = 0;
  // Whether a mail or voicemail alert flashes in the tray, unacknowledged.
  virtual bool AlertFlashing() const = 0;
  // The Setup page changed the account type or edited the name or password.
  virtual void AccountChanged(bool typeChanged, bool credentialsEdited) = 0;
  virtual void ProxyChanged() = 0;
  virtual void CancelDownloadTest() = 0;
  // Starts the four-stream download test; false while one still runs.
  virtual bool StartDownloadTest() = 0;
  virtual bool DownloadTestRunning() const = 0;
  // The demo's provider runs on this computer: its traffic shows on the
  // loopback adapter, which the Network tab then offers too.
  virtual bool OffersLoopbackAdapter() const = 0;
  // The Advisories tab's refresh link.
  virtual void RefreshAdvisories() = 0;
  // The Advisories tab became the active page: what it lists is seen.
  virtual void AdvisoriesShown() = 0;
  // Plays a radio channel's stream with the chosen player.
  virtual void PlayChannel(const std::string& address) = 0;
  // The provider's unmetered channels (empty until downloaded), and a
  // download now when there are none yet.
  virtual const std::vector<TRadioChannel>& AvailableChannels() const = 0;
  virtual void FetchAvailableChannels() = 0;
  // The user's channel list or the player changed.
  virtual void RadioChanged() = 0;
  // CallHaven: the refresh sequence, the reset button, the details link,
  // and whether the tab shows (the box ticked, number and password given).
  virtual void RefreshCallUsage() = 0;
  virtual void ResetCallHistory() = 0;
  virtual void OpenCallMonth(int year, int month) = 0;
  virtual bool CallhavenTabVisible() const = 0;
  // The folder of the usage log, sounds and radio backups.
  virtual std::string DataFolderPath() const = 0;
  // A login to one of the provider's mailboxes (the Email page's test).
  virtual bool TestMailbox(const std::string& login, const std::string& password) = 0;
  // The debug report document for the account.
  virtual std::string DebugReport() = 0;
  virtual TOpenResult OpenUsageLog() = 0;
  virtual std::string UsageLogPath() const = 0;
  virtual bool OpenUrl(const std::string& address) = 0;
  // The program's home page.
  virtual std::string HomeSite() const = 0;
  // The address a provider link opens (for the account in the settings).
  virtual std::string ProviderLink(EProviderLink link) const = 0;
  virtual bool OpenFile(const std::string& path) = 0;
  // The help page ("#page" anchors are added by the window).
  virtual std::string HelpAddress() const = 0;
  // A page changed a setting: it is saved shortly after.
  virtual void SettingsChanged() = 0;
  // Saves everything and ends the program.
  virtual void Exit() = 0;
};

}  // namespace qgm::gui

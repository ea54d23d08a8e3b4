#pragma once
// The composition root: the one place that builds the program's services
// (settings, debug log, sound, network, usage service, history, timers, the
// update cycle and, as they arrive, each feature's controller), wires the
// update cycle's hooks, and owns the main window. The window keeps widgets,
// menus and keys, and reaches the program through IProgramActions.

#include <QObject>
#include <QPointer>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/about/Maintenance.h"
#include "core/advisories/Advisories.h"
#include "core/callusage/CallMonths.h"
#include "core/debug/DebugLog.h"
#include "core/history/History.h"
#include "core/mail/MailCheck.h"
#include "core/net/Endpoints.h"
#include "core/network/DownloadTest.h"
#include "core/platform/Autostart.h"
#include "core/platform/Folders.h"
#include "core/platform/Launcher.h"
#include "core/platform/Registry.h"
#include "core/settings/SettingsStore.h"
#include "core/sound/SoundPlayer.h"
#include "core/usage/UpdateCycle.h"
#include "gui/app/ProgramActions.h"
#include "gui/app/QtTime.h"
#include "gui/platform/DesktopNotifications.h"

namespace qgm::gui {

class TMainForm;
class TMessageForm;

struct TStartOptions {
  std::vector<std::string> Args;  // the command line for the settings
  TEndpoints Endpoints;
  TFolders Folders = UserFolders();  // settings, data and autostart folders
  bool Demo = false;
  int DemoStartDelay = 3;  // seconds, for the demo
  // Tests put their own clock and timers in; null: the event loop's.
  IClock* Clock = nullptr;
  ITimerFactory* Timers = nullptr;
  IDialogs* Dialogs = nullptr;  // tests answer the dialogs; null: the real ones
  // How many copies of the program run (this one included); null: one.
  std::function<int()> CountRunningCopies;
  // The desktop's notification server; null: the platform's.
  IDesktopNotifications* Notifications = nullptr;
};

class TProgram : public QObject, public IProgramActions, public INoticeSink {
  Q_OBJECT
 public:
  explicit TProgram(TStartOptions options);
  ~TProgram() override;

  TMainForm& Window() { return *window_; }
  TUpdateCycle& Cycle() { return *cycle_; }
  TMaintenance& Maintenance() { return *maintenance_; }
  bool ShowAtStart() const { return settings_.ShowWindowAtStart; }
  const TFolders& Folders() const { return options_.Folders; }
  const std::filesystem::path& DataFolder() const { return dataFolder_; }

  // IProgramActions
  TSettings& Settings() override { return settings_; }
  const TUsageRecord& Record() const override { return cycle_->Record; }
  ITimerFactory& Timers() override { return timers_; }
  IDialogs& Dialogs() override {
    return options_.Dialogs ? *options_.Dialogs : TQtDialogs::Shared();
  }
  void UpdateNow() override;
  void TrayClicked() override;
  bool AlertFlashing() const override { return cycle_ && cycle_->AlertFlashing(); }
  void WindowShown() override;
  void AccountChanged(bool typeChanged, bool credentialsEdited) override;
  void ProxyChanged() override;
  void CancelDownloadTest() override;
  bool StartDownloadTest() override;
  bool DownloadTestRunning() const override;
  bool OffersLoopbackAdapter() const override { return options_.Demo; }
  void RefreshAdvisories() override;
  void AdvisoriesShown() override;
  bool TestMailbox(const std::string& login, const std::string& password) override;
  void PlayChannel(const std::string& address) override;
  const std::vector<TRadioChannel>& AvailableChannels() const override { return available_; }
  void FetchAvailableChannels() override;
  void RadioChanged() override;
  std::string DataFolderPath() const override { return dataFolder_.string(); }
  void RefreshCallUsage() override;
  void ResetCallHistory() override;
  void OpenCallMonth(int year, int month) override;
  bool CallhavenTabVisible() const override;
  const TCallhaven& Calls() const { return calls_; }
  std::string DebugReport() override;
  TOpenResult OpenUsageLog() override;
  std::string UsageLogPath() const override;
  bool OpenUrl(const std::string& address) override;
  std::string HomeSite() const override { return options_.Endpoints.HomeSite; }
  std::string ProviderLink(EProviderLink link) const override {
    return ProviderLinkAddress(link, options_.Endpoints, settings_.AccountName);
  }
  bool OpenFile(const std::string& path) override;
  std::string HelpAddress() const override;
  void SettingsChanged() override;
  void Exit() override;
  // Writes the settings now (the window's place among them). Called on
  // every way the program ends and shortly after a change.
  void Save();

  // INoticeSink
  void ShowNotice(const TNoticeRequest& notice) override;

 private:
  void LoadSettings();
  void WireSaving();
  void ShowStarting();
  void BuildServices();
  TUpdateHooks MakeHooks();
  void BuildMaintenance();
  // The update cycle's release check, when the Setup tab and the computer allow it.
  void CheckForNewVersionNow();
  void RunHistory(TUsageService& service, const TUsageAccount& account, bool firstUpdate);
  // After each successful update: where the month is heading, and the
  // usage alerts that are due.
  void UsageUpdated();
  // Refreshes the advisories; false when the list stays as it was.
  bool FetchAdvisories();
  // The update's mailbox check: the alert, its hint and its sound (and a
  // notification where the desktop shows them).
  void CheckMail();
  // Once, ever: the desktop shows no tray icons, and how to get them.
  void TellNoTray();
  // Whether notices and alerts go to the desktop's notification server.
  bool UseDesktopNotifications() const;
  // The notice in the program's own popup, with its sound.
  void ShowPopup(const TNoticeRequest& notice);
  // The user has closed a notice: its reference is remembered.
  void NoticeClosed(const std::string& reference);

  TStartOptions options_;
  std::filesystem::path dataFolder_;  // made (if need be) once, at start
  TRegistryStore registry_;
  TAutostart autostart_;
  TDebugLog log_;
  TSoundPlayer sound_;
  TLauncher launcher_;
  std::unique_ptr<ISecretStore> keyring_;  // null: passwords stay in the hive
  std::unique_ptr<TSettingsStore> store_;
  TSettings settings_;
  std::unique_ptr<TNetContext> net_;
  std::unique_ptr<TUsageService> service_;
  TMailServer mailServer_;
  TQtClock qtClock_;
  IClock& clock_;
  ITimerFactory& timers_;
  std::unique_ptr<ITimer> mainTimer_, alertTimer_;
  std::unique_ptr<ITimer> saveTimer_;  // a save soon after a change
  THistory history_;
  std::vector<QPointer<TMessageForm>> popups_;  // notices still open
  std::unique_ptr<IDesktopNotifications> desktopNotifications_;
  IDesktopNotifications* notifications_ = nullptr;  // the one in use
  std::unique_ptr<TMainForm> window_;
  std::unique_ptr<TUpdateCycle> cycle_;
  std::unique_ptr<TAdvisories> advisories_;
  std::vector<TRadioChannel> available_;  // sorted by caption
  bool defaultChannelsPending_ = false;   // the stored list was empty at start
  TCallhaven calls_;
  std::unique_ptr<TDownloadTest> downloadTest_;
  std::unique_ptr<TMaintenance> maintenance_;
  bool callsRunning_ = false;
};

}  // namespace qgm::gui

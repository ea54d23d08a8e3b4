#include "gui/app/Program.h"

#include <algorithm>

#include <QApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QPointer>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>

#include "core/callusage/CallDownload.h"
#include "core/history/HistoryStep.h"
#include "core/network/Adaptors.h"
#include "core/network/DownloadTest.h"
#include "core/platform/Associations.h"
#include "core/platform/FreedMemory.h"
#include "core/platform/Privileges.h"
#include "core/platform/ProcessValues.h"
#include "core/platform/Programs.h"
#include "core/platform/SoundOutput.h"
#include "core/radio/Channels.h"
#include "core/radio/RadioList.h"
#include "core/sound/Waves.h"
#include "core/usage/DebugReport.h"
#include "core/usage/Projection.h"
#include "core/usage/UsageAlerts.h"
#include "core/util/Format.h"
#include "gui/about/AboutPage.h"
#include "gui/advisories/AdvisoriesPage.h"
#include "gui/app/MainForm.h"
#include "gui/app/Text.h"
#include "gui/broadband/BroadbandPage.h"
#include "gui/network/NetworkPage.h"
#include "gui/platform/Keyring.h"
#include "gui/platform/MediaPlayers.h"
#include "gui/platform/TerminationSignals.h"
#include "gui/tray/MessageForm.h"
#include "gui/tray/TrayIcon.h"

namespace qgm::gui {
namespace {

constexpr int kSaveDelayMs = 3000;
constexpr int kStartingCursorMs = 1000;

// The tray number's colour until the user picks one: white on a dark
// desktop, black on a light one (by the lightness of the palette's window
// colour), as 0x00BBGGRR.
uint32_t DefaultTrayTextColour() {
  return QGuiApplication::palette().color(QPalette::Window).lightness() < 128 ? 0x00FFFFFFu : 0u;
}

}  // namespace

TProgram::TProgram(TStartOptions options)
    : options_(std::move(options)),
      dataFolder_(ReadyDataFolder(options_.Folders)),
      registry_(HiveFileIn(options_.Folders.Config)),
      autostart_(options_.Folders.Autostart),
      log_(dataFolder_ / "Debug.txt"),
      sound_(dataFolder_ / "Sounds"),
      launcher_(registry_),
      clock_(options_.Clock ? *options_.Clock : qtClock_),
      timers_(options_.Timers ? *options_.Timers : TQtTimerFactory::Shared()) {
  LoadSettings();
  sound_.SetLog(log_);  // a failing player's complaint goes there
  BuildServices();
  if (!options_.Notifications) desktopNotifications_ = MakeDesktopNotifications();
  notifications_ = options_.Notifications ? options_.Notifications : desktopNotifications_.get();
  window_ = std::make_unique<TMainForm>(*this);
  advisories_ = std::make_unique<TAdvisories>(
      TAdvisoriesConfig{options_.Endpoints.FeedsUrl, ProgramUserAgent(), net_.get()},
      settings_.HashList, clock_, &window_->AdvisoriesPage());
  cycle_ = std::make_unique<TUpdateCycle>(
      settings_, *service_, *window_, clock_, *mainTimer_, *alertTimer_, *this, log_,
      [this] {
        TUpdateConfig c;
        c.ApiHost = ApiHostOf(options_.Endpoints.ApiBase);
        c.NoticeUrl = options_.Endpoints.HomeSite + "notice.txt";
        c.Context = net_.get();
        c.SaveAccount = [this](const TUsageAccount& a) {
          // A run with the account on its command line never writes a setting.
          if (!settings_.CommandLineCredentials)
            store_->SaveAccount(a.AccountType, a.Name, a.Password);
        };
        return c;
      }(),
      MakeHooks());
  cycle_->AutoScalePending = settings_.LanScaleInAbsent;
  BuildMaintenance();
  WireSaving();
  window_->Start();
  if (!window_->Tray().Available()) TellNoTray();
  cycle_->Start(settings_.StartDelay);
}

TProgram::~TProgram() {
  // Popups and notifications still open call back into the program: they
  // go first.
  desktopNotifications_.reset();
  notifications_ = nullptr;
  for (auto& popup : popups_) delete popup.data();
  // The window goes first: it is the cycle's view. The download test's
  // streams are stopped and waited for before the window they report to.
  downloadTest_.reset();
  maintenance_.reset();
  advisories_.reset();
  cycle_.reset();
  window_.reset();
}

void TProgram::WireSaving() {
  // Saved on every way the program ends: Exit, the desktop session ending,
  // the event loop ending for any reason, and the system's termination
  // signals; and a few seconds after a change, so a crash or power cut loses
  // nothing either (the hive is replaced atomically).
  saveTimer_ = timers_.MakeTimer([this] {
    saveTimer_->Stop();
    Save();
  });
  saveTimer_->SetInterval(kSaveDelayMs);
  connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { Save(); });
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { Save(); });
  // exit, not quit: quit asks the windows first, and the main window only
  // hides into the tray when asked to close.
  // A signal may come while a network call waits (it is heard in the
  // call's idle hook): the call is abandoned, so the program ends now
  // instead of when the server answers.
  new TTerminationSignals(
      [this] {
        Save();
        net_->Cancel();
        QApplication::exit(0);
      },
      this);
}

void TProgram::LoadSettings() {
  // The demo's settings live in a folder of their own: its passwords never
  // go near the user's keyring.
  if (!options_.Demo) keyring_ = MakeDesktopKeyring();
  store_ = std::make_unique<TSettingsStore>(registry_, autostart_, log_, ProgramPath().string(),
                                            keyring_.get());
  TStartupContext context;
  context.Args = options_.Args;
  context.WindowWidth = TMainForm::kWidth;
  context.WindowHeight = TMainForm::kHeight;
  context.WorkArea = [](const TRect& r) {
    QScreen* screen = QGuiApplication::screenAt(QPoint(r.Left, r.Top));
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect a = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    return TRect{a.left(), a.top(), a.right() + 1, a.bottom() + 1};
  };
  context.Now = clock_.Now();
  context.DefaultTrayTextColor = DefaultTrayTextColour();
  context.CallFilesExist = CallFilesExist(dataFolder_);
  context.AdapterNames = ListAdaptors(OffersLoopbackAdapter());
  store_->LoadSettings(settings_, context);
  store_->LoadMailboxes(settings_);
  store_->LoadRadioList(settings_);
  defaultChannelsPending_ = settings_.RadioChannels.empty();
  if (options_.Demo) {
    settings_.AccountName = "demo";
    settings_.Password = "demo";
    settings_.StartDelay = options_.DemoStartDelay;
    settings_.ShowWindowAtStart = true;
    settings_.ShowSetupTab = false;
    // The demo watches the loopback adapter (listed last, after this
    // machine's real ones), where its provider's traffic and so its
    // download test show.
    if (settings_.NetworkAdaptor.empty() && !context.AdapterNames.empty()) {
      settings_.NetworkAdaptor = context.AdapterNames.back();
      settings_.SelectedAdapter = static_cast<int>(context.AdapterNames.size()) - 1;
    }
    // The demo's CallHaven account.
    if (settings_.CallhavenNo1.empty()) {
      settings_.CallhavenNo1 = "0298765432";
      settings_.CallhavenNo2 = "callhaven";
      settings_.CallhavenVisible = true;
    }
    // The demo's mailboxes: new mail in one, mail and voicemail in the other.
    if (settings_.Mailboxes.empty()) {
      settings_.CheckEmail = true;
      settings_.Mailboxes = {{"demo", "demo", ""}, {"family", "family", ""}};
    }
  }
}

void TProgram::BuildServices() {
  net_ = std::make_unique<TNetContext>(options_.Endpoints.CaFile);
  // A blocking request keeps the window alive between its slices.
  net_->SetIdleHook([] { QApplication::processEvents(QEventLoop::AllEvents, 50); });
  TUsageServiceConfig serviceConfig;
  serviceConfig.ApiBase = options_.Endpoints.ApiBase;
  serviceConfig.Request.Context = net_.get();
  serviceConfig.Request.Proxy = ProxyOf(settings_);
  serviceConfig.DataFolder = dataFolder_;
  service_ = std::make_unique<TUsageService>(serviceConfig, *this);
  mailServer_ =
      MailServerAt(options_.Endpoints.MailHost, options_.Endpoints.VoicemailSender, net_.get());
  mailServer_.Log = &log_;
  mainTimer_ = timers_.MakeTimer([this] { cycle_->MainTimerTimer(); });
  alertTimer_ = timers_.MakeTimer([this] { cycle_->TrayAlertTimerTimer(); });
}

void TProgram::BuildMaintenance() {
  TMaintenanceConfig c;
  c.HomeSite = options_.Endpoints.HomeSite;
  c.TimeHost = options_.Endpoints.TimeHost;
  c.Context = net_.get();
  c.Proxy = [this] { return ProxyOf(settings_); };
  c.Now = [this] { return clock_.Now(); };
  c.DataFolder = dataFolder_;
  c.ProgramPath = ProgramPath().string();
  c.AcknowledgeAlert = [this] { TrayClicked(); };
  c.StartUpdater = [](const std::string& program, const std::string& update) {
    return StartProgram({(ProgramFolder() / "qgm-update").string(), program, update});
  };
  // Later, from the event loop: the notice whose link asked for it closes
  // first.
  c.Quit = [this] { QTimer::singleShot(0, this, [this] { Exit(); }); };
  maintenance_ = std::make_unique<TMaintenance>(std::move(c), window_->AboutPage(), *this);
  window_->AboutPage().OnCheckVersion = [this] { maintenance_->ManualVersionCheck(); };
}

void TProgram::CheckForNewVersionNow() {
  const int copies = options_.CountRunningCopies ? options_.CountRunningCopies() : 1;
  if (!AutomaticVersionCheckAllowed(settings_.CheckForUpdates, copies, IsAdministrator())) return;
  maintenance_->ResetVersionLink();
  maintenance_->CheckForNewVersion();
}

TUpdateHooks TProgram::MakeHooks() {
  // Each feature attaches here; a hook left empty is a feature not built yet.
  TUpdateHooks hooks;
  hooks.RefreshAdvisories = [this] {
    advisories_->ApplyProxy(ProxyOf(settings_));
    // A refresh that fails leaves the list as it is, items expanded,
    // selected and scrolled as the user left them.
    FetchAdvisories();
  };
  hooks.CheckMailboxes = [this] { CheckMail(); };
  hooks.FillAvailableChannels = [this] { FetchAvailableChannels(); };
  hooks.RefreshCallUsage = [this] {
    if (CallhavenTabVisible()) RefreshCallUsage();
  };
  hooks.CallUsageRunning = [this] { return callsRunning_; };
  hooks.AutoScaleFromPlan = [this] { window_->AutoScaleNetwork(); };
  hooks.CancelDownloadTest = [this] { CancelDownloadTest(); };
  hooks.CheckClock = [this] { maintenance_->CheckClock(); };
  hooks.UsageUpdated = [this] { UsageUpdated(); };
  hooks.CheckForNewVersion = [this] { CheckForNewVersionNow(); };
  hooks.History = [this](TUsageService& service, const TUsageAccount& account, bool first) {
    RunHistory(service, account, first);
  };
  return hooks;
}

void TProgram::UsageUpdated() {
  const TProjection projection = ProjectUsage(cycle_->Record, history_, clock_.Now());
  window_->BroadbandPage().ShowProjection(ProjectionText(projection));
  const TUsageAlertSettings alerts{settings_.UsageAlertLevel1, settings_.UsageAlertLevel2,
                                   settings_.UsageAlertPace};
  const auto toldBefore = settings_.UsageAlertsTold;
  for (const TNoticeRequest& n :
       DueUsageAlerts(alerts, cycle_->Record, projection, settings_.UsageAlertsTold))
    ShowNotice(n);
  if (settings_.UsageAlertsTold != toldBefore) SettingsChanged();
  // The update's documents (the whole history at the first) are freed: the
  // program sits in the tray for the next hour without them.
  ReturnFreedMemory();
}

void TProgram::RunHistory(TUsageService& service, const TUsageAccount& account, bool firstUpdate) {
  const THistoryStepResult r =
      RunHistoryStep(history_, service, account, firstUpdate, dataFolder_, clock_.Now());
  if (!r.Fetched) return;
  cycle_->Record.TodayTotalMB = r.TodayTotalMB;
  window_->ShowHistory(history_, cycle_->Record.Rollover, Format("%1.0n MB", {r.TodayTotalMB}));
}

bool TProgram::FetchAdvisories() {
  try {
    return advisories_->RefreshAdvisories();
  } catch (const std::exception&) {
    // Advisories never interrupt the update; the next refresh tries again.
    return false;
  }
}

void TProgram::RefreshAdvisories() {
  // The refresh link emptied the list: a refresh that changes nothing puts
  // back what it showed.
  if (!FetchAdvisories()) window_->AdvisoriesPage().ShowAdvisories(advisories_->Items());
}

void TProgram::CheckMail() {
  try {
    const TMailCheckResult r = CheckMailboxes(mailServer_, settings_.Mailboxes);
    if (r.Names.empty()) return;  // hint, icon and sound stay as they are
    window_->ShowAlertHint(r.Hint);
    cycle_->StartAlert(r.Voicemail ? 5 : 2);
    const bool voicemail = r.Voicemail;
    const auto playOwnSound = [this, voicemail] {
      if (voicemail)
        sound_.Play("ring", RingWave());
      else
        sound_.PlayFile(DesktopEventSound("message-new-email"));
    };
    if (!UseDesktopNotifications()) return playOwnSound();
    // The tray keeps its blinking alert and hint; the notification says it
    // too, for a desktop whose tray is hidden or absent.
    TNotification n;
    n.Summary = voicemail ? tr("New voicemail") : tr("New mail");
    n.Body = Q(r.Hint);
    n.Category = QStringLiteral("email.arrived");
    n.SoundName =
        voicemail ? QStringLiteral("phone-incoming-call") : QStringLiteral("message-new-email");
    TNotificationEvents events;
    events.Shown = [playOwnSound](bool serverPlaysSound) {
      if (!serverPlaysSound) playOwnSound();
    };
    events.NotShown = playOwnSound;
    notifications_->Notify(n, std::move(events));
  } catch (const std::exception&) {
    // A check that goes wrong is no mail; the next update checks again.
  }
}

void TProgram::TellNoTray() {
  if (settings_.NoTrayToldOnce) return;
  settings_.NoTrayToldOnce = true;
  SettingsChanged();
  TNoticeRequest n;
  n.Caption = kNoticeCaption;
  n.Body =
      "This desktop shows no tray icons, so QGM runs as an ordinary window: minimise it to "
      "the taskbar, and closing it ends the program.\n\nOn GNOME, the extension \"AppIndicator "
      "and KStatusNotifierItem Support\" (Debian's gnome-shell-extension-appindicator) shows "
      "tray icons in the top bar; QGM's icon moves there as soon as it is on.";
  ShowNotice(n);
}

bool TProgram::TestMailbox(const std::string& login, const std::string& password) {
  return qgm::TestMailbox(mailServer_, login, password);
}

void TProgram::FetchAvailableChannels() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::vector<TRadioChannel> list =
      DownloadRadioList(ApiHostOf(options_.Endpoints.ApiBase), ProxyOf(settings_), net_.get());
  QApplication::restoreOverrideCursor();
  // A user list that was empty at start gets the provider's own channels,
  // from this same download, in its order.
  if (defaultChannelsPending_ && !list.empty()) {
    defaultChannelsPending_ = false;
    if (settings_.RadioChannels.empty()) {
      settings_.RadioChannels = DefaultChannels(list);
      window_->ShowUserChannels();  // the Radio page may be open already
      RadioChanged();
    }
  }
  SortChannels(list);
  available_ = std::move(list);
  window_->ShowAvailableChannels();
}

bool TProgram::CallhavenTabVisible() const {
  return settings_.CallhavenVisible && !settings_.CallhavenNo1.empty() &&
         !settings_.CallhavenNo2.empty();
}

void TProgram::RefreshCallUsage() {
  if (callsRunning_) return;
  callsRunning_ = true;
  window_->SetCallsRefreshing(true);
  TCallDownload d;
  d.ApiHost = ApiHostOf(options_.Endpoints.ApiBase);
  d.Phone = settings_.CallhavenNo1;
  d.Password = settings_.CallhavenNo2;
  d.Proxy = ProxyOf(settings_);
  d.Context = net_.get();
  d.Folder = dataFolder_;
  d.Status = [this] { return window_->Status(); };
  d.SetStatus = [this](const std::string& text) { window_->SetStatus(text); };
  const TDateTime before = settings_.CallhavenDate;
  try {
    DownloadCallMonths(d, clock_.Now(), settings_.CallhavenDate);
    const TCallMonthsLoaded loaded = LoadCallMonths(calls_, dataFolder_, clock_.Now());
    for (const std::string& refused : loaded.Refused) log_.Write("CallHaven: left out " + refused);
    window_->ShowCalls(calls_, loaded);
  } catch (const std::exception&) {
    // The next refresh tries again; the tab keeps what it showed.
  }
  if (settings_.CallhavenDate != before) SettingsChanged();
  window_->SetCallsRefreshing(false);
  callsRunning_ = false;
}

void TProgram::ResetCallHistory() {
  settings_.CallhavenDate = EncodeDate(2000, 1, 1);
  SettingsChanged();
  if (CallhavenTabVisible()) RefreshCallUsage();
}

void TProgram::OpenCallMonth(int year, int month) {
  const std::filesystem::path file = CallFileName(dataFolder_, year, month);
  std::error_code ec;
  if (std::filesystem::exists(file, ec)) OpenFile(file.string());
}

void TProgram::RadioChanged() {
  window_->BuildRadioMenu();
  SettingsChanged();
}

void TProgram::PlayChannel(const std::string& channelAddress) {
  // Checked before either way of playing: a running player opens what it
  // is sent as readily as a new one.
  const std::string address = TLauncher::StreamAddress(channelAddress);
  if (address.empty()) return;
  // The program MPRIS is asked for: the chosen player, else the desktop's.
  std::string program = settings_.RadioPlayer;
  if (program.empty()) program = FindAssociatedExe(registry_, ".pls");
  if (program.empty()) program = FindAssociatedExe(registry_, ".mp3");
  ShowStarting();
  if (!OpenWithRunningPlayer(program, address))
    launcher_.PlayStream(settings_.RadioPlayer, address);
}

void TProgram::AdvisoriesShown() {
  const std::vector<std::string> before = settings_.HashList;
  advisories_->RememberSeenAdvisories();
  if (settings_.HashList != before) SettingsChanged();
}

void TProgram::UpdateNow() {
  cycle_->MainTimerTimer();
}

void TProgram::WindowShown() {
  if (cycle_) cycle_->WindowShown();
}

void TProgram::TrayClicked() {
  cycle_->TrayIcon1Click();
}

void TProgram::AccountChanged(bool typeChanged, bool credentialsEdited) {
  if (typeChanged) store_->AccountTypeChanged(settings_, settings_.AccountType);
  const bool marked = credentialsEdited && store_->CredentialsEdited(settings_);
  cycle_->AccountSetupChange(marked);
}

void TProgram::ProxyChanged() {
  service_->SetProxy(ProxyOf(settings_));
  cycle_->AccountSetupChange(false);
}

void TProgram::CancelDownloadTest() {
  if (downloadTest_) downloadTest_->Stop();
}

bool TProgram::StartDownloadTest() {
  if (!downloadTest_) {
    TDownloadTest::TConfig c;
    c.MirrorHost = options_.Endpoints.MirrorHost;
    // The streams' events come back to the window's thread.
    c.Post = [this](std::function<void()> work) {
      QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
    };
    c.OnTransferStart = [this] { window_->NetworkPage().DownloadTestStarted(); };
    c.OnEnded = [this] { window_->NetworkPage().DownloadTestEnded(); };
    downloadTest_ = std::make_unique<TDownloadTest>(std::move(c));
  }
  return downloadTest_->Start();
}

bool TProgram::DownloadTestRunning() const {
  return downloadTest_ && downloadTest_->Running();
}

std::string TProgram::DebugReport() {
  return FetchDebugReport(*service_, AccountOf(settings_));
}

std::string TProgram::UsageLogPath() const {
  return UsageLogFile(dataFolder_, settings_.AccountName).string();
}

TOpenResult TProgram::OpenUsageLog() {
  const std::filesystem::path file = UsageLogPath();
  std::error_code ec;
  if (file.empty() || !std::filesystem::exists(file, ec)) return TOpenResult::Missing;
  if (OpenFile(file.string())) return TOpenResult::Opened;
  return launcher_.HasAssociation(".csv") || launcher_.HasAssociation(".txt")
             ? TOpenResult::Failed
             : TOpenResult::NoProgram;
}

bool TProgram::OpenUrl(const std::string& address) {
  ShowStarting();
  return launcher_.OpenUrl(address);
}

bool TProgram::OpenFile(const std::string& path) {
  ShowStarting();
  return launcher_.OpenFile(path);
}

void TProgram::ShowStarting() {
  // The pointer says a program is starting, for a moment; nothing waits.
  QApplication::setOverrideCursor(Qt::BusyCursor);
  QTimer::singleShot(kStartingCursorMs, qApp, [] { QApplication::restoreOverrideCursor(); });
}

std::string TProgram::HelpAddress() const {
  return options_.Endpoints.HomeSite + "help.html";
}

void TProgram::SettingsChanged() {
  saveTimer_->Start();  // a running wait starts afresh
}

void TProgram::Save() {
  if (saveTimer_) saveTimer_->Stop();
  window_->StorePlace();
  store_->SaveSettings(settings_);
}

void TProgram::Exit() {
  CancelDownloadTest();  // returns at once; the streams end on their own
  Save();
  // A request may be waiting on a server (Exit came through its idle
  // hook): it is abandoned, so the program ends now, not when the server
  // answers or its time-out runs out.
  net_->Cancel();
  QApplication::quit();
}

bool TProgram::UseDesktopNotifications() const {
  return notifications_ && !settings_.OwnPopups;
}

void TProgram::NoticeClosed(const std::string& reference) {
  settings_.SeenNoticeRefs.push_back(reference);
  SettingsChanged();
}

void TProgram::ShowPopup(const TNoticeRequest& notice) {
  if (notice.Alert) sound_.Play("cuckoo", CuckooWave());
  auto* popup = new TMessageForm(
      notice, [this](const std::string& url) { OpenUrl(url); },
      [this](const std::string& reference) { NoticeClosed(reference); }, timers_);
  popups_.erase(std::remove(popups_.begin(), popups_.end(), nullptr), popups_.end());
  popups_.emplace_back(popup);
  // Shown from the event loop, as a posted message would be.
  QMetaObject::invokeMethod(popup, &QWidget::show, Qt::QueuedConnection);
}

void TProgram::ShowNotice(const TNoticeRequest& notice) {
  if (!UseDesktopNotifications()) return ShowPopup(notice);
  TNotification n;
  n.Summary = Q(notice.Caption);
  n.Body = Q(notice.Body);
  n.Urgent = notice.Alert;
  // The desktop's warning sound in place of the cuckoo, where the server
  // plays sounds; a notice without an alert is silent, as its popup is.
  if (notice.Alert) n.SoundName = QStringLiteral("dialog-warning");
  // Like the popup: an auto-closing notice expires, any other stays.
  n.ExpireMs = notice.AutoCloseSeconds > 0 ? notice.AutoCloseSeconds * 1000 : 0;
  if (!notice.LinkAddress.empty() || !notice.LinkCaption.empty()) {
    const QString caption = notice.LinkCaption.empty()
                                ? TMessageForm::tr("For more information click here")
                                : Q(notice.LinkCaption);
    // The link behind its labelled button only: a click on the notice's
    // body (how GNOME's list opens or dismisses a notice) starts nothing.
    n.Actions = {{QStringLiteral("more-info"), caption}};
  }
  // As with the popup: following the link or closing it counts as the user
  // closing the notice, once; expiring does not.
  auto closed = std::make_shared<bool>(false);
  const auto closedByUser =
      [this, closed, reference = notice.Reference](const std::function<void()>& first = {}) {
        if (*closed) return;
        *closed = true;
        if (first) first();
        if (!reference.empty()) NoticeClosed(reference);
      };
  TNotificationEvents events;
  events.NotShown = [this, notice] { ShowPopup(notice); };
  events.Shown = [this, alert = notice.Alert](bool serverPlaysSound) {
    if (alert && !serverPlaysSound) sound_.Play("cuckoo", CuckooWave());
  };
  events.ActionInvoked = [this, closedByUser, link = notice.LinkAddress,
                          click = notice.OnLinkClick](const QString& key) {
    if (key != QStringLiteral("more-info")) return;  // a server's own "default"
    closedByUser([this, &link, &click] {
      if (!link.empty()) OpenUrl(link);
      if (click) click();
    });
  };
  events.Closed = [closedByUser](ENotificationClosed reason) {
    if (reason == ENotificationClosed::Dismissed) closedByUser();
  };
  notifications_->Notify(n, std::move(events));
}

}  // namespace qgm::gui

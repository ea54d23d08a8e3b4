#include "gui/app/MainForm.h"
#include "gui/app/Text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/platform/Launcher.h"
#include "core/platform/ProcessValues.h"
#include "core/tray/NumberIcon.h"
#include "core/util/CodePage.h"
#include "gui/app/WindowRules.h"
#include "gui/broadband/BroadbandPage.h"
#include "gui/setup/SetupPage.h"
#include "gui/tray/MessageForm.h"
#include "gui/tray/TrayIcon.h"

namespace qgm::gui {
namespace {

// A page whose feature comes later: it says so instead of pretending.
QWidget* PlaceholderPage(const QString& what, QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* layout = new QVBoxLayout(page);
  auto* label = new QLabel(what, page);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignCenter);
  label->setEnabled(false);
  layout->addWidget(label);
  return page;
}

// The account's API host ("https://host[:port]") from the API base address.
std::string HostOf(const std::string& apiBase) {
  const auto scheme = apiBase.find("://");
  const auto slash = apiBase.find('/', scheme == std::string::npos ? 0 : scheme + 3);
  return apiBase.substr(0, slash);
}

}  // namespace

TMainForm::TMainForm(TStartOptions options)
    : options_(std::move(options)), registry_(DefaultHiveFile()), log_(DataFolder() / "Debug.txt") {
  setWindowTitle(QStringLiteral("Corvalink Meter"));
  setFixedSize(307, 485);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  setFont(font);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("PageControl1"));
  // All eight captions in the window's width.
  tabs_->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 0px; margin: 0px; }"));
  tabs_->setUsesScrollButtons(false);
  QFont tabFont = font;
  tabFont.setPixelSize(11);
  tabs_->tabBar()->setFont(tabFont);
  broadband_ = new TBroadbandPage(tabs_);
  tabs_->addTab(broadband_, tr("&Broadband"));
  tabs_->addTab(PlaceholderPage(tr("Usage history graphs come in a later version."), tabs_),
                tr("&History"));
  tabs_->addTab(PlaceholderPage(tr("Provider links come in a later version."), tabs_),
                tr("&Corvalink"));
  tabs_->addTab(PlaceholderPage(tr("The network monitor comes in a later version."), tabs_),
                tr("&Network"));
  tabs_->addTab(PlaceholderPage(tr("Call usage comes in a later version."), tabs_),
                tr("Ca&llHaven"));
  tabs_->addTab(PlaceholderPage(tr("Network advisories come in a later version."), tabs_),
                tr("Ad&visories"));
  tabs_->addTab(PlaceholderPage(tr("Version ") + QString::fromStdString(VersionText()), tabs_),
                tr("&About"));
  setup_ = new TSetupPage(settings_, tabs_);
  tabs_->addTab(setup_, tr("&Setup"));
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
    if (tabs_->widget(index) == setup_) setup_->ShowGeneral();
  });
  tabs_->setTabVisible(4, false);  // CallHaven: hidden unless enabled
  layout->addWidget(tabs_, 1);

  auto* bottom = new QHBoxLayout;
  bottom->setContentsMargins(6, 0, 6, 0);
  btnRefresh_ = new QPushButton(tr("&Refresh"), this);
  btnOK_ = new QPushButton(tr("O&K"), this);
  bottom->addWidget(btnRefresh_);
  bottom->addStretch();
  bottom->addWidget(btnOK_);
  layout->addLayout(bottom);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("StatusBar1"));
  status_->setFrameShape(QFrame::StyledPanel);
  layout->addWidget(status_);

  // Settings.
  store_ = std::make_unique<TSettingsStore>(registry_, autostart_, log_, ProgramPath().string());
  TStartupContext context;
  context.Args = options_.Args;
  context.WindowWidth = width();
  context.WindowHeight = height();
  context.WorkArea = [](const TRect& r) {
    QScreen* screen = QGuiApplication::screenAt(QPoint(r.Left, r.Top));
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect a = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    return TRect{a.left(), a.top(), a.right() + 1, a.bottom() + 1};
  };
  context.Now = NowLocal();
  store_->LoadSettings(settings_, context);
  store_->LoadMailboxes(settings_);
  store_->LoadRadioList(settings_);
  if (options_.Demo) {
    settings_.AccountName = "demo";
    settings_.Password = "demo";
    settings_.StartDelay = options_.DemoStartDelay;
    settings_.ShowWindowAtStart = true;
    settings_.ShowSetupTab = false;
  }
  move(settings_.PosX, settings_.PosY);
  setWindowFlag(Qt::WindowStaysOnTopHint, settings_.StayOnTop);
  if (settings_.CommandLineCredentials) setWindowTitle(Q(settings_.WindowCaption));

  // Services and the update cycle.
  net_ = std::make_unique<TNetContext>(options_.Endpoints.CaFile);
  net_->SetIdleHook([] { QApplication::processEvents(QEventLoop::AllEvents, 50); });
  TUsageServiceConfig serviceConfig;
  serviceConfig.ApiBase = options_.Endpoints.ApiBase;
  serviceConfig.Request.Context = net_.get();
  serviceConfig.Request.Proxy = {settings_.UseProxy, settings_.ProxyAddress, settings_.ProxyPort,
                                 settings_.ProxyUsername, settings_.ProxyPassword};
  serviceConfig.DataFolder = DataFolder();
  service_ = std::make_unique<TUsageService>(serviceConfig, *this);
  mainTimer_ = std::make_unique<TQtTimer>(this, [this] { cycle_->MainTimerTimer(); });
  alertTimer_ = std::make_unique<TQtTimer>(this, [this] { cycle_->TrayAlertTimerTimer(); });
  TUpdateConfig cycleConfig;
  cycleConfig.ApiHost = HostOf(options_.Endpoints.ApiBase);
  cycleConfig.NoticeUrl = options_.Endpoints.HomeSite + "notice.txt";
  cycleConfig.Context = net_.get();
  cycleConfig.SaveAccount = [this](const TUsageAccount& a) {
    store_->SaveAccount(a.AccountType, a.Name, a.Password);
  };
  // Later features attach here; the hooks left empty are not built yet.
  cycle_ = std::make_unique<TUpdateCycle>(*service_, *this, clock_, *mainTimer_, *alertTimer_,
                                          *this, log_, cycleConfig, TUpdateHooks{});
  cycle_->Settings.Account = {settings_.AccountName, settings_.Password, settings_.AccountType};
  cycle_->Settings.CommandLineCredentials = settings_.CommandLineCredentials;
  cycle_->Settings.SkipSpamCheck = settings_.SkipSpamCheck;
  cycle_->Settings.CheckEmail = settings_.CheckEmail;
  cycle_->Settings.CheckForUpdates = settings_.CheckForUpdates;
  cycle_->Settings.SeenNoticeRefs = &settings_.SeenNoticeRefs;
  cycle_->AutoScalePending = settings_.LanScaleInAbsent;

  connect(btnRefresh_, &QPushButton::clicked, this, [this] { cycle_->MainTimerTimer(); });
  connect(btnOK_, &QPushButton::clicked, this, [this] {
    if (btnOK_->text() == tr("O&K")) {
      hide();
    } else {
      cycle_->MainTimerTimer();
    }
  });

  // Tray icon: a question mark until the first figures arrive.
  const int small = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
  iconSize_ = std::min(32, small > 0 ? small : 16);
  tray_ = new TTrayIcon(this);
  BuildTrayMenu();
  tray_->OnClick = [this] {
    cycle_->TrayIcon1Click();
    BringUp();
  };
  setup_->LoadFromModel();
  WireSetupPage();
  qApp->installEventFilter(this);
  if (settings_.ShowSetupTab) tabs_->setCurrentWidget(setup_);
  cycle_->Start(settings_.StartDelay);
  tray_->Show();
  if (!TTrayIcon::Available())
    settings_.ShowWindowAtStart = true;  // no tray: keep the window reachable
}

TMainForm::~TMainForm() = default;

void TMainForm::WireSetupPage() {
  setup_->OnAccountChange = [this](bool typeChanged, bool credentialsEdited) {
    bool marked = false;
    if (typeChanged) {
      store_->AccountTypeChanged(settings_, settings_.AccountType);
      setup_->LoadFromModel();
    }
    if (credentialsEdited) marked = store_->CredentialsEdited(settings_);
    cycle_->Settings.Account = {settings_.AccountName, settings_.Password, settings_.AccountType};
    cycle_->AccountSetupChange(marked);
  };
  setup_->OnProxyChange = [this] {
    service_->SetProxy({settings_.UseProxy, settings_.ProxyAddress, settings_.ProxyPort,
                        settings_.ProxyUsername, settings_.ProxyPassword});
    cycle_->AccountSetupChange(false);
  };
  setup_->OnStayOnTopChange = [this] {
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, settings_.StayOnTop);
    if (shown) show();  // changing the flag hides the window
  };
  setup_->OnTrayColourChange = [this] {
    const TUsageRecord& r = cycle_->Record;
    if (lastBarColour_ == kAqua) {
      DrawTrayNumber(-1, kAqua);
    } else {
      DrawTrayNumber(static_cast<int>(r.PercentLeft.RoundToWhole()), r.BarColour);
    }
  };
}

void TMainForm::BuildTrayMenu() {
  trayMenu_ = new QMenu(this);
  // A page item shows its page and toggles the window ("&Minimize" hides it).
  const std::pair<QString, int> pages[] = {{tr("Broadband"), 0}, {tr("History"), 1},
                                           {tr("Network"), 3},   {tr("Advisories"), 5},
                                           {tr("Corvalink"), 2}, {tr("About"), 6}};
  for (const auto& [caption, index] : pages) {
    QAction* item = trayMenu_->addAction(caption, this, [this, index = index] {
      tabs_->setCurrentIndex(index);
      if (isVisible()) {
        hide();
      } else {
        BringUp();
      }
    });
    if (index == 0) {
      mnuADSL_ = item;
    } else {
      pageItems_.push_back(item);
    }
  }
  trayMenu_->addSeparator();
  trayMenu_->addAction(tr("Setup"), this, [this] { ShowPage(7); });
  trayMenu_->addSeparator();
  trayMenu_->addAction(tr("Help"), this, [this] { OpenHelp(); });
  mnuRefresh_ = trayMenu_->addAction(tr("Refresh"), this, [this] {
    if (btnRefresh_->isEnabled()) cycle_->MainTimerTimer();
  });
  trayMenu_->addSeparator();
  trayMenu_->addAction(tr("Exit"), this, [this] { Exit(); });
  connect(trayMenu_, &QMenu::aboutToShow, this, [this] { TrayMenuAboutToShow(); });
  tray_->SetMenu(trayMenu_);
}

void TMainForm::TrayMenuAboutToShow() {
  cycle_->TrayIcon1Click();
  const bool shown = isVisible();
  mnuADSL_->setText(shown ? tr("&Minimize") : tr("Broadband"));
  for (QAction* item : pageItems_) item->setVisible(!shown);
}

void TMainForm::CycleTabs(bool forward) {
  std::vector<bool> visible;
  for (int i = 0; i < tabs_->count(); ++i) visible.push_back(tabs_->isTabVisible(i));
  tabs_->setCurrentIndex(NextVisiblePage(tabs_->currentIndex(), forward, visible));
}

void TMainForm::OpenHelp() {
  static const char* anchors[] = {"#broadband", "#history", "",       "#network",
                                  "",           "",         "#about", "#setup"};
  const int page = tabs_->currentIndex();
  TLauncher launcher(registry_);
  launcher.OpenUrl(options_.Endpoints.HomeSite + "help.html" +
                   (page >= 0 && page < 8 ? anchors[page] : ""));
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  // The window's shortcuts come before any control sees the key.
  if (event->type() == QEvent::KeyPress && isActiveWindow()) {
    auto* key = static_cast<QKeyEvent*>(event);
    const auto mods =
        key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    if (key->key() == Qt::Key_F1 && mods == Qt::NoModifier) {
      OpenHelp();
      return true;
    }
    if (mods & Qt::ControlModifier) {
      if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
        CycleTabs(!(mods & Qt::ShiftModifier) && key->key() == Qt::Key_Tab);
        return true;
      }
      if (key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp) {
        CycleTabs(key->key() == Qt::Key_PageDown);
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TMainForm::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (QScreen* s = screen()) {
    const QRect a = s->availableGeometry();
    const QRect g = frameGeometry();
    const TWindowRect snapped = SnapToEdges({g.left(), g.top(), g.width(), g.height()},
                                            {a.left(), a.top(), a.width(), a.height()});
    if (snapped.Left != g.left() || snapped.Top != g.top())
      move(pos() + QPoint(snapped.Left - g.left(), snapped.Top - g.top()));
  }
}

void TMainForm::ShowPage(int index) {
  tabs_->setCurrentIndex(index);
  BringUp();
}

void TMainForm::BringUp() {
  show();
  setWindowState(windowState() & ~Qt::WindowMinimized);
  raise();
  activateWindow();
}

void TMainForm::Exit() {
  exiting_ = true;
  settings_.PosX = x();
  settings_.PosY = y();
  settings_.AccountName = cycle_->Settings.Account.Name;
  settings_.Password = cycle_->Settings.Account.Password;
  store_->SaveSettings(settings_);
  QApplication::quit();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  // The close box hides the window into the tray (or, with no tray on this
  // desktop, minimises it); Exit ends the program.
  if (!exiting_) {
    event->ignore();
    if (TTrayIcon::Available()) {
      hide();
    } else {
      showMinimized();
    }
    return;
  }
  event->accept();
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    if (TTrayIcon::Available()) {
      hide();
    } else {
      showMinimized();
    }
    return;
  }
  if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::AltModifier) {
    Exit();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TMainForm::SetStatus(const std::string& text) {
  status_->setText(Q(text));
}
std::string TMainForm::Status() const {
  return Utf8ToCp1252(status_->text().toStdString());
}
void TMainForm::SetBottomButton(const std::string& caption) {
  btnOK_->setText(Q(caption));
}
void TMainForm::SetRefreshEnabled(bool enabled) {
  btnRefresh_->setEnabled(enabled);
  mnuRefresh_->setEnabled(enabled);
}
void TMainForm::ShowTray() {
  tray_->Show();
}

void TMainForm::DrawTrayNumber(int number, uint32_t barColour) {
  // Drawn at the screen's pixel ratio so the number stays sharp.
  const qreal ratio = devicePixelRatioF();
  trayPicture_ = DrawNumberIcon(number, static_cast<int>(iconSize_ * ratio), barColour,
                                settings_.TrayFontColor);
  lastBarColour_ = barColour;
  tray_->SetPicture(trayPicture_);
  QPixmap preview = ToQPixmap(trayPicture_);
  preview.setDevicePixelRatio(ratio);
  setup_->SetTrayPreview(preview);
}

void TMainForm::SetTrayHint(const std::string& hint) {
  normalHint_ = hint;
  tray_->SetHint(Q(hint));
}

void TMainForm::RestoreTray() {
  tray_->SetHint(Q(normalHint_));
  tray_->SetPicture(trayPicture_);
}

void TMainForm::ShowAlertPicture(int alertState, bool alertIcon) {
  // "ZMAIL" for new mail, "ZPHONE" for voicemail, at 16 pixels.
  if (!alertIcon) {
    tray_->SetPicture(trayPicture_);
  } else {
    tray_->SetPicture(alertState == 5 ? PhoneIcon(16) : MailIcon(16));
  }
}

void TMainForm::ShowUsageFigures(const TBroadbandFigures& figures) {
  broadband_->ShowFigures(figures);
}
void TMainForm::ShowServiceDetails(const TServiceDetails& details) {
  broadband_->ShowServiceDetails(details);
}
void TMainForm::SetPublicAddress(const std::string&) {}

void TMainForm::ShowNotice(const TNoticeRequest& notice) {
  auto* popup = new TMessageForm(
      notice,
      [this](const std::string& url) {
        TLauncher launcher(registry_);
        launcher.OpenUrl(url);
      },
      [this](const std::string& reference) { settings_.SeenNoticeRefs.push_back(reference); });
  // Shown from the event loop, as a posted message would be.
  QMetaObject::invokeMethod(popup, &QWidget::show, Qt::QueuedConnection);
}

}  // namespace qgm::gui

#include "gui/app/MainForm.h"
#include "gui/app/Text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QTabBar>

#include <cmath>
#include <optional>

#include "core/platform/FileIo.h"
#include "core/platform/ProcessValues.h"
#include "core/radio/Channels.h"
#include "core/tray/NumberIcon.h"
#include "gui/about/AboutPage.h"
#include "gui/accessibility/AccessibleText.h"
#include "gui/advisories/AdvisoriesPage.h"
#include "gui/app/WindowRules.h"
#include "gui/broadband/BroadbandPage.h"
#include "gui/callusage/CallhavenPage.h"
#include "gui/controls/PlainText.h"
#include "gui/controls/TabRows.h"
#include "gui/controls/WorkAreaPlace.h"
#include "gui/history/HistoryPage.h"
#include "gui/network/NetworkPage.h"
#include "gui/provider/ProviderPage.h"
#include "gui/setup/RadioPage.h"
#include "gui/setup/SetupPage.h"
#include "gui/tray/TrayIcon.h"
#include "ui_MainForm.h"

namespace qgm::gui {
namespace {

// Puts a page's content into its tab.
void Fill(QWidget* tab, QWidget* content) {
  tab->layout()->addWidget(content);
}

}  // namespace

TMainForm::TMainForm(IProgramActions& program) : program_(program), settings_(program.Settings()) {
  // The tray icon comes first, a question mark until the first figures
  // arrive: the tray takes it in while the rest of the window is built.
  const int small = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
  iconSize_ = std::min(32, small > 0 ? small : 16);
  tray_ = new TTrayIcon(this);
  DrawTrayNumber(-1, kAqua);
  tray_->Show();
  ui_ = std::make_unique<Ui::MainForm>();
  ui_->setupUi(this);
  setFixedSize(kWidth, kHeight);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  setFont(font);
  // Every caption stays in the window's width: the tabs wrap onto a second
  // row when they do not fit in one (the CallHaven tab shown).
  tabRows_ = new TTabRows(ui_->PageControl1, this);
  // The tab widget's own bar is hidden: the focus never goes to it, where
  // nothing would show it.
  ui_->PageControl1->setFocusPolicy(Qt::NoFocus);
  tabRows_->setObjectName(QStringLiteral("PageControl1Tabs"));
  QFont tabFont = font;
  tabFont.setPixelSize(11);
  tabRows_->setFont(tabFont);
  ui_->layoutMain->insertWidget(0, tabRows_);

  broadband_ = new TBroadbandPage(ui_->tsBroadband);
  Fill(ui_->tsBroadband, broadband_);
  historyPage_ = new THistoryPage(settings_, ui_->tsHistory);
  Fill(ui_->tsHistory, historyPage_);
  historyPage_->OnViewLog = [this] { OpenUsageLog(); };
  provider_ = new TProviderPage(program_.Timers(), ui_->tsCorvalink);
  Fill(ui_->tsCorvalink, provider_);
  provider_->SetHomePage(program_.ProviderLink(EProviderLink::Home));
  provider_->OnOpenLink = [this](EProviderLink link) {
    program_.OpenUrl(program_.ProviderLink(link));
  };
  network_ = new TNetworkPage(settings_, program_.Timers(), ui_->tsNetwork,
                              program_.OffersLoopbackAdapter());
  network_->OnStartTest = [this] { return program_.StartDownloadTest(); };
  network_->OnStopTest = [this] { program_.CancelDownloadTest(); };
  Fill(ui_->tsNetwork, network_);
  advisories_ = new TAdvisoriesPage(settings_, ui_->tsAdvisories);
  Fill(ui_->tsAdvisories, advisories_);
  advisories_->OnRefresh = [this] { program_.RefreshAdvisories(); };
  advisories_->OnOpenLink = [this](const std::string& url) { program_.OpenUrl(url); };
  about_ = new TAboutPage(program_.HomeSite(), ui_->tsAbout);
  about_->OnOpenUrl = [this](const std::string& url) { program_.OpenUrl(url); };
  Fill(ui_->tsAbout, about_);
  callhaven_ = new TCallhavenPage(ui_->tsCallhaven);
  Fill(ui_->tsCallhaven, callhaven_);
  callhaven_->OnUpdate = [this] { program_.RefreshCallUsage(); };
  callhaven_->OnDetails = [this](int year, int month) { program_.OpenCallMonth(year, month); };
  ui_->PageControl1->setTabVisible(kPageCallhaven, program_.CallhavenTabVisible());
  tabRows_->Refresh();
  connect(ui_->PageControl1, &QTabWidget::currentChanged, this,
          [this](int index) { PageActivated(index); });
  // A page that takes the focus for a moment, on its way to its first
  // control, is named as its tab.
  for (int i = 0; i < ui_->PageControl1->count(); ++i)
    ui_->PageControl1->widget(i)->setAccessibleName(
        WithoutAccelerator(ui_->PageControl1->tabText(i)));

  provider_->ShowClientNo(settings_.ClientNo);
  move(settings_.PosX, settings_.PosY);
  // The frame, known once mapped, stays on the work area, and the window
  // comes back from the tray where it was.
  place_ = new TWorkAreaPlace(*this);
  place_->Want(QPoint(settings_.PosX, settings_.PosY));
  setWindowFlag(Qt::WindowStaysOnTopHint, settings_.StayOnTop);
  if (settings_.CommandLineCredentials) setWindowTitle(Q(settings_.WindowCaption));

  connect(ui_->btnRefresh, &QPushButton::clicked, this, [this] { program_.UpdateNow(); });
  connect(ui_->btnOK, &QPushButton::clicked, this, [this] {
    if (ui_->btnOK->text() == tr("O&K")) {
      ShowMainForm(false);
    } else {
      program_.UpdateNow();
    }
  });

  BuildTrayMenu();
  // A click acknowledges an alert (and brings a shown window to the front);
  // a double click shows or hides the window.
  tray_->OnClick = [this] {
    if (isVisible() && !isMinimized()) {
      raise();
      activateWindow();
    }
    program_.TrayClicked();
  };
  tray_->OnDoubleClick = [this] { ShowMainForm(!isVisible() || isMinimized()); };
  // A StatusNotifier host sends one press only: it shows or hides the
  // window, unless an alert flashes, which it acknowledges. The middle
  // button refreshes.
  tray_->OnActivate = [this] {
    if (program_.AlertFlashing()) {
      tray_->OnClick();
    } else {
      tray_->OnDoubleClick();
    }
  };
  tray_->OnSecondaryActivate = [this] {
    if (mnuRefresh_->isEnabled()) mnuRefresh_->trigger();
  };
  // The tray went away with the window in it: the window shows, as on a
  // desktop without a tray, and closing it ends the program until a tray
  // comes back.
  tray_->OnGone = [this] {
    if (!isVisible()) ShowMainForm(true);
  };
  // The status line and the pages show servers' texts.
  MakeLabelsPlain(*this);
  qApp->installEventFilter(this);
}

TMainForm::~TMainForm() {
  qApp->removeEventFilter(this);
}

void TMainForm::Start() {
  if (settings_.ShowSetupTab) ShowPage(kPageSetup);
  tray_->Show();
  if (!tray_->Available())
    settings_.ShowWindowAtStart = true;  // no tray: keep the window reachable
}

void TMainForm::ShowHistory(const THistory& history, TDateTime rollover,
                            const std::string& todayMetered) {
  broadband_->ShowTodayMetered(todayMetered);
  historyPage_->Redraw(history, rollover);
}

TSetupPage* TMainForm::SetupPage() {
  // The page is made when first needed: most runs never open it.
  if (!setup_) {
    setup_ = new TSetupPage(settings_, program_.Dialogs(), ui_->tsSetup);
    Fill(ui_->tsSetup, setup_);
    MakeLabelsPlain(*setup_);
    setup_->LoadFromModel();
    WireSetupPage();
    if (!trayPreview_.isNull()) setup_->SetTrayPreview(trayPreview_);
  }
  return setup_;
}

void TMainForm::OpenUsageLog() {
  IDialogs& dialogs = program_.Dialogs();
  switch (program_.OpenUsageLog()) {
    case TOpenResult::Opened:
      return;
    case TOpenResult::Missing:
      dialogs.Beep();
      return;
    case TOpenResult::NoProgram:
      dialogs.Warning(this, windowTitle(),
                      tr("There is no application currently associated with the\n"
                         "CSV file extention, so the log file can't be opened."));
      return;
    case TOpenResult::Failed:
      dialogs.Warning(this, windowTitle(),
                      tr("There was a problem while trying to open ...\n") +
                          QString::fromStdString(program_.UsageLogPath()));
      return;
  }
}

void TMainForm::PageActivated(int index) {
  if (index != kPageNetwork) program_.CancelDownloadTest();
  if (index == kPageSetup) SetupPage()->ShowGeneral();
  if (index == kPageNetwork) network_->Shown();
  if (index == kPageAdvisories) {
    advisories_->Activated();
    program_.AdvisoriesShown();
  }
  QueueFocusIntoPage(index, false);
}

void TMainForm::QueueFocusIntoPage(int index, bool fromOutside) {
  // Once the page is shown whole: a page made just now (Setup, the first
  // time) shows its controls from the event queue.
  QMetaObject::invokeMethod(
      this,
      [this, fromOutside, page = QPointer<QWidget>(ui_->PageControl1->widget(index))] {
        FocusIntoPage(page, fromOutside);
      },
      Qt::QueuedConnection);
}

void TMainForm::FocusIntoPage(QWidget* page, bool fromOutside) {
  // A page with none of its controls focused before gets the focus itself
  // when the focus was on the page that went: a nameless pane for a screen
  // reader, and a focus the user cannot see. Its first control takes it,
  // as it does when the page's key took the user there from outside it.
  QWidget* focused = QApplication::focusWidget();
  if (!page || !focused || focused->window() != window()) return;
  const bool onPage = focused == page;
  const bool inPage = !onPage && page->isAncestorOf(focused);
  if (!onPage && (inPage || !fromOutside)) return;
  for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
    if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(page) &&
        w->isEnabled()) {
      w->setFocus(Qt::TabFocusReason);
      return;
    }
  }
  if (onPage) ui_->btnOK->setFocus(Qt::TabFocusReason);
}

void TMainForm::WireSetupPage() {
  setup_->OnAccountChange = [this](bool typeChanged, bool credentialsEdited) {
    program_.AccountChanged(typeChanged, credentialsEdited);
    if (typeChanged) setup_->LoadFromModel();
  };
  setup_->OnProxyChange = [this] { program_.ProxyChanged(); };
  setup_->OnChange = [this] { program_.SettingsChanged(); };
  setup_->OnTestMailbox = [this](const std::string& login, const std::string& password) {
    return program_.TestMailbox(login, password);
  };
  setup_->OnCallhavenChange = [this] { UpdateCallhavenTab(); };
  setup_->OnResetCallHistory = [this] { program_.ResetCallHistory(); };
  TRadioPage& radio = *setup_->RadioPage();
  radio.DataFolder = program_.DataFolderPath();
  radio.OnPlay = [this](const std::string& address) { program_.PlayChannel(address); };
  radio.OnChange = [this] { program_.RadioChanged(); };
  radio.OnNeedAvailable = [this] { program_.FetchAvailableChannels(); };
  radio.ShowAvailable(program_.AvailableChannels());
  setup_->OnStayOnTopChange = [this] {
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, settings_.StayOnTop);
    if (shown) show();  // changing the flag hides the window
  };
  setup_->OnTrayColourChange = [this] {
    const TUsageRecord& r = program_.Record();
    if (lastBarColour_ == kAqua) {
      DrawTrayNumber(-1, kAqua);
    } else {
      DrawTrayNumber(static_cast<int>(r.PercentLeft.RoundToWhole()), r.BarColour);
    }
  };
}

void TMainForm::BuildTrayMenu() {
  trayMenu_ = new QMenu(this);
  trayMenu_->setObjectName(QStringLiteral("PopupMenu1"));
  // A page item shows its page and toggles the window ("&Minimize" hides it).
  const std::pair<QString, int> pages[] = {
      {tr("Broadband"), kPageBroadband}, {tr("History"), kPageHistory},
      {tr("Network"), kPageNetwork},     {tr("Advisories"), kPageAdvisories},
      {tr("Corvalink"), kPageCorvalink}, {tr("About"), kPageAbout}};
  for (const auto& [caption, index] : pages) {
    QAction* item = trayMenu_->addAction(caption, this, [this, index = index] {
      ui_->PageControl1->setCurrentIndex(index);
      ShowMainForm(!isVisible());
    });
    if (index == kPageBroadband) {
      mnuADSL_ = item;
    } else {
      pageItems_.push_back(item);
    }
  }
  trayMenu_->addSeparator();
  trayMenu_->addAction(tr("Setup"), this, [this] { ShowPage(kPageSetup); });
  trayMenu_->addAction(tr("Debug Report"), this, [this] { RunDebugReport(); });
  trayMenu_->addSeparator();
  mnuRadioStations_ = trayMenu_->addMenu(tr("Radio Stations"));
  mnuRadioStations_->setObjectName(QStringLiteral("mnuRadioStations"));
  BuildRadioMenu();
  trayMenu_->addSeparator();
  trayMenu_->addAction(tr("Help"), this, [this] { OpenHelp(); });
  mnuRefresh_ = trayMenu_->addAction(tr("Refresh"), this, [this] {
    if (ui_->btnRefresh->isEnabled()) program_.UpdateNow();
  });
  trayMenu_->addSeparator();
  trayMenu_->addAction(tr("Exit"), this, [this] { Exit(); });
  tray_->OnMenuOpened = [this] { program_.TrayClicked(); };
  UpdateTrayMenu();
  tray_->SetMenu(trayMenu_);
}

void TMainForm::ShowCalls(const TCallhaven& calls, const TCallMonthsLoaded& loaded) {
  callhaven_->ShowMonths(calls, loaded);
}

void TMainForm::SetCallsRefreshing(bool running) {
  callhaven_->SetRefreshing(running);
  if (setup_) setup_->SetResetEnabled(!running);
}

void TMainForm::UpdateCallhavenTab() {
  ui_->PageControl1->setTabVisible(kPageCallhaven, program_.CallhavenTabVisible());
  tabRows_->Refresh();
}

void TMainForm::AutoScaleNetwork() {
  auto* speed = findChild<QLabel*>(QStringLiteral("lblSpeed"));
  if (speed) network_->AutoScaleFromPlan(S(speed->text()));
}

void TMainForm::ShowAvailableChannels() {
  if (setup_) setup_->RadioPage()->ShowAvailable(program_.AvailableChannels());
}

void TMainForm::ShowUserChannels() {
  if (setup_) setup_->RadioPage()->LoadFromModel();
}

void TMainForm::BuildRadioMenu() {
  mnuRadioStations_->clear();
  int number = 0;
  for (const TRadioChannel& channel : settings_.RadioChannels) {
    ++number;
    QAction* item = mnuRadioStations_->addAction(Q(ShownCaption(channel.Name)));
    item->setData(number);
    // Looked up by its number when chosen: the list may have changed since.
    connect(item, &QAction::triggered, this, [this, number] {
      if (number >= 1 && number <= static_cast<int>(settings_.RadioChannels.size()))
        program_.PlayChannel(settings_.RadioChannels[static_cast<size_t>(number - 1)].Address);
    });
  }
  mnuRadioStations_->setEnabled(number > 0);
}

void TMainForm::RunDebugReport() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  if (!QFileInfo(folder).isDir()) folder = QDir::homePath();
  const QString file = program_.Dialogs().SaveFileName(
      this, tr("Debug Report"), folder + QStringLiteral("/QGM_DebugInfo.xml"),
      tr("XML Files (*.xml)"));
  if (file.isEmpty()) return;
  const std::string path = QFile::encodeName(file).toStdString();
  if (!WriteFileAtomic(path, program_.DebugReport())) {
    program_.Dialogs().Warning(this, tr("Debug Report"),
                               tr("The report could not be written to %1.").arg(file));
    return;
  }
  program_.OpenFile(path);
}

void TMainForm::SavePageShots(const std::string& prefix) {
  QTabWidget* tabs = ui_->PageControl1;
  const int current = tabs->currentIndex();
  for (int i = 0; i < tabs->count(); ++i) {
    if (!tabs->isTabVisible(i)) continue;
    tabs->setCurrentIndex(i);
    // A page made on first showing (Setup) is laid out first.
    QApplication::processEvents();
    const QString name = tabs->tabText(i).remove(QLatin1Char('&')).toLower();
    grab().save(QString::fromStdString(prefix) + QLatin1Char('-') + name + QStringLiteral(".png"));
    // The Setup tab's own pages too, each as PREFIX-setup-<page>.png.
    if (i == kPageSetup && setup_) {
      QTabWidget* pages = setup_->Pages();
      const int shown = pages->currentIndex();
      for (int k = 1; k < pages->count(); ++k) {
        pages->setCurrentIndex(k);
        QApplication::processEvents();
        const QString page = pages->tabText(k).remove(QLatin1Char('&')).toLower();
        grab().save(QString::fromStdString(prefix) + QStringLiteral("-setup-") + page +
                    QStringLiteral(".png"));
      }
      pages->setCurrentIndex(shown);
    }
  }
  tabs->setCurrentIndex(current);
}

void TMainForm::UpdateTrayMenu() {
  // Kept in step with the window as it shows and hides, not on opening: a
  // StatusNotifier host has laid the menu out by then.
  const bool shown = isVisible();
  mnuADSL_->setText(shown ? tr("&Minimize") : tr("Broadband"));
  for (QAction* item : pageItems_) item->setVisible(!shown);
}

void TMainForm::CycleTabs(bool forward) {
  QTabWidget* tabs = ui_->PageControl1;
  std::vector<bool> visible;
  for (int i = 0; i < tabs->count(); ++i) visible.push_back(tabs->isTabVisible(i));
  tabs->setCurrentIndex(NextVisiblePage(tabs->currentIndex(), forward, visible));
}

bool TMainForm::ActivateByAccelerator(QChar letter) {
  // The tab rows leave accelerators to the window, with or without the
  // CallHaven page.
  QTabWidget* tabs = ui_->PageControl1;
  std::vector<std::string> captions;
  std::vector<bool> visible;
  for (int i = 0; i < tabs->count(); ++i) {
    captions.push_back(tabs->tabText(i).toStdString());
    visible.push_back(tabs->isTabVisible(i));
  }
  const int page = PageForAccelerator(static_cast<char>(letter.toLatin1()), captions, visible);
  if (page < 0) return false;
  tabs->setCurrentIndex(page);
  // The page's key takes the focus to its first control, so that a screen
  // reader says where the user is.
  QueueFocusIntoPage(page, true);
  return true;
}

void TMainForm::OpenHelp() {
  static const char* anchors[] = {"#broadband", "#history", "",       "#network",
                                  "",           "",         "#about", "#setup"};
  const int page = ui_->PageControl1->currentIndex();
  program_.OpenUrl(program_.HelpAddress() + (page >= 0 && page < 8 ? anchors[page] : ""));
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
    if (mods == Qt::AltModifier && key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z &&
        ActivateByAccelerator(QChar(key->key()))) {
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TMainForm::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  // Wayland leaves a window's place to the compositor: nothing to snap.
  if (QGuiApplication::platformName().startsWith(QStringLiteral("wayland"))) return;
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
  ui_->PageControl1->setCurrentIndex(index);
  ShowMainForm(true);
}

void TMainForm::BringUp() {
  if (isVisible() && !isMinimized()) return;
  ShowMainForm(true);
  tray_->Readd();
}

void TMainForm::ShowMainForm(bool show) {
  if (show) {
    QWidget::show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
    // Back from the tray onto the Network tab: the sampler goes on.
    if (ui_->PageControl1->currentIndex() == kPageNetwork) network_->Shown();
    return;
  }
  if (tray_->Available()) {
    hide();
  } else {
    showMinimized();  // no tray on this desktop: keep the window reachable
  }
  TrayIcon1Minimize();
}

void TMainForm::TrayIcon1Minimize() {
  program_.CancelDownloadTest();
  network_->WindowHidden();
  const int page = ui_->PageControl1->currentIndex();
  if (page != kPageBroadband && page != kPageHistory && page != kPageNetwork)
    ui_->PageControl1->setCurrentIndex(kPageBroadband);
}

void TMainForm::Exit() {
  exiting_ = true;
  program_.Exit();
}

void TMainForm::StorePlace() {
  const QPoint place = place_->Place();
  settings_.PosX = place.x();
  settings_.PosY = place.y();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  // The close box hides the window into the tray; Exit ends the program.
  // Without a tray there is nowhere to hide to and no menu holding Exit:
  // closing the window ends the program, as any window program does.
  if (!exiting_ && tray_->Available()) {
    event->ignore();
    ShowMainForm(false);
    return;
  }
  if (!exiting_) Exit();
  event->accept();
}

void TMainForm::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // The title bar's minimise button hides the window into the tray, as
  // hiding from the tray menu does.
  if (event->type() == QEvent::WindowStateChange && isMinimized() && tray_->Available()) {
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (!isMinimized()) return;
          setWindowState(windowState() & ~Qt::WindowMinimized);
          ShowMainForm(false);
        },
        Qt::QueuedConnection);
  }
}

void TMainForm::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  UpdateTrayMenu();
}

void TMainForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  UpdateTrayMenu();
  program_.WindowShown();
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    ShowMainForm(false);
    return;
  }
  if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::AltModifier) {
    Exit();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TMainForm::SetStatus(const std::string& text) {
  ui_->StatusBar1->setText(Q(text));
}
std::string TMainForm::Status() const {
  return S(ui_->StatusBar1->text());
}
void TMainForm::SetBottomButton(const std::string& caption) {
  ui_->btnOK->setText(Q(caption));
}
void TMainForm::SetRefreshEnabled(bool enabled) {
  ui_->btnRefresh->setEnabled(enabled);
  mnuRefresh_->setEnabled(enabled);
}
void TMainForm::ShowTray() {
  tray_->Show();
}

void TMainForm::DrawTrayNumber(int number, uint32_t barColour) {
  // Drawn at the screen's pixel ratio so the number stays sharp.
  const qreal ratio = devicePixelRatioF();
  // The default colour gets a halo: the panel's own colour is unknown.
  const uint32_t text = settings_.TrayFontColor;
  const std::optional<uint32_t> halo =
      settings_.TrayFontColorChosen ? std::nullopt : std::optional(HaloFor(text));
  trayPicture_ = DrawNumberIcon(number, static_cast<int>(std::lround(iconSize_ * ratio)), barColour,
                                text, halo);
  lastBarColour_ = barColour;
  trayIcon_ = TrayIconAtSizes(
      [=](int size) { return DrawNumberIcon(number, size, barColour, text, halo); });
  tray_->SetIcon(trayIcon_);
  trayPreview_ = ToQPixmap(trayPicture_);
  trayPreview_.setDevicePixelRatio(ratio);
  if (setup_) setup_->SetTrayPreview(trayPreview_);
}

void TMainForm::SetTrayHint(const std::string& hint) {
  normalHint_ = hint;
  tray_->SetHint(Q(hint));
}

void TMainForm::ShowAlertHint(const std::string& hint) {
  tray_->SetHint(Q(hint));
}

void TMainForm::RestoreTray() {
  tray_->SetHint(Q(normalHint_));
  tray_->SetIcon(trayIcon_);
}

void TMainForm::ShowAlertPicture(int alertState, bool alertIcon) {
  // "ZMAIL" for new mail, "ZPHONE" for voicemail, drawn once at each size.
  if (!alertIcon) {
    tray_->SetIcon(trayIcon_);
    return;
  }
  QIcon& icon = alertState == 5 ? phoneIcon_ : mailIcon_;
  if (icon.isNull()) icon = TrayIconAtSizes(alertState == 5 ? PhoneIcon : MailIcon);
  tray_->SetIcon(icon);
}

void TMainForm::ShowUsageFigures(const TBroadbandFigures& figures) {
  broadband_->ShowFigures(figures);
}
void TMainForm::ShowServiceDetails(const TServiceDetails& details) {
  broadband_->ShowServiceDetails(details);
  provider_->ShowServiceDetails(details);
  if (details.Received) historyPage_->ShowTotalsBox();
  historyPage_->SetUploadsMetered(details.UploadsMetered);
}
void TMainForm::SetPublicAddress(const std::string& address) {
  network_->ShowPublicAddress(address);
}

}  // namespace qgm::gui

#pragma once
// The main window: the tab pages, the status line, the tray icon and its
// menu, and the update cycle's view.

#include <QIcon>
#include <QPixmap>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "core/callusage/CallMonths.h"
#include "core/history/History.h"
#include "core/usage/UpdateCycle.h"
#include "core/util/Pixmap.h"
#include "gui/app/ProgramActions.h"

class QMenu;

namespace Ui {
class MainForm;
}

namespace qgm::gui {

class TAboutPage;
class TAdvisoriesPage;
class TCallhavenPage;
class TBroadbandPage;
class THistoryPage;
class TNetworkPage;
class TProviderPage;
class TSetupPage;
class TTabRows;
class TTrayIcon;
class TWorkAreaPlace;

// The tab pages in their order.
enum TPage {
  kPageBroadband,
  kPageHistory,
  kPageCorvalink,
  kPageNetwork,
  kPageCallhaven,
  kPageAdvisories,
  kPageAbout,
  kPageSetup,
};

class TMainForm : public QWidget, public IUpdateView {
  Q_OBJECT
 public:
  static constexpr int kWidth = 307, kHeight = 485;

  explicit TMainForm(IProgramActions& program);
  ~TMainForm() override;

  // Once the program is wired: the tray icon, and the Setup page when the
  // account is incomplete.
  void Start();
  // The history step's result: the graphs and "Metered Today".
  void ShowHistory(const THistory& history, TDateTime rollover, const std::string& todayMetered);

  // A later start asked for the window: shown when hidden or minimised,
  // and the tray icon added again.
  void BringUp();
  // Shows the window from the tray, or hides it there (minimises it when the
  // desktop has no tray).
  void ShowMainForm(bool show);
  void Exit();
  // Puts the window's place into the settings.
  void StorePlace();
  void RunDebugReport();
  // For screenshots: saves each visible page as PREFIX-<page>.png.
  void SavePageShots(const std::string& prefix);
  const TTrayIcon& Tray() const { return *tray_; }
  TTrayIcon& Tray() { return *tray_; }
  TAdvisoriesPage& AdvisoriesPage() { return *advisories_; }
  TAboutPage& AboutPage() { return *about_; }
  TBroadbandPage& BroadbandPage() { return *broadband_; }
  // The tray's "Radio Stations" submenu, from the user's channels.
  void BuildRadioMenu();
  // The traffic graph's scales from the plan speed the Broadband tab shows.
  void AutoScaleNetwork();
  TNetworkPage& NetworkPage() { return *network_; }
  // The provider's channels arrived: the Radio page shows them.
  void ShowAvailableChannels();
  // The user's channels changed outside the Radio page (the defaults).
  void ShowUserChannels();
  QMenu* RadioMenu() const { return mnuRadioStations_; }
  // CallHaven: the refresh's results, and its running state (links, cursor,
  // the reset button); the tab shown or hidden as the settings say.
  void ShowCalls(const TCallhaven& calls, const TCallMonthsLoaded& loaded);
  void SetCallsRefreshing(bool running);
  void UpdateCallhavenTab();
  // The tray hint of an alert, until the alert is acknowledged.
  void ShowAlertHint(const std::string& hint);

  // IUpdateView
  void SetStatus(const std::string& text) override;
  std::string Status() const override;
  void SetBottomButton(const std::string& caption) override;
  void SetRefreshEnabled(bool enabled) override;
  void ShowTray() override;
  void DrawTrayNumber(int number, uint32_t barColour) override;
  void SetTrayHint(const std::string& hint) override;
  void RestoreTray() override;
  void ShowAlertPicture(int alertState, bool alertIcon) override;
  void ShowUsageFigures(const TBroadbandFigures& figures) override;
  void ShowServiceDetails(const TServiceDetails& details) override;
  void SetPublicAddress(const std::string& address) override;
  bool WindowVisible() const override { return isVisible(); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildTrayMenu();
  void ShowPage(int index);
  TSetupPage* SetupPage();
  void WireSetupPage();
  void CycleTabs(bool forward);
  bool ActivateByAccelerator(QChar letter);
  void OpenHelp();
  void UpdateTrayMenu();
  void TrayIcon1Minimize();
  void PageActivated(int index);
  void QueueFocusIntoPage(int index, bool fromOutside);
  void FocusIntoPage(QWidget* page, bool fromOutside);
  void OpenUsageLog();
  uint32_t lastBarColour_ = 0x00FFFF00u;  // aqua until the first figures

  IProgramActions& program_;
  TSettings& settings_;

  std::unique_ptr<Ui::MainForm> ui_;
  TBroadbandPage* broadband_ = nullptr;
  THistoryPage* historyPage_ = nullptr;
  TProviderPage* provider_ = nullptr;
  TNetworkPage* network_ = nullptr;
  TAdvisoriesPage* advisories_ = nullptr;
  TAboutPage* about_ = nullptr;
  TCallhavenPage* callhaven_ = nullptr;
  TWorkAreaPlace* place_ = nullptr;
  TSetupPage* setup_ = nullptr;  // made when the page is first shown
  TTabRows* tabRows_ = nullptr;
  QPixmap trayPreview_;
  QMenu* trayMenu_ = nullptr;
  QMenu* mnuRadioStations_ = nullptr;
  QAction* mnuRefresh_ = nullptr;
  QAction* mnuADSL_ = nullptr;
  std::vector<QAction*> pageItems_;  // History .. About, hidden while the window shows
  TTrayIcon* tray_ = nullptr;
  TPixmap trayPicture_;  // at the Setup preview's size
  QIcon trayIcon_;       // the number at every tray size
  QIcon mailIcon_, phoneIcon_;
  std::string normalHint_;
  int iconSize_ = 16;
  bool exiting_ = false;
};

}  // namespace qgm::gui

#pragma once
// The main window: the tab pages, the status line, the tray icon and its
// menu, and the update cycle's view.

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "core/debug/DebugLog.h"
#include "core/net/Endpoints.h"
#include "core/platform/Autostart.h"
#include "core/platform/Registry.h"
#include "core/settings/SettingsStore.h"
#include "core/usage/UpdateCycle.h"
#include "core/util/Pixmap.h"
#include "gui/app/QtTime.h"

class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;

namespace qgm::gui {

class TBroadbandPage;
class TSetupPage;
class TTrayIcon;

struct TStartOptions {
  std::vector<std::string> Args;  // the command line for the settings
  TEndpoints Endpoints;
  bool Demo = false;
  int DemoStartDelay = 3;  // seconds, for the demo
};

class TMainForm : public QWidget, public IUpdateView, public INoticeSink {
  Q_OBJECT
 public:
  explicit TMainForm(TStartOptions options);
  ~TMainForm() override;

  // Shows the window from the tray (a second start, the tray menu).
  void BringUp();
  void Exit();
  TUpdateCycle& Cycle() { return *cycle_; }
  const TTrayIcon& Tray() const { return *tray_; }
  bool ShowAtStart() const { return settings_.ShowWindowAtStart; }

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

  // INoticeSink
  void ShowNotice(const TNoticeRequest& notice) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildTrayMenu();
  void ShowPage(int index);
  void WireSetupPage();
  void CycleTabs(bool forward);
  void OpenHelp();
  void TrayMenuAboutToShow();
  uint32_t lastBarColour_ = 0x00FFFF00u;  // aqua until the first figures

  TStartOptions options_;
  TRegistryStore registry_;
  TAutostart autostart_;
  TDebugLog log_;
  std::unique_ptr<TSettingsStore> store_;
  TSettings settings_;
  std::unique_ptr<TNetContext> net_;
  std::unique_ptr<TUsageService> service_;
  TQtClock clock_;
  std::unique_ptr<TQtTimer> mainTimer_, alertTimer_;
  std::unique_ptr<TUpdateCycle> cycle_;

  QTabWidget* tabs_ = nullptr;
  TBroadbandPage* broadband_ = nullptr;
  TSetupPage* setup_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* btnOK_ = nullptr;
  QPushButton* btnRefresh_ = nullptr;
  QMenu* trayMenu_ = nullptr;
  QAction* mnuRefresh_ = nullptr;
  QAction* mnuADSL_ = nullptr;
  std::vector<QAction*> pageItems_;  // History .. About, hidden while the window shows
  TTrayIcon* tray_ = nullptr;
  TPixmap trayPicture_;
  std::string normalHint_;
  int iconSize_ = 16;
  bool exiting_ = false;
};

}  // namespace qgm::gui

#pragma once
// The Network tab (Designer form NetworkPage.ui plus the adapter and
// traffic groups): the chosen adapter's LAN address, gateway and hardware
// address, its traffic sampled each second into speeds and a scrolling
// graph with two scale track bars, and the public Internet address, which
// a click copies.

#include <QWidget>

#include "core/network/Adaptors.h"
#include "core/settings/Settings.h"
#include "core/util/Timing.h"

#include <functional>
#include <memory>
#include <string>

class QComboBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QSlider;

namespace Ui {
class NetworkPage;
}

namespace qgm::gui {

class TCopyFeedback;
class TFocusLabel;
class TNetGraph;

class TNetworkPage : public QWidget {
  Q_OBJECT
 public:
  // `offerLoopback`: the loopback adapter is offered too, after the others.
  TNetworkPage(TSettings& settings, ITimerFactory& timers, QWidget* parent = nullptr,
               bool offerLoopback = false);
  ~TNetworkPage() override;
  void ShowPublicAddress(const std::string& address);

  // The tab was shown (or the window restored onto it): adapters that
  // appeared are appended, and a running sampler starts a fresh graph.
  void Shown();
  // The window went into the tray: sampling stops.
  void WindowHidden();
  // Sets both scales from the plan speed once (the update's hook).
  void AutoScaleFromPlan(const std::string& planSpeed);
  // One tick of the sampler.
  void SampleTraffic();
  bool Sampling() const;

  // The download test's link: starts or cancels through these.
  std::function<bool()> OnStartTest;
  std::function<void()> OnStopTest;
  void DownloadTestStarted();
  void DownloadTestEnded();
  void TestLinkClicked();
  TFocusLabel* TestLink() const { return lblTestDownload_; }

  QComboBox* Adaptors() const { return cbNetworkAdaptors_; }
  TNetGraph* Graph() const { return imgNetwork_; }
  QGroupBox* GraphBox() const { return gbNetGraph_; }

 private:
  void SelectionChanged(bool tabActive);
  void UpdateGraphScale();
  void ResetTrafficGraph();

  TSettings& s_;
  bool offerLoopback_;
  std::unique_ptr<Ui::NetworkPage> ui_;
  std::unique_ptr<TCopyFeedback> copy_;
  std::unique_ptr<ITimer> NetworkTimer_;
  TAdaptors adaptors_;
  TAdaptor* current_ = nullptr;
  bool spin_ = false;
  int scaleIn_ = 1500, scaleOut_ = 256;
  QComboBox* cbNetworkAdaptors_;
  QLabel* lblLAN_;
  QLabel* lblGateway_;
  QLabel* lblMac_;
  QLabel* lblSpeedIn_;
  QLabel* lblSpeedOut_;
  QLabel* lblSpin_;
  QRadioButton* rbBits_;
  QRadioButton* rbBytes_;
  QGroupBox* gbNetGraph_;
  QSlider* tbIn_;
  QSlider* tbOut_;
  TNetGraph* imgNetwork_;
  TFocusLabel* lblTestDownload_;
};

}  // namespace qgm::gui

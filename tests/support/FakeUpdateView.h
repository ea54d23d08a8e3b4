#pragma once
// The update cycle's view and notice sink as tests see them: each call
// recorded, nothing drawn.

#include <string>
#include <vector>

#include "core/usage/UpdateCycle.h"

namespace qgm::test {

class FakeView : public IUpdateView {
 public:
  void SetStatus(const std::string& t) override { status = t; }
  std::string Status() const override { return status; }
  void SetBottomButton(const std::string& c) override { button = c; }
  void SetRefreshEnabled(bool e) override { refreshEnabled = e; }
  void ShowTray() override { trayShown = true; }
  void DrawTrayNumber(int n, uint32_t c) override {
    trayNumber = n;
    trayColour = c;
  }
  void SetTrayHint(const std::string& h) override { hint = h; }
  void RestoreTray() override { ++restores; }
  void ShowAlertPicture(int state, bool icon) override { pictures.push_back(icon ? state : 0); }
  void ShowUsageFigures(const TBroadbandFigures& f) override { figures = f; }
  void ShowServiceDetails(const TServiceDetails& d) override { details = d; }
  void SetPublicAddress(const std::string& a) override { publicAddress = a; }
  bool WindowVisible() const override { return visible; }

  std::string status, button, hint, publicAddress;
  bool refreshEnabled = true, trayShown = false, visible = true;
  int trayNumber = 0, restores = 0;
  uint32_t trayColour = 0;
  std::vector<int> pictures;
  TBroadbandFigures figures;
  TServiceDetails details;
};

class Sink : public INoticeSink {
 public:
  void ShowNotice(const TNoticeRequest& n) override { shown.push_back(n); }
  std::vector<TNoticeRequest> shown;
};

}  // namespace qgm::test

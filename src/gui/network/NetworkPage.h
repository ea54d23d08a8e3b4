#pragma once
// The Network tab (Designer form NetworkPage.ui): the public Internet
// address, which a click copies.

#include <QWidget>

#include "core/util/Timing.h"

#include <memory>
#include <string>

namespace Ui {
class NetworkPage;
}

namespace qgm::gui {

class TCopyFeedback;

class TNetworkPage : public QWidget {
  Q_OBJECT
 public:
  explicit TNetworkPage(ITimerFactory& timers, QWidget* parent = nullptr);
  ~TNetworkPage() override;
  void ShowPublicAddress(const std::string& address);

 private:
  std::unique_ptr<Ui::NetworkPage> ui_;
  std::unique_ptr<TCopyFeedback> copy_;
};

}  // namespace qgm::gui

#pragma once
// The provider tab (Designer form ProviderPage.ui): the customer number and
// the plan's terms from the service details.

#include <QWidget>

#include <memory>
#include <string>

#include "core/usage/UsageService.h"

#include "core/util/Timing.h"

namespace Ui {
class ProviderPage;
}

namespace qgm::gui {

class TCopyFeedback;

class TProviderPage : public QWidget {
  Q_OBJECT
 public:
  explicit TProviderPage(ITimerFactory& timers, QWidget* parent = nullptr);
  ~TProviderPage() override;
  // An empty number hides the number and its caption.
  void ShowClientNo(const std::string& number);
  void ShowServiceDetails(const TServiceDetails& details);

 private:
  std::unique_ptr<Ui::ProviderPage> ui_;
  std::unique_ptr<TCopyFeedback> copy_;
};

}  // namespace qgm::gui

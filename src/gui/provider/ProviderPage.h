#pragma once
// The provider tab (Designer form ProviderPage.ui): the customer number and
// the plan's terms from the service details.

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

#include "core/about/ProviderLinks.h"
#include "core/usage/UsageService.h"

#include "core/util/Timing.h"

namespace Ui {
class ProviderPage;
}

namespace qgm::gui {

class TCopyFeedback;
class TFocusLabel;

class TProviderPage : public QWidget {
  Q_OBJECT
 public:
  explicit TProviderPage(ITimerFactory& timers, QWidget* parent = nullptr);
  ~TProviderPage() override;
  // An empty number hides the number and its caption.
  void ShowClientNo(const std::string& number);
  void ShowServiceDetails(const TServiceDetails& details);
  // The home-page link's caption is the address itself.
  void SetHomePage(const std::string& address);

  // A click on one of the " Contact Info && Links " labels.
  std::function<void(EProviderLink link)> OnOpenLink;

 private:
  std::unique_ptr<Ui::ProviderPage> ui_;
  std::unique_ptr<TCopyFeedback> copy_;
  TFocusLabel* lblCorvalinkUrl_ = nullptr;
};

}  // namespace qgm::gui

#pragma once
// The Broadband tab (Designer form BroadbandPage.ui): what is left of the
// month's allowance and of the month, and the plan.

#include <QWidget>

#include <memory>

#include "core/usage/BroadbandFigures.h"
#include "core/usage/UsageService.h"

namespace Ui {
class BroadbandPage;
}

namespace qgm::gui {

class TPercentBar;

class TBroadbandPage : public QWidget {
  Q_OBJECT
 public:
  explicit TBroadbandPage(QWidget* parent = nullptr);
  ~TBroadbandPage() override;
  void ShowFigures(const TBroadbandFigures& figures);
  void ShowServiceDetails(const TServiceDetails& details);
  void ShowTodayMetered(const std::string& text);
  // The line under the daily averages on where the month is heading;
  // hidden while empty.
  void ShowProjection(const TLabelText& line);

 private:
  void SetBar(TPercentBar* image, int percent, uint32_t colour, const QString& figure = {});

  std::unique_ptr<Ui::BroadbandPage> ui_;
};

}  // namespace qgm::gui

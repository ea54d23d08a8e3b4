#pragma once
// The Broadband tab: what is left of the month's allowance and of the month.

#include <QWidget>

#include "core/usage/BroadbandFigures.h"
#include "core/usage/UsageService.h"

class QGridLayout;
class QLabel;

namespace qgm::gui {

class TBroadbandPage : public QWidget {
  Q_OBJECT
 public:
  explicit TBroadbandPage(QWidget* parent = nullptr);
  void ShowFigures(const TBroadbandFigures& figures);
  void ShowServiceDetails(const TServiceDetails& details);

 private:
  QLabel* AddRow(QGridLayout* grid, int row, const QString& caption, const char* name);
  void SetBar(QLabel* image, int percent, uint32_t colour);

  QLabel *lblAmtLeft_, *lblDaysLeft_, *imgAmtLeft_, *imgDaysLeft_, *lblMeteredUsage_,
      *lblRelativeUsage_, *lblTodayMetered_, *lblStartAv_, *lblCurrentAv_, *lblRestAv_,
      *lblAllowance_, *lblRollover_, *lblSpeedCaption_, *lblSpeed_, *lblPlan_, *lblShaping_,
      *lblPlanCost_;
};

}  // namespace qgm::gui

#pragma once
// Usage alerts the user sets on the Setup page: a notice when the month's
// usage passes a level of the allowance, and one when the recent pace
// would use the allowance up before the rollover. Each is told once per
// billing month.

#include <string>
#include <vector>

#include "core/usage/Notices.h"
#include "core/usage/Projection.h"
#include "core/usage/UsageRecord.h"

namespace qgm {

struct TUsageAlertSettings {
  int Level1 = 0;  // per cent of the allowance used; 0: none
  int Level2 = 0;
  bool Pace = false;
};

// The notices due after an update. `told` holds what was told already
// ("<rollover yyyy-mm-dd>:<level>" and "<rollover>:pace"); entries of other
// billing months are dropped and the new ones added. Nothing is due
// without an allowance or a rollover.
std::vector<TNoticeRequest> DueUsageAlerts(const TUsageAlertSettings& settings,
                                           const TUsageRecord& record,
                                           const TProjection& projection,
                                           std::vector<std::string>& told);

}  // namespace qgm

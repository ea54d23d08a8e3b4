#pragma once
// Where the month is heading: the pace of the last seven days and of the
// month so far, the month's total at the recent pace, and when the
// allowance runs out at that pace (or how much is left at the rollover).

#include <optional>
#include <string>

#include "core/history/History.h"
#include "core/usage/BroadbandFigures.h"
#include "core/usage/UsageRecord.h"

namespace qgm {

struct TProjection {
  bool Available = false;            // false: nothing to go on (see ProjectUsage)
  long double RecentPerDayMB = 0;    // the last complete days' average (up to 7)
  long double MonthPerDayMB = 0;     // the month's average so far
  long double ProjectedTotalMB = 0;  // the month's total at the recent pace
  // When the allowance runs out at the recent pace, if before the rollover.
  std::optional<TDateTime> RunsOutAt;
  // What is left at the rollover at the recent pace (negative: over); none
  // without an allowance.
  std::optional<long double> LeftAtRolloverMB;
  bool AlreadyOver = false;  // the allowance is used up already
};

// The projection for `record` (a usage line parsed with its rollover) as of
// `now`, with the billing month's days from `history`. Complete days count
// (today's figure is a part day); days missing from the history are left
// out of the recent pace, days of no usage count as 0. Nothing is
// available before the month's first day is complete, without a rollover,
// or once the rollover is due.
TProjection ProjectUsage(const TUsageRecord& record, const THistory& history, TDateTime now);

// The Broadband tab's line for it: "At this pace: ..." in maroon when it
// runs out before the rollover; empty when nothing is available.
TLabelText ProjectionText(const TProjection& projection);

}  // namespace qgm

#include "core/usage/Projection.h"

#include <algorithm>
#include <cmath>

#include "core/util/Format.h"

namespace qgm {

namespace {
constexpr int kRecentDays = 7;
}  // namespace

TProjection ProjectUsage(const TUsageRecord& r, const THistory& history, TDateTime now) {
  TProjection p;
  if (r.Rollover == kNoDate || r.DaysLeft < 0 || r.PeriodDays <= 0) return p;
  const TDateTime today = DateOf(now);
  const TDateTime monthStart = DateOf(r.Rollover) - r.PeriodDays;
  // The complete days of this billing month so far.
  const int completeDays = static_cast<int>(today - monthStart);
  if (completeDays < 1) return p;

  long double recent = 0;
  int counted = 0;
  for (const TDayUsage& d : history.Days()) {
    const TDateTime day = DateOf(d.Date);
    if (day >= today || day < monthStart || day < today - kRecentDays) continue;
    recent += d.Total.ToLongDouble();
    ++counted;
  }
  const long double used = r.UsedMB.ToLongDouble();
  const long double elapsed = std::max<long double>(now - monthStart, 1);
  p.MonthPerDayMB = used / elapsed;
  // Without any recent day on record, the month's own pace stands in.
  p.RecentPerDayMB = counted > 0 ? recent / counted : p.MonthPerDayMB;
  p.Available = true;

  const long double daysLeft = std::max<long double>(r.DaysLeft, 0);
  p.ProjectedTotalMB = used + p.RecentPerDayMB * daysLeft;
  if (r.QuotaMB <= Money()) return p;  // unlimited or unknown: nothing runs out
  const long double quota = r.QuotaMB.ToLongDouble();
  p.LeftAtRolloverMB = quota - p.ProjectedTotalMB;
  if (used >= quota) {
    p.AlreadyOver = true;
  } else if (p.RecentPerDayMB > 0) {
    const TDateTime out = now + static_cast<double>((quota - used) / p.RecentPerDayMB);
    if (out < r.Rollover) p.RunsOutAt = out;
  }
  return p;
}

TLabelText ProjectionText(const TProjection& p) {
  if (!p.Available) return {};
  if (p.AlreadyOver) return {"At this pace: allowance used up", kMaroon};
  if (p.RunsOutAt)
    return {"At this pace: runs out " + FormatDateTime("ddd d mmm, h am/pm", *p.RunsOutAt),
            kMaroon};
  if (p.LeftAtRolloverMB)
    return {Format("At this pace: %1.0n MB left at rollover", {*p.LeftAtRolloverMB}), kBlack};
  return {Format("At this pace: %1.0n MB this month", {p.ProjectedTotalMB}), kBlack};
}

}  // namespace qgm

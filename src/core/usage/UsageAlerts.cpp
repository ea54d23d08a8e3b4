#include "core/usage/UsageAlerts.h"

#include <algorithm>

#include "core/util/Format.h"

namespace qgm {

namespace {

TNoticeRequest Alert(const std::string& body) {
  TNoticeRequest n;
  n.Caption = kNoticeCaption;
  n.Body = body;
  n.Alert = true;  // the alert colour and sound
  return n;
}

}  // namespace

std::vector<TNoticeRequest> DueUsageAlerts(const TUsageAlertSettings& s, const TUsageRecord& r,
                                           const TProjection& p, std::vector<std::string>& told) {
  std::vector<TNoticeRequest> due;
  if (r.Rollover == kNoDate || r.QuotaMB <= Money()) return due;
  const std::string month = FormatDateTime("yyyy-mm-dd", r.Rollover) + ":";
  // A new billing month starts afresh.
  std::erase_if(told, [&month](const std::string& t) { return !t.starts_with(month); });
  const auto tell = [&told](const std::string& key) {
    if (std::find(told.begin(), told.end(), key) != told.end()) return false;
    told.push_back(key);
    return true;
  };

  const long double usedPercent = r.UsedMB.ToLongDouble() * 100 / r.QuotaMB.ToLongDouble();
  // The higher level first: passing both at once tells only the higher.
  const int high = std::max(s.Level1, s.Level2), low = std::min(s.Level1, s.Level2);
  bool toldLevel = false;
  for (const int level : {high, low}) {
    if (level <= 0 || level > 100 || usedPercent < level) continue;
    if (!tell(month + std::to_string(level)) || toldLevel) continue;
    toldLevel = true;
    due.push_back(Alert(
        Format("You have used %d%% of this month's allowance: %1.0n MB of %1.0n MB, with %1.1n "
               "days to go until it renews on %s.",
               {level, r.UsedMB, r.QuotaMB, static_cast<long double>(std::max(r.DaysLeft, 0.0)),
                FormatDateTime("d mmmm", r.Rollover)})));
  }
  if (s.Pace && p.RunsOutAt && tell(month + "pace")) {
    due.push_back(Alert(Format(
        "At the pace of the last few days (%1.0n MB a day) this month's allowance runs out on "
        "%s, before it renews on %s. %1.0n MB a day would last until then.",
        {p.RecentPerDayMB, FormatDateTime("dddd d mmmm, h am/pm", *p.RunsOutAt),
         FormatDateTime("d mmmm", r.Rollover),
         (r.QuotaMB.ToLongDouble() - r.UsedMB.ToLongDouble()) /
             std::max<long double>(r.DaysLeft, 1)})));
  }
  return due;
}

}  // namespace qgm

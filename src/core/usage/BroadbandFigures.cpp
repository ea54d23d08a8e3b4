#include "core/usage/BroadbandFigures.h"

#include <cmath>

#include "core/util/Format.h"

namespace qgm {
namespace {

std::string MB(long double mb) {
  return Format("%1.0n MB", {mb});
}
std::string MB(Money mb) {
  return Format("%1.0n MB", {mb});
}

}  // namespace

TBroadbandFigures ShowUsageFigures(int code, const TUsageRecord& r) {
  TBroadbandFigures f;
  f.BarColour = r.BarColour;
  const long double used = r.UsedMB.ToLongDouble();
  const long double quota = r.QuotaMB.ToLongDouble();
  f.MeteredUsage.Text = MB(r.UsedMB);

  if (code < 3 && r.QuotaMB > Money()) {
    f.AmtLeft.Text = MB(r.QuotaMB - r.UsedMB);
    f.Allowance.Text = MB(r.QuotaMB);
    f.AmountBar = static_cast<int>(r.PercentLeft.RoundToWhole());
  } else {
    f.Allowance.Text = r.QuotaMB == Money() ? "Unlimited" : "";
    f.AmountBar = 100;
  }

  if (code > 1) {
    f.DaysBar = 100;
  } else {
    long double target;
    if (r.DaysLeft >= 0) {
      f.DaysLeft = {Format("%1.1n days", {r.DaysLeft}), kBlack};
      f.DaysBar = static_cast<int>(
          RoundHalfEven(static_cast<long double>(r.DaysLeft) * 100 / r.PeriodDays));
      target = quota - static_cast<long double>(r.DaysLeft) / r.PeriodDays * quota;
    } else {
      f.DaysLeft = {"Awaiting rollover", kRed};
      f.DaysBar = 0;
      target = quota;
    }
    if (r.QuotaMB != Money()) {
      const long double diff = target - used;
      f.RelativeUsage =
          used > target ? TLabelText{MB(diff), kMaroon} : TLabelText{"+" + MB(diff), kDarkGreen};
    }
    const long double elapsed = r.PeriodDays - static_cast<long double>(r.DaysLeft);
    if (std::fabs(elapsed) >= 1) f.CurrentAv.Text = MB(used / elapsed);
    f.Rollover.Text = FormatDateTime("d mmmm", r.Rollover);
    if (r.QuotaMB != Money()) {
      f.StartAv.Text = MB(quota / r.PeriodDays);
      if (std::fabs(r.DaysLeft) >= 1)
        f.RestAv.Text = MB((quota - used) / static_cast<long double>(r.DaysLeft));
    }
  }

  if (code == 0) f.Shaping.Text = r.ExcessRate != Money() ? "No" : "Yes";
  return f;
}

std::string BuildTrayHint(const TUsageRecord& r, TDateTime updateStart, TDateTime now,
                          const std::string& commandLineAccount, bool modern) {
  const std::string prefix =
      commandLineAccount.empty() ? "" : Format("[%s]\n", {commandLineAccount});
  const std::string nowText = FormatDateTime("h:nn am/pm", now);
  const std::string updateText = FormatDateTime("h:nn am/pm", updateStart);
  if (updateStart > r.Rollover) return Format("%sAwaiting rollover - %s", {prefix, nowText});
  if (r.QuotaMB != Money() && r.UsedMB > r.QuotaMB) {
    if (r.ExcessRate != Money()) {
      const long double excess =
          (r.UsedMB - r.QuotaMB).ToLongDouble() * r.ExcessRate.ToLongDouble();
      return Format("%sEstimated Excess %1.2m - updated %s", {prefix, excess, nowText});
    }
    return Format("%sSpeed capped - updated %s", {prefix, nowText});
  }
  if (r.QuotaMB != Money()) {
    if (modern) {
      return prefix +
             Format(
                 "Amount Left: %1.0n MB (%1.0n%%)\nNo. Days Left: %1.1n (%1.0n%%)\nLast Updated %s",
                 {r.QuotaMB - r.UsedMB, r.PercentLeft, r.DaysLeft, r.DaysLeft / r.PeriodDays * 100,
                  updateText});
    }
    return Format("%s%1.0n%% left - %1.0n MB remaining - updated %s",
                  {prefix, r.PercentLeft, r.QuotaMB - r.UsedMB, updateText});
  }
  return Format("%sLast updated %s", {prefix, updateText});
}

}  // namespace qgm

#pragma once
// What the Broadband tab and the tray hint show for a usage record.

#include <cstdint>
#include <string>

#include "core/usage/UsageRecord.h"

namespace qgm {

inline constexpr uint32_t kBlack = Rgb(0, 0, 0);
inline constexpr uint32_t kMaroon = Rgb(128, 0, 0);
inline constexpr uint32_t kDarkGreen = Rgb(0, 128, 0);

struct TLabelText {
  std::string Text;
  uint32_t Colour = kBlack;
  bool operator==(const TLabelText&) const = default;
};

struct TBroadbandFigures {
  TLabelText MeteredUsage;   // lblMeteredUsage
  TLabelText AmtLeft;        // lblAmtLeft
  TLabelText Allowance;      // lblAllowance
  TLabelText DaysLeft;       // lblDaysLeft
  TLabelText RelativeUsage;  // lblRelativeUsage
  TLabelText StartAv;        // lblStartAv
  TLabelText CurrentAv;      // lblCurrentAv
  TLabelText RestAv;         // lblRestAv
  TLabelText Rollover;       // lblRollover
  TLabelText Shaping;        // refilled from the plan details right afterwards
  int AmountBar = 100;       // percentage shown by imgAmtLeft
  int DaysBar = 100;         // percentage shown by imgDaysLeft
  uint32_t BarColour = kAqua;
};

// The Broadband tab for a parse code of 0 to 3.
TBroadbandFigures ShowUsageFigures(int code, const TUsageRecord& record);

// The tray hint after an update that started at `updateStart`; `now` is the
// current time and `commandLineAccount` the account name when the
// credentials came from the command line (empty otherwise).
std::string BuildTrayHint(const TUsageRecord& record, TDateTime updateStart, TDateTime now,
                          const std::string& commandLineAccount, bool modern = true);

}  // namespace qgm

#pragma once
// The usage record: what one usage line says about the billing month, and
// the figures derived from it.

#include <cstdint>
#include <string_view>

#include "core/util/DateTime.h"
#include "core/util/Money.h"

namespace qgm {

// Colours are 32-bit values with red in the low byte, then green, then blue.
constexpr uint32_t Rgb(unsigned r, unsigned g, unsigned b) {
  return r | (g << 8) | (b << 16);
}
inline constexpr uint32_t kAqua = Rgb(0, 255, 255);
inline constexpr uint32_t kGreen = Rgb(0, 255, 0);
inline constexpr uint32_t kYellow = Rgb(255, 255, 0);
inline constexpr uint32_t kRed = Rgb(255, 0, 0);

struct TUsageRecord {
  Money UsedMB;
  Money QuotaMB;                             // 0: unlimited; -1: quota unreadable
  Money PercentLeft = Money::FromWhole(-1);  // 101 unlimited; -2/-3 over quota
  uint32_t BarColour = kAqua;
  TDateTime Rollover = kNoDate;
  double DaysLeft = -1;
  int PeriodDays = 30;
  Money ExcessRate;
  Money TodayTotalMB;
};

// Parse result codes.
enum : int {
  kUsageAll = 0,           // also ExcessRate valid
  kUsageWithRollover = 1,  // UsedMB, QuotaMB and Rollover valid
  kUsageWithQuota = 2,     // UsedMB and QuotaMB valid
  kUsageUsedOnly = 3,      // only UsedMB valid
  kUsageNothing = 4,       // nothing usable
};

// Resets `record` to its initial values, fills
// it from the usage line ("used quota dd/mm/yyyy excess") as of `now`, and
// returns the code. `modernColours`: the gradient colour for ratios above 0.8.
int ParseUsageLine(std::string_view line, TDateTime now, TUsageRecord& record,
                   bool modernColours = true);

// The colour for a whole-number ratio a (percentage left against days left).
uint32_t UsageGradient(int64_t a);

}  // namespace qgm

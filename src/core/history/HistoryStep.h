#pragma once
// The history step of a usage update: the store is rebuilt from the log,
// the recent days (or all 950 on a first run) are fetched from the
// provider, merged, and the log is written back.

#include <filesystem>
#include <string>

#include "core/history/History.h"
#include "core/usage/UsageService.h"

namespace qgm {

struct THistoryStepResult {
  bool Fetched = false;  // false: the store keeps what the log gave
  Money TodayTotalMB;    // the newest day's provider total (0 when empty)
  int DaysRequested = 0;
  bool Saved = false;
};

// `firstUpdate`: the first update of a run skips the log and rebuilds it
// from the provider's 950 days. An empty or unreadable reply counts as a
// failed fetch.
THistoryStepResult RunHistoryStep(THistory& history, TUsageService& service,
                                  const TUsageAccount& account, bool firstUpdate,
                                  const std::filesystem::path& dataFolder, TDateTime today);

}  // namespace qgm

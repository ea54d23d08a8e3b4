#pragma once
// CallHaven call usage kept as one CSV file per month in the data folder,
// and the totals of the last 28 months made from them.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/util/DateTime.h"
#include "core/util/Money.h"

namespace qgm {

struct TCallMonth {
  int32_t Month = 0;
  int32_t Year = 0;
  int32_t CallhavenCalls = 0;
  int32_t NationalCalls = 0;
  int32_t MobileCalls = 0;
  int32_t OtherCalls = 0;
  int32_t TotalCalls = 0;
  Money NationalCost;
  Money MobileCost;
  Money OtherCost;
  Money TotalCost;
};

// The months, newest first.
class TCallhaven {
 public:
  int Count() const { return static_cast<int>(months_.size()); }
  // Raises std::out_of_range("TCallhaven: out of range") outside 0..Count-1.
  TCallMonth& Items(int index);
  const TCallMonth& Items(int index) const;
  TCallMonth& Add();
  void Clear() { months_.clear(); }

 private:
  std::vector<std::unique_ptr<TCallMonth>> months_;
};

inline constexpr int kCallMonthsShown = 28;

// "<folder>/callhaven_YYYY-MM.csv".
std::filesystem::path CallFileName(const std::filesystem::path& folder, int year, int month);
// The names (without folder) of the "callhaven_*.csv" files, sorted.
std::vector<std::string> ListCallFiles(const std::filesystem::path& folder);
bool CallFilesExist(const std::filesystem::path& folder);

// A month's text into its record: the header line skipped, lines of fewer
// than 6 fields or that do not split skipped, each call classed by its type
// and its cost added.
void AddCallLines(std::string_view text, TCallMonth& month);

struct TCallMonthsLoaded {
  // "May 2014" for each record, newest first.
  std::vector<std::string> Selector;
  // When the current month's file was written; 0 when there is none.
  TDateTime CurrentFileTime = 0;
  // Month files that were there but not read, each "FILE: why" (not a
  // regular file, or larger than any month of calls can be); those months
  // count as empty.
  std::vector<std::string> Refused;
};
// No month of calls comes near this (a line is some 50 bytes).
inline constexpr uint64_t kMaxCallMonthBytes = 64ull << 20;
// Rebuilds the 28 records from the files (months without a file are zero);
// with no file at all the list stays empty.
TCallMonthsLoaded LoadCallMonths(TCallhaven& calls, const std::filesystem::path& folder,
                                 TDateTime today);

std::string LongMonthName(int month);

}  // namespace qgm

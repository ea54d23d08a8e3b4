#pragma once
// A month's totals the plain way, for the scanners to be held to: every
// line after the header split by SplitCsvLine, its cost read by
// Money::Parse, each sum taken in the order of the lines.

#include <string>
#include <string_view>
#include <vector>

#include "core/callusage/CallMonths.h"
#include "core/util/Csv.h"
#include "core/util/Money.h"

namespace qgm::test {

inline void AddCallLinesPlainly(std::string_view text, TCallMonth& m) {
  size_t start = text.find('\n');
  start = start == std::string_view::npos ? text.size() : start + 1;
  std::vector<std::string> fields;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto count = SplitCsvLine(line, 6, fields);
    if (!count || *count < 6) continue;
    const std::string_view type = fields[4];
    const Money cost = Money::Parse(fields[3]).value_or(Money());
    if (type.starts_with("Nation")) {
      ++m.NationalCalls;
      m.NationalCost += cost;
    } else if (type.starts_with("Mobile")) {
      ++m.MobileCalls;
      m.MobileCost += cost;
    } else if (type.starts_with("CallHaven")) {
      ++m.CallhavenCalls;
    } else {
      ++m.OtherCalls;
      m.OtherCost += cost;
    }
  }
  m.TotalCalls = m.NationalCalls + m.MobileCalls + m.CallhavenCalls + m.OtherCalls;
  m.TotalCost = m.OtherCost + m.MobileCost + m.NationalCost;
}

inline bool SameTotals(const TCallMonth& a, const TCallMonth& b) {
  return a.NationalCalls == b.NationalCalls && a.MobileCalls == b.MobileCalls &&
         a.CallhavenCalls == b.CallhavenCalls && a.OtherCalls == b.OtherCalls &&
         a.TotalCalls == b.TotalCalls && a.NationalCost == b.NationalCost &&
         a.MobileCost == b.MobileCost && a.OtherCost == b.OtherCost && a.TotalCost == b.TotalCost;
}

}  // namespace qgm::test

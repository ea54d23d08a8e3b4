#include "core/callusage/CallGraph.h"

#include "core/util/Format.h"

namespace qgm {

int CallGraphScale(const TCallhaven& calls) {
  int64_t scale = 10;
  for (int i = 0; i < calls.Count(); ++i) {
    const Money total = calls.Items(i).TotalCost;
    if (total > Money::FromWhole(scale)) scale = total.Units() / Money::kScale + 1;
  }
  // Up to a multiple of 10: the nearest one (halves to even), or the next.
  int64_t rounded = RoundHalfEven(static_cast<long double>(scale) / 10) * 10;
  if (rounded < scale) rounded += 10;
  return static_cast<int>(rounded);
}

int CallBarHeight(Money total, int scale, int height) {
  return static_cast<int>(RoundHalfEven(total.ToLongDouble() / scale * height));
}

int CallGraphColumnAt(int x, int width) {
  const int c = width / 27;
  const int first = width - 28 * c - 1;
  if (c <= 0 || x < first || x > width - 2) return -1;
  return (x - first) / c;
}

std::string CallGraphHint(const TCallMonth& m) {
  return Format(
      "%s %d\nNational: %1.2m\nMobile: %1.2m\nOther: %1.2m\nTOTAL: %1.2m",
      {LongMonthName(m.Month), m.Year, m.NationalCost, m.MobileCost, m.OtherCost, m.TotalCost});
}

std::string CallGraphMonthLabel(const TCallMonth& m) {
  return Format("%s %2.2d", {LongMonthName(m.Month).substr(0, 3), m.Year - 2000});
}

}  // namespace qgm

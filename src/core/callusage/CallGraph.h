#pragma once
// The CallHaven graph's arithmetic: the scale, the bars' places, the column
// under the pointer, and the hint of a month.

#include <string>

#include "core/callusage/CallMonths.h"

namespace qgm {

// The top of the scale in whole dollars: 10, or above the largest total,
// rounded up to a multiple of 10.
int CallGraphScale(const TCallhaven& calls);
// The bar height of a total on a graph `height` pixels high.
int CallBarHeight(Money total, int scale, int height);
// The column under x on a graph `width` pixels wide: 0 the oldest bar, 27
// the newest; -1 beside the bars.
int CallGraphColumnAt(int x, int width);
// "May 2014\nNational: $1.23\n..." for a month.
std::string CallGraphHint(const TCallMonth& month);
// "Jan 12": the short month name and the two-digit year.
std::string CallGraphMonthLabel(const TCallMonth& month);

}  // namespace qgm

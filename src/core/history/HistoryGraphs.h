#pragma once
// The History tab's two bar graphs, drawn pixel by pixel into our pictures:
// the last 31 days and the last 31 billing months, with their labels and
// the hints for the bar under the pointer.

#include <array>
#include <string>

#include "core/history/History.h"
#include "core/util/Pixmap.h"

namespace qgm {

constexpr int kGraphBars = 31;
constexpr int kGraphWidth = 231;
constexpr int kGraphHeight = 136;
constexpr int kKeyWidth = 6;
constexpr int kKeyHeight = 13;

// Series indices, and the selection bits of the three check boxes.
enum TGraphSeriesIndex : int { kSeriesTotals, kSeriesDownloads, kSeriesUploads, kSeriesWeekend };
enum : int { kSelectTotals = 1, kSelectDownloads = 2, kSelectUploads = 4 };

// The desktop's colours the graphs use, as 0xAARRGGBB.
struct TGraphPalette {
  uint32_t Face = 0xFFF0F0F0u;
  uint32_t Shadow = 0xFFA0A0A0u;
  uint32_t Highlight = 0xFFFFFFFFu;
};

// 31 bars, index 30 the newest; Totals is Downloads + Uploads.
struct TGraphSeries {
  std::array<TDateTime, kGraphBars> Dates{};
  std::array<Money, kGraphBars> Totals{};
  std::array<Money, kGraphBars> Downloads{};
  std::array<Money, kGraphBars> Uploads{};
};

// What a redraw puts into the labels beside the graph; nothing is set when
// the store is empty (the labels keep their text).
struct TGraphLabels {
  bool Set = false;
  std::string First, Last, Max, Caption;
};

// The bar width for a graph `imageWidth` pixels wide.
inline int BarWidth(int imageWidth = kGraphWidth) {
  return imageWidth / 30;
}

// Every picture may be drawn at a device pixel ratio: `ratio` device pixels
// to a logical one. The layout stays the logical one (columns, line widths
// and the frame are `ratio` times as wide); only the bar heights are found
// to the device pixel, so a screen of twice the density shows the same
// graph in finer steps. At 1 the picture is the plain pixel drawing.

// One bar with its top row at `top`, down to the picture's bottom; `x` and
// the width in logical columns, `top` in device rows.
void DrawBar(TPixmap& picture, int x, int top, int series, int barWidth = BarWidth(),
             double ratio = 1.0);
// The bar's top row for an amount at `pixelsPerMB`: the picture's height
// for no bar, else at least `minHeight` pixels high.
int BarTop(Money amount, long double pixelsPerMB, int height, int minHeight = 3);

// The smallest multiple of 10^k megabytes not below the amount.
Money RoundUpPow10(int k, Money amount);
// The start of the billing month holding `date`, for a plan rolling over on
// `rollover`'s day of the month (at most the 28th).
TDateTime BillingMonthStart(TDateTime date, TDateTime rollover);
// The same day one month earlier.
TDateTime PreviousMonth(TDateTime date);

TGraphSeries DaySeries(const THistory& history);
TGraphSeries MonthSeries(const THistory& history, TDateTime rollover);

// The picture is the graph's logical size times `ratio` (GraphPixels).
TGraphLabels DrawDayGraph(TPixmap& picture, const THistory& history, const TGraphSeries& days,
                          int selection, const TGraphPalette& palette, double ratio = 1.0);
TGraphLabels DrawMonthGraph(TPixmap& picture, const THistory& history, const TGraphSeries& months,
                            int selection, const TGraphPalette& palette, double ratio = 1.0);
// A legend sample (kKeyWidth x kKeyHeight logical pixels) of one series.
TPixmap DrawKey(int series, const TGraphPalette& palette, double ratio = 1.0);
// The device pixels of `logical` pixels at `ratio`.
int GraphPixels(int logical, double ratio);

// The hint for the pointer at column `x`; empty outside the bars or over a
// bar without a date.
std::string DayHint(const TGraphSeries& days, int x, int selection, bool uploadsMetered,
                    int barWidth = BarWidth());
std::string MonthHint(const TGraphSeries& months, int x, int selection, bool uploadsMetered,
                      int barWidth = BarWidth());

}  // namespace qgm

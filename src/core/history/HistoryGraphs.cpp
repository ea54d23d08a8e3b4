#include "core/history/HistoryGraphs.h"

#include <algorithm>
#include <cmath>

#include "core/util/Format.h"

namespace qgm {
namespace {

constexpr uint32_t Argb(unsigned r, unsigned g, unsigned b) {
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

struct TSeriesColours {
  uint32_t Main, Highlight, Shadow;
};
constexpr TSeriesColours kSeriesColours[] = {
    {Argb(149, 152, 255), Argb(195, 199, 247), Argb(4, 12, 174)},    // totals
    {Argb(0, 230, 124), Argb(150, 250, 199), Argb(0, 174, 0)},       // downloads
    {Argb(234, 169, 126), Argb(255, 185, 139), Argb(174, 70, 0)},    // uploads
    {Argb(235, 221, 125), Argb(255, 240, 139), Argb(174, 151, 0)}};  // weekend day
constexpr uint32_t kOutlineGrey = Argb(153, 153, 153);
constexpr uint32_t kBlack = Argb(0, 0, 0);
constexpr uint32_t kSilver = Argb(192, 192, 192);

// The device pixel where logical pixel `v` begins.
int Dev(int v, double ratio) {
  return static_cast<int>(std::lround(v * ratio));
}
// The width of a one-pixel line in device pixels.
int LineWidth(double ratio) {
  return std::max(1, Dev(1, ratio));
}

// Device columns x0..x1 - 1 and rows y0..y1 - 1. Pixels outside the picture
// are left alone, so an amount above the scale or a bar at the edge cannot
// write past it.
void Band(TPixmap& p, int x0, int x1, int y0, int y1, uint32_t c) {
  x0 = std::max(x0, 0), y0 = std::max(y0, 0);
  x1 = std::min(x1, p.Width), y1 = std::min(y1, p.Height);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) p.At(x, y) = c;
}
void Fill(TPixmap& p, uint32_t c) {
  std::fill(p.Pixels.begin(), p.Pixels.end(), c);
}
void Frame(TPixmap& p, const TGraphPalette& palette, double ratio) {
  const int t = LineWidth(ratio);
  Band(p, 0, t, 0, p.Height, palette.Shadow);
  Band(p, 0, p.Width, 0, t, palette.Shadow);
  Band(p, p.Width - t, p.Width, 0, p.Height, palette.Highlight);
  Band(p, 0, p.Width, p.Height - t, p.Height, palette.Highlight);
}

// The largest selected amount, rounded to whole megabytes as it grows.
Money Maximum(const TGraphSeries& s, int selection, Money start) {
  Money max = start;
  auto look = [&max](const std::array<Money, kGraphBars>& values) {
    for (Money a : values) {
      if (a > max) max = Money::FromWhole(a.RoundToWhole());
    }
  };
  if (selection & kSelectTotals) {
    look(s.Totals);
  } else {
    if (selection & kSelectDownloads) look(s.Downloads);
    if (selection & kSelectUploads) look(s.Uploads);
  }
  return max;
}

bool OneSeries(int selection) {
  return selection == kSelectTotals || selection == kSelectDownloads || selection == kSelectUploads;
}

void DrawBars(TPixmap& p, const TGraphSeries& s, int selection, Money max, TDateTime firstDate,
              double ratio) {
  // The logical graph's bar width and scale, the heights in device rows.
  const int w = BarWidth(static_cast<int>(std::lround(p.Width / ratio)));
  const int height = static_cast<int>(std::lround(p.Height / ratio));
  const long double scale = static_cast<long double>(height - 1) * ratio / max.ToLongDouble();
  const int minHeight = Dev(3, ratio);
  const std::array<Money, kGraphBars>* values[] = {&s.Totals, &s.Downloads, &s.Uploads};
  const int bits[] = {kSelectTotals, kSelectDownloads, kSelectUploads};
  const bool weekends = firstDate != kNoDate && OneSeries(selection);
  for (int series = 0; series < 3; ++series) {
    if (!(selection & bits[series])) continue;
    for (int i = 0; i < kGraphBars; ++i) {
      int colours = series;
      if (weekends) {
        const int day = DayOfWeek(IncDay(firstDate, i));
        if (day == 1 || day == 7) colours = kSeriesWeekend;
      }
      const int top = BarTop((*values[series])[static_cast<size_t>(i)], scale, p.Height, minHeight);
      if (top < p.Height) DrawBar(p, 2 + i * w, top, colours, w, ratio);
    }
  }
}

std::string Lines(int selection, bool uploadsMetered, Money total, Money down, Money up,
                  const char* format) {
  std::string out;
  const std::string number = format;
  if (selection & kSelectTotals) out += "\n" + Format("Total: " + number, {total});
  if (selection & kSelectDownloads) out += "\n" + Format("Downloads (Metered): " + number, {down});
  if (selection & kSelectUploads) {
    out += "\n" + Format("%s: " + number,
                         {uploadsMetered ? "Uploads (Metered)" : "Uploads (Unmetered)", up});
  }
  return out;
}

// The bar under column x, or -1: (x - 2) / w rounded towards zero, so the
// two columns left of the first bar still count as bar 0.
int BarAt(int x, int barWidth) {
  if (barWidth <= 0) return -1;
  const int i = (x - 2) / barWidth;
  return i >= 0 && i < kGraphBars ? i : -1;
}

}  // namespace

void DrawBar(TPixmap& p, int x, int top, int series, int w, double ratio) {
  const TSeriesColours& c = kSeriesColours[std::clamp(series, 0, 3)];
  const int body = top + LineWidth(ratio);
  // Logical columns from..to, from below the top line to the bottom.
  auto columns = [&](int from, int to, uint32_t colour) {
    Band(p, Dev(from, ratio), Dev(to + 1, ratio), body, p.Height, colour);
  };
  columns(x + 1, x + 1, c.Highlight);
  columns(x + 2, x + w - 4, c.Main);
  columns(x + w - 3, x + w - 3, c.Shadow);
  columns(x, x, kOutlineGrey);
  Band(p, Dev(x + 1, ratio), Dev(x + w - 2, ratio), top, body, kOutlineGrey);
  columns(x + w - 2, x + w - 2, kBlack);
}

int BarTop(Money amount, long double pixelsPerMB, int height, int minHeight) {
  if (amount <= Money()) return height;
  const int64_t h =
      std::max<int64_t>(minHeight, RoundHalfEven(amount.ToLongDouble() * pixelsPerMB));
  return static_cast<int>(std::max<int64_t>(height - h, -1));
}

Money RoundUpPow10(int k, Money amount) {
  int64_t step = Money::kScale;
  for (int i = 0; i < k; ++i) step *= 10;
  const int64_t u = amount.Units();
  int64_t q = u / step;
  if (u % step != 0 && u > 0) ++q;
  return Money::FromUnits(q * step);
}

TDateTime BillingMonthStart(TDateTime date, TDateTime rollover) {
  const int r = std::min(DecodeDate(rollover).day, 28);
  const DateParts d = DecodeDate(date);
  if (d.day >= r) return EncodeDate(d.year, d.month, r);
  return d.month == 1 ? EncodeDate(d.year - 1, 12, r) : EncodeDate(d.year, d.month - 1, r);
}

TDateTime PreviousMonth(TDateTime date) {
  return IncMonth(date, -1);
}

TGraphSeries DaySeries(const THistory& history) {
  TGraphSeries s;
  const auto& days = history.Days();
  const int n = std::min<int>(kGraphBars, history.Count());
  for (int k = 0; k < n; ++k) {
    const TDayUsage& d = days[days.size() - static_cast<size_t>(n - k)];
    const size_t i = static_cast<size_t>(kGraphBars - n + k);
    s.Dates[i] = d.Date;
    s.Downloads[i] = d.Downloads;
    s.Uploads[i] = d.Uploads;
    s.Totals[i] = d.Downloads + d.Uploads;
  }
  return s;
}

TGraphSeries MonthSeries(const THistory& history, TDateTime rollover) {
  TGraphSeries s;
  if (history.Count() == 0) return s;
  const auto& days = history.Days();
  int index = kGraphBars - 1;
  TDateTime start = BillingMonthStart(days.back().Date, rollover);
  s.Dates[static_cast<size_t>(index)] = start;
  for (int k = static_cast<int>(days.size()) - 1; k >= 0 && index >= 0; --k) {
    const TDayUsage& d = days[static_cast<size_t>(k)];
    while (d.Date < start && index >= 0) {
      --index;
      start = PreviousMonth(start);
      if (index >= 0) s.Dates[static_cast<size_t>(index)] = start;
    }
    if (index < 0) break;
    const size_t i = static_cast<size_t>(index);
    s.Downloads[i] += d.Downloads;
    s.Uploads[i] += d.Uploads;
    s.Totals[i] += d.Downloads + d.Uploads;
  }
  // Every month has its start date, records or not.
  for (int i = index - 1; i >= 0; --i)
    s.Dates[static_cast<size_t>(i)] = PreviousMonth(s.Dates[static_cast<size_t>(i + 1)]);
  return s;
}

int GraphPixels(int logical, double ratio) {
  return Dev(logical, ratio);
}

TGraphLabels DrawDayGraph(TPixmap& p, const THistory& history, const TGraphSeries& days,
                          int selection, const TGraphPalette& palette, double ratio) {
  TGraphLabels labels;
  Fill(p, palette.Face);
  if (history.Count() > 0) {
    const TDateTime newest = history.Days().back().Date;
    const TDateTime first = IncDay(newest, -30);
    labels.Set = true;
    labels.First = FormatDateTime("d mmm", first);
    labels.Last = FormatDateTime("d mmm", newest);
    const Money max = RoundUpPow10(1, Maximum(days, selection, Money::FromWhole(10)));
    if (max > Money::FromWhole(9999)) {
      labels.Caption = "Traffic to Metered Sites Last 31 days (GB)";
      const Money gb = max / 1000;
      labels.Max = Format(gb >= Money::FromWhole(100) ? "%1.0f" : "%1.2f", {gb});
    } else {
      labels.Caption = "Traffic to Metered Sites Last 31 days (MB)";
      labels.Max = std::to_string(max.RoundToWhole());
    }
    DrawBars(p, days, selection, max, first, ratio);
  }
  Frame(p, palette, ratio);
  return labels;
}

TGraphLabels DrawMonthGraph(TPixmap& p, const THistory& history, const TGraphSeries& months,
                            int selection, const TGraphPalette& palette, double ratio) {
  TGraphLabels labels;
  Fill(p, palette.Face);
  if (history.Count() > 0) {
    labels.Set = true;
    labels.First = FormatDateTime("mmm yy", months.Dates[0]);
    labels.Last = FormatDateTime("mmm yy", months.Dates[kGraphBars - 1]);
    labels.Caption = "Monthly Traffic to Metered Sites  (GB)";
    const Money max = RoundUpPow10(3, Maximum(months, selection, Money::FromWhole(50)));
    labels.Max = std::to_string(max.RoundToWhole() / 1000);
    DrawBars(p, months, selection, max, kNoDate, ratio);
  }
  Frame(p, palette, ratio);
  return labels;
}

TPixmap DrawKey(int series, const TGraphPalette& palette, double ratio) {
  TPixmap key(Dev(kKeyWidth, ratio), Dev(kKeyHeight, ratio), palette.Face);
  DrawBar(key, 0, 0, series, BarWidth(), ratio);
  Band(key, 0, key.Width, Dev(kKeyHeight - 1, ratio), key.Height, kSilver);
  return key;
}

std::string DayHint(const TGraphSeries& days, int x, int selection, bool uploadsMetered,
                    int barWidth) {
  const int i = BarAt(x, barWidth);
  if (i < 0 || days.Dates[static_cast<size_t>(i)] == kNoDate) return {};
  const size_t k = static_cast<size_t>(i);
  return FormatDateTime("dddd, d mmm yyyy", days.Dates[k]) +
         Lines(selection, uploadsMetered, days.Totals[k], days.Downloads[k], days.Uploads[k],
               "%1.0n MB");
}

std::string MonthHint(const TGraphSeries& months, int x, int selection, bool uploadsMetered,
                      int barWidth) {
  const int i = BarAt(x, barWidth);
  if (i < 0 || months.Dates[static_cast<size_t>(i)] == kNoDate) return {};
  const size_t k = static_cast<size_t>(i);
  return "Billing month starting " + FormatDateTime("d mmm yyyy", months.Dates[k]) +
         Lines(selection, uploadsMetered, months.Totals[k] / 1000, months.Downloads[k] / 1000,
               months.Uploads[k] / 1000, "%1.2n GB");
}

}  // namespace qgm

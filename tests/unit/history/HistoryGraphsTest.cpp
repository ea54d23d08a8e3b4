#include "core/history/HistoryGraphs.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace qgm {
namespace {

constexpr uint32_t Argb(unsigned r, unsigned g, unsigned b) {
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}
const TGraphPalette kPalette;
const TDateTime kToday = EncodeDate(2026, 12, 8);  // a Tuesday

// A store of 31 days ending today with the given downloads (MB) per day.
THistory Month(Money downloads, Money uploads = {}) {
  THistory h;
  for (int i = -30; i <= 0; ++i) h.AddDayMB(IncDay(kToday, i), {}, downloads, uploads);
  return h;
}

// The top row of the bar in column x (its grey top), or the height for none.
int BarTopAt(const TPixmap& p, int x) {
  for (int y = 1; y < p.Height - 1; ++y) {
    if (p.At(x, y) == Argb(153, 153, 153)) return y - 1 + (p.At(x + 1, y) == Argb(153, 153, 153));
  }
  return p.Height;
}

TEST(HistoryGraphs, DrawBarPaintsItsSevenColumns) {
  TPixmap p(20, 10, 0xFF123456u);
  DrawBar(p, 3, 4, kSeriesDownloads);
  const uint32_t bg = 0xFF123456u;
  EXPECT_EQ(p.At(3, 4), bg);  // the top corners stay unpainted
  EXPECT_EQ(p.At(4, 4), Argb(153, 153, 153));
  EXPECT_EQ(p.At(7, 4), Argb(153, 153, 153));
  EXPECT_EQ(p.At(8, 4), bg);
  EXPECT_EQ(p.At(3, 5), Argb(153, 153, 153));  // grey, highlight, main, main, shadow, black
  EXPECT_EQ(p.At(4, 5), Argb(150, 250, 199));
  EXPECT_EQ(p.At(5, 9), Argb(0, 230, 124));
  EXPECT_EQ(p.At(6, 9), Argb(0, 230, 124));
  EXPECT_EQ(p.At(7, 9), Argb(0, 174, 0));
  EXPECT_EQ(p.At(8, 9), Argb(0, 0, 0));
  EXPECT_EQ(p.At(9, 9), bg);  // the gap
}

TEST(HistoryGraphs, RoundingAndMonthArithmetic) {
  EXPECT_EQ(RoundUpPow10(1, Money::FromWhole(12345)), Money::FromWhole(12350));
  EXPECT_EQ(RoundUpPow10(1, Money::FromWhole(12340)), Money::FromWhole(12340));
  EXPECT_EQ(RoundUpPow10(3, Money::FromUnits(1)), Money::FromWhole(1000));
  EXPECT_EQ(RoundUpPow10(3, Money()), Money());
  const TDateTime the31st = EncodeDate(2026, 1, 31);
  EXPECT_EQ(BillingMonthStart(EncodeDate(2026, 3, 27), the31st), EncodeDate(2026, 2, 28));
  EXPECT_EQ(BillingMonthStart(EncodeDate(2026, 3, 28), the31st), EncodeDate(2026, 3, 28));
  EXPECT_EQ(BillingMonthStart(EncodeDate(2026, 1, 3), EncodeDate(2026, 1, 15)),
            EncodeDate(2025, 12, 15));
  EXPECT_EQ(PreviousMonth(EncodeDate(2026, 1, 15)), EncodeDate(2025, 12, 15));
}

TEST(HistoryGraphs, EmptyStoreDrawsOnlyTheFrame) {
  THistory h;
  TPixmap p(kGraphWidth, kGraphHeight, 0);
  const TGraphLabels l = DrawDayGraph(p, h, DaySeries(h), kSelectDownloads, kPalette);
  EXPECT_FALSE(l.Set);
  EXPECT_EQ(p.At(50, 50), kPalette.Face);
  EXPECT_EQ(p.At(0, 50), kPalette.Shadow);
  EXPECT_EQ(p.At(kGraphWidth - 1, 50), kPalette.Highlight);
  EXPECT_EQ(p.At(50, kGraphHeight - 1), kPalette.Highlight);
  EXPECT_FALSE(DrawMonthGraph(p, h, MonthSeries(h, kToday), kSelectDownloads, kPalette).Set);
}

TEST(HistoryGraphs, AllZeroShowsNoBarsAndTheSmallestScales) {
  const THistory h = Month({});
  TPixmap day(kGraphWidth, kGraphHeight), month(kGraphWidth, kGraphHeight);
  const TGraphLabels d = DrawDayGraph(day, h, DaySeries(h), kSelectDownloads, kPalette);
  EXPECT_EQ(d.Max, "10");
  EXPECT_EQ(d.First, "8 Nov");
  EXPECT_EQ(d.Last, "8 Dec");
  EXPECT_EQ(d.Caption, "Traffic to Metered Sites Last 31 days (MB)");
  const TGraphLabels m =
      DrawMonthGraph(month, h, MonthSeries(h, EncodeDate(2026, 1, 15)), kSelectDownloads, kPalette);
  EXPECT_EQ(m.Max, "1");
  EXPECT_EQ(m.Last, "Nov 26");  // the month that started on 15 November
  EXPECT_EQ(m.First, "May 24");
  for (int x = 1; x < kGraphWidth - 1; ++x) {
    EXPECT_EQ(day.At(x, kGraphHeight - 2), kPalette.Face) << x;
    EXPECT_EQ(month.At(x, kGraphHeight - 2), kPalette.Face) << x;
  }
}

TEST(HistoryGraphs, SmallDaysGetThreePixelsAndNothingGetsNone) {
  THistory h;
  for (int i = -30; i <= 0; ++i)
    h.AddDayMB(IncDay(kToday, i), {}, i == 0 ? Money::FromUnits(1000) : Money(), {});
  TPixmap p(kGraphWidth, kGraphHeight);
  DrawDayGraph(p, h, DaySeries(h), kSelectDownloads, kPalette);
  EXPECT_EQ(BarTopAt(p, 2 + 30 * 7), kGraphHeight - 3);  // 0.1 MB would be 1.35 pixels
  EXPECT_EQ(BarTopAt(p, 2 + 29 * 7), kGraphHeight);      // 0 MB
}

TEST(HistoryGraphs, LargeMaximaSwitchToGigabytes) {
  THistory h = Month(Money::FromWhole(100));
  h.Delete(h.Count() - 1);
  h.AddDayMB(kToday, {}, Money::FromWhole(12345), {});
  TPixmap p(kGraphWidth, kGraphHeight);
  TGraphLabels l = DrawDayGraph(p, h, DaySeries(h), kSelectDownloads, kPalette);
  EXPECT_EQ(l.Caption, "Traffic to Metered Sites Last 31 days (GB)");
  EXPECT_EQ(l.Max, "12.35");
  EXPECT_EQ(BarTopAt(p, 2 + 30 * 7), 1);  // 12,345 of 12,350 MB: 135 of 135 pixels
  h.Delete(h.Count() - 1);
  h.AddDayMB(kToday, {}, Money::FromWhole(123456), {});
  l = DrawDayGraph(p, h, DaySeries(h), kSelectDownloads, kPalette);
  EXPECT_EQ(l.Max, "123");
}

TEST(HistoryGraphs, WeekendsAreYellowWithOneSeriesOnly) {
  const THistory h = Month(Money::FromWhole(5), Money::FromWhole(1));
  const TGraphSeries s = DaySeries(h);
  TPixmap p(kGraphWidth, kGraphHeight);
  // 8 Dec 2026 is a Tuesday: bar 30; Sunday 6 Dec is bar 28, Saturday bar 27.
  DrawDayGraph(p, h, s, kSelectDownloads, kPalette);
  const int row = kGraphHeight - 2;
  EXPECT_EQ(p.At(2 + 28 * 7 + 2, row), Argb(235, 221, 125));
  EXPECT_EQ(p.At(2 + 27 * 7 + 2, row), Argb(235, 221, 125));
  EXPECT_EQ(p.At(2 + 29 * 7 + 2, row), Argb(0, 230, 124));
  DrawDayGraph(p, h, s, kSelectDownloads | kSelectUploads, kPalette);
  EXPECT_EQ(p.At(2 + 28 * 7 + 2, row), Argb(234, 169, 126));  // uploads drawn over downloads
}

TEST(HistoryGraphs, MonthSeriesAddsDaysIntoTheirBillingMonths) {
  THistory h;
  h.AddDayMB(EncodeDate(2026, 11, 14), {}, Money::FromWhole(1), {});  // month of 15 Oct
  h.AddDayMB(EncodeDate(2026, 11, 15), {}, Money::FromWhole(2), Money::FromWhole(1));
  h.AddDayMB(EncodeDate(2026, 12, 8), {}, Money::FromWhole(4), {});
  const TGraphSeries m = MonthSeries(h, EncodeDate(2026, 1, 15));
  EXPECT_EQ(m.Dates[30], EncodeDate(2026, 11, 15));
  EXPECT_EQ(m.Downloads[30], Money::FromWhole(6));
  EXPECT_EQ(m.Totals[30], Money::FromWhole(7));
  EXPECT_EQ(m.Dates[29], EncodeDate(2026, 10, 15));
  EXPECT_EQ(m.Downloads[29], Money::FromWhole(1));
  EXPECT_EQ(m.Dates[0], EncodeDate(2024, 5, 15));
}

TEST(HistoryGraphs, HintsNameTheBarUnderThePointer) {
  const THistory h = Month(Money::FromWhole(1234), Money::FromWhole(5));
  const TGraphSeries s = DaySeries(h);
  const int all = kSelectTotals | kSelectDownloads | kSelectUploads;
  EXPECT_EQ(DayHint(s, 2 + 30 * 7 + 3, all, false),
            "Tuesday, 8 Dec 2026\nTotal: 1,239 MB\nDownloads (Metered): 1,234 MB\n"
            "Uploads (Unmetered): 5 MB");
  EXPECT_EQ(DayHint(s, 0, kSelectDownloads, true), DayHint(s, 2, kSelectDownloads, true));
  EXPECT_EQ(DayHint(s, 2 + 31 * 7, kSelectDownloads, true), "");
  const TGraphSeries m = MonthSeries(h, EncodeDate(2026, 1, 15));
  EXPECT_EQ(MonthHint(m, 2 + 30 * 7, kSelectUploads, true),
            "Billing month starting 15 Nov 2026\nUploads (Metered): 0.12 GB");
  THistory few;
  few.AddDayMB(kToday, {}, {}, {});
  EXPECT_EQ(DayHint(DaySeries(few), 2, kSelectDownloads, true), "");  // no date there
}

TEST(HistoryGraphs, KeysAreBarSamplesWithASilverFloor) {
  const TPixmap key = DrawKey(kSeriesWeekend, kPalette);
  ASSERT_EQ(key.Width, 6);
  ASSERT_EQ(key.Height, 13);
  EXPECT_EQ(key.At(2, 5), Argb(235, 221, 125));
  EXPECT_EQ(key.At(0, 12), Argb(192, 192, 192));
  EXPECT_EQ(key.At(0, 0), kPalette.Face);
}

TEST(HistoryGraphs, AtTwiceTheDensityTheLayoutStaysAndBarTopsAreFiner) {
  THistory h;
  for (int i = -30; i <= 0; ++i) h.AddDayMB(IncDay(kToday, i), {}, Money::FromWhole(40 - i), {});
  const TGraphSeries days = DaySeries(h);
  TPixmap one(kGraphWidth, kGraphHeight),
      two(GraphPixels(kGraphWidth, 2), GraphPixels(kGraphHeight, 2));
  ASSERT_EQ(two.Width, 462);
  ASSERT_EQ(two.Height, 272);
  DrawDayGraph(one, h, days, kSelectDownloads, kPalette);
  DrawDayGraph(two, h, days, kSelectDownloads, kPalette, 2);
  int oddTops = 0;
  for (int i = 0; i < kGraphBars; ++i) {
    const int x = 2 + i * 7;  // the bar's grey left column
    const int top1 = BarTopAt(one, x);
    int top2 = two.Height;  // the grey top line, over the bar's second column
    for (int y = two.Height - 1; y >= 0; --y)
      if (two.At(2 * x + 2, y) == Argb(153, 153, 153)) top2 = y;
    // The amount at 271 device rows to the scale's top, not 135 logical ones.
    const long double exact = (40 + 30 - i) * 2.0L * (kGraphHeight - 1) / 70;
    EXPECT_EQ(two.Height - top2, RoundHalfEven(exact)) << i;
    EXPECT_LE(std::abs(top2 - 2 * top1), 2) << i;
    oddTops += top2 % 2;
    // Below both tops each device pixel is its logical pixel's colour: the
    // same columns, line widths twice as wide.
    for (int X = 2 * x; X < 2 * (x + 7); ++X) {
      for (int Y = std::max(2 * top1, top2) + 4; Y < two.Height; ++Y)
        ASSERT_EQ(two.At(X, Y), one.At(X / 2, Y / 2)) << X << "," << Y;
    }
  }
  EXPECT_GT(oddTops, 5);  // tops between two logical rows
  // The frame is two device pixels wide.
  EXPECT_EQ(two.At(1, 100), kPalette.Shadow);
  EXPECT_EQ(two.At(two.Width - 2, 100), kPalette.Highlight);
  // A key has no amount: at twice the density it is each pixel doubled.
  const TPixmap key = DrawKey(kSeriesDownloads, kPalette),
                key2 = DrawKey(kSeriesDownloads, kPalette, 2);
  ASSERT_EQ(key2.Width, 12);
  ASSERT_EQ(key2.Height, 26);
  for (int y = 0; y < key2.Height; ++y)
    for (int x = 0; x < key2.Width; ++x)
      EXPECT_EQ(key2.At(x, y), key.At(x / 2, y / 2)) << x << "," << y;
}

}  // namespace
}  // namespace qgm

#include "core/usage/BroadbandFigures.h"

#include <gtest/gtest.h>

#include "core/usage/PercentBar.h"
#include "core/util/Colour.h"

namespace qgm {
namespace {

TBroadbandFigures Figures(const char* line, TDateTime now, TUsageRecord& r) {
  return ShowUsageFigures(ParseUsageLine(line, now, r), r);
}

TEST(ShowUsageFigures, BillingMonthInProgress) {
  TUsageRecord r;
  const auto f = Figures("2500.5 50000 15/06/2014 0.00", EncodeDate(2014, 6, 1), r);
  EXPECT_EQ(f.MeteredUsage.Text, "2,501 MB");
  EXPECT_EQ(f.AmtLeft.Text, "47,500 MB");
  EXPECT_EQ(f.Allowance.Text, "50,000 MB");
  EXPECT_EQ(f.AmountBar, 95);
  EXPECT_EQ(f.DaysLeft, (TLabelText{"14.0 days", kBlack}));
  EXPECT_EQ(f.DaysBar, 45);
  // Even rate: 50000 - 14/31 * 50000 = 27419 used by now; 2500.5 used.
  EXPECT_EQ(f.RelativeUsage, (TLabelText{"+24,919 MB", kDarkGreen}));
  EXPECT_EQ(f.StartAv.Text, "1,613 MB");
  EXPECT_EQ(f.CurrentAv.Text, "147 MB");
  EXPECT_EQ(f.RestAv.Text, "3,393 MB");
  EXPECT_EQ(f.Rollover.Text, "15 June");
  EXPECT_EQ(f.Shaping.Text, "Yes");
  EXPECT_EQ(BuildTrayHint(r, EncodeDate(2014, 6, 1) + EncodeTime(9, 30, 0),
                          EncodeDate(2014, 6, 1) + EncodeTime(9, 31, 0), ""),
            "Amount Left: 47,500 MB (95%)\nNo. Days Left: 14.0 (45%)\nLast Updated 9:30 am");
  EXPECT_EQ(BuildTrayHint(r, EncodeDate(2014, 6, 1) + EncodeTime(14, 5, 0), 0, "", false),
            "95% left - 47,500 MB remaining - updated 2:05 pm");
  EXPECT_EQ(BuildTrayHint(r, EncodeDate(2014, 6, 1), 0, "john").substr(0, 7), "[john]\n");
}

TEST(ShowUsageFigures, UnlimitedAndOverQuota) {
  TUsageRecord r;
  auto f = Figures("1200 0 15/06/2014 0.00", EncodeDate(2014, 6, 1), r);
  EXPECT_EQ(f.Allowance.Text, "Unlimited");
  EXPECT_EQ(f.AmtLeft.Text, "");
  EXPECT_EQ(f.AmountBar, 100);
  EXPECT_EQ(f.RelativeUsage.Text, "");
  EXPECT_EQ(BuildTrayHint(r, EncodeDate(2014, 6, 1) + 0.75, 0, ""), "Last updated 6:00 pm");

  f = Figures("51000 50000 15/06/2014 0.00", EncodeDate(2014, 6, 1), r);
  EXPECT_EQ(f.AmtLeft.Text, "-1,000 MB");
  EXPECT_EQ(f.AmountBar, -3);
  EXPECT_EQ(f.BarColour, kRed);
  EXPECT_EQ(f.RelativeUsage.Colour, kMaroon);
  EXPECT_EQ(BuildTrayHint(r, EncodeDate(2014, 6, 1), EncodeDate(2014, 6, 1) + 0.5, ""),
            "Speed capped - updated 12:00 pm");
  ParseUsageLine("51000 50000 15/06/2014 0.25", EncodeDate(2014, 6, 1), r);
  EXPECT_EQ(BuildTrayHint(r, EncodeDate(2014, 6, 1), EncodeDate(2014, 6, 1), ""),
            "Estimated Excess $250.00 - updated 12:00 am");
}

TEST(ShowUsageFigures, RolloverPassedOrMissing) {
  TUsageRecord r;
  auto f = Figures("100 50000 15/06/2014 0.00", EncodeDate(2014, 6, 16), r);
  EXPECT_EQ(f.DaysLeft, (TLabelText{"Awaiting rollover", kRed}));
  EXPECT_EQ(f.DaysBar, 0);
  // Target = the quota itself.
  EXPECT_EQ(f.RelativeUsage.Text, "+49,900 MB");
  // The 30th is no date: code 2, the days cleared, the hint awaits rollover.
  f = Figures("100 50000 30/06/2014 0.00", EncodeDate(2014, 6, 1), r);
  EXPECT_EQ(f.DaysLeft.Text, "");
  EXPECT_EQ(f.DaysBar, 100);
  EXPECT_EQ(f.Shaping.Text, "");
  EXPECT_EQ(
      BuildTrayHint(r, EncodeDate(2014, 6, 1), EncodeDate(2014, 6, 1) + EncodeTime(8, 7, 0), ""),
      "Awaiting rollover - 8:07 am");
}

// The daily averages so far and for the rest of the month are left blank
// while less than a day has passed or remains, on either side of zero.
TEST(ShowUsageFigures, AveragesNeedAWholeDay) {
  struct Case {
    TDateTime now;  // rollover 15 June, a 31-day month
    const char* currentAv;
    const char* restAv;
  };
  const TDateTime june15 = EncodeDate(2014, 6, 15);
  const Case cases[] = {
      {june15 - 30.5, "", "1,538 MB"},          // half a day elapsed
      {june15 - 30, "3,100 MB", "1,563 MB"},    // one day elapsed
      {june15 - 32, "-3,100 MB", "1,466 MB"},   // a day before the month began
      {june15 - 0.5, "102 MB", ""},             // half a day left
      {june15 - 1, "103 MB", "46,900 MB"},      // one day left
      {june15 + 0.5, "98 MB", ""},              // rollover half a day past
      {june15 + 1, "97 MB", "-46,900 MB"},      // a day past
  };
  for (const Case& c : cases) {
    TUsageRecord r;
    const auto f = Figures("3100 50000 15/06/2014 0.00", c.now, r);
    EXPECT_EQ(f.CurrentAv.Text, c.currentAv) << c.now - june15;
    EXPECT_EQ(f.RestAv.Text, c.restAv) << c.now - june15;
  }
  // The hint awaits the rollover only once the update starts after it.
  TUsageRecord r;
  ParseUsageLine("3100 50000 15/06/2014 0.00", june15 - 1, r);
  EXPECT_EQ(BuildTrayHint(r, june15, june15, "").substr(0, 12), "Amount Left:");
  EXPECT_EQ(BuildTrayHint(r, june15 + EncodeTime(0, 0, 1), june15 + EncodeTime(0, 1, 0), ""),
            "Awaiting rollover - 12:01 am");
}

TEST(Colours, BlendLightenDarkenMix) {
  EXPECT_EQ(BlendColour(0x000000, 0xFFFFFF, 0.5), 0x7F7F7Fu);  // truncated
  EXPECT_EQ(BlendColour(0x102030, 0xFFFFFF, -1), 0x102030u);
  EXPECT_EQ(BlendColour(0x102030, 0xFFFFFF, 2), 0xFFFFFFu);
  EXPECT_EQ(Lighten(0x000000, 50), 0x7F7F7Fu);
  EXPECT_EQ(Darken(0xC8C8C8, 50), 0x646464u);
  EXPECT_EQ(MixPixel(0x0000FF, 0x00FF00, 100), 0x00FF00u);
  EXPECT_EQ(MixPixel(0x0000FF, 0x00FF00, 0), 0x0000FFu);
  EXPECT_EQ(MixPixel(0x0000FF, 0x00FF00, 50), 0x007F80u);  // k = 127
}

TEST(PercentBar, GeometryAndColours) {
  TPixmap tiny(40, 7, 0x12345678u);
  DrawPercentBar(tiny, 50, 0x00FF00);
  for (uint32_t px : tiny.Pixels) EXPECT_EQ(px, 0x12345678u);  // under 8 rows: untouched

  TPixmap bar(100, 16, 0);
  DrawPercentBar(bar, 40, 0x00FF00, 0xF0F0F0);  // m = 8, F = 40
  EXPECT_EQ(bar.At(20, 8), 0xFF00FF00u);        // the fill's middle rows are the colour
  EXPECT_EQ(bar.At(20, 9), 0xFF00FF00u);
  const uint32_t E = Darken(0xF0F0F0, 8), L = Lighten(0xF0F0F0, 70);
  auto px = [](uint32_t c) {
    return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
  };
  EXPECT_EQ(bar.At(60, 8), px(L));  // the trough's middle
  EXPECT_EQ(bar.At(60, 0), px(E));  // the outline
  EXPECT_EQ(bar.At(99, 8), px(E));
  // The fill's end is softened into the trough, more so away from the middle.
  EXPECT_NE(bar.At(40, 12), bar.At(20, 12));
  EXPECT_NE(bar.At(40, 12), bar.At(60, 12));
  EXPECT_EQ(bar.At(40, 8), 0xFF00FF00u);
  TPixmap full(100, 16, 0);
  DrawPercentBar(full, 100, 0x0000FF);
  EXPECT_EQ(full.At(98, 8), 0xFFFF0000u);  // red fills the whole width
  TPixmap over(100, 16, 0);
  DrawPercentBar(over, -3, 0x0000FF);  // an over-quota marker: no fill
  EXPECT_EQ(over.At(50, 8), px(L));
}

// Row by row shading of a 17-row bar (9 rows below the middle): the trough
// in greys from the button face, a green fill darker towards both edges.
TEST(PercentBar, TroughAndFillShading) {
  TPixmap bar(100, 17, 0);
  DrawPercentBar(bar, 40, 0x00FF00, 0xF0F0F0);
  const uint32_t trough[17] = {220, 231, 235, 238, 242, 246, 250, 250, 250,
                               250, 250, 246, 243, 240, 236, 233, 220};
  const uint32_t fill[17] = {210, 216, 223, 229, 235, 242, 248, 255, 255,
                             255, 246, 237, 229, 220, 212, 203, 195};
  for (int y = 0; y < 17; ++y) {
    EXPECT_EQ(bar.At(60, y), 0xFF000000u | trough[y] * 0x010101u) << y;
    EXPECT_EQ(bar.At(20, y), 0xFF000000u | fill[y] << 8) << y;
  }
}

}  // namespace
}  // namespace qgm

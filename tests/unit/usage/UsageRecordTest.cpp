#include "core/usage/UsageRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/usage/XmlDate.h"

namespace qgm {
namespace {

// The digits in order as YYYYMMDD from 2000; a time after the date is not
// part of it, text before it and blanks inside it do not matter.
TEST(XmlDateToDate, DigitsOnlyYearTwoThousandOnwards) {
  const TDateTime june15 = EncodeDate(2014, 6, 15), dec15 = EncodeDate(2026, 12, 15);
  for (const auto& [text, date] : std::vector<std::pair<std::string, TDateTime>>{
           {"2014-06-15", june15},
           {"20140615T00:00", june15},
           {"20140615t23:59:59", june15},
           {"2014-06-15 10:00", june15},
           {"  2026-12-15", dec15},
           {"Tue 2026-12-15", dec15},
           {"2026 12 15", dec15},
           {"T2026-12-15", dec15},
           {"15/06/2014", kNoDate},   // does not begin "20"
           {"2014-06-150", kNoDate},  // nine digits
           {"2014-06-15T1", june15},
           {"1999-06-15", kNoDate},
           {"2014-02-30", kNoDate},
           {"", kNoDate}})
    EXPECT_EQ(XmlDateToDate(text), date) << text;
}

TEST(ParseUsageLine, CodesForEachUsableValue) {
  const TDateTime now = EncodeDate(2014, 6, 1);
  TUsageRecord r;
  EXPECT_EQ(ParseUsageLine("", now, r), kUsageNothing);
  EXPECT_EQ(ParseUsageLine(" 12 50000", now, r), kUsageNothing);
  EXPECT_EQ(ParseUsageLine("abc", now, r), kUsageNothing);
  EXPECT_EQ(ParseUsageLine("30000001 5", now, r), kUsageNothing);
  EXPECT_EQ(ParseUsageLine("12.5 x", now, r), kUsageUsedOnly);
  EXPECT_EQ(r.QuotaMB, Money::FromWhole(-1));
  EXPECT_EQ(r.PercentLeft, Money::FromWhole(-1));
  EXPECT_EQ(ParseUsageLine("12.5 100 32/06/2014 0.00", now, r), kUsageWithQuota);
  EXPECT_EQ(ParseUsageLine("12.5 100 29/06/2014 0.00", now, r),
            kUsageWithQuota);  // day 29 or later
  EXPECT_EQ(ParseUsageLine("12.5 100 15/06/2014 x", now, r), kUsageWithRollover);
  EXPECT_EQ(ParseUsageLine("12.5  100   15/06/2014   0.00\r\n", now, r), kUsageAll);
  EXPECT_EQ(ParseUsageLine("-5 100", now, r), kUsageWithQuota);
  EXPECT_EQ(r.UsedMB, Money());
}

TEST(ParseUsageLine, FiguresOfABillingMonthInProgress) {
  // 2500.5 MB of 50000 used on 1 June, rolling over on 15 June.
  TUsageRecord r;
  ASSERT_EQ(ParseUsageLine("2500.5 50000 15/06/2014 0.00", EncodeDate(2014, 6, 1), r), kUsageAll);
  EXPECT_EQ(r.UsedMB.Units(), 25005000);
  EXPECT_EQ(r.PercentLeft.Units(), 949990);  // 94.999 %
  EXPECT_EQ(r.Rollover, EncodeDate(2014, 6, 15));
  EXPECT_DOUBLE_EQ(r.DaysLeft, 14.0);
  EXPECT_EQ(r.PeriodDays, 31);  // May
  // pd = 14 * 100 / 31 = 45.16; ratio 2.1 -> well ahead: the deep green.
  EXPECT_EQ(r.BarColour, Rgb(0, 225, 0));
  EXPECT_EQ(ParseUsageLine("2500.5 50000 15/06/2014 0.00", EncodeDate(2014, 6, 1), r, false),
            kUsageAll);
  EXPECT_EQ(r.BarColour, kGreen);
}

TEST(ParseUsageLine, QuotaEdgeCases) {
  const TDateTime now = EncodeDate(2014, 6, 1);
  TUsageRecord r;
  ParseUsageLine("100 0 15/06/2014 0.00", now, r);
  EXPECT_EQ(r.PercentLeft, Money::FromWhole(101));  // unlimited
  ParseUsageLine("60000 50000 15/06/2014 0.00", now, r);
  EXPECT_EQ(r.PercentLeft, Money::FromWhole(-3));  // over quota, slowed
  EXPECT_EQ(r.BarColour, kRed);
  ParseUsageLine("60000 50000 15/06/2014 0.15", now, r);
  EXPECT_EQ(r.PercentLeft, Money::FromWhole(-2));  // over quota, charged
  ParseUsageLine("60000 50000", now, r);
  EXPECT_EQ(r.PercentLeft, Money());  // no rollover: just none left
}

TEST(ParseUsageLine, PeriodLengthAndPassedRollover) {
  TUsageRecord r;
  ParseUsageLine("1 100 15/01/2016 0.00", EncodeDate(2016, 1, 1), r);
  EXPECT_EQ(r.PeriodDays, 31);  // December of the year before
  ParseUsageLine("1 100 15/03/2016 0.00", EncodeDate(2016, 3, 1), r);
  EXPECT_EQ(r.PeriodDays, 29);  // February of a leap year
  ParseUsageLine("1 100 15/06/2014 0.00", EncodeDate(2014, 6, 16) + 0.5, r);
  EXPECT_DOUBLE_EQ(r.DaysLeft, -1.5);
  EXPECT_EQ(r.BarColour, Rgb(0, 225, 0));  // pd below 0.01: ratio 2
}

TEST(UsageGradient, Bands) {
  EXPECT_EQ(UsageGradient(130), Rgb(0, 225, 0));
  EXPECT_EQ(UsageGradient(101), Rgb(0, 254, 0));
  EXPECT_EQ(UsageGradient(100), Rgb(0, 255, 0));
  EXPECT_EQ(UsageGradient(95), Rgb(255, 255, 0));
  EXPECT_EQ(UsageGradient(94), Rgb(255, 238, 0));
  EXPECT_EQ(UsageGradient(81), Rgb(255, 17, 0));
  EXPECT_EQ(UsageGradient(80), Rgb(255, 0, 0));
}

}  // namespace
}  // namespace qgm

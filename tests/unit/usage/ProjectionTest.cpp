// Where the month is heading, from fixed histories: the recent and monthly
// pace, the run-out time, and the cases with nothing to go on.
#include <gtest/gtest.h>

#include "core/usage/Projection.h"
#include "core/usage/UsageAlerts.h"

namespace qgm {
namespace {

// The billing month 15 November to 15 December 2026, seen on 8 December
// at noon: 16 days of 4,000 MB, then a week of 9,000 MB.
const TDateTime kNow = EncodeDate(2026, 12, 8) + 0.5;

TUsageRecord Record(const char* line, TDateTime now = kNow) {
  TUsageRecord r;
  EXPECT_LE(ParseUsageLine(line, now, r), kUsageWithRollover) << line;
  return r;
}

THistory Month(int skipFrom = 0, int skipTo = -1) {
  THistory h;
  for (TDateTime d = EncodeDate(2026, 11, 15); d < EncodeDate(2026, 12, 8); d += 1) {
    const int day = DecodeDate(d).day;
    if (DecodeDate(d).month == 12 && day >= skipFrom && day <= skipTo) continue;  // a gap
    const bool busy = d >= EncodeDate(2026, 12, 1);
    h.AddDayMB(d, Money::FromWhole(busy ? 9000 : 4000), {}, {});
  }
  h.AddDayMB(EncodeDate(2026, 12, 8), Money::FromWhole(1000), {}, {});  // today so far
  return h;
}

TEST(Projection, TheRecentPaceRunsOutBeforeTheRollover) {
  const TUsageRecord r = Record("128000 150000 15/12/2026 0.00");
  const TProjection p = ProjectUsage(r, Month(), kNow);
  ASSERT_TRUE(p.Available);
  EXPECT_NEAR(static_cast<double>(p.RecentPerDayMB), 9000, 1e-6);
  EXPECT_NEAR(static_cast<double>(p.MonthPerDayMB), 128000 / 23.5, 1e-6);
  EXPECT_NEAR(static_cast<double>(p.ProjectedTotalMB), 128000 + 9000 * 6.5, 1e-3);
  ASSERT_TRUE(p.RunsOutAt);
  EXPECT_NEAR(*p.RunsOutAt, kNow + 22000.0 / 9000, 1e-9);
  ASSERT_TRUE(p.LeftAtRolloverMB);
  EXPECT_NEAR(static_cast<double>(*p.LeftAtRolloverMB), -36500, 1e-3);
  EXPECT_EQ(ProjectionText(p), (TLabelText{"At this pace: runs out Thu 10 Dec, 10 pm", kMaroon}));
}

TEST(Projection, GapsAreLeftOutAndQuietDaysCount) {
  const TUsageRecord r = Record("128000 150000 15/12/2026 0.00");
  // Three days missing: the pace is that of the four on record.
  EXPECT_NEAR(static_cast<double>(ProjectUsage(r, Month(3, 5), kNow).RecentPerDayMB), 9000, 1e-6);
  // Three days of nothing: they count.
  THistory quiet = Month();
  THistory h;
  for (const TDayUsage& d : quiet.Days()) {
    const int day = DecodeDate(d.Date).day;
    const bool zero = DecodeDate(d.Date).month == 12 && day >= 3 && day <= 5;
    h.AddDayMB(d.Date, zero ? Money() : d.Total, {}, {});
  }
  EXPECT_NEAR(static_cast<double>(ProjectUsage(r, h, kNow).RecentPerDayMB), 9000.0 * 4 / 7, 1e-6);
  // No day of the last week on record: the month's pace stands in.
  const TProjection none = ProjectUsage(r, THistory(), kNow);
  ASSERT_TRUE(none.Available);
  EXPECT_EQ(none.RecentPerDayMB, none.MonthPerDayMB);
}

TEST(Projection, LastingUnlimitedOverAndNothingToGoOn) {
  // A slow week lasts the month.
  THistory slow;
  for (TDateTime d = EncodeDate(2026, 12, 1); d < EncodeDate(2026, 12, 8); d += 1)
    slow.AddDayMB(d, Money::FromWhole(1000), {}, {});
  TProjection p = ProjectUsage(Record("100000 150000 15/12/2026 0.00"), slow, kNow);
  EXPECT_FALSE(p.RunsOutAt);
  EXPECT_EQ(ProjectionText(p), (TLabelText{"At this pace: 43,500 MB left at rollover", kBlack}));
  // Unlimited: a total, nothing left over or running out.
  p = ProjectUsage(Record("100000 0 15/12/2026 0.00"), slow, kNow);
  ASSERT_TRUE(p.Available);
  EXPECT_FALSE(p.RunsOutAt);
  EXPECT_FALSE(p.LeftAtRolloverMB);
  EXPECT_EQ(ProjectionText(p).Text, "At this pace: 106,500 MB this month");
  // Already over the allowance.
  p = ProjectUsage(Record("160000 150000 15/12/2026 0.00"), slow, kNow);
  EXPECT_TRUE(p.AlreadyOver);
  EXPECT_FALSE(p.RunsOutAt);
  EXPECT_EQ(ProjectionText(p), (TLabelText{"At this pace: allowance used up", kMaroon}));
  // The month's first day: no complete day yet.
  const TDateTime first = EncodeDate(2026, 11, 15) + 0.4;
  EXPECT_FALSE(ProjectUsage(Record("900 150000 15/12/2026 0.00", first), slow, first).Available);
  EXPECT_EQ(ProjectionText(ProjectUsage(Record("900 150000 15/12/2026 0.00", first), slow, first)),
            TLabelText{});
  // The rollover is today: what is left of the day still counts.
  const TDateTime last = EncodeDate(2026, 12, 14) + 0.9;
  p = ProjectUsage(Record("149000 150000 15/12/2026 0.00", last), slow, last);
  ASSERT_TRUE(p.Available);
  EXPECT_NEAR(static_cast<double>(p.ProjectedTotalMB), 149000 + 1000 * 0.1, 1e-3);
  EXPECT_FALSE(p.RunsOutAt);
  // No rollover known.
  TUsageRecord noRollover;
  ParseUsageLine("100 150000", kNow, noRollover);
  EXPECT_FALSE(ProjectUsage(noRollover, slow, kNow).Available);
}

TEST(UsageAlerts, LevelsAndPaceOncePerMonth) {
  std::vector<std::string> told = {"2026-11-15:80", "2026-12-15:pace-old"};
  const TUsageAlertSettings settings{50, 80, true};
  TUsageRecord r = Record("60000 150000 15/12/2026 0.00");
  TProjection p = ProjectUsage(r, THistory(), kNow);
  // 40 %: nothing yet; last month's entries go.
  EXPECT_TRUE(DueUsageAlerts(settings, r, p, told).empty());
  EXPECT_EQ(told, std::vector<std::string>{"2026-12-15:pace-old"});
  // 90 % at once: one notice, for the higher level; both are told.
  r = Record("135000 150000 15/12/2026 0.00");
  p = ProjectUsage(r, THistory(), kNow);
  auto due = DueUsageAlerts({50, 80, false}, r, p, told);
  ASSERT_EQ(due.size(), 1u);
  EXPECT_TRUE(due[0].Alert);
  EXPECT_EQ(due[0].Body.substr(0, 54), "You have used 80% of this month's allowance: 135,000 M");
  EXPECT_TRUE(DueUsageAlerts({50, 80, false}, r, p, told).empty());
  // The pace: once, when it runs out before the rollover.
  p = ProjectUsage(Record("128000 150000 15/12/2026 0.00"), Month(), kNow);
  due = DueUsageAlerts(settings, r, p, told);
  ASSERT_EQ(due.size(), 1u);
  EXPECT_NE(due[0].Body.find("runs out on Thursday 10 December, 10 pm, before it renews on "
                             "15 December"),
            std::string::npos)
      << due[0].Body;
  EXPECT_TRUE(DueUsageAlerts(settings, r, p, told).empty());
  // Empty levels and no pace warning: nothing, whatever the usage.
  std::vector<std::string> none;
  EXPECT_TRUE(DueUsageAlerts({}, r, p, none).empty());
  EXPECT_TRUE(none.empty());
}

}  // namespace
}  // namespace qgm

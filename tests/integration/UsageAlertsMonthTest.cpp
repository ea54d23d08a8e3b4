// The usage alerts through two billing months of the simulated account,
// one update a day with the clock set to that day: each level is told once
// a month, the pace warning once in the month whose busy week runs the
// allowance out, and nothing with the alerts left empty.
#include <gtest/gtest.h>

#include <map>

#include "core/history/History.h"
#include "core/usage/Projection.h"
#include "core/usage/UsageAlerts.h"
#include "core/usage/UsageService.h"
#include "support/FakeUpdateView.h"
#include "support/SimulatorFixture.h"

namespace qgm::test {
namespace {

class UsageAlertsMonthTest : public SimulatorTest {
 protected:
  void TearDown() override { Sim().SetToday(NowLocal()); }
};

TEST_F(UsageAlertsMonthTest, EachAlertOncePerBillingMonth) {
  Sink sink;
  TUsageService service(ServiceConfig(), sink);
  const TUsageAccount account{"demo", "demo", kAccountHome};

  const TUsageAlertSettings levels{50, 80, true};
  std::vector<std::string> told, toldWhenEmpty;
  // Per rollover date: how often each kind was told.
  std::map<std::string, std::map<std::string, int>> counts;
  int emptyNotices = 0;
  bool ranOutInFirstMonth = false;
  const TDateTime first = EncodeDate(2026, 11, 15), end = EncodeDate(2027, 1, 15);
  for (TDateTime day = first; day < end; day += 1) {
    Sim().SetToday(day);
    const TDateTime now = day + 20.0 / 24;  // the evening update
    TUsageRecord record;
    ASSERT_TRUE(service.FetchUsage(account, {}, now, record).Ok) << DateToStr(day);
    THistory history;
    std::string document;
    ASSERT_TRUE(service.FetchHistory(account, 31, document));
    history.LoadFromXml(document, now);
    const TProjection projection = ProjectUsage(record, history, now);
    if (day < EncodeDate(2026, 12, 15) && projection.RunsOutAt) ranOutInFirstMonth = true;
    // The month itself stays within the allowance.
    EXPECT_LT(record.UsedMB, record.QuotaMB) << DateToStr(day);

    const std::string month = FormatDateTime("yyyy-mm-dd", record.Rollover);
    for (const TNoticeRequest& n : DueUsageAlerts(levels, record, projection, told)) {
      EXPECT_TRUE(n.Alert);
      const std::string kind = n.Body.starts_with("You have used 50%")   ? "50"
                               : n.Body.starts_with("You have used 80%") ? "80"
                               : n.Body.starts_with("At the pace")       ? "pace"
                                                                         : n.Body;
      ++counts[month][kind];
    }
    emptyNotices += static_cast<int>(DueUsageAlerts({}, record, projection, toldWhenEmpty).size());
  }
  EXPECT_TRUE(ranOutInFirstMonth);
  ASSERT_EQ(counts.size(), 2u);
  for (const auto& [month, kinds] : counts) {
    for (const auto& [kind, count] : kinds) EXPECT_EQ(count, 1) << month << " " << kind;
    EXPECT_EQ(kinds.count("50"), 1u) << month;  // every month passes half
  }
  EXPECT_EQ(counts["2026-12-15"].count("pace"), 1u);
  EXPECT_EQ(emptyNotices, 0);
  EXPECT_TRUE(toldWhenEmpty.empty());
}

}  // namespace
}  // namespace qgm::test

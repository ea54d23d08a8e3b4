#include "core/history/History.h"

#include <gtest/gtest.h>

#include <string>

#include "core/platform/FileIo.h"
#include "support/TempFolder.h"

namespace qgm {
namespace {

const TDateTime kToday = EncodeDate(2026, 12, 8);

TDateTime Day(int offset) {
  return IncDay(kToday, offset);
}

std::string Doc(const std::string& days) {
  return "<?xml version=\"1.0\"?>\n<corvalink><api><usagelist>\n" + days +
         "</usagelist></api></corvalink>";
}

std::string UsageXml(const std::string& day, long long down, long long up, long long total) {
  return "<usage day=\"" + day + "\">" + "<traffic direction=\"down\" name=\"metered\">" +
         std::to_string(down) + "</traffic>" + "<traffic direction=\"up\" name=\"metered\">" +
         std::to_string(up) + "</traffic>" + "<traffic direction=\"up\" name=\"total\">" +
         std::to_string(total) + "</traffic>" + "</usage>\n";
}

TEST(History, ItemsAndDeleteCheckTheirIndex) {
  THistory h;
  h.AppendEmptyDay(kToday);
  EXPECT_NO_THROW(h.Items(0));
  EXPECT_THROW(h.Items(1), std::out_of_range);
  EXPECT_THROW(h.Delete(-1), std::out_of_range);
  try {
    h.Items(5);
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "THistory: out of range");
  }
}

TEST(History, LoadFromXmlReadsTrafficByDirectionAndName) {
  THistory h;
  h.LoadFromXml(Doc(UsageXml("2026-12-07", 1234567890, 50, 1234599999) +
                    "<usage day=\"20261208T00:00\"><traffic direction=\"down\" "
                    "name=\"metered\">12 </traffic></usage>\n"),
                kToday);
  ASSERT_EQ(h.Count(), 2);  // nothing is made up before the first day
  const TDayUsage& y = h.Items(0);
  EXPECT_EQ(y.Date, Day(-1));
  EXPECT_EQ(y.Downloads, Money::FromUnits(12345679));  // 1234.5679 MB, rounded to 100 bytes
  EXPECT_EQ(y.Uploads, Money::FromUnits(0));           // 50 bytes: a tie, to even
  EXPECT_EQ(y.Total, Money::FromUnits(12346000));
  const TDayUsage& t = h.Items(1);
  EXPECT_EQ(t.Date, kToday);
  EXPECT_EQ(t.Downloads, Money());  // "12 " is no number: 0
}

TEST(History, DocumentWithoutDaysGivesOneEmptyToday) {
  THistory h;
  h.LoadFromXml("<corvalink><api/></corvalink>", kToday);
  ASSERT_EQ(h.Count(), 1);
  EXPECT_EQ(h.Items(0).Date, kToday);
  h.Clear();
  h.LoadFromXml("", kToday);  // an empty reply adds nothing and does not throw
  EXPECT_EQ(h.Count(), 1);
}

TEST(History, FutureDaysOutOfOrderAreDroppedToo) {
  THistory h;
  h.LoadFromXml(Doc(UsageXml("2027-01-01", 5000000, 0, 0) + UsageXml("2026-12-08", 1000000, 0, 0)),
                kToday);
  ASSERT_EQ(h.Count(), 1);
  EXPECT_EQ(h.Items(0).Date, kToday);
}

TEST(History, UsageWithoutDayIsLeftOut) {
  THistory h;
  h.LoadFromXml(
      Doc("<usage><traffic direction=\"down\" name=\"metered\">5000000</traffic></usage>" +
          UsageXml("2026-12-08", 1000000, 0, 1000000)),
      kToday);
  ASSERT_EQ(h.Count(), 1);
  EXPECT_EQ(h.Items(0).Downloads, Money::FromWhole(1));
}

TEST(History, AppendNewerSkipsDaysTheLogAlreadyHas) {
  THistory h;
  h.AddDayMB(Day(-1), Money::FromWhole(7), Money::FromWhole(7), {});
  h.AppendNewer = true;
  h.LoadFromXml(Doc(UsageXml("2026-12-06", 9000000, 0, 0) + UsageXml("2026-12-07", 9000000, 0, 0) +
                    UsageXml("2026-12-08", 3000000, 0, 0)),
                kToday);
  EXPECT_EQ(h.Items(h.Count() - 2).Downloads, Money::FromWhole(7));  // the log's day stays
  EXPECT_EQ(h.Items(h.Count() - 1).Downloads, Money::FromWhole(3));
  EXPECT_FALSE(h.EndsOnOrAfter(Day(1)));
  EXPECT_TRUE(h.EndsOnOrAfter(kToday));
}

TEST(History, NormaliseFillsTheLastMonthAndDropsDuplicatesAndFutureDays) {
  THistory h;
  h.AddDayMB(Day(-3), {}, Money::FromWhole(1), {});
  h.AddDayMB(Day(-3), {}, Money::FromWhole(2), {});  // the same day again: dropped
  h.AddDayMB(Day(-1), {}, Money::FromWhole(3), {});
  h.AddDayMB(Day(2), {}, Money::FromWhole(4), {});  // in the future: removed
  h.Normalise(kToday);
  ASSERT_EQ(h.Count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(h.Items(i).Date, Day(i - 3)) << i;
  EXPECT_EQ(h.Items(0).Downloads, Money::FromWhole(1));  // the first of the two stays
  EXPECT_EQ(h.Items(1).Downloads, Money());              // the gap day, filled
  EXPECT_EQ(h.Items(2).Downloads, Money::FromWhole(3));
  EXPECT_EQ(h.Items(3).Downloads, Money());  // today, appended
}

TEST(History, NormaliseAfterALongPauseLeavesAGap) {
  THistory h;
  h.AddDayMB(Day(-40), {}, Money::FromWhole(1), {});
  h.Normalise(kToday);
  ASSERT_EQ(h.Count(), 33);
  EXPECT_EQ(h.Items(0).Date, Day(-40));
  EXPECT_EQ(h.Items(1).Date, Day(-31));  // the newest 32 days; eight left out before them
  EXPECT_EQ(h.Items(32).Date, kToday);
}

TEST(History, OnlyTheGapBeforeTheLastMonthIsFilled) {
  THistory h;
  h.AddDayMB(Day(-100), {}, {}, {});
  h.AddDayMB(Day(-100), {}, {}, {});  // old duplicates are not examined
  h.AddDayMB(Day(-50), {}, {}, {});
  for (int i = -30; i <= 0; ++i) h.AppendEmptyDay(Day(i));
  h.Normalise(kToday);
  ASSERT_EQ(h.Count(), 34 + 19);  // -49 .. -31 filled in, ending at the first old pair
  EXPECT_EQ(h.Items(1).Date, Day(-100));
  EXPECT_EQ(h.Items(2).Date, Day(-50));
  EXPECT_EQ(h.Items(3).Date, Day(-49));
}

class HistoryLogTest : public test::TempFolderTest {};

TEST_F(HistoryLogTest, SaveWritesTheLogFormatAndLoadGivesTheAmountsBack) {
  THistory h;
  h.AddDay(EncodeDate(2014, 5, 1), 999000000, 1234567800, 12345000);
  h.AddDay(EncodeDate(2014, 5, 2), 0, 500, 0);
  const auto file = dir_ / "demo_CorvalinkHistory.csv";
  ASSERT_TRUE(h.SaveToCsv(file));
  EXPECT_EQ(ReadWholeFile(file),
            "Date, Downloads, Uploads, Totals\r\n"
            "2014-05-01, 1234.568, 12.345, 1246.913\r\n"  // Totals: downloads + uploads
            "2014-05-02, 0.001, 0.000, 0.001\r\n");

  THistory back;
  back.LoadFromCsv(file, EncodeDate(2015, 1, 1), EncodeDate(2014, 1, 1));
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.Items(0).Downloads, Money::FromUnits(12345680));
  EXPECT_EQ(back.Items(0).Uploads, Money::FromUnits(123450));
  EXPECT_EQ(back.Items(0).Total, Money::FromUnits(12469130));
}

TEST_F(HistoryLogTest, LoadSkipsBadLinesAndStopsAfterTheNewest) {
  THistory h;
  h.LoadFromCsvText(
      "Date, Downloads, Uploads, Totals\r\n"
      "2001-12-31, 1, 1, 2\r\n"        // the year must be above 2001
      "2014-05-01, 1, 1\r\n"           // three fields
      "2014-02-30, 1, 1, 2\r\n"        // no such day
      "2014-05-02, 1, 1, 2, 9\r\n"     // five fields
      "2014/05/03, 2.5, x, 1e300\r\n"  // separators may be anything; "x" and 1e300 read as 0
      "2014-04-01, 1, 1, 2\r\n"        // before the oldest: skipped
      "\"2014-05-04\", 3, 0, 3\n"      // quoted date, LF only
      "2014-06-01, 4, 0, 4\r\n"        // after the newest: the end
      "2014-05-05, 5, 0, 5\r\n",
      EncodeDate(2014, 5, 31), EncodeDate(2014, 5, 1));
  ASSERT_EQ(h.Count(), 2);
  EXPECT_EQ(h.Items(0).Date, EncodeDate(2014, 5, 3));
  EXPECT_EQ(h.Items(0).Downloads, Money::FromUnits(25000));
  EXPECT_EQ(h.Items(0).Uploads, Money());
  EXPECT_EQ(h.Items(0).Total, Money());
  EXPECT_EQ(h.Items(1).Date, EncodeDate(2014, 5, 4));

  h.LoadFromCsv(dir_ / "missing.csv", kToday, Day(-950));
  EXPECT_EQ(h.Count(), 0);
}

TEST(History, LogFileNameStaysInTheDataFolder) {
  EXPECT_EQ(UsageLogFile("/data", "john"),
            std::filesystem::path("/data/john_CorvalinkHistory.csv"));
  EXPECT_TRUE(UsageLogFile("/data", "../john").empty());
  EXPECT_TRUE(UsageLogFile("", "john").empty());
}

}  // namespace
}  // namespace qgm

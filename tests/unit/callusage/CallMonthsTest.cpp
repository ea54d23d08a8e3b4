// CallHaven month files: classing calls, the 28 months, and the answered
// month a download takes from its header.
#include "core/callusage/CallMonths.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "core/callusage/CallDownload.h"
#include "core/callusage/CallGraph.h"
#include "core/platform/FileIo.h"
#include "support/TempFolder.h"

namespace qgm {
namespace {

TEST(CallMonths, CallsAreClassedByTheirTypesFirstLetters) {
  TCallMonth m;
  AddCallLines(
      "Date,Time,Number,Cost,Type,Duration\r\n"
      "1,2,3,1.50,National,60\r\n"
      "1,2,3,\"2.2\"\"5\",Nationwide,60\r\n"  // a doubled quote: unquoted, then not a number
      "1,2,3,0.25,Mobile,60\r\n"
      "1,2,3,9.99,mobile,60\r\n"  // lower case: Other
      "1,2,3,5.00,CallHaven Direct,60\r\n"
      "1,2,3,3.00,International\r\n"      // 5 fields: ignored
      "1,2,3,0.10,Internat,60,extra\r\n"  // more than 6: the first six count
      "1,2,3,abc,Satellite,60\r\n"
      "1,2,3,\"unterminated,Mobile,60\r\n",
      m);
  EXPECT_EQ(m.NationalCalls, 2);
  EXPECT_EQ(m.NationalCost, Money::FromUnits(15000));
  EXPECT_EQ(m.MobileCalls, 1);
  EXPECT_EQ(m.MobileCost, Money::FromUnits(2500));
  EXPECT_EQ(m.CallhavenCalls, 1);
  EXPECT_EQ(m.OtherCalls, 3);
  EXPECT_EQ(m.OtherCost, Money::FromUnits(99900 + 1000));
  EXPECT_EQ(m.TotalCalls, 7);
  EXPECT_EQ(m.TotalCost, Money::FromUnits(15000 + 2500 + 100900));
  TCallMonth quoted;
  AddCallLines("h\n1,2,3,\"1.25\",National,1\n", quoted);
  EXPECT_EQ(quoted.NationalCost, Money::FromUnits(12500));
}

// Lines of every shape among many ordinary ones, so each is read both where
// whole blocks of the text remain and near its end, and across block edges.
TEST(CallMonths, OddLinesAmongOrdinaryOnesCountAsAlone) {
  const std::string ordinary = "2026-12-01,09:10,0298761000,\"1.25\",National,60\r\n";
  const std::vector<std::pair<std::string, Money>> odd = {
      {"1,2,3,\"1,5\",Mobile,60", Money()},                     // a quoted comma: the cost is "1,5"
      {"\"1,2\",3,4,0.5,Mobile,60", Money::FromUnits(5000)},    // a quoted first field
      {"1,2,3,\"0.5\"\"\",Mobile,60", Money()},                 // a doubled quote
      {"1,2,3,\"0.5\"x,Mobile,60", Money()},                    // text after the quote: refused
      {"1,2,3,0.5,\"Mobile\",60", Money::FromUnits(5000)},      // a quoted type
      {"1,2,3,0.5,Mobile,\"60", Money()},                       // an unclosed last field: refused
      {"1,2,3, 0.5 ,Mobile,60", Money::FromUnits(5000)},        // blanks around the cost
      {"1,2,3,0.12345,Mobile,60,a,b", Money::FromUnits(1234)},  // rounded; more fields
      {"1,2,3,0.5,Mobile," + std::string(70, '9'), Money::FromUnits(5000)},  // a long line
  };
  for (size_t i = 0; i < odd.size(); ++i) {
    TCallMonth alone;
    AddCallLines("h\n" + odd[i].first + "\r\n", alone);
    for (size_t before : {0, 1, 3}) {
      std::string text = "Date,Time,Number,Cost,Type,Duration\r\n";
      for (size_t k = 0; k < before; ++k) text += ordinary;
      text += odd[i].first + "\r\n";
      for (int k = 0; k < 4; ++k) text += ordinary;
      TCallMonth m;
      AddCallLines(text, m);
      EXPECT_EQ(m.MobileCalls, alone.MobileCalls) << i << " after " << before;
      EXPECT_EQ(m.MobileCost, alone.MobileCost) << i << " after " << before;
      EXPECT_EQ(m.OtherCalls, alone.OtherCalls) << i << " after " << before;
      EXPECT_EQ(m.NationalCalls, static_cast<int>(before) + 4) << i;
      EXPECT_EQ(m.NationalCost, Money::FromUnits(12500 * static_cast<int64_t>(before + 4))) << i;
    }
    EXPECT_EQ(alone.MobileCost, odd[i].second) << i;
  }
}

TEST(CallMonths, OutOfRangeIsAnError) {
  TCallhaven calls;
  calls.Add().Month = 3;
  EXPECT_EQ(calls.Items(0).Month, 3);
  try {
    calls.Items(1);
    ADD_FAILURE();
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "TCallhaven: out of range");
  }
}

using CallFiles = test::TempFolderTest;

TEST_F(CallFiles, TwentyEightMonthsFromWhateverFilesThereAre) {
  TCallhaven calls;
  const TDateTime today = EncodeDate(2026, 12, 8);
  EXPECT_TRUE(LoadCallMonths(calls, dir_, today).Selector.empty());
  EXPECT_EQ(calls.Count(), 0);
  ASSERT_TRUE(WriteFileAtomic(CallFileName(dir_, 2026, 11), "h\r\n1,2,3,1.00,National,1\r\n"));
  ASSERT_TRUE(WriteFileAtomic(CallFileName(dir_, 2025, 1), "h\r\n1,2,3,2.00,Mobile,1\r\n"));
  ASSERT_TRUE(WriteFileAtomic(CallFileName(dir_, 2024, 9), "h\r\n1,2,3,3.00,Other,1\r\n"));
  ASSERT_TRUE(
      WriteFileAtomic(CallFileName(dir_, 2024, 8), "h\r\n1,2,3,4.00,Other,1\r\n"));  // too old
  ASSERT_TRUE(WriteFileAtomic(dir_ / "unrelated.csv", "x"));
  EXPECT_EQ(ListCallFiles(dir_).size(), 4u);
  const TCallMonthsLoaded loaded = LoadCallMonths(calls, dir_, today);
  ASSERT_EQ(calls.Count(), 28);
  EXPECT_EQ(loaded.Selector.front(), "December 2026");
  EXPECT_EQ(loaded.Selector.back(), "September 2024");
  EXPECT_EQ(loaded.CurrentFileTime, 0);  // no file for this month
  EXPECT_EQ(calls.Items(1).NationalCalls, 1);
  EXPECT_EQ(calls.Items(23).MobileCost, Money::FromWhole(2));
  EXPECT_EQ(calls.Items(27).OtherCalls, 1);
  int empty = 0;
  for (int i = 0; i < 28; ++i) empty += calls.Items(i).TotalCalls == 0;
  EXPECT_EQ(empty, 25);
}

// A month "file" that is a FIFO is never waited on, and one larger than any
// month of calls (a sparse 200 GB file) is not read into memory: both are
// named as left out and count as empty; the other months load.
TEST_F(CallFiles, AFifoOrAHugeFileIsLeftOutAndTheRestLoads) {
  const TDateTime today = EncodeDate(2026, 12, 8);
  ASSERT_TRUE(WriteFileAtomic(CallFileName(dir_, 2026, 11), "h\r\n1,2,3,1.00,National,1\r\n"));
  ASSERT_EQ(::mkfifo(CallFileName(dir_, 2026, 10).c_str(), 0600), 0);
  {
    std::ofstream huge(CallFileName(dir_, 2026, 9));
  }
  std::filesystem::resize_file(CallFileName(dir_, 2026, 9), 200ull << 30);
  TCallhaven calls;
  const TCallMonthsLoaded loaded = LoadCallMonths(calls, dir_, today);
  ASSERT_EQ(calls.Count(), 28);
  EXPECT_EQ(calls.Items(1).NationalCalls, 1);
  EXPECT_EQ(calls.Items(2).TotalCalls, 0);
  EXPECT_EQ(calls.Items(3).TotalCalls, 0);
  ASSERT_EQ(loaded.Refused.size(), 2u);
  EXPECT_EQ(loaded.Refused[0], CallFileName(dir_, 2026, 10).filename().string() +
                                   ": not a regular file");
  EXPECT_EQ(loaded.Refused[1].rfind(CallFileName(dir_, 2026, 9).filename().string() +
                                        ": 214748364800 bytes, more than ",
                                    0),
            0u)
      << loaded.Refused[1];
}

TEST(CallDisposition, TheAnsweredMonthIsNeverLaterThanAsked) {
  int month = 3, year = 2026;
  bool usable = false;
  EXPECT_TRUE(ParseCallDisposition("attachment; filename=callhaven_calls_2026-02.csv", month, year,
                                   usable));
  EXPECT_TRUE(usable);
  EXPECT_EQ(month, 2);
  EXPECT_EQ(year, 2026);
  month = 3, year = 2026;
  EXPECT_FALSE(ParseCallDisposition("filename=callhaven_calls_2026-04.csv", month, year, usable));
  EXPECT_EQ(month, 3);  // unchanged
  EXPECT_FALSE(ParseCallDisposition("filename=callhaven_calls_2027-01.csv", month, year, usable));
  EXPECT_TRUE(ParseCallDisposition("filename=callhaven_calls_2025-11.csv", month, year, usable));
  EXPECT_TRUE(usable);
  month = 3, year = 2026;
  EXPECT_TRUE(ParseCallDisposition("filename=callhaven_calls_2026-00.csv", month, year, usable));
  EXPECT_FALSE(usable);  // month 0
  month = 3, year = 2026;
  EXPECT_FALSE(
      ParseCallDisposition("filename=callhaven_calls_20x6-02.csv", month, year, usable));  // year+1
  month = 3, year = 2026;
  EXPECT_TRUE(ParseCallDisposition("filename=callhaven_calls_2000-02.csv", month, year, usable));
  EXPECT_FALSE(usable);  // not after 2000
  EXPECT_FALSE(ParseCallDisposition("filename=CALLHAVEN_CALLS_2026-02.csv", month, year, usable));
  EXPECT_FALSE(ParseCallDisposition("", month, year, usable));
  EXPECT_EQ(CrLfLines("a\nb\r\nc\rd"), "a\r\nb\r\nc\r\nd\r\n");
}

TEST(CallGraph, TheScaleIsAMultipleOfTenAboveTheLargestTotal) {
  auto scaleFor = [](int64_t units) {
    TCallhaven calls;
    for (int i = 0; i < 28; ++i) calls.Add();
    calls.Items(5).TotalCost = Money::FromUnits(units);
    return CallGraphScale(calls);
  };
  EXPECT_EQ(scaleFor(0), 10);
  EXPECT_EQ(scaleFor(100000), 10);  // 10.00 is not above 10
  EXPECT_EQ(scaleFor(100100), 20);  // 10.01: 11, up to 20
  EXPECT_EQ(scaleFor(455000), 50);  // 45.50: 46, shown as 50
  EXPECT_EQ(scaleFor(199900), 20);  // 19.99: 20
  EXPECT_EQ(scaleFor(200000), 30);  // 20.00: 21, up to 30
  EXPECT_EQ(scaleFor(250000), 30);  // 25.00: 26, nearest 30
  EXPECT_EQ(CallBarHeight(Money::FromWhole(5), 10, 126), 63);
  EXPECT_EQ(CallBarHeight(Money(), 10, 126), 0);
}

TEST(CallGraph, ColumnsUnderThePointerAndTheHint) {
  // 226 pixels: bars 8 apart, the oldest from x 1.
  EXPECT_EQ(CallGraphColumnAt(0, 226), -1);  // the strip left of the oldest bar
  EXPECT_EQ(CallGraphColumnAt(1, 226), 0);
  EXPECT_EQ(CallGraphColumnAt(8, 226), 0);
  EXPECT_EQ(CallGraphColumnAt(9, 226), 1);
  EXPECT_EQ(CallGraphColumnAt(223, 226), 27);
  EXPECT_EQ(CallGraphColumnAt(224, 226), 27);
  EXPECT_EQ(CallGraphColumnAt(225, 226), -1);  // past the newest bar
  TCallMonth m;
  m.Month = 5;
  m.Year = 2014;
  m.NationalCost = Money::FromUnits(12345);
  m.TotalCost = Money::FromUnits(12345);
  const std::string hint = CallGraphHint(m);
  EXPECT_EQ(hint.substr(0, hint.find('\n')), "May 2014");
  EXPECT_NE(hint.find("National: "), std::string::npos);
  EXPECT_NE(hint.find("1.23"), std::string::npos);
  EXPECT_EQ(CallGraphMonthLabel(m), "May 14");
}

}  // namespace
}  // namespace qgm

// The scanners behind AddCallLines against splitting each line plainly, on
// month files of every shape: the usual lines, and lines with quotes,
// blanks, long fields, odd costs and types, mutated bytes, bare carriage
// returns, at every offset from the 64-byte blocks the scanners read.
#include "core/callusage/CallMonths.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

#include "core/util/CpuFeatures.h"
#include "support/CallLinesReference.h"

namespace qgm {
namespace {

class TMonthFileMaker {
 public:
  explicit TMonthFileMaker(unsigned seed) : random_(seed) {}

  std::string Text() {
    static const char* headers[] = {"Date,Time,Number,Cost,Type,Duration\r\n", "h\n", "\n", "",
                                    "no newline at all"};
    std::string text = Pick(headers);
    if (text == "no newline at all") return text;
    const int lines = Below(60);
    for (int i = 0; i < lines; ++i) {
      text += Line();
      static const char* ends[] = {"\r\n", "\r\n", "\r\n", "\n", "\r\r\n", "\r"};
      text += i + 1 < lines || Below(2) ? Pick(ends) : "";
    }
    return text;
  }

  TCallMonth Start() {
    TCallMonth m;
    if (Below(4) == 0) {
      m.NationalCalls = 3;
      m.OtherCalls = 1;
      m.OtherCost = Money::FromUnits(INT64_MAX - 20000);  // near saturation
      m.MobileCost = Money::FromUnits(INT64_MIN + 1);
    }
    return m;
  }

 private:
  std::string Line() {
    if (Below(12) == 0) return Garbage(Below(3) ? Below(40) : 64 + Below(100));
    static const char* costs[] = {"\"1.25\"",
                                  "\"1.25\"",
                                  "\"4.10\"",
                                  "1.25",
                                  "\"0\"",
                                  "\"12\"",
                                  "\"12.\"",
                                  "\".5\"",
                                  "\"1.2345\"",
                                  "\"1.23456\"",
                                  "\"99999999.9999\"",
                                  "\"999999999999\"",
                                  "\"9999999999999\"",
                                  "\"\"",
                                  "\"",
                                  "\" 1.5\"",
                                  "\"1,5\"",
                                  "\"1.2\"\"5\"",
                                  "\"-1.5\"",
                                  "-1.5",
                                  "abc",
                                  "",
                                  "\"1.5\"x",
                                  "1.5e3",
                                  "\"1..5\"",
                                  "\"1.5.\"",
                                  "99999999999999999999",
                                  "-99999999999999999999",
                                  "\"0.0001\"",
                                  "\"007.50\"",
                                  "\"999999999999999999999\"",
                                  "\"99999999999999.9\""};
    static const char* types[] = {
        "National",     "Nationwide",    "Nation",    "Natio",     "Mobile",
        "Mobile Plus",  "mobile",        "Mobil",     "CallHaven", "CallHaven Direct",
        "CallHave",     "International", "Satellite", "",          "\"Mobile\"",
        "\"National\"", "Nat\"ional",    "National,"};
    static const char* durations[] = {"60", "60", "", "\"60", "\"6,0\"", "\"60\"", "7"};
    std::string line =
        "2026-12-" + std::to_string(1 + Below(28)) + "," +
        (Below(20) ? "09:" + std::to_string(10 + Below(50)) : "\"9,1\"") + "," +
        std::string(static_cast<size_t>(Below(15)), '0' + static_cast<char>(Below(10))) + "," +
        Pick(costs) + "," + Pick(types);
    if (Below(10)) line += std::string(",") + Pick(durations);
    if (Below(8) == 0) line += std::string(static_cast<size_t>(Below(80)), '9');
    for (int extra = Below(6) == 0 ? 1 + Below(2) : 0; extra > 0; --extra) line += ",x";
    if (Below(10) == 0) {  // one byte changed
      static const char bytes[] = ",\"\r\n. 0a\t\x80";
      line[static_cast<size_t>(Below(static_cast<int>(line.size())))] =
          bytes[Below(sizeof bytes - 1)];
    }
    return line;
  }

  std::string Garbage(int length) {
    static const char bytes[] = ",,\"\"\r..0123456789 NationalMobileCallHaven";
    std::string text;
    for (int i = 0; i < length; ++i) text += bytes[Below(sizeof bytes - 1)];
    return text;
  }

  template <size_t N>
  const char* Pick(const char* (&from)[N]) {
    return from[Below(static_cast<int>(N))];
  }
  int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

  std::mt19937 random_;
};

TEST(CallLines, BothScannersAgreeWithSplittingEachLine) {
  TMonthFileMaker maker(20261209);
  for (int i = 0; i < 6000; ++i) {
    const std::string text = maker.Text();
    const TCallMonth start = maker.Start();
    TCallMonth expected = start, portable = start, chosen = start;
    test::AddCallLinesPlainly(text, expected);
    ForcePlainPaths(true);
    AddCallLines(text, portable);
    ForcePlainPaths(false);
    AddCallLines(text, chosen);
    EXPECT_TRUE(test::SameTotals(portable, expected)) << i << ": " << testing::PrintToString(text);
    EXPECT_TRUE(test::SameTotals(chosen, expected)) << i << ": " << testing::PrintToString(text);
  }
  // Where the processor has it, the wide scanner is the one chosen.
  if (!UseWidePaths()) std::cout << "[ NOTE     ] no AVX2 here: the wide scanner was not tried\n";
}

}  // namespace
}  // namespace qgm

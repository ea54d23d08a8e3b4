#include "core/util/DateTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace qgm {
namespace {

TEST(DateTime, EncodeAndDecodeAcrossTheRange) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(2014, 6, 1), 41791.0);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
  // Every day of a span with leap years and century rules decodes back.
  for (int serial = -1000; serial < 80000; serial += 7) {
    const DateParts p = DecodeDate(serial);
    EXPECT_EQ(EncodeDate(p.year, p.month, p.day), serial);
  }
  const DateParts leap = DecodeDate(EncodeDate(2000, 2, 29));
  EXPECT_EQ(leap.year * 10000 + leap.month * 100 + leap.day, 20000229);
  TDateTime out;
  EXPECT_FALSE(TryEncodeDate(1900, 2, 29, out));
  EXPECT_FALSE(TryEncodeDate(2014, 13, 1, out));
  EXPECT_FALSE(TryEncodeDate(2014, 4, 31, out));
  EXPECT_THROW(EncodeDate(2014, 0, 1), std::invalid_argument);
}

TEST(DateTime, TimeOfDayAndNegativeDates) {
  const TDateTime t = EncodeDate(2014, 6, 1) + EncodeTime(13, 5, 9, 250);
  const TimeParts tp = DecodeTime(t);
  EXPECT_EQ(tp.hour, 13);
  EXPECT_EQ(tp.minute, 5);
  EXPECT_EQ(tp.second, 9);
  EXPECT_EQ(tp.ms, 250);
  EXPECT_EQ(DateOf(t), 41791.0);
  // Before the epoch the time is still a positive fraction: -1.25 is
  // 29 December 1899, 06:00.
  const DateParts dp = DecodeDate(-1.25);
  EXPECT_EQ(dp.day, 29);
  EXPECT_EQ(DecodeTime(-1.25).hour, 6);
  // A time just below midnight rounds into the next day, not to 24:00.
  const TDateTime almost = 41791.0 + (kMsPerDay - 0.2) / kMsPerDay;
  EXPECT_EQ(DecodeDate(almost).day, 2);
  EXPECT_EQ(DecodeTime(almost).hour, 0);
}

TEST(DateTime, DayArithmetic) {
  EXPECT_EQ(DayOfWeek(EncodeDate(2014, 6, 1)), 1);  // Sunday
  EXPECT_EQ(DayOfWeek(EncodeDate(2014, 6, 7)), 7);  // Saturday
  EXPECT_EQ(DayOfWeek(0), 7);                       // 30 December 1899
  EXPECT_EQ(DayOfWeek(-1), 6);
  EXPECT_EQ(DaysBetweenDates(EncodeDate(2014, 5, 31) + 0.9, EncodeDate(2014, 6, 1) + 0.1), 1);
  EXPECT_EQ(IncDay(EncodeDate(2014, 12, 31), 1), EncodeDate(2015, 1, 1));
  EXPECT_EQ(IncMonth(EncodeDate(2014, 1, 31), 1), EncodeDate(2014, 2, 28));
  EXPECT_EQ(IncMonth(EncodeDate(2014, 1, 15), -13), EncodeDate(2012, 12, 15));
  EXPECT_EQ(DaysInMonth(2016, 2), 29);
  EXPECT_EQ(DaysInMonth(2100, 2), 28);
}

TEST(DateTime, FormatTokens) {
  const TDateTime t = EncodeDate(2014, 6, 1) + EncodeTime(13, 5, 9);
  EXPECT_EQ(FormatDateTime("d dd ddd dddd", t), "1 01 Sun Sunday");
  EXPECT_EQ(FormatDateTime("m mm mmm mmmm", t), "6 06 Jun June");
  EXPECT_EQ(FormatDateTime("yy yyyy", t), "14 2014");
  EXPECT_EQ(FormatDateTime("h hh:nn:ss", t), "13 13:05:09");
  EXPECT_EQ(FormatDateTime("h:nn am/pm", t), "1:05 pm");
  EXPECT_EQ(FormatDateTime("hh:nn AM/PM", EncodeDate(2014, 6, 1)), "12:00 AM");
  EXPECT_EQ(FormatDateTime("h:nn ampm", t), "1:05 PM");
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd", t), "2014-06-01");
  EXPECT_EQ(FormatDateTime("'Day' d \"of\" mmmm", t), "Day 1 of June");
  EXPECT_EQ(DateToStr(t), "01/06/2014");
}

TEST(DateTime, LocalClockRoundTrip) {
  // Conversions follow the local zone; a fixed zone keeps the test exact.
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", "AEST-10", 1);  // a POSIX rule: no time-zone database needed
  tzset();
  const auto tp = std::chrono::system_clock::from_time_t(1401580800);  // 2014-06-01 00:00 UTC
  const TDateTime local = FromTimePoint(tp);
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", local), "2014-06-01 10:00");
  EXPECT_EQ(ToTimePoint(local), tp);
  if (old)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

}  // namespace
}  // namespace qgm

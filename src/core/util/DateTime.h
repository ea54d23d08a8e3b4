#pragma once
// TDateTime: days since 30 December 1899 as a double, the fraction being the
// time of day, in local time. The zero date means "no date".

#include <chrono>
#include <string>
#include <string_view>

namespace qgm {

using TDateTime = double;

constexpr TDateTime kNoDate = 0.0;
constexpr double kMsPerDay = 86400000.0;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

bool TryEncodeDate(int year, int month, int day, TDateTime& out);
// Throws std::invalid_argument for an impossible date.
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeTime(int hour, int minute, int second, int ms, TDateTime& out);
TDateTime EncodeTime(int hour, int minute, int second, int ms = 0);

struct DateParts {
  int year = 1899, month = 12, day = 30;
};
struct TimeParts {
  int hour = 0, minute = 0, second = 0, ms = 0;
};
DateParts DecodeDate(TDateTime value);
TimeParts DecodeTime(TDateTime value);

// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime value);
// The date part (midnight of the same day) and the time part.
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);
// Whole days from `from` to `to` (negative when `to` is earlier), by date.
int DaysBetweenDates(TDateTime from, TDateTime to);
TDateTime IncDay(TDateTime value, int days);
// The same day `months` later, clamped to the end of a shorter month.
TDateTime IncMonth(TDateTime value, int months);

// Conversions to and from the wall clock in the local time zone.
TDateTime FromTimePoint(std::chrono::system_clock::time_point tp);
std::chrono::system_clock::time_point ToTimePoint(TDateTime value);
TDateTime NowLocal();

// Date-time formats: d dd ddd dddd, m mm mmm mmmm, yy yyyy, h hh, nn, ss,
// am/pm and ampm (12-hour clock), "/" as the date separator, ":" as the time
// separator, text in single or double quotes copied as it stands. Day and
// month names are English.
std::string FormatDateTime(std::string_view format, TDateTime value);
// The forced short date format "dd/mm/yyyy".
std::string DateToStr(TDateTime value);

}  // namespace qgm

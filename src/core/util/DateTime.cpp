#include "core/util/DateTime.h"

#include <array>
#include <cmath>
#include <ctime>
#include <stdexcept>

namespace qgm {
namespace {

constexpr std::array<const char*, 7> kShortDays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 7> kLongDays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 12> kShortMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<const char*, 12> kLongMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

// Days from 1 January 0001 (day 0, proleptic Gregorian) to 30 December 1899.
constexpr int64_t kEpochOrdinal = 693593;

int64_t DateOrdinal(int y, int m, int d) {
  // Days from 1 January 0001 to the given date, 0-based.
  static constexpr int kCum[2][13] = {{0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
                                      {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};
  const int64_t py = y - 1;
  return py * 365 + py / 4 - py / 100 + py / 400 + kCum[IsLeapYear(y) ? 1 : 0][m - 1] + d - 1;
}

// The whole day number and the milliseconds of the day. Negative values
// count backwards with the time as a positive fraction, as TDateTime does.
void SplitDayAndMs(TDateTime value, int64_t& day, int64_t& ms) {
  const double whole = std::trunc(value);
  const double frac = std::fabs(value - whole);
  day = static_cast<int64_t>(whole);
  ms = std::llround(frac * kMsPerDay);
  if (ms >= static_cast<int64_t>(kMsPerDay)) {
    ms = 0;
    day += value < 0 ? -1 : 1;
  }
}

void Append2(std::string& out, int v) {
  out += static_cast<char>('0' + (v / 10) % 10);
  out += static_cast<char>('0' + v % 10);
}

bool StartsWithCI(std::string_view text, size_t pos, std::string_view word) {
  if (text.size() - pos < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    char c = text[pos + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != word[i]) return false;
  }
  return true;
}

}  // namespace

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month)) {
    return false;
  }
  out = static_cast<double>(DateOrdinal(year, month, day) - kEpochOrdinal);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime out;
  if (!TryEncodeDate(year, month, day, out))
    throw std::invalid_argument("Invalid argument to date encode");
  return out;
}

bool TryEncodeTime(int hour, int minute, int second, int ms, TDateTime& out) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || ms < 0 ||
      ms > 999) {
    return false;
  }
  out = ((hour * 60 + minute) * 60 + second) * 1000.0 + ms;
  out /= kMsPerDay;
  return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int ms) {
  TDateTime out;
  if (!TryEncodeTime(hour, minute, second, ms, out))
    throw std::invalid_argument("Invalid argument to time encode");
  return out;
}

DateParts DecodeDate(TDateTime value) {
  int64_t day, ms;
  SplitDayAndMs(value, day, ms);
  int64_t n = day + kEpochOrdinal;  // 0-based days since 0001-01-01
  DateParts p;
  if (n < 0) return p;
  // 400-, 100-, 4- and 1-year cycles.
  int64_t y = 1;
  y += 400 * (n / 146097);
  n %= 146097;
  int64_t c = n / 36524;
  if (c == 4) c = 3;
  y += 100 * c;
  n -= c * 36524;
  y += 4 * (n / 1461);
  n %= 1461;
  int64_t yy = n / 365;
  if (yy == 4) yy = 3;
  y += yy;
  n -= yy * 365;
  p.year = static_cast<int>(y);
  int m = 1;
  while (n >= DaysInMonth(p.year, m)) {
    n -= DaysInMonth(p.year, m);
    ++m;
  }
  p.month = m;
  p.day = static_cast<int>(n) + 1;
  return p;
}

TimeParts DecodeTime(TDateTime value) {
  int64_t day, ms;
  SplitDayAndMs(value, day, ms);
  TimeParts t;
  t.ms = static_cast<int>(ms % 1000);
  ms /= 1000;
  t.second = static_cast<int>(ms % 60);
  ms /= 60;
  t.minute = static_cast<int>(ms % 60);
  t.hour = static_cast<int>(ms / 60);
  return t;
}

int DayOfWeek(TDateTime value) {
  int64_t day, ms;
  SplitDayAndMs(value, day, ms);
  // 30 December 1899 was a Saturday (7).
  int64_t r = (day + 6) % 7;
  if (r < 0) r += 7;
  return static_cast<int>(r) + 1;
}

TDateTime DateOf(TDateTime value) {
  int64_t day, ms;
  SplitDayAndMs(value, day, ms);
  return static_cast<double>(day);
}

TDateTime TimeOf(TDateTime value) {
  return std::fabs(value - std::trunc(value));
}

int DaysBetweenDates(TDateTime from, TDateTime to) {
  return static_cast<int>(DateOf(to) - DateOf(from));
}

TDateTime IncDay(TDateTime value, int days) {
  return value + days;
}

TDateTime IncMonth(TDateTime value, int months) {
  const DateParts p = DecodeDate(value);
  int64_t total = static_cast<int64_t>(p.year) * 12 + (p.month - 1) + months;
  const int year = static_cast<int>(total / 12);
  const int month = static_cast<int>(total % 12) + 1;
  int day = p.day;
  if (day > DaysInMonth(year, month)) day = DaysInMonth(year, month);
  TDateTime d;
  if (!TryEncodeDate(year, month, day, d)) return value;
  return value < 0 ? d - TimeOf(value) : d + TimeOf(value);
}

TDateTime FromTimePoint(std::chrono::system_clock::time_point tp) {
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(tp.time_since_epoch()).count();
  std::time_t secs = static_cast<std::time_t>(ms / 1000);
  int rem = static_cast<int>(ms % 1000);
  if (rem < 0) {
    rem += 1000;
    --secs;
  }
  std::tm tm{};
  localtime_r(&secs, &tm);
  TDateTime date = 0, time = 0;
  TryEncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, date);
  TryEncodeTime(tm.tm_hour, tm.tm_min, tm.tm_sec > 59 ? 59 : tm.tm_sec, rem, time);
  return date + time;
}

std::chrono::system_clock::time_point ToTimePoint(TDateTime value) {
  const DateParts d = DecodeDate(value);
  const TimeParts t = DecodeTime(value);
  std::tm tm{};
  tm.tm_year = d.year - 1900;
  tm.tm_mon = d.month - 1;
  tm.tm_mday = d.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = -1;
  const std::time_t secs = std::mktime(&tm);
  return std::chrono::system_clock::from_time_t(secs) + std::chrono::milliseconds(t.ms);
}

TDateTime NowLocal() {
  return FromTimePoint(std::chrono::system_clock::now());
}

std::string FormatDateTime(std::string_view f, TDateTime value) {
  const DateParts d = DecodeDate(value);
  const TimeParts t = DecodeTime(value);
  const int dow = DayOfWeek(value);

  // A 12-hour clock applies when the format holds an am/pm token anywhere.
  const bool twelveHour = [&] {
    for (size_t i = 0; i < f.size(); ++i) {
      if (f[i] == '\'' || f[i] == '"') {
        const size_t close = f.find(f[i], i + 1);
        if (close == std::string_view::npos) return false;
        i = close;
      } else if (StartsWithCI(f, i, "am/pm") || StartsWithCI(f, i, "ampm")) {
        return true;
      }
    }
    return false;
  }();

  std::string out;
  size_t i = 0;
  while (i < f.size()) {
    const char c = f[i];
    const char lc = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    size_t run = 1;
    while (i + run < f.size() && f[i + run] == c) ++run;
    if (c == '\'' || c == '"') {
      const size_t close = f.find(c, i + 1);
      const size_t end = close == std::string_view::npos ? f.size() : close;
      out.append(f.substr(i + 1, end - i - 1));
      i = end == f.size() ? end : end + 1;
    } else if (StartsWithCI(f, i, "am/pm")) {
      const bool pm = t.hour >= 12;
      const bool upper = f[i] == 'A';
      out += upper ? (pm ? "PM" : "AM") : (pm ? "pm" : "am");
      i += 5;
    } else if (StartsWithCI(f, i, "ampm")) {
      out += t.hour >= 12 ? "PM" : "AM";
      i += 4;
    } else if (lc == 'd') {
      run = run > 4 ? 4 : run;
      if (run == 1) out += std::to_string(d.day);
      if (run == 2) Append2(out, d.day);
      if (run == 3) out += kShortDays[dow - 1];
      if (run == 4) out += kLongDays[dow - 1];
      i += run;
    } else if (lc == 'm') {
      run = run > 4 ? 4 : run;
      if (run == 1) out += std::to_string(d.month);
      if (run == 2) Append2(out, d.month);
      if (run == 3) out += kShortMonths[d.month - 1];
      if (run == 4) out += kLongMonths[d.month - 1];
      i += run;
    } else if (lc == 'y') {
      if (run >= 3) {
        std::string y = std::to_string(d.year);
        if (y.size() < 4) y.insert(0, 4 - y.size(), '0');
        out += y;
      } else {
        Append2(out, d.year % 100);
      }
      i += run;
    } else if (lc == 'h') {
      int h = t.hour;
      if (twelveHour) {
        h %= 12;
        if (h == 0) h = 12;
      }
      run = run > 2 ? 2 : run;
      if (run == 1)
        out += std::to_string(h);
      else
        Append2(out, h);
      i += run;
    } else if (lc == 'n') {
      run = run > 2 ? 2 : run;
      if (run == 1)
        out += std::to_string(t.minute);
      else
        Append2(out, t.minute);
      i += run;
    } else if (lc == 's') {
      run = run > 2 ? 2 : run;
      if (run == 1)
        out += std::to_string(t.second);
      else
        Append2(out, t.second);
      i += run;
    } else {
      out += c;  // "/" and ":" are the forced separators themselves
      ++i;
    }
  }
  return out;
}

std::string DateToStr(TDateTime value) {
  return FormatDateTime("dd/mm/yyyy", value);
}

}  // namespace qgm

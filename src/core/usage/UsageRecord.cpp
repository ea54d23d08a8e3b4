#include "core/usage/UsageRecord.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

namespace qgm {
namespace {

// A decimal floating number written with digits, ".", an exponent and a sign.
std::optional<long double> ParseFloat(std::string_view token) {
  if (token.empty() || token.size() > 64) return std::nullopt;
  for (char c : token) {
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) {
      return std::nullopt;
    }
  }
  const std::string text(token);
  char* end = nullptr;
  const long double v = std::strtold(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<int32_t> ParseInt32(std::string_view token) {
  if (token.empty() || token.size() > 11) return std::nullopt;
  size_t i = (token[0] == '-' || token[0] == '+') ? 1 : 0;
  if (i == token.size()) return std::nullopt;
  int64_t v = 0;
  for (; i < token.size(); ++i) {
    if (token[i] < '0' || token[i] > '9') return std::nullopt;
    v = v * 10 + (token[i] - '0');
  }
  if (token[0] == '-') v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(v);
}

// "dd/mm/yyyy" (one- or two-digit day and month; a two-digit year is taken
// in this century); the zero date when unreadable.
TDateTime ParseDate(std::string_view token) {
  int parts[3] = {0, 0, 0};
  int digits[3] = {0, 0, 0};
  int index = 0;
  for (char c : token) {
    if (c == '/') {
      if (++index > 2) return kNoDate;
    } else if (c >= '0' && c <= '9') {
      if (++digits[index] > 4) return kNoDate;
      parts[index] = parts[index] * 10 + (c - '0');
    } else {
      return kNoDate;
    }
  }
  if (index != 2 || digits[0] == 0 || digits[0] > 2 || digits[1] == 0 || digits[1] > 2 ||
      (digits[2] != 2 && digits[2] != 4)) {
    return kNoDate;
  }
  const int year = digits[2] == 2 ? 2000 + parts[2] : parts[2];
  TDateTime date;
  return TryEncodeDate(year, parts[1], parts[0], date) ? date : kNoDate;
}

// Splits off the next token; tokens are separated by runs of spaces.
std::string_view NextToken(std::string_view& rest, std::string_view separators = " ") {
  const size_t start = rest.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    rest = {};
    return {};
  }
  rest.remove_prefix(start);
  const size_t end = rest.find_first_of(separators);
  const std::string_view token = rest.substr(0, end);
  rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
  return token;
}

}  // namespace

uint32_t UsageGradient(int64_t a) {
  if (a >= 130) return Rgb(0, 225, 0);
  if (a > 100) return Rgb(0, static_cast<unsigned>(355 - a), 0);
  if (a > 94) return Rgb(static_cast<unsigned>((100 - a) * 255 / 5), 255, 0);
  if (a > 80) {
    return Rgb(255, static_cast<unsigned>(RoundHalfEven((a - 80) / 15.0L * 255)), 0);
  }
  return Rgb(255, 0, 0);
}

int ParseUsageLine(std::string_view line, TDateTime now, TUsageRecord& r, bool modernColours) {
  r = TUsageRecord{};
  if (line.empty() || !(line[0] == '-' || (line[0] >= '0' && line[0] <= '9'))) return kUsageNothing;
  std::string_view rest = line;

  const auto used = ParseFloat(NextToken(rest));
  if (!used || std::fabs(*used) > 30000000.0L) return kUsageNothing;
  r.UsedMB = *used < 0 ? Money() : Money::FromLongDouble(*used);

  const auto quota = ParseInt32(NextToken(rest));
  r.QuotaMB = Money::FromWhole(quota ? *quota : -1);
  if (r.QuotaMB < Money()) return kUsageUsedOnly;
  if (r.QuotaMB == Money()) {
    r.PercentLeft = Money::FromWhole(101);
  } else {
    r.PercentLeft = Money::FromLongDouble((r.QuotaMB - r.UsedMB).ToLongDouble() * 100 /
                                          r.QuotaMB.ToLongDouble());
    if (r.PercentLeft < Money()) r.PercentLeft = Money();
  }

  const TDateTime rollover = ParseDate(NextToken(rest));
  if (rollover == kNoDate || DecodeDate(rollover).day >= 29) return kUsageWithQuota;
  r.Rollover = rollover;
  r.DaysLeft = rollover - now;
  const DateParts rp = DecodeDate(rollover);
  r.PeriodDays = rp.month == 1 ? DaysInMonth(rp.year - 1, 12) : DaysInMonth(rp.year, rp.month - 1);
  const long double pd = static_cast<long double>(r.DaysLeft) * 100 / r.PeriodDays;
  long double ratio;
  if (r.QuotaMB == Money()) {
    ratio = 1.0L;
  } else if (r.UsedMB > r.QuotaMB) {
    ratio = 0.1L;
  } else if (pd <= 0.01L) {
    ratio = 2.0L;
  } else {
    ratio = r.PercentLeft.ToLongDouble() / pd;
  }
  if (ratio >= 1) {
    r.BarColour = kGreen;
  } else if (ratio > 0.9L) {
    r.BarColour = kYellow;
  } else {
    r.BarColour = kRed;
  }
  if (modernColours && ratio > 0.8L) r.BarColour = UsageGradient(RoundHalfEven(ratio * 100));

  const auto excess = ParseFloat(NextToken(rest, " \r\n"));
  r.ExcessRate = excess ? Money::FromLongDouble(*excess) : Money::FromWhole(-1);
  if (r.ExcessRate < Money()) return kUsageWithRollover;
  if (r.QuotaMB != Money() && r.UsedMB > r.QuotaMB) {
    r.PercentLeft = Money::FromWhole(r.ExcessRate > Money() ? -2 : -3);
  }
  return kUsageAll;
}

}  // namespace qgm

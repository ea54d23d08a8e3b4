#include "core/util/Money.h"

#include <cmath>
#include <limits>

namespace qgm {

int64_t RoundHalfEven(long double value) {
  if (std::isnan(value)) return 0;
  constexpr long double kMax = 9223372036854775807.0L;
  if (value >= kMax) return std::numeric_limits<int64_t>::max();
  if (value <= -kMax) return std::numeric_limits<int64_t>::min();
  const long double floor = std::floor(value);
  const long double diff = value - floor;
  auto result = static_cast<int64_t>(floor);
  if (diff > 0.5L || (diff == 0.5L && (result % 2 != 0))) ++result;
  return result;
}

Money Money::FromLongDouble(long double value) {
  return FromUnits(RoundHalfEven(value * kScale));
}

int64_t Money::RoundToWhole() const {
  int64_t whole = units_ / kScale;
  int64_t rest = units_ % kScale;  // same sign as units_
  if (rest > kScale / 2 || (rest == kScale / 2 && whole % 2 != 0)) ++whole;
  if (rest < -kScale / 2 || (rest == -kScale / 2 && whole % 2 != 0)) --whole;
  return whole;
}

std::optional<Money> Money::Parse(std::string_view text) {
  auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  constexpr int64_t kLimit = std::numeric_limits<int64_t>::max() / 10 - 10;
  int64_t units = 0;
  int decimals = -1;  // -1 while in the integer part
  bool anyDigit = false;
  int roundDigit = -1;      // the fifth decimal, decides rounding
  bool stickyRest = false;  // any non-zero digit after the fifth
  for (char c : text) {
    if (c == '.') {
      if (decimals >= 0) return std::nullopt;
      decimals = 0;
      continue;
    }
    if (c < '0' || c > '9') return std::nullopt;
    anyDigit = true;
    if (decimals < 4) {
      if (units > kLimit) return std::nullopt;
      units = units * 10 + (c - '0');
      if (decimals >= 0) ++decimals;
    } else if (roundDigit < 0) {
      roundDigit = c - '0';
    } else if (c != '0') {
      stickyRest = true;
    }
  }
  if (!anyDigit) return std::nullopt;
  for (int d = decimals < 0 ? 0 : decimals; d < 4; ++d) {
    if (units > kLimit) return std::nullopt;
    units *= 10;
  }
  if (roundDigit > 5 || (roundDigit == 5 && (stickyRest || units % 2 != 0))) ++units;
  return FromUnits(negative ? -units : units);
}

}  // namespace qgm

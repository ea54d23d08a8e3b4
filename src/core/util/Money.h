#pragma once
// Fixed-point amounts with four decimal places: megabytes and money.

#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qgm {

class Money {
 public:
  static constexpr int64_t kScale = 10000;

  constexpr Money() = default;
  static constexpr Money FromUnits(int64_t units) {
    Money m;
    m.units_ = units;
    return m;
  }
  static constexpr Money FromWhole(int64_t whole) { return FromUnits(whole * kScale); }
  // Rounds to the nearest ten-thousandth, halves to even; values beyond the
  // 64-bit range saturate.
  static Money FromLongDouble(long double value);
  // A decimal number such as "-12.34567" (blanks around it allowed); digits
  // beyond the fourth decimal round to the nearest unit, halves to even.
  static std::optional<Money> Parse(std::string_view text);

  constexpr int64_t Units() const { return units_; }
  long double ToLongDouble() const { return static_cast<long double>(units_) / kScale; }
  // The nearest whole number, halves to the even neighbour.
  int64_t RoundToWhole() const;

  constexpr Money operator-() const { return FromUnits(-units_); }
  // Sums and differences saturate at the 64-bit range, as parsing does,
  // so long columns of figures from a file cannot overflow.
  constexpr Money operator+(Money o) const {
    int64_t r = 0;
    if (__builtin_add_overflow(units_, o.units_, &r))
      return FromUnits(o.units_ > 0 ? INT64_MAX : INT64_MIN);
    return FromUnits(r);
  }
  constexpr Money operator-(Money o) const {
    int64_t r = 0;
    if (__builtin_sub_overflow(units_, o.units_, &r))
      return FromUnits(o.units_ < 0 ? INT64_MAX : INT64_MIN);
    return FromUnits(r);
  }
  Money operator*(long double factor) const { return FromLongDouble(ToLongDouble() * factor); }
  Money operator/(long double divisor) const { return FromLongDouble(ToLongDouble() / divisor); }
  Money& operator+=(Money o) { return *this = *this + o; }
  Money& operator-=(Money o) { return *this = *this - o; }
  constexpr auto operator<=>(const Money&) const = default;

 private:
  int64_t units_ = 0;
};

// Rounds to the nearest whole number with halves to the even neighbour.
int64_t RoundHalfEven(long double value);

}  // namespace qgm

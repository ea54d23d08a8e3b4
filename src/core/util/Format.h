#pragma once
// The program's format strings: %s text, %d integer, %x hexadecimal, %f
// fixed, %n fixed with thousands separators, %m money in the locale's
// currency format, with width and precision ("%1.2n", "%4.4d"), "-" for left
// alignment, "*" taking a width or precision from the next argument, and "%%".

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "core/util/Money.h"

namespace qgm {

class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Number and currency conventions. Decimal separator and date separator are
// fixed by the program; the thousands separator and the currency format come
// from the user's locale.
struct TFormatSettings {
  std::string ThousandSeparator = ",";  // 8-bit text
  std::string CurrencyString = "$";     // 8-bit text
  // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
  int CurrencyFormat = 0;
  // 0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 5 "-1$", 8 "-1 $", 9 "-$ 1", 14 "($ 1)", 15 "(1 $)"
  int NegCurrFormat = 1;
  int CurrencyDecimals = 2;
};

// The process-wide settings used by Format.
TFormatSettings& FormatSettings();
// Fills the process-wide settings from the user's locale (LC_NUMERIC and
// LC_MONETARY as set by setlocale(LC_ALL, "")): "," when the locale has no
// thousands separator, "$" with two decimals when it has no currency.
void LoadFormatSettingsFromLocale();
// The settings a locale's conventions give, for tests and for the above.
TFormatSettings FormatSettingsFromLocale(const char* localeName);

class FormatArg {
 public:
  template <typename T>
  requires std::is_integral_v<T> &&
      (!std::is_same_v<T, bool>)&&(!std::is_same_v<T, char>)FormatArg(T v)
      : value_(static_cast<int64_t>(v)) {}
  FormatArg(double v) : value_(static_cast<long double>(v)) {}
  FormatArg(long double v) : value_(v) {}
  FormatArg(Money v) : value_(v) {}
  FormatArg(const char* v) : value_(std::string_view(v)) {}
  FormatArg(std::string_view v) : value_(v) {}
  FormatArg(const std::string& v) : value_(std::string_view(v)) {}

  const std::variant<int64_t, long double, Money, std::string_view>& Value() const {
    return value_;
  }

 private:
  std::variant<int64_t, long double, Money, std::string_view> value_;
};

// Throws EConvertError for a malformed format, a missing argument or an
// argument of the wrong kind.
std::string Format(std::string_view format, std::initializer_list<FormatArg> args);
std::string Format(std::string_view format, std::initializer_list<FormatArg> args,
                   const TFormatSettings& settings);

}  // namespace qgm

#include "core/util/Format.h"

#include <locale.h>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "core/util/CodePage.h"

namespace qgm {
namespace {

constexpr const char* kPositiveCurrency[4] = {"$1", "1$", "$ 1", "1 $"};
constexpr const char* kNegativeCurrency[16] = {"($1)", "-$1",  "$-1",   "$1-",  "(1$)", "-1$",
                                               "1-$",  "1$-",  "-1 $",  "-$ 1", "1 $-", "$ 1-",
                                               "$ -1", "1- $", "($ 1)", "(1 $)"};

[[noreturn]] void Invalid(std::string_view format) {
  throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

// A non-negative decimal number as its integer digits and fraction digits.
struct Decimal {
  bool negative = false;
  std::string integer;   // at least one digit
  std::string fraction;  // exactly the requested precision
};

bool AllZero(const Decimal& d) {
  return d.integer.find_first_not_of('0') == std::string::npos &&
         d.fraction.find_first_not_of('0') == std::string::npos;
}

// Adds one unit in the last place of a digit string; returns the carry.
bool Increment(std::string& digits) {
  for (size_t i = digits.size(); i-- > 0;) {
    if (digits[i] == '9') {
      digits[i] = '0';
    } else {
      ++digits[i];
      return false;
    }
  }
  return true;
}

// Rounds a digit string with `pointPos` integer digits (may be negative or
// beyond its length) to `prec` decimals, halves away from zero.
Decimal RoundDigits(bool negative, const std::string& digits, int pointPos, int prec) {
  Decimal d;
  d.negative = negative;
  const int keep = pointPos + prec;  // digits kept from `digits`
  std::string kept;
  if (keep > 0) {
    kept = digits.substr(0, static_cast<size_t>(keep) < digits.size() ? keep : digits.size());
    if (static_cast<int>(kept.size()) < keep) kept.append(keep - kept.size(), '0');
  }
  if (keep >= 0 && static_cast<size_t>(keep) < digits.size() && digits[keep] >= '5') {
    if (kept.empty() || Increment(kept)) {
      kept.insert(kept.begin(), '1');
      ++pointPos;
    }
  }
  // kept now holds pointPos integer digits followed by prec decimals (when
  // pointPos is negative or zero, only decimals; pad them on the left).
  const int intDigits = pointPos;
  if (intDigits > 0) {
    d.integer = kept.substr(0, intDigits);
    d.fraction = kept.substr(intDigits);
  } else {
    d.integer = "0";
    std::string frac(static_cast<size_t>(-intDigits), '0');
    frac += kept;
    d.fraction = frac.substr(0, prec);
  }
  if (static_cast<int>(d.fraction.size()) < prec) d.fraction.append(prec - d.fraction.size(), '0');
  d.integer.erase(0, std::min(d.integer.find_first_not_of('0'), d.integer.size() - 1));
  if (AllZero(d)) d.negative = false;
  return d;
}

Decimal ToDecimal(long double v, int prec) {
  if (v != v) return Decimal{false, "0", std::string(prec, '0')};
  const bool negative = v < 0;
  if (negative) v = -v;
  if (v == 0) return Decimal{false, "0", std::string(prec, '0')};
  // 18 significant digits of the extended value, then decimal rounding with
  // halves away from zero, so 0.125 gives "0.13" with two decimals.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17Le", v);
  std::string digits;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') digits += *p;
  }
  const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
  return RoundDigits(negative, digits, exponent + 1, prec);
}

Decimal ToDecimal(Money m, int prec) {
  const bool negative = m.Units() < 0;
  // Work on the magnitude as unsigned so the minimum value does not overflow.
  const unsigned long long mag = negative ? 0ull - static_cast<unsigned long long>(m.Units())
                                          : static_cast<unsigned long long>(m.Units());
  std::string digits = std::to_string(mag);
  if (digits.size() < 5) digits.insert(0, 5 - digits.size(), '0');
  const int pointPos = static_cast<int>(digits.size()) - 4;
  return RoundDigits(negative, digits, pointPos, prec);
}

Decimal ToDecimal(int64_t v, int prec) {
  const bool negative = v < 0;
  const unsigned long long mag =
      negative ? 0ull - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
  const std::string digits = std::to_string(mag);
  return RoundDigits(negative, digits, static_cast<int>(digits.size()), prec);
}

std::string Group(const std::string& integer, const std::string& sep) {
  std::string out;
  const size_t n = integer.size();
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += sep;
    out += integer[i];
  }
  return out;
}

std::string Join(const Decimal& d, const std::string& thousands) {
  std::string out = thousands.empty() ? d.integer : Group(d.integer, thousands);
  if (!d.fraction.empty()) out += "." + d.fraction;
  return out;
}

std::string ApplyCurrency(const Decimal& d, const TFormatSettings& s) {
  const std::string number = Join(d, s.ThousandSeparator);
  const int idx = d.negative ? s.NegCurrFormat : s.CurrencyFormat;
  const char* pattern = d.negative ? kNegativeCurrency[(idx >= 0 && idx < 16) ? idx : 1]
                                   : kPositiveCurrency[(idx >= 0 && idx < 4) ? idx : 0];
  std::string out;
  for (const char* p = pattern; *p; ++p) {
    if (*p == '$')
      out += s.CurrencyString;
    else if (*p == '1')
      out += number;
    else
      out += *p;
  }
  return out;
}

std::string FormatInteger(int64_t v, int prec, bool hex) {
  std::string digits;
  bool negative = false;
  if (hex) {
    char buf[32];
    // Negative 32-bit values print as their 32-bit two's complement.
    const unsigned long long bits =
        (v < 0 && v >= INT32_MIN) ? static_cast<uint32_t>(v) : static_cast<unsigned long long>(v);
    std::snprintf(buf, sizeof buf, "%llX", bits);
    digits = buf;
  } else {
    negative = v < 0;
    const unsigned long long mag =
        negative ? 0ull - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    digits = std::to_string(mag);
  }
  if (prec > static_cast<int>(digits.size())) digits.insert(0, prec - digits.size(), '0');
  return negative ? "-" + digits : digits;
}

}  // namespace

TFormatSettings& FormatSettings() {
  static TFormatSettings settings;
  return settings;
}

TFormatSettings FormatSettingsFromLocale(const char* localeName) {
  TFormatSettings s;
  locale_t loc =
      newlocale(LC_NUMERIC_MASK | LC_MONETARY_MASK, localeName, static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return s;
  const locale_t old = uselocale(loc);
  const lconv* lc = localeconv();
  auto to1252 = [](const char* utf8) {
    std::string text = Utf8ToCp1252(utf8 ? utf8 : "");
    // Narrow no-break spaces (not in the code page) become no-break spaces.
    if (text == "?") text = "\xA0";
    return text;
  };
  const std::string thousands = to1252(lc->thousands_sep);
  if (!thousands.empty()) s.ThousandSeparator = thousands;
  const std::string currency = to1252(lc->currency_symbol);
  if (!currency.empty()) {
    s.CurrencyString = currency;
    if (lc->frac_digits != CHAR_MAX) s.CurrencyDecimals = lc->frac_digits;
    const bool sep = lc->p_sep_by_space == 1 || lc->p_sep_by_space == 2;
    s.CurrencyFormat = lc->p_cs_precedes ? (sep ? 2 : 0) : (sep ? 3 : 1);
    const bool nsep = lc->n_sep_by_space == 1 || lc->n_sep_by_space == 2;
    const bool npre = lc->n_cs_precedes == 1;
    switch (lc->n_sign_posn) {
      case 0:  // parentheses
        s.NegCurrFormat = npre ? (nsep ? 14 : 0) : (nsep ? 15 : 4);
        break;
      case 2:  // sign after the value and currency
        s.NegCurrFormat = npre ? (nsep ? 11 : 3) : (nsep ? 10 : 7);
        break;
      case 4:  // sign right after the currency symbol
        s.NegCurrFormat = npre ? (nsep ? 12 : 2) : (nsep ? 10 : 7);
        break;
      default:  // sign first
        s.NegCurrFormat = npre ? (nsep ? 9 : 1) : (nsep ? 8 : 5);
        break;
    }
  }
  uselocale(old);
  freelocale(loc);
  return s;
}

void LoadFormatSettingsFromLocale() {
  FormatSettings() = FormatSettingsFromLocale("");
}

std::string Format(std::string_view format, std::initializer_list<FormatArg> args) {
  return Format(format, args, FormatSettings());
}

std::string Format(std::string_view format, std::initializer_list<FormatArg> args,
                   const TFormatSettings& settings) {
  std::string out;
  const FormatArg* next = args.begin();
  auto take = [&]() -> const FormatArg& {
    if (next == args.end())
      throw EConvertError("No argument for format '" + std::string(format) + "'");
    return *next++;
  };
  auto takeInt = [&]() -> int {
    const auto& v = take().Value();
    if (!std::holds_alternative<int64_t>(v)) Invalid(format);
    return static_cast<int>(std::get<int64_t>(v));
  };

  size_t i = 0;
  while (i < format.size()) {
    const char c = format[i++];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i >= format.size()) Invalid(format);
    if (format[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    // Optional argument index "n:".
    size_t j = i;
    while (j < format.size() && format[j] >= '0' && format[j] <= '9') ++j;
    if (j < format.size() && format[j] == ':' && j > i) {
      const size_t index = std::strtoul(std::string(format.substr(i, j - i)).c_str(), nullptr, 10);
      if (index >= args.size())
        throw EConvertError("No argument for format '" + std::string(format) + "'");
      next = args.begin() + index;
      i = j + 1;
    }
    bool left = false;
    if (i < format.size() && format[i] == '-') {
      left = true;
      ++i;
    }
    auto readNumber = [&]() -> int {
      if (i < format.size() && format[i] == '*') {
        ++i;
        return takeInt();
      }
      int n = -1;
      while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
        n = (n < 0 ? 0 : n) * 10 + (format[i++] - '0');
        if (n > 100000) Invalid(format);
      }
      return n;
    };
    int width = readNumber();
    if (width < 0) width = 0;
    int prec = -1;
    if (i < format.size() && format[i] == '.') {
      ++i;
      prec = readNumber();
      if (prec < 0) prec = 0;
    }
    if (prec > 1000) Invalid(format);
    if (i >= format.size()) Invalid(format);
    const char type = static_cast<char>(format[i] | 0x20);
    ++i;

    const auto& value = take().Value();
    std::string field;
    auto asLongDouble = [&]() -> long double {
      if (auto* f = std::get_if<long double>(&value)) return *f;
      if (auto* n = std::get_if<int64_t>(&value)) return static_cast<long double>(*n);
      if (auto* m = std::get_if<Money>(&value)) return m->ToLongDouble();
      Invalid(format);
    };
    auto decimal = [&](int defaultPrec) -> Decimal {
      const int p = prec < 0 ? defaultPrec : prec;
      if (auto* m = std::get_if<Money>(&value)) return ToDecimal(*m, p);
      if (auto* n = std::get_if<int64_t>(&value)) return ToDecimal(*n, p);
      return ToDecimal(asLongDouble(), p);
    };
    switch (type) {
      case 'd':
      case 'x': {
        const auto* n = std::get_if<int64_t>(&value);
        if (!n) Invalid(format);
        field = FormatInteger(*n, prec, type == 'x');
        break;
      }
      case 's': {
        const auto* s = std::get_if<std::string_view>(&value);
        if (!s) Invalid(format);
        field = prec >= 0 && static_cast<size_t>(prec) < s->size() ? s->substr(0, prec) : *s;
        break;
      }
      case 'f':
      case 'n': {
        const Decimal d = decimal(2);
        field = (d.negative ? "-" : "") + Join(d, type == 'n' ? settings.ThousandSeparator : "");
        break;
      }
      case 'm':
        field = ApplyCurrency(decimal(settings.CurrencyDecimals), settings);
        break;
      default:
        Invalid(format);
    }
    if (static_cast<int>(field.size()) < width) {
      const std::string pad(width - field.size(), ' ');
      field = left ? field + pad : pad + field;
    }
    out += field;
  }
  return out;
}

}  // namespace qgm

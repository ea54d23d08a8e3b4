#include "core/util/Format.h"

#include <gtest/gtest.h>

namespace qgm {
namespace {

TEST(Format, IntegersAndText) {
  EXPECT_EQ(Format("%d MB", {42}), "42 MB");
  EXPECT_EQ(Format("%4.4d", {7}), "0007");
  EXPECT_EQ(Format("%4.4d", {-12}), "-0012");
  EXPECT_EQ(Format("[%5d|%-5d]", {12, 34}), "[   12|34   ]");
  EXPECT_EQ(Format("%x %x", {255, 0x352441C2}), "FF 352441C2");
  EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
  EXPECT_EQ(Format("%s=%s", {"a", std::string("b")}), "a=b");
  EXPECT_EQ(Format("%.3s|%6s", {"abcdef", "ab"}), "abc|    ab");
  EXPECT_EQ(Format("100%%", {}), "100%");
  EXPECT_EQ(Format("%1:s %0:s", {"a", "b"}), "b a");
}

TEST(Format, FixedPointRoundsHalvesAwayFromZero) {
  EXPECT_EQ(Format("%f", {1.0}), "1.00");
  EXPECT_EQ(Format("%1.0f", {2.5}), "3");
  EXPECT_EQ(Format("%1.2f", {0.125}), "0.13");
  EXPECT_EQ(Format("%1.2f", {-0.125}), "-0.13");
  EXPECT_EQ(Format("%1.3f", {1234.5675}), "1234.568");  // decided on 18 digits
  EXPECT_EQ(Format("%1.2f", {-0.001}), "0.00");         // no "-0.00"
  EXPECT_EQ(Format("%1.1f", {99.96}), "100.0");
  EXPECT_EQ(Format("%1.3f", {0.0004}), "0.000");
  EXPECT_EQ(Format("%1.3f", {0.0005}), "0.001");
  EXPECT_EQ(Format("%8.1f", {-3.14159}), "    -3.1");
  EXPECT_EQ(Format("%1.2f", {7}), "7.00");
  EXPECT_EQ(Format("%1.2f", {1e20}), "100000000000000000000.00");
}

TEST(Format, MoneyFormatsExactly) {
  EXPECT_EQ(Format("%1.3f", {Money::FromUnits(12345675)}), "1234.568");
  EXPECT_EQ(Format("%1.3f", {Money::FromUnits(-12345675)}), "-1234.568");
  EXPECT_EQ(Format("%1.6f", {Money::FromUnits(1)}), "0.000100");
  EXPECT_EQ(Format("%1.0f", {Money::FromUnits(INT64_MIN)}), "-922337203685478");
}

TEST(Format, ThousandsAndStarPrecision) {
  TFormatSettings s;
  EXPECT_EQ(Format("%1.0n MB", {1234567.0}, s), "1,234,567 MB");
  EXPECT_EQ(Format("%1.2n", {-1234.5}, s), "-1,234.50");
  EXPECT_EQ(Format("%1.*n", {1, 999.95}, s), "1,000.0");
  EXPECT_EQ(Format("%1.0n", {123.0}, s), "123");
  s.ThousandSeparator = ".";
  EXPECT_EQ(Format("%1.0n", {Money::FromWhole(1000000)}, s), "1.000.000");
  EXPECT_EQ(Format("%*.*f", {8, 1, 2.25}, s), "     2.3");
}

TEST(Format, CurrencyPatterns) {
  TFormatSettings s;  // "$" with two decimals when the locale has none
  EXPECT_EQ(Format("%m", {Money::FromUnits(12345000)}, s), "$1,234.50");
  EXPECT_EQ(Format("%m", {-5.0}, s), "-$5.00");
  EXPECT_EQ(Format("%1.0m", {5.5}, s), "$6");
  s.CurrencyString = "\x80";  // the euro sign in the program's code page
  s.CurrencyFormat = 3;
  s.NegCurrFormat = 8;
  s.ThousandSeparator = "\xA0";
  EXPECT_EQ(Format("%m", {1234.5}, s),
            "1\xA0"
            "234.50 \x80");
  EXPECT_EQ(Format("%m", {-1.0}, s), "-1.00 \x80");
  s.NegCurrFormat = 0;
  EXPECT_EQ(Format("%m", {-1.0}, s),
            "(\x80"
            "1.00)");
}

TEST(Format, LocaleWithoutConventionsGivesTheDefaults) {
  const TFormatSettings c = FormatSettingsFromLocale("C");
  EXPECT_EQ(c.ThousandSeparator, ",");
  EXPECT_EQ(c.CurrencyString, "$");
  EXPECT_EQ(c.CurrencyDecimals, 2);
  const TFormatSettings missing = FormatSettingsFromLocale("xx_NOPE.UTF-8");
  EXPECT_EQ(missing.ThousandSeparator, ",");
}

TEST(Format, ErrorsRaiseConvertError) {
  EXPECT_THROW(Format("%d", {}), EConvertError);
  EXPECT_THROW(Format("%d", {"text"}), EConvertError);
  EXPECT_THROW(Format("%s", {3}), EConvertError);
  EXPECT_THROW(Format("%q", {3}), EConvertError);
  EXPECT_THROW(Format("50%", {}), EConvertError);
  EXPECT_THROW(Format("%d", {1.5}), EConvertError);
  try {
    Format("%d", {"x"});
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Format '%d' invalid or incompatible with argument");
  }
}

}  // namespace
}  // namespace qgm

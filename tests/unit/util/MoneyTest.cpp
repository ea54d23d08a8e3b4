#include "core/util/Money.h"

#include <gtest/gtest.h>

namespace qgm {
namespace {

TEST(Money, ConversionRoundsToTheNearestUnitHalvesToEven) {
  EXPECT_EQ(Money::FromLongDouble(1.23456L).Units(), 12346);
  // 0.03125 and 0.09375 are exact in binary: 312.5 and 937.5 units.
  EXPECT_EQ(Money::FromLongDouble(0.03125L).Units(), 312);
  EXPECT_EQ(Money::FromLongDouble(0.09375L).Units(), 938);
  EXPECT_EQ(Money::FromLongDouble(-0.09375L).Units(), -938);
  EXPECT_EQ(Money::FromLongDouble(1e30L).Units(), INT64_MAX);  // saturates
}

TEST(Money, WholeNumbersTakeTheEvenNeighbour) {
  EXPECT_EQ(Money::FromUnits(25000).RoundToWhole(), 2);
  EXPECT_EQ(Money::FromUnits(35000).RoundToWhole(), 4);
  EXPECT_EQ(Money::FromUnits(25001).RoundToWhole(), 3);
  EXPECT_EQ(Money::FromUnits(-25000).RoundToWhole(), -2);
  EXPECT_EQ(Money::FromUnits(-35000).RoundToWhole(), -4);
  EXPECT_EQ(RoundHalfEven(2.5L), 2);
  EXPECT_EQ(RoundHalfEven(-0.5L), 0);
  EXPECT_EQ(RoundHalfEven(1.5000001L), 2);
}

TEST(Money, ArithmeticIsExactForSumsAndRoundedForProducts) {
  const Money a = Money::FromUnits(10001);
  const Money b = Money::FromUnits(-1);
  EXPECT_EQ((a + b).Units(), 10000);
  EXPECT_EQ((a - b).Units(), 10002);
  EXPECT_EQ((Money::FromWhole(10) / 3).Units(), 33333);
  EXPECT_EQ((Money::FromWhole(2) * 0.00005L).Units(), 1);
  EXPECT_LT(b, a);
}

TEST(Money, Parse) {
  EXPECT_EQ(Money::Parse(" 1234.568 ")->Units(), 12345680);
  EXPECT_EQ(Money::Parse("-0.5")->Units(), -5000);
  EXPECT_EQ(Money::Parse("7")->Units(), 70000);
  EXPECT_EQ(Money::Parse(".25")->Units(), 2500);
  EXPECT_EQ(Money::Parse("0.00005")->Units(), 0);  // half to even
  EXPECT_EQ(Money::Parse("0.00015")->Units(), 2);
  EXPECT_EQ(Money::Parse("0.000050001")->Units(), 1);  // above half
  EXPECT_FALSE(Money::Parse(""));
  EXPECT_FALSE(Money::Parse("1.2.3"));
  EXPECT_FALSE(Money::Parse("12a"));
  EXPECT_FALSE(Money::Parse("-"));
  EXPECT_FALSE(Money::Parse("99999999999999999999"));
}

}  // namespace
}  // namespace qgm

namespace qgm {
namespace {

TEST(MoneySaturation, SumsAndDifferencesStopAtTheRange) {
  const Money top = Money::FromUnits(INT64_MAX), bottom = Money::FromUnits(INT64_MIN);
  EXPECT_EQ(top + Money::FromUnits(1), top);
  EXPECT_EQ(bottom + Money::FromUnits(-1), bottom);
  EXPECT_EQ(bottom - Money::FromUnits(1), bottom);
  EXPECT_EQ(top - Money::FromUnits(-1), top);
  EXPECT_EQ(Money::FromUnits(5) - Money::FromUnits(7), Money::FromUnits(-2));
  Money sum;
  for (int i = 0; i < 3; ++i) sum += Money::FromUnits(INT64_MAX / 2 + 1);
  EXPECT_EQ(sum, top);
}

}  // namespace
}  // namespace qgm

#include "core/util/Csv.h"

#include <gtest/gtest.h>

namespace qgm {
namespace {

using Fields = std::vector<std::string>;

TEST(SplitCsvLine, PlainAndQuotedFields) {
  Fields f;
  EXPECT_EQ(SplitCsvLine("2014-05-01, 1.5, 2, 3.5", 4, f), 4u);
  EXPECT_EQ(f, (Fields{"2014-05-01", " 1.5", " 2", " 3.5"}));  // blanks are kept
  EXPECT_EQ(SplitCsvLine("\"a,b\",\"say \"\"hi\"\"\",c", 6, f), 3u);
  EXPECT_EQ(f, (Fields{"a,b", "say \"hi\"", "c"}));
  EXPECT_EQ(SplitCsvLine("\"\",x", 6, f), 2u);
  EXPECT_EQ(f, (Fields{"", "x"}));
  // A quote that does not start the field is an ordinary character.
  EXPECT_EQ(SplitCsvLine("a\"b, \"c\"", 6, f), 2u);
  EXPECT_EQ(f, (Fields{"a\"b", " \"c\""}));
}

TEST(SplitCsvLine, EmptyLinesAndTrailingCommas) {
  Fields f;
  EXPECT_EQ(SplitCsvLine("", 4, f), 1u);
  EXPECT_EQ(f, (Fields{""}));
  EXPECT_EQ(SplitCsvLine("a,", 4, f), 2u);
  EXPECT_EQ(f, (Fields{"a", ""}));
  EXPECT_EQ(SplitCsvLine(",,", 4, f), 3u);
  EXPECT_EQ(f, (Fields{"", "", ""}));
}

TEST(SplitCsvLine, MoreFieldsThanTheMaximum) {
  Fields f;
  EXPECT_EQ(SplitCsvLine("1,2,3,4,5,6,7,8", 6, f), 7u);
  EXPECT_EQ(f, (Fields{"1", "2", "3", "4", "5", "6"}));
  EXPECT_EQ(SplitCsvLine("1,2,3,4,", 4, f), 5u);  // an empty fifth field still counts
  EXPECT_EQ(SplitCsvLine("1,2,3,4", 4, f), 4u);
}

TEST(SplitCsvLine, Failures) {
  Fields f;
  EXPECT_FALSE(SplitCsvLine("\"unclosed", 4, f));
  EXPECT_FALSE(SplitCsvLine("a,\"b", 4, f));
  EXPECT_FALSE(SplitCsvLine("\"a\"b,c", 4, f));  // closing quote followed by text
  EXPECT_FALSE(SplitCsvLine("\"a\" ,c", 4, f));  // ... or by a blank
  EXPECT_FALSE(SplitCsvLine("\"a\"\"", 4, f));   // doubled quote then the end
}

}  // namespace
}  // namespace qgm

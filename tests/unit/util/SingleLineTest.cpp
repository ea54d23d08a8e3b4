#include "core/util/SingleLine.h"

#include <gtest/gtest.h>

namespace qgm {
namespace {

TEST(SingleLine, ProblemsNameTheFieldAndTheCharacter) {
  EXPECT_EQ(LineBreakProblem("secret", "password"), "");
  EXPECT_EQ(LineBreakProblem("pw\r\nDELE 1", "password"), "The password holds a line break.");
  EXPECT_EQ(LineBreakProblem("pw\n", "user name"), "The user name holds a line break.");
  EXPECT_EQ(LineBreakProblem(std::string("pw\0x", 4), "password"),
            "The password holds a NUL character.");
  EXPECT_EQ(LineBreakProblem(u"a\rb", "proxy server"), "The proxy server holds a line break.");
  EXPECT_TRUE(HoldsLineBreak("a\rb"));
  EXPECT_FALSE(HoldsLineBreak("a\tb"));
  EXPECT_TRUE(HoldsLineBreak(std::u16string(u"a\0b", 3)));
}

TEST(SingleLine, APastedLineKeepsItsTextWithoutTheBreakAtItsEnd) {
  const TOneLineField pasted = CheckOneLineField(u"secret\r\n", "password");
  EXPECT_EQ(pasted.Text, u"secret");
  EXPECT_EQ(pasted.Problem, "");
  EXPECT_EQ(CheckOneLineField(u"secret\n\n", "password").Text, u"secret");
  EXPECT_EQ(CheckOneLineField(u"\r\n", "password").Text, u"");
  // Leading and inner breaks, and a NUL anywhere, are refused.
  for (const std::u16string& bad :
       {std::u16string(u"pw\r\nDELE 1"), std::u16string(u"\npw"), std::u16string(u"pw\0\n", 4)}) {
    const TOneLineField f = CheckOneLineField(bad, "password");
    EXPECT_FALSE(f.Problem.empty());
    EXPECT_EQ(f.Text, bad);
  }
  // Text without breaks stands as it is, spaces and all.
  EXPECT_EQ(CheckOneLineField(u" pass word ", "password").Text, u" pass word ");
}

}  // namespace
}  // namespace qgm

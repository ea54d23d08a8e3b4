#include "core/util/CodePage.h"

#include <gtest/gtest.h>

namespace qgm {
namespace {

TEST(CodePage, Windows1252RoundTripsEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::u16string wide = Widen1252(all);
  EXPECT_EQ(wide[0x80], u'\u20AC');
  EXPECT_EQ(wide[0x96], u'\u2013');
  EXPECT_EQ(wide[0x9F], u'\u0178');
  EXPECT_EQ(wide[0x81], u'\u0081');  // undefined bytes keep their value
  EXPECT_EQ(wide[0xE9], u'\u00E9');
  EXPECT_EQ(Narrow1252(wide), all);
}

TEST(CodePage, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(Narrow1252(u"a\u0100b\u4E2D"), "a?b?");
  // Codes 0x80..0x9F survive (a code stored without a code-page step).
  EXPECT_EQ(Narrow1252(std::u16string(1, char16_t{0x80})), "\x80");
}

TEST(CodePage, Utf8Conversions) {
  EXPECT_EQ(Utf16ToUtf8(u"caf\u00E9 \u20AC \U0001F600"),
            "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToUtf16("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"),
            u"caf\u00E9 \u20AC \U0001F600");
  // Malformed input: stray continuation, truncated sequence, overlong form.
  EXPECT_EQ(Utf8ToUtf16("a\x80"
                        "b"),
            u"a\uFFFDb");
  EXPECT_EQ(Utf8ToUtf16("a\xE2\x82"), u"a\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t{0xD800})), "\xEF\xBF\xBD");
  EXPECT_EQ(Cp1252ToUtf8("\x80 caf\xE9"), "\xE2\x82\xAC caf\xC3\xA9");
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC caf\xC3\xA9"), "\x80 caf\xE9");
}

// A password typed in a UTF-8 session and one typed in the code page reach
// the program as the same bytes; neither becomes "?".
TEST(CodePage, ArgumentsInEitherEncoding) {
  EXPECT_EQ(ArgumentTo1252("p\xC3\xA4ss"), "p\xE4ss");
  EXPECT_EQ(ArgumentTo1252("p\xE4ss"), "p\xE4ss");
  EXPECT_EQ(ArgumentTo1252("\xE2\x82\xAC"), "\x80");
  EXPECT_EQ(ArgumentTo1252("\x80uro"), "\x80uro");
  EXPECT_EQ(ArgumentTo1252("plain"), "plain");
}

}  // namespace
}  // namespace qgm

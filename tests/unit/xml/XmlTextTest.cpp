#include "core/xml/XmlText.h"

#include <gtest/gtest.h>

namespace qgm {
namespace {

TEST(DecodeXmlEntities, NamedAndNumericReferences) {
  struct Case {
    std::u16string_view in, out;
  };
  const Case cases[] = {
      {u"a &amp; b", u"a & b"},
      {u"&apos;&gt;&lt;&quot;", u"'><\""},
      {u"&#38;", u"&"},
      {u"&#x26;", u"&"},
      {u"&#X26;", u"&"},
      {u"&#65;", u"&#65;"},        // only 38 is decoded
      {u"&#0038;", u"&#0038;"},    // body longer than three characters
      {u"&amp;lt;", u"&lt;"},      // a produced "&" is not decoded again
      {u"&AMP;", u"&AMP;"},        // case-sensitive
      {u"&nbsp; &", u"&nbsp; &"},  // unknown names and a lone "&" stay
      {u"&#;&#x;&#xZZ;", u"&#;&#x;&#xZZ;"},
      {u"tail &#3", u"tail &#3"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DecodeXmlEntities(c.in), c.out) << std::string(c.in.begin(), c.in.end());
}

TEST(HtmlToText, LineBreaksParagraphsAndTags) {
  EXPECT_EQ(HtmlToText(u"a<br>b"), u"a\nb");
  EXPECT_EQ(HtmlToText(u"a<br/>b<br />c"), u"a\nb\nc");
  EXPECT_EQ(HtmlToText(u"a<bra>b"), u"ab");  // not a line break
  EXPECT_EQ(HtmlToText(u"a<br_x>b<p_>c<br1>d"), u"abcd");  // nor are names going on with "_"
  EXPECT_EQ(HtmlToText(u"a<BR>b"), u"ab");   // upper case is not recognised
  EXPECT_EQ(HtmlToText(u"<p>x"), u"x");      // nothing at the very start
  EXPECT_EQ(HtmlToText(u"<br>x"), u"x");
  EXPECT_EQ(HtmlToText(u"x<p class=\"a\">y</p>z"), u"x\nyz");  // end tags vanish
  EXPECT_EQ(HtmlToText(u"x<pre>y"), u"xy");
  EXPECT_EQ(HtmlToText(u"<b>bold</b> <i>it</i>"), u"bold it");
  EXPECT_EQ(HtmlToText(u"1 < 2"), u"1 < 2");  // an unclosed "<" stays
}

TEST(HtmlToText, WhitespaceRules) {
  EXPECT_EQ(HtmlToText(u"a  b   c"), u"a b c");
  EXPECT_EQ(HtmlToText(u"a\r\nb"), u"a\nb");
  EXPECT_EQ(HtmlToText(u"a\t\tb\n\nc"), u"a\t\tb\n\nc");  // tabs and line feeds stay
  EXPECT_EQ(HtmlToText(u"a <b> c"), u"a c");              // spaces meet once the tag is gone
}

TEST(HtmlToText, CharacterReferences) {
  EXPECT_EQ(HtmlToText(u"&#8364;"), u"\u20AC");
  EXPECT_EQ(HtmlToText(u"&#x20AC;"), u"\u20AC");
  EXPECT_EQ(HtmlToText(u"a&#150;b"), u"a\u2013b");  // through the code page
  EXPECT_EQ(HtmlToText(u"caf&#233;"), u"caf\u00E9");
  EXPECT_EQ(HtmlToText(u"a&#13;b"), u"ab");               // a produced CR is deleted
  EXPECT_EQ(HtmlToText(u"a &#32;b"), u"a b");             // a produced space collapses
  EXPECT_EQ(HtmlToText(u"&#0;x"), u"&#0;x");              // below 1: unchanged
  EXPECT_EQ(HtmlToText(u"&#12345678;"), u"&#12345678;");  // body too long: unchanged
  EXPECT_EQ(HtmlToText(u"&#00065;&#000066;"), u"A&#000066;");  // five digits at most
  EXPECT_EQ(HtmlToText(u"&#99999;"), u"\uFFFD");          // beyond 16 bits
  EXPECT_EQ(HtmlToText(u"&#38;lt;"), u"&lt;");            // not decoded again
  EXPECT_EQ(HtmlToText(u"x&#"), u"x&#");                  // too short to be a reference
}

TEST(HtmlToText, NamedEntities) {
  EXPECT_EQ(HtmlToText(u"a&nbsp;b"), u"a b");
  EXPECT_EQ(HtmlToText(u"a &nbsp;b"), u"a  b");  // the produced space is not examined again
  EXPECT_EQ(HtmlToText(u"&copy; &pound;5 &frac12;"), u"\u00A9 \u00A35 \u00BD");
  EXPECT_EQ(HtmlToText(u"&Eacute;&eacute;&THORN;&szlig;"), u"\u00C9\u00E9\u00DE\u00DF");
  EXPECT_EQ(HtmlToText(u"&euro;"), std::u16string(1, char16_t{128}));
  EXPECT_EQ(HtmlToText(u"&lt;b&gt;"), u"<b>");  // produced "<" is not a tag
  EXPECT_EQ(HtmlToText(u"&apos; &hellip; &amp"), u"&apos; &hellip; &amp");
}

}  // namespace
}  // namespace qgm

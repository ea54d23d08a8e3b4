#include "cli/XmlDump.h"

#include <gtest/gtest.h>

namespace qgm::cli {
namespace {

TEST(XmlDump, JsonStringEscapes) {
  EXPECT_EQ(JsonString(u"a\"b\\c\n\t\x01"), "\"a\\\"b\\\\c\\n\\t\\u0001\"");
  EXPECT_EQ(JsonString(u"\u20AC"), "\"\xE2\x82\xAC\"");
}

TEST(XmlDump, KindsAndIndent) {
  auto tree = BuildXmlTree(u"<!DOCTYPE d><r k='v'><![CDATA[c]]>t<e/></r>\n");
  EXPECT_EQ(DumpXmlTree(*tree),
            "other \"\"\n"
            "  other \"<!DOCTYPE d>\"\n"
            "  tag \"r\" k=\"v\"\n"
            "    cdata \"c\"\n"
            "    text \"t\"\n"
            "    tag \"e\"\n");
}

}  // namespace
}  // namespace qgm::cli

#include "core/xml/XmlParser.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/util/CodePage.h"
#include "core/util/CpuFeatures.h"

namespace qgm {
namespace {

std::string N(const TElement* e) {
  return e ? Utf16ToUtf8(e->Name()) : "<nil>";
}
std::string T(const TElement* e) {
  return Utf16ToUtf8(e->GetText());
}
std::unique_ptr<TXmlTree> Parse(std::string_view doc) {
  return BuildXmlTree1252(doc);
}

// Kinds and names of a node's children, e.g. "tag:a text:x".
std::string Shape(const TElement* e) {
  static const char* kinds[] = {"text", "tag", "cdata", "comment", "other"};
  std::string out;
  for (const TElement* c = e->FirstChild(); c; c = c->NextSibling()) {
    if (!out.empty()) out += ' ';
    out += kinds[static_cast<int>(c->Kind())];
    out += ':' + N(c);
  }
  return out;
}

// The whole tree below a node, attributes in brackets and children in
// parentheses, e.g. "tag:a[x=1](text:y)".
std::string Dump(const TElement* e) {
  std::string out;
  for (const TElement* c = e->FirstChild(); c; c = c->NextSibling()) {
    if (!out.empty()) out += ' ';
    static const char* kinds[] = {"text", "tag", "cdata", "comment", "other"};
    out += kinds[static_cast<int>(c->Kind())];
    out += ':' + N(c);
    if (c->AttribCount() > 0) {
      out += '[';
      for (const TAttrib* a = c->FirstAttrib(); a; a = a->Next()) {
        if (a != c->FirstAttrib()) out += ',';
        out += Utf16ToUtf8(a->Name()) + '=' + Utf16ToUtf8(a->Value());
      }
      out += ']';
    }
    if (c->ChildCount() > 0) out += '(' + Dump(c) + ')';
  }
  return out;
}

TEST(BuildXmlTree, EmptyDocumentRaises) {
  try {
    BuildXmlTree(u"");
    FAIL() << "no exception";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "BuildXmlTree - No document specified");
  }
  EXPECT_THROW(BuildXmlTree1252(""), std::invalid_argument);
}

TEST(BuildXmlTree, ShortDocumentsGiveOneEmptyTextNode) {
  for (const char* doc : {"abcd", "<a/>", "  x "}) {
    auto root = Parse(doc);
    ASSERT_EQ(root->ChildCount(), 1) << doc;
    EXPECT_EQ(root->GetChild(0)->Kind(), TElementKind::etText);
    EXPECT_TRUE(root->GetChild(0)->Name().empty());
  }
}

TEST(BuildXmlTree, TrailingWhitespaceAfterMarkupGivesAnEmptyTextNode) {
  auto root = Parse("<!-- only a comment -->\n\n");
  EXPECT_EQ(Shape(root.get()), "comment:<!-- only a comment --> text:");
}

// End tags against their element's name, for names up to and beyond eight
// characters, prefixes and near the end of the text.
TEST(BuildXmlTree, EndTagsMustRepeatTheWholeName) {
  EXPECT_EQ(Shape(Parse("<r><traffic>1</traffic><b/></r>\n")->GetChild(0)), "tag:traffic tag:b");
  EXPECT_EQ(Shape(Parse("<r><usagelist>1</usagelist><b/></r>\n")->GetChild(0)),
            "tag:usagelist tag:b");
  EXPECT_EQ(Shape(Parse("<r><abcdefgh>1</abcdefgh ><b/></r>\n")->GetChild(0)),
            "tag:abcdefgh tag:b");
  // A longer or shorter end tag ends the build inside the element.
  EXPECT_EQ(Shape(Parse("<r><traffic>1</traffics><b/></r>\n")->GetChild(0)), "tag:traffic");
  EXPECT_EQ(Shape(Parse("<r><traffic>1</traffi><b/></r>\n")->GetChild(0)), "tag:traffic");
  EXPECT_EQ(Shape(Parse("<r><traffic>1</Traffic><b/></r>\n")->GetChild(0)), "tag:traffic");
  EXPECT_EQ(Shape(Parse("<r><traffic>1</traffid><b/></r>\n")->GetChild(0)), "tag:traffic");
  EXPECT_EQ(Shape(Parse("<r><abcdefgh>1</abcdefgx><b/></r>\n")->GetChild(0)), "tag:abcdefgh");
  EXPECT_EQ(Shape(Parse("<r><a>1</ a><b/></r>\n")->GetChild(0)), "tag:a tag:b");
  // The closing name running into the end of the text.
  auto end = Parse("<r><a>1</a></r");
  EXPECT_EQ(Shape(end->GetChild(0)), "tag:a");
  EXPECT_EQ(T(end->GetChild(0)), "1");
}

// Whitespace runs of every length between markup, and bytes above 0x7F,
// which are never whitespace or name characters.
TEST(BuildXmlTree, WhitespaceRunsAndHighBytes) {
  for (size_t n = 0; n < 20; ++n) {
    const std::string ws(n, ' ');
    auto root = Parse("<r" + ws + (n ? "k='v'" : "") + ">" + ws + "<a>x\x80y</a>" + ws + "</r>\n");
    ASSERT_EQ(Shape(root->GetChild(0)), "tag:a") << n;
    EXPECT_EQ(root->GetChild(0)->AttribCount(), n ? 1 : 0);
    EXPECT_EQ(root->GetChild(0)->GetChild(0)->GetText(), u"x\u20ACy");
  }
  // A high byte after a tag name ends the build at that element.
  auto high = Parse("<r><a\xE9>1</a\xE9></r>\n");
  EXPECT_EQ(Shape(high->GetChild(0)), "tag:a");
  EXPECT_EQ(high->GetChild(0)->GetChild(0)->ChildCount(), 0);
}

// Every bound that counts back from the document's last character, one
// character inside and one outside it, read by both builds of the parser.
TEST(BuildXmlTree, BoundsAtTheEndOfTheDocument) {
  struct Case {
    const char* doc;
    const char* tree;
  };
  const Case cases[] = {
      // Other markup: its ">" must come before the last two characters.
      {"<?pi?>\n", "other:"},
      {"<?pi?>\n\n", "other:<?pi?> text:"},
      // Comment and CDATA terminators must start before the last four.
      {"<!-- note -->\n", "comment:"},
      {"<!-- note -->\n\n", "comment:<!-- note --> text:"},
      {"<![CDATA[abc]]>\n", "cdata: text:"},
      {"<![CDATA[abc]]>\n\n", "cdata:abc text:"},
      // A comment needs fourteen characters to the end of the document; a
      // text run at the end stops before the last character.
      {"<!--x-->abcde", "comment:"},
      {"<!--x-->abcdef", "comment:<!--x--> text:abcde"},
      {"<a/>tail end", "tag:a text:tail en"},
      // Content goes on only while more than three characters remain.
      {"<a><b/>xyz", "tag:a(tag:b)"},
      {"<a><b/>wxyz", "tag:a(tag:b text:)"},
      // Nothing after "=" ends the build before the attribute is stored.
      {"<a x=>", "tag:a"},
      {"<a x= >", "tag:a"},
      // A name or a quoted value running into the last character is empty.
      {"<abcde", "tag:"},
      {"<a x='vv'", "tag:a[x=]"},
      {"<a x = 'vv'", "tag:a[x=]"},
      {"<a x='vv'>", "tag:a[x=vv]"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Dump(BuildXmlTree(Widen1252(c.doc)).get()), c.tree) << c.doc;
    EXPECT_EQ(Dump(Parse(c.doc).get()), c.tree) << c.doc;
  }
}

TEST(BuildXmlTree, RootAndStructure) {
  auto root = Parse(
      "<?xml version=\"1.0\"?>\n<!-- usage reply -->\n"
      "<corvalink><api><a x='1' y=\"two\"/><b>text</b></api></corvalink>\n");
  EXPECT_EQ(root->Kind(), TElementKind::etOther);
  EXPECT_TRUE(root->Name().empty());
  EXPECT_EQ(root->Parent(), nullptr);
  EXPECT_EQ(root->Index(), 0);
  EXPECT_EQ(Shape(root.get()),
            "other:<?xml version=\"1.0\"?> comment:<!-- usage reply --> tag:corvalink");
  const TElement* api = FindPath(root.get(), {"corvalink", "api"});
  ASSERT_NE(api, nullptr);
  EXPECT_EQ(api->Parent(), root->GetChild(2));
  const TElement* a = api->GetChild(0);
  EXPECT_EQ(a->Index(), 0);
  EXPECT_EQ(a->NextSibling()->Index(), 1);
  EXPECT_EQ(a->NextSibling()->NextSibling(), nullptr);
  EXPECT_EQ(a->ChildCount(), 0);
  EXPECT_EQ(a->AttribCount(), 2);
  EXPECT_EQ(Utf16ToUtf8(a->FirstAttrib()->Value()), "1");
  EXPECT_EQ(Utf16ToUtf8(a->FirstAttrib()->Next()->Name()), "y");
  EXPECT_EQ(Utf16ToUtf8(a->FindAttrib("Y")->Value()), "two");
  EXPECT_EQ(api->GetChild(2), nullptr);
  EXPECT_EQ(api->GetChild(-1), nullptr);
  EXPECT_EQ(root->NextSibling(), nullptr);
}

TEST(BuildXmlTree, TextNodesKeepTrailingButNotLeadingWhitespace) {
  auto root = Parse("<r>\n  <a> x </a>\n  <b>\r\n</b>\n</r>\n");
  const TElement* r = root->FindChild("r");
  // Whitespace between tags makes no text node.
  EXPECT_EQ(Shape(r), "tag:a tag:b");
  EXPECT_EQ(Shape(r->FindChild("a")), "text:x ");
  EXPECT_EQ(r->FindChild("b")->ChildCount(), 0);
}

TEST(BuildXmlTree, GetTextJoinsElementsWithOneSpace) {
  auto root = Parse("<a>foo<b>bar</b><c>baz</c>tail</a>\n");
  const TElement* a = root->FindChild("a");
  EXPECT_EQ(T(a), "foo bar baztail");
  // Empty elements add no space; comments and other markup add nothing.
  auto root2 = Parse("<a><e/>x<e></e><!-- c --><?pi?><![CDATA[ y]]><f>z</f></a>\n");
  EXPECT_EQ(T(root2->FindChild("a")), "x y z");
  // A text node has no inner text of its own.
  EXPECT_EQ(T(root2->FindChild("a")->GetChild(1)), "");
}

TEST(BuildXmlTree, AttributeValuesStayUndecodedAndMayHoldTheOtherQuote) {
  auto root = Parse("<a v='&amp;' d=\"it's\" s='say \"hi\"' e=\"\"/>\n");
  const TElement* a = root->FindChild("a");
  EXPECT_EQ(Utf16ToUtf8(a->FindAttrib("v")->Value()), "&amp;");
  EXPECT_EQ(Utf16ToUtf8(a->FindAttrib("d")->Value()), "it's");
  EXPECT_EQ(Utf16ToUtf8(a->FindAttrib("s")->Value()), "say \"hi\"");
  EXPECT_EQ(a->FindAttrib("e")->Value(), u"");
  EXPECT_EQ(a->FindAttrib("missing"), nullptr);
}

TEST(BuildXmlTree, CDataCommentsAndOtherMarkup) {
  auto root = Parse("<!DOCTYPE x>\n<r><![CDATA[<not a tag> & ]]><!-- a -- b --><![CDATA[]]></r>\n");
  EXPECT_EQ(Shape(root.get()), "other:<!DOCTYPE x> tag:r");
  const TElement* r = root->FindChild("r");
  EXPECT_EQ(Shape(r), "cdata:<not a tag> &  comment:<!-- a -- b --> cdata:");
}

TEST(BuildXmlTree, EndTagMismatchStopsTheBuildButKeepsTheNode) {
  // The end tag must match case-sensitively; lookups ignore case.
  auto root = Parse("<r><A>x</a><after/></r>\n");
  const TElement* r = root->FindChild("r");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(Shape(r), "tag:A");
  EXPECT_EQ(N(r->FindChild("a")), "A");
  EXPECT_EQ(T(r->FindChild("a")), "x");
  EXPECT_EQ(root->ChildCount(), 1);
}

TEST(BuildXmlTree, UnquotedValueIsStoredEmptyAndEndsTheBuild) {
  auto root = Parse("<r><a x=1>text</a><b/></r>\n");
  const TElement* a = FindPath(root.get(), {"r", "a"});
  ASSERT_NE(a, nullptr);
  ASSERT_EQ(a->AttribCount(), 1);
  EXPECT_EQ(Utf16ToUtf8(a->FirstAttrib()->Name()), "x");
  EXPECT_TRUE(a->FirstAttrib()->Value().empty());
  EXPECT_EQ(a->ChildCount(), 0);
  EXPECT_EQ(FindPath(root.get(), {"r", "b"}), nullptr);
}

// Each malformed document keeps the nodes before the fault and nothing after.
TEST(BuildXmlTree, AbortCauses) {
  struct Case {
    const char* doc;
    const char* shapeOfR;  // children of <r>
  };
  const Case cases[] = {
      {"<r><a><b%/></a><c/></r>\n", "tag:a"},               // name followed by a bad character
      {"<r><a b/><c/></r>\n", "tag:a"},                     // attribute name without "="
      {"<r><a b=\"1><c/></r>\n", "tag:a"},                  // unclosed attribute value
      {"<r><a><!-- no end ></a><c/></r>\n", "tag:a"},       // comment without terminator
      {"<r><a><?pi never closed   \n", "tag:a"},            // other markup without ">"
      {"<r><a></b><c/></r>\n", "tag:a"},                    // wrong end tag
      {"<r><a></a <c/></r>\n", "tag:a"},                    // end tag without ">"
      {"<r><a><![FOO[x]]></a><c/></r>\n", "tag:a"},         // "<![" that is no CDATA
      {"<r><a>x<![CDATA[ no end </a><c/></r>\n", "tag:a"},  // CDATA without terminator
      {"<r><a>text", "tag:a"},                              // content runs into the end
  };
  for (const Case& c : cases) {
    auto root = Parse(c.doc);
    const TElement* r = root->FindChild("r");
    ASSERT_NE(r, nullptr) << c.doc;
    EXPECT_EQ(Shape(r), c.shapeOfR) << c.doc;
    EXPECT_EQ(FindPath(r, {"c"}), nullptr) << c.doc;
    EXPECT_EQ(root->ChildCount(), 1) << c.doc;
  }
}

TEST(BuildXmlTree, FailedNodesStayInTheTree) {
  auto root = Parse("<r><!-- never closed -></r>\n");
  const TElement* r = root->FindChild("r");
  ASSERT_EQ(r->ChildCount(), 1);
  EXPECT_EQ(r->GetChild(0)->Kind(), TElementKind::etComment);
  EXPECT_TRUE(r->GetChild(0)->Name().empty());
}

TEST(BuildXmlTree, TopLevelUnterminatedMarkupEndsTheBuild) {
  // Each of these must return (no endless loop) with a root holding the node.
  for (const char* doc : {"<![CDATA[ never closed at all", "<![CDATA[x", "<![ weird thing ]>",
                          "<!-- x", "<?pi never closed", "text only, no markup at all"}) {
    auto root = Parse(doc);
    EXPECT_GE(root->ChildCount(), 1) << doc;
  }
}

TEST(BuildXmlTree, NestingDepthIsBounded) {
  std::string deep;
  const int levels = kMaxXmlDepth + 50;
  for (int i = 0; i < levels; ++i) deep += "<a>";
  deep += "x";
  for (int i = 0; i < levels; ++i) deep += "</a>";
  deep += "\n";
  auto root = Parse(deep);
  int depth = 0;
  for (const TElement* e = root->FirstChild(); e && e->Kind() == TElementKind::etTag;
       e = e->FirstChild()) {
    ++depth;
  }
  EXPECT_EQ(depth, kMaxXmlDepth);
  // Within the bound the whole document is read.
  std::string ok;
  for (int i = 0; i < 100; ++i) ok += "<a>";
  ok += "x";
  for (int i = 0; i < 100; ++i) ok += "</a>";
  ok += "<b/>\n";
  EXPECT_NE(Parse(ok)->FindChild("b"), nullptr);
}

TEST(BuildXmlTree, TreeOwnsItsText) {
  std::u16string doc = u"<a k='v'>text</a>\n";
  auto root = BuildXmlTree(doc);
  doc.assign(doc.size(), u'#');
  EXPECT_EQ(T(root->FindChild("a")), "text");
  EXPECT_EQ(root->FindChild("a")->FindAttrib("k")->Value(), u"v");
}

TEST(BuildXmlTree, WidensThroughWindows1252) {
  auto root = Parse("<a>\x80 caf\xe9</a>\n");
  EXPECT_EQ(root->FindChild("a")->GetText(), u"\u20AC caf\u00E9");
}

TEST(XmlLookups, FindChildIgnoresAsciiCaseAndMatchesAnyKind) {
  auto root = Parse("<r><Item>1</Item><item>2</item>usage<x/></r>\n");
  const TElement* r = root->FindChild("R");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(T(r->FindChild("ITEM")), "1");
  EXPECT_EQ(T(r->FindChild("Item")->FindNextSibling("item")), "2");
  EXPECT_EQ(r->FindChild("x")->FindNextSibling("item"), nullptr);
  // A text child whose text equals the name is found too.
  EXPECT_EQ(r->FindChild("USAGE")->Kind(), TElementKind::etText);
  EXPECT_EQ(r->FindChild(u"usage")->Kind(), TElementKind::etText);
  // "<" followed by a non-ASCII letter is other markup, not an element.
  auto latin = Parse("<r><\xc9t/></r>\n");
  EXPECT_EQ(latin->FindChild("r")->GetChild(0)->Kind(), TElementKind::etOther);
}

TEST(XmlLookups, NameComparisonIsThroughTheCodePage) {
  // Non-ASCII letters compare by their Windows-1252 byte, without case folding.
  auto root = BuildXmlTree(u"<r>\u00e9t\u00e9</r>\n");
  const TElement* r = root->FindChild(u"r");
  EXPECT_NE(r->FindChild("\xe9t\xe9"), nullptr);
  EXPECT_EQ(r->FindChild("\xc9T\xc9"), nullptr);
}

TEST(XmlLookups, PathsAndNilSafety) {
  auto root = Parse("<corvalink><api><usage>42</usage></api></corvalink>\n");
  EXPECT_EQ(GetPathText(root.get(), {"corvalink", "api", "usage"}), "42");
  EXPECT_EQ(GetPathText(root.get(), {"corvalink", "nope", "usage"}), "");
  EXPECT_EQ(FindPath(root.get(), {}), root.get());
  EXPECT_EQ(FindPath(nullptr, {"a"}), nullptr);
  EXPECT_EQ(FindPath(nullptr, {}), nullptr);
  EXPECT_EQ(GetPathText(nullptr, {"a"}), "");
  EXPECT_EQ(FindWithAttrib(nullptr, "a", ""), nullptr);
  EXPECT_EQ(FindWithAttribs(nullptr, "a", "1", "b", "2"), nullptr);
}

TEST(XmlLookups, FindWithAttribWalksStartAndFollowingSiblings) {
  auto root = Parse(
      "<u>"
      "<traffic direction=\"up\" name=\"total\">1</traffic>"
      "<traffic direction=\"down\" name=\"metered\">2</traffic>"
      "<traffic direction=\"up\" name=\"metered\">3</traffic>"
      "<traffic direction=\"Up\" name=\"metered\">4</traffic>"
      "</u>\n");
  const TElement* t = FindPath(root.get(), {"u", "traffic"});
  EXPECT_EQ(T(FindWithAttrib(t, "name", "total")), "1");
  EXPECT_EQ(T(FindWithAttrib(t, "NAME", "metered")), "2");  // attribute names ignore case
  EXPECT_EQ(T(FindWithAttrib(t, "direction", "")), "1");    // empty value: any value
  EXPECT_EQ(FindWithAttrib(t->NextSibling(), "name", "total"), nullptr);
  EXPECT_EQ(T(FindWithAttribs(t, "direction", "up", "name", "metered")), "3");
  EXPECT_EQ(T(FindWithAttribs(t, "direction", "down", "name", "metered")), "2");
  // Values compare exactly, case included.
  EXPECT_EQ(FindWithAttribs(t, "direction", "UP", "name", "metered"), nullptr);
  EXPECT_EQ(T(FindWithAttribs(t, "direction", u"Up", "name", u"metered")), "4");
}

// Tags whose names and attributes fall everywhere in and across the 64-byte
// windows that tags are read from, with long names and values, other
// quotes, markup inside values and every kind of gap, read back as written
// by both builds of the parser.
TEST(BuildXmlTree, TagsAtEveryPlaceAroundTheirWindowsReadAsWritten) {
  struct TAttr {
    std::string name, value;
    char quote;
  };
  struct TTag {
    std::string name;
    std::vector<TAttr> attribs;
    std::string text;
  };
  std::mt19937 random(4242);
  const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const auto name = [&] {
    static const char more[] = "abcXYZ019:._-";
    std::string n(1, static_cast<char>('a' + below(26)));
    for (int len = below(4) ? below(10) : 20 + below(60); len > 0; --len)
      n += more[below(sizeof more - 1)];
    return n;
  };
  for (int round = 0; round < 40; ++round) {
    std::vector<TTag> tags;
    std::string doc = "<r>";
    for (int i = 0; i < 60; ++i) {
      TTag tag{name(), {}, std::to_string(random())};
      doc += std::string(static_cast<size_t>(below(3)), ' ') + "<" + tag.name;
      for (int a = below(5); a > 0; --a) {
        static const char inValue[] = "v0 '<>=/&\t\xe9";
        TAttr attr{name(), "", below(6) ? '"' : '\''};
        for (int len = below(4) ? below(12) : 30 + below(60); len > 0; --len)
          attr.value += inValue[below(sizeof inValue - 1)];
        if (attr.quote == '\'') std::replace(attr.value.begin(), attr.value.end(), '\'', '"');
        static const char* gaps[] = {" ", " ", "  ", "\n\t "};
        doc += gaps[below(4)] + attr.name + "=" + attr.quote + attr.value + attr.quote;
        tag.attribs.push_back(attr);
      }
      doc += ">" + tag.text + "</" + tag.name + ">";
      tags.push_back(tag);
    }
    doc += "</r>\n";
    for (bool plain : {false, true}) {
      ForcePlainPaths(plain);
      auto tree = Parse(doc);
      ForcePlainPaths(false);
      const TElement* r = tree->FindChild("r");
      ASSERT_NE(r, nullptr);
      ASSERT_EQ(r->ChildCount(), static_cast<int>(tags.size())) << round << plain;
      const TElement* e = r->FirstChild();
      for (const TTag& tag : tags) {
        ASSERT_EQ(N(e), tag.name) << round << plain;
        EXPECT_EQ(T(e), tag.text);
        ASSERT_EQ(e->AttribCount(), static_cast<int>(tag.attribs.size())) << tag.name;
        const TAttrib* a = e->FirstAttrib();
        for (const TAttr& attr : tag.attribs) {
          EXPECT_EQ(Utf16ToUtf8(a->Name()), attr.name);
          EXPECT_EQ(a->Value(), Widen1252(attr.value)) << attr.name;
          a = a->Next();
        }
        e = e->NextSibling();
      }
    }
  }
}

}  // namespace
}  // namespace qgm

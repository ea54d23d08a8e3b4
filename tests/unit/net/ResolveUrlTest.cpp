#include "core/net/ResolveUrl.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace qgm {
namespace {

using Cases = std::vector<std::pair<const char*, const char*>>;

void ExpectAll(const char* base, const Cases& cases) {
  for (const auto& [reference, target] : cases)
    EXPECT_EQ(ResolveReference(base, reference), target) << "reference " << reference;
}

// The examples of RFC 3986 section 5.4, against its base address.
constexpr const char* kBase = "http://a/b/c/d;p?q";

TEST(ResolveReference, NormalExamples) {
  ExpectAll(kBase, {{"g:h", "g:h"},
                    {"g", "http://a/b/c/g"},
                    {"./g", "http://a/b/c/g"},
                    {"g/", "http://a/b/c/g/"},
                    {"/g", "http://a/g"},
                    {"//g", "http://g"},
                    {"?y", "http://a/b/c/d;p?y"},
                    {"g?y", "http://a/b/c/g?y"},
                    {"#s", "http://a/b/c/d;p?q#s"},
                    {"g#s", "http://a/b/c/g#s"},
                    {"g?y#s", "http://a/b/c/g?y#s"},
                    {";x", "http://a/b/c/;x"},
                    {"g;x", "http://a/b/c/g;x"},
                    {"g;x?y#s", "http://a/b/c/g;x?y#s"},
                    {"", "http://a/b/c/d;p?q"},
                    {".", "http://a/b/c/"},
                    {"./", "http://a/b/c/"},
                    {"..", "http://a/b/"},
                    {"../", "http://a/b/"},
                    {"../g", "http://a/b/g"},
                    {"../..", "http://a/"},
                    {"../../", "http://a/"},
                    {"../../g", "http://a/g"}});
}

TEST(ResolveReference, AbnormalExamples) {
  ExpectAll(kBase, {{"../../../g", "http://a/g"},
                    {"../../../../g", "http://a/g"},
                    {"/./g", "http://a/g"},
                    {"/../g", "http://a/g"},
                    {"g.", "http://a/b/c/g."},
                    {".g", "http://a/b/c/.g"},
                    {"g..", "http://a/b/c/g.."},
                    {"..g", "http://a/b/c/..g"},
                    {"./../g", "http://a/b/g"},
                    {"./g/.", "http://a/b/c/g/"},
                    {"g/./h", "http://a/b/c/g/h"},
                    {"g/../h", "http://a/b/c/h"},
                    {"g;x=1/./y", "http://a/b/c/g;x=1/y"},
                    {"g;x=1/../y", "http://a/b/c/y"},
                    {"g?y/./x", "http://a/b/c/g?y/./x"},
                    {"g?y/../x", "http://a/b/c/g?y/../x"},
                    {"g#s/./x", "http://a/b/c/g#s/./x"},
                    {"g#s/../x", "http://a/b/c/g#s/../x"},
                    {"http:g", "http:g"}});
}

TEST(ResolveReference, FeedRedirects) {
  const char* feed = "http://www.corvalink.com:8080/advisories/feed.xml";
  ExpectAll(feed, {{"/rss", "http://www.corvalink.com:8080/rss"},
                   {"status.xml", "http://www.corvalink.com:8080/advisories/status.xml"},
                   {"//feeds.corvalink.com/rss", "http://feeds.corvalink.com/rss"},
                   {"https://feeds.corvalink.com/a/../rss", "https://feeds.corvalink.com/rss"},
                   {"?v=2", "http://www.corvalink.com:8080/advisories/feed.xml?v=2"}});
  // A base without a path: a relative path hangs off the root.
  EXPECT_EQ(ResolveReference("http://host", "rss"), "http://host/rss");
  // The base's fragment is not carried over.
  EXPECT_EQ(ResolveReference("http://host/a#top", "b"), "http://host/b");
}

}  // namespace
}  // namespace qgm

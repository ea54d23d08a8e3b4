// Building the advisory list from a 200-entry feed, RSS and Atom, beside the
// tree build alone on the same bytes (the anchor, measured in the same run):
// reading the advisories on top of the parse should cost no more than the
// parse itself.
#include <benchmark/benchmark.h>

#include <string>

#include "core/advisories/Feed.h"
#include "core/util/CodePage.h"

namespace {

std::string Feed(bool atom) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n";
  xml +=
      atom ? "<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>Corvalink Network Status</title>\n"
           : "<rss version=\"2.0\"><channel><title>Corvalink Network Status</title>\n";
  for (int i = 0; i < 200; ++i) {
    const std::string n = std::to_string(i);
    const std::string title = "Planned maintenance &#150; exchange " + n;
    const std::string text =
        "<![CDATA[<p>Services in exchange " + n +
        " will be unavailable between 1am and 3am on Sunday while we upgrade equipment.</p>"
        "<p>We apologise for the inconvenience &amp; thank you for your patience.</p>]]>";
    if (atom) {
      xml += "<entry><title>" + title +
             "</title><link href=\"https://www.corvalink.example/status/" + n +
             "\"/><link rel=\"enclosure\" href=\"https://www.corvalink.example/r/" + n +
             ".pdf\" length=\"48213\" "
             "type=\"application/pdf\"/><updated>2026-12-08T09:00:00Z</updated>"
             "<summary type=\"html\">" +
             text + "</summary></entry>\n";
    } else {
      xml += "<item><title>" + title + "</title><link>https://www.corvalink.example/status/" + n +
             "</link><pubDate>Tue, 08 Dec 2026 09:00:00 +1000</pubDate><description>" + text +
             "</description><enclosure url=\"https://www.corvalink.example/r/" + n +
             ".pdf\" length=\"48213\" type=\"application/pdf\"/></item>\n";
    }
  }
  return xml + (atom ? "</feed>\n" : "</channel></rss>\n");
}

void BM_ParseOnly(benchmark::State& state) {
  const std::u16string text = qgm::Widen1252(Feed(state.range(0) != 0));
  for (auto _ : state) {
    auto tree = qgm::BuildXmlTree(text);
    benchmark::DoNotOptimize(tree.get());
  }
}

void BM_AdvisoryList(benchmark::State& state) {
  const bool atom = state.range(0) != 0;
  const std::u16string text = qgm::Widen1252(Feed(atom));
  const std::vector<std::string> seen = {"1234ABCD", "C0FFEE"};
  for (auto _ : state) {
    auto tree = qgm::BuildXmlTree(text);
    auto list = qgm::ReadAdvisories(*tree, atom, seen);
    if (list.size() != 200) state.SkipWithError("expected 200 advisories");
    benchmark::DoNotOptimize(list.data());
  }
}

// 0: RSS, 1: Atom.
BENCHMARK(BM_ParseOnly)->Arg(0)->Arg(1);
BENCHMARK(BM_AdvisoryList)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();

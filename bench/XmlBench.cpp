// BuildXmlTree against pugixml on the same usage-history bytes. pugixml is
// the anchor measured in the same run, so the ratio holds on any machine.

#include <benchmark/benchmark.h>

#include <pugixml.hpp>

#include "HistoryDocument.h"
#include "core/util/CpuFeatures.h"
#include "core/xml/XmlParser.h"

namespace {

void BM_BuildXmlTree(benchmark::State& state) {
  const std::string doc = qgm::bench::MakeHistoryDocument(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto tree = qgm::BuildXmlTree1252(doc);
    benchmark::DoNotOptimize(tree.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(doc.size()));
}

// The same on the plain x86-64 build, which processors without AVX2 and
// BMI2 run.
void BM_BuildXmlTreePlain(benchmark::State& state) {
  qgm::ForcePlainPaths(true);
  BM_BuildXmlTree(state);
  qgm::ForcePlainPaths(false);
}

void BM_Pugixml(benchmark::State& state) {
  const std::string doc = qgm::bench::MakeHistoryDocument(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    pugi::xml_document xml;
    const auto result = xml.load_buffer(doc.data(), doc.size());
    benchmark::DoNotOptimize(result.status);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(doc.size()));
}

// Reading every day back, as the history store does after the build.
void BM_BuildAndReadHistory(benchmark::State& state) {
  const std::string doc = qgm::bench::MakeHistoryDocument(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    auto tree = qgm::BuildXmlTree1252(doc);
    size_t total = 0;
    for (const qgm::TElement* day =
             qgm::FindPath(tree.get(), {"corvalink", "api", "usagelist", "usage"});
         day; day = day->NextSibling()) {
      const qgm::TElement* t = day->FindChild("traffic");
      total += qgm::FindWithAttribs(t, "direction", "down", "name", "metered") ? 1 : 0;
      total += qgm::FindWithAttrib(t, "name", "total") ? 1 : 0;
    }
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(doc.size()));
}

BENCHMARK(BM_BuildXmlTree)->Arg(950)->Arg(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildXmlTreePlain)->Arg(950)->Arg(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pugixml)->Arg(950)->Arg(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildAndReadHistory)->Arg(950)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

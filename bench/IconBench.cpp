// Drawing the tray picture, beside the floor of making and clearing a
// picture of the same size (measured in the same run).
#include <benchmark/benchmark.h>

#include "core/tray/NumberIcon.h"
#include "core/usage/UsageRecord.h"

namespace {

void BM_DrawNumberIcon(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  int n = 0;
  for (auto _ : state) {
    qgm::TPixmap p = qgm::DrawNumberIcon(n, size, qgm::Rgb(0, 225, 0), 0);
    benchmark::DoNotOptimize(p.Pixels.data());
    n = (n + 1) % 100;
  }
}

void BM_ClearPicture(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  for (auto _ : state) {
    qgm::TPixmap p(size, size, 0);
    benchmark::DoNotOptimize(p.Pixels.data());
  }
}

BENCHMARK(BM_DrawNumberIcon)->Arg(16)->Arg(32);
BENCHMARK(BM_ClearPicture)->Arg(16)->Arg(32);

}  // namespace

BENCHMARK_MAIN();

// The usage history's work in an update, beside anchors measured in the
// same run: loading a 950-day log, merging a 950-day reply and saving (the
// anchor copies the same log file through the same atomic write), and
// drawing both graphs (the anchor clears the two pictures).
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>

#include "HistoryDocument.h"
#include "core/history/HistoryGraphs.h"
#include "core/platform/FileIo.h"

namespace {

using namespace qgm;

struct TFixture {
  std::string document = bench::MakeHistoryDocument(950);
  TDateTime today = IncDay(EncodeDate(2012, 1, 1), 949);
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("qgm-bench-history-" + std::to_string(::getpid()));
  std::filesystem::path log = folder / "bench_CorvalinkHistory.csv";

  TFixture() {
    std::filesystem::create_directories(folder);
    THistory h;
    h.LoadFromXml(document, today);
    h.SaveToCsv(log);
  }
  ~TFixture() { std::filesystem::remove_all(folder); }
};

TFixture& Fixture() {
  static TFixture f;
  return f;
}

void BM_HistoryLoadMergeSave(benchmark::State& state) {
  TFixture& f = Fixture();
  THistory h;
  for (auto _ : state) {
    h.LoadFromCsv(f.log, IncDay(f.today, -31), IncDay(f.today, -950));
    h.AppendNewer = true;
    h.LoadFromXml(f.document, f.today);
    benchmark::DoNotOptimize(h.SaveToCsv(f.log));
  }
  state.counters["days"] = h.Count();
}

void BM_AnchorLogCopy(benchmark::State& state) {
  TFixture& f = Fixture();
  for (auto _ : state) {
    const auto text = ReadWholeFile(f.log);
    benchmark::DoNotOptimize(WriteFileAtomic(f.log, *text));
  }
}

void BM_DrawBothGraphs(benchmark::State& state) {
  TFixture& f = Fixture();
  THistory h;
  h.LoadFromXml(f.document, f.today);
  TPixmap day(kGraphWidth, kGraphHeight), month(kGraphWidth, kGraphHeight);
  const TGraphPalette palette;
  const int selection = kSelectTotals | kSelectDownloads | kSelectUploads;
  for (auto _ : state) {
    const TGraphSeries days = DaySeries(h);
    const TGraphSeries months = MonthSeries(h, EncodeDate(2012, 1, 15));
    benchmark::DoNotOptimize(DrawDayGraph(day, h, days, selection, palette));
    benchmark::DoNotOptimize(DrawMonthGraph(month, h, months, selection, palette));
  }
}

void BM_AnchorClearGraphs(benchmark::State& state) {
  TPixmap day(kGraphWidth, kGraphHeight), month(kGraphWidth, kGraphHeight);
  for (auto _ : state) {
    std::fill(day.Pixels.begin(), day.Pixels.end(), 0xFFF0F0F0u);
    std::fill(month.Pixels.begin(), month.Pixels.end(), 0xFFF0F0F0u);
    benchmark::DoNotOptimize(day.Pixels.data());
    benchmark::DoNotOptimize(month.Pixels.data());
  }
}

BENCHMARK(BM_HistoryLoadMergeSave)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnchorLogCopy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawBothGraphs)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnchorClearGraphs)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

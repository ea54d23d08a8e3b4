// The CallHaven totals: LoadCallMonths over 28 month files of 2,000 calls
// each, beside reading the same files into memory (the anchor, measured in
// the same run), and the scanners alone on the files in memory.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/callusage/CallMonths.h"
#include "core/platform/FileIo.h"
#include "core/util/CpuFeatures.h"

namespace {

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    const auto dir =
        std::filesystem::temp_directory_path() / ("qgm-bench-calls-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    static const char* types[] = {"National",      "Mobile",     "CallHaven",
                                  "International", "Nationwide", "Satellite"};
    int year = 2026, month = 12;
    for (int m = 0; m < qgm::kCallMonthsShown; ++m) {
      std::string csv = "Date,Time,Number,Cost,Type,Duration\r\n";
      for (int i = 0; i < 2000; ++i) {
        csv += "2026-12-" + std::to_string(1 + i % 28) + ",09:" + std::to_string(10 + i % 50) +
               ",029876" + std::to_string(1000 + i) + ",\"" + std::to_string(i % 7) + "." +
               std::to_string(10 + i % 90) + "\"," + types[i % 6] + "," +
               std::to_string(30 + i % 600) + "\r\n";
      }
      qgm::WriteFileAtomic(qgm::CallFileName(dir, year, month), csv);
      if (--month == 0) month = 12, --year;
    }
    return dir;
  }();
  return folder;
}

void BM_ReadFiles(benchmark::State& state) {
  const auto& folder = Folder();
  for (auto _ : state) {
    size_t bytes = 0;
    for (const std::string& name : qgm::ListCallFiles(folder))
      bytes += qgm::ReadWholeFile(folder / name)->size();
    benchmark::DoNotOptimize(bytes);
  }
}

void BM_LoadCallMonths(benchmark::State& state) {
  const auto& folder = Folder();
  qgm::TCallhaven calls;
  for (auto _ : state) {
    qgm::LoadCallMonths(calls, folder, qgm::EncodeDate(2026, 12, 8));
    if (calls.Items(0).TotalCalls != 2000) state.SkipWithError("expected 2000 calls a month");
  }
}

// The scanning alone, on the files already in memory: the scanner chosen for
// this processor, and the one for plain x86-64.
const std::vector<std::string>& Texts() {
  static const std::vector<std::string> texts = [] {
    std::vector<std::string> read;
    for (const std::string& name : qgm::ListCallFiles(Folder()))
      read.push_back(*qgm::ReadWholeFile(Folder() / name));
    return read;
  }();
  return texts;
}

void BM_AddCallLines(benchmark::State& state) {
  for (auto _ : state) {
    for (const std::string& text : Texts()) {
      qgm::TCallMonth month;
      qgm::AddCallLines(text, month);
      if (month.TotalCalls != 2000) state.SkipWithError("expected 2000 calls a month");
    }
  }
}

void BM_AddCallLinesPortable(benchmark::State& state) {
  qgm::ForcePlainPaths(true);
  BM_AddCallLines(state);
  qgm::ForcePlainPaths(false);
}

BENCHMARK(BM_ReadFiles);
BENCHMARK(BM_AddCallLines);
BENCHMARK(BM_AddCallLinesPortable);
BENCHMARK(BM_LoadCallMonths);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(Folder());
  return 0;
}

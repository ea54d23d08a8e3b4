// The download test against the simulator's FTP mirror on loopback: our
// four worker threads fetching 10meg.test at once, beside four `curl`
// processes fetching the same file from the same server in the same run.
// Both report bytes per second over the wall time of the whole round; ours
// also reports the longest gap between two blocks of data in any stream.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "ProviderSimulator.h"
#include "core/network/DownloadTest.h"
#include "core/util/PostedQueue.h"

extern char** environ;

namespace {

constexpr int64_t kFileBytes = 10485760;

corvalink::sim::ProviderSimulator& Sim() {
  static corvalink::sim::ProviderSimulator sim;
  return sim;
}

void RunOurs(benchmark::State& state, const std::string& host) {
  auto& sim = Sim();
  qgm::TPostedQueue posted;
  bool ended = false;
  qgm::TDownloadTest::TConfig config;
  config.MirrorHost = host + ":" + std::to_string(sim.FtpPort());
  config.Post = [&posted](std::function<void()> work) { posted.Post(std::move(work)); };
  config.OnEnded = [&ended] { ended = true; };
  qgm::TDownloadTest test(config);
  double longestStall = 0;
  for (auto _ : state) {
    ended = false;
    if (!test.Start()) {
      state.SkipWithError("could not start");
      break;
    }
    while (!ended) posted.RunNext(1000);
    for (const auto& r : test.Results()) {
      if (!r.Completed || r.Bytes != kFileBytes) {
        state.SkipWithError(("stream failed: " + r.Failure).c_str());
        return;
      }
      longestStall = std::max(longestStall, r.LongestStallMs);
    }
  }
  state.SetBytesProcessed(state.iterations() * qgm::TDownloadTest::kStreams * kFileBytes);
  state.counters["longest_stall_ms"] = longestStall;
}

void BM_DownloadTestNumeric(benchmark::State& state) {
  RunOurs(state, "127.0.0.1");
}
// By name: "localhost" resolves to one IPv4 address here (and maybe ::1).
void BM_DownloadTestByName(benchmark::State& state) {
  RunOurs(state, "localhost");
}

// The anchor: four curl processes at once, started and reaped per round.
void BM_CurlProcesses(benchmark::State& state) {
  const std::string url =
      "ftp://127.0.0.1:" + std::to_string(Sim().FtpPort()) + "/pub/test/10meg.test";
  std::vector<std::string> args = {"curl", "-s", "-S", "-o", "/dev/null", url};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (auto _ : state) {
    std::array<pid_t, qgm::TDownloadTest::kStreams> pids{};
    for (auto& pid : pids) {
      if (posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0) {
        state.SkipWithError("curl could not start");
        return;
      }
    }
    for (pid_t pid : pids) {
      int status = 0;
      waitpid(pid, &status, 0);
      if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("curl failed");
    }
  }
  state.SetBytesProcessed(state.iterations() * qgm::TDownloadTest::kStreams * kFileBytes);
}

BENCHMARK(BM_CurlProcesses)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_DownloadTestNumeric)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_DownloadTestByName)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace

int main(int argc, char** argv) {
  Sim().Start();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}

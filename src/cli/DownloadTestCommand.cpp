#include "cli/DownloadTestCommand.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "ProviderSimulator.h"
#include "cli/CliSession.h"
#include "core/network/DownloadTest.h"
#include "core/util/CodePage.h"
#include "core/util/Format.h"
#include "core/util/PostedQueue.h"
#include "cli/TerminalText.h"

namespace qgm::cli {
namespace {

constexpr const char* kHelp =
    "usage: qgm-cli download-test [--mirror-host HOST[:PORT]] [--demo] [--json]\n"
    "\n"
    "Downloads the mirror's 10-megabyte test file four times at once over\n"
    "anonymous FTP, as the Network tab's link does, and prints the bytes,\n"
    "seconds and MB/s of each stream and of all four. Ctrl+C stops the test\n"
    "and reports what was received.\n"
    "\n"
    "  --mirror-host HOST[:PORT] the FTP mirror (default: the endpoints file's mirror-host)\n"
    "  --demo                 the simulated provider's mirror\n"
    "  --json                 print JSON\n";

volatile std::sig_atomic_t interrupted = 0;

std::string Rate(int64_t bytes, double seconds) {
  return Format("%1.2f",
                {seconds > 0 ? static_cast<long double>(bytes) / 1048576 / seconds : 0.0L});
}

}  // namespace

int RunDownloadTestCommand(int argc, char** argv) {
  bool json = false;
  TEndpoints endpoints;
  std::unique_ptr<corvalink::sim::ProviderSimulator> sim;
  if (const int done = ParseHostCommand(argc, argv, kHelp, "--mirror-host", &TEndpoints::MirrorHost,
                                        json, sim, endpoints);
      done >= 0)
    return done;

  TPostedQueue posted;  // the streams' events, run on this thread
  bool ended = false;
  TDownloadTest::TConfig config;
  config.MirrorHost = endpoints.MirrorHost;
  config.Post = [&posted](std::function<void()> work) { posted.Post(std::move(work)); };
  config.OnEnded = [&ended] { ended = true; };
  TDownloadTest test(std::move(config));
  std::signal(SIGINT, [](int) { interrupted = 1; });
  const auto start = std::chrono::steady_clock::now();
  test.Start();
  bool stopped = false;
  while (!ended) {
    posted.RunNext(100);
    if (interrupted && !stopped) {
      test.Stop();  // returns at once; the streams end on their own
      stopped = true;
    }
  }
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::signal(SIGINT, SIG_DFL);

  int64_t total = 0;
  int completed = 0;
  std::string out = json ? "{\"streams\":[" : "";
  for (int i = 0; i < TDownloadTest::kStreams; ++i) {
    const auto& r = test.Results()[static_cast<size_t>(i)];
    total += r.Bytes;
    completed += r.Completed;
    if (json) {
      out += std::string(i ? "," : "") + "{\"bytes\":" + std::to_string(r.Bytes) +
             ",\"seconds\":" + Format("%1.3f", {r.Seconds}) +
             ",\"mbPerSecond\":" + Rate(r.Bytes, r.Seconds) +
             ",\"longestStallMs\":" + Format("%1.1f", {r.LongestStallMs}) +
             ",\"completed\":" + (r.Completed ? "true" : "false") + "}";
    } else {
      out += "stream " + std::to_string(i + 1) + ": " + std::to_string(r.Bytes) + " bytes in " +
             Format("%1.3f", {r.Seconds}) + " s, " + Rate(r.Bytes, r.Seconds) + " MB/s" +
             (r.Completed ? ""
                          : " (" + (r.Failure.empty() ? std::string("stopped")
                                                      : Cp1252ToUtf8(r.Failure)) +
                                ")") +
             "\n";
    }
  }
  if (json) {
    out += "],\"bytes\":" + std::to_string(total) + ",\"seconds\":" + Format("%1.3f", {wall}) +
           ",\"mbPerSecond\":" + Rate(total, wall) +
           ",\"stopped\":" + (stopped ? "true" : "false") + "}\n";
  } else {
    out += "total: " + std::to_string(total) + " bytes in " + Format("%1.3f", {wall}) + " s, " +
           Rate(total, wall) + " MB/s\n";
  }
  WriteOutput(out, json);
  // Nothing received and not stopped by the user: the mirror failed.
  return completed == 0 && total == 0 && !stopped ? 1 : 0;
}

}  // namespace qgm::cli

// corvalink-sim: the provider simulator as a program. Prints one JSON line
// with the CA file and the ports, then serves until interrupted.

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "ProviderSimulator.h"

namespace {
volatile std::sig_atomic_t gStop = 0;
void OnSignal(int) {
  gStop = 1;
}
}  // namespace

int main(int argc, char** argv) {
  corvalink::sim::SimulatorOptions options;
  bool exitWithStdin = false;
  bool demoUpdate = false;
  double hostileRate = 0, chaosRate = 0;
  uint64_t seed = 1;
  int stallMs = -1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--https-port" && i + 1 < argc) {
      options.httpsPort = std::atoi(argv[++i]);
    } else if (arg == "--pop3-port" && i + 1 < argc) {
      options.pop3Port = std::atoi(argv[++i]);
    } else if (arg == "--time-port" && i + 1 < argc) {
      options.timePort = std::atoi(argv[++i]);
    } else if (arg == "--ftp-port" && i + 1 < argc) {
      options.ftpPort = std::atoi(argv[++i]);
    } else if (arg == "--http-port" && i + 1 < argc) {
      options.httpPort = std::atoi(argv[++i]);
    } else if (arg == "--ftp-rate" && i + 1 < argc) {
      options.ftpBytesPerSecond = std::atoll(argv[++i]);
    } else if (arg == "--state-dir" && i + 1 < argc) {
      options.stateDir = argv[++i];
    } else if (arg == "--hostile" && i + 1 < argc) {
      hostileRate = std::atof(argv[++i]);
    } else if (arg == "--chaos" && i + 1 < argc) {
      chaosRate = std::atof(argv[++i]);
    } else if (arg == "--seed" && i + 1 < argc) {
      seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (arg == "--stall-ms" && i + 1 < argc) {
      stallMs = std::atoi(argv[++i]);
    } else if (arg == "--demo-update") {
      demoUpdate = true;
    } else if (arg == "--exit-with-stdin") {
      exitWithStdin = true;
    } else {
      std::fprintf(stderr,
                   "usage: corvalink-sim [--https-port N] [--pop3-port N] [--time-port N]\n"
                   "                     [--ftp-port N] [--http-port N] [--state-dir DIR]\n"
                   "                     [--ftp-rate BYTES_PER_SECOND] [--demo-update]\n"
                   "                     [--hostile RATE] [--chaos RATE] [--seed N]\n"
                   "                     [--stall-ms MS] [--exit-with-stdin]\n"
                   "Serves the Corvalink services on 127.0.0.1 for the demo account\n"
                   "demo / demo and prints the CA file and ports as one JSON line.\n"
                   "--ftp-rate paces each transfer of the FTP mirror's test file.\n"
                   "--demo-update offers a newer release of the program.\n"
                   "--hostile sends hostile content (control characters, markup,\n"
                   "odd text, huge fields, odd redirects, stalls) in that share of\n"
                   "the replies of every service; --chaos fails that share of the\n"
                   "requests in every way a service fails; both draw from --seed.\n"
                   "--stall-ms sets how long a stalled reply is held back.\n"
                   "--exit-with-stdin ends it when its standard input closes (the\n"
                   "program that started it ended).\n");
      return 2;
    }
  }
  try {
    corvalink::sim::ProviderSimulator sim(options);
    sim.Start();
    if (demoUpdate) sim.OfferDemoUpdate();
    if (stallMs >= 0) sim.SetPacing(stallMs, std::max(1, stallMs / 10));
    if (hostileRate > 0) sim.SetContentChaos(hostileRate, seed);
    if (chaosRate > 0) {
      using corvalink::sim::Scenario;
      sim.SetChaos(chaosRate, seed,
                   {Scenario::WrongPassword, Scenario::ServerError, Scenario::ReadTimeout,
                    Scenario::ConnectionClosed, Scenario::SlowBody, Scenario::RedirectLoop,
                    Scenario::MalformedBody, Scenario::OversizedBody, Scenario::TruncatedBody});
    }
    std::printf("%s\n", sim.Describe().c_str());
    std::fflush(stdout);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    if (exitWithStdin) {
      // A reader that never takes the signals itself, so they reach the
      // main thread's pause().
      sigset_t block;
      sigemptyset(&block);
      sigaddset(&block, SIGINT);
      sigaddset(&block, SIGTERM);
      pthread_sigmask(SIG_BLOCK, &block, nullptr);
      std::thread([] {
        char buf[256];
        while (true) {
          const ssize_t n = ::read(0, buf, sizeof buf);
          if (n == 0 || (n < 0 && errno != EINTR)) break;
        }
        ::kill(::getpid(), SIGTERM);
      }).detach();
      pthread_sigmask(SIG_UNBLOCK, &block, nullptr);
    }
    while (!gStop) pause();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "corvalink-sim: %s\n", e.what());
    return 1;
  }
  return 0;
}

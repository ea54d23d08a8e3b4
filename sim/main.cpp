// corvalink-sim: the provider simulator as a program. Prints one JSON line
// with the CA file and the ports, then serves until interrupted.

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ProviderSimulator.h"

namespace {
volatile std::sig_atomic_t gStop = 0;
void OnSignal(int) {
  gStop = 1;
}
}  // namespace

int main(int argc, char** argv) {
  corvalink::sim::SimulatorOptions options;
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
    } else if (arg == "--state-dir" && i + 1 < argc) {
      options.stateDir = argv[++i];
    } else {
      std::fprintf(stderr,
                   "usage: corvalink-sim [--https-port N] [--pop3-port N] [--time-port N]\n"
                   "                     [--ftp-port N] [--http-port N] [--state-dir DIR]\n"
                   "Serves the Corvalink services on 127.0.0.1 for the demo account\n"
                   "demo / demo and prints the CA file and ports as one JSON line.\n");
      return 2;
    }
  }
  try {
    corvalink::sim::ProviderSimulator sim(options);
    sim.Start();
    std::printf("%s\n", sim.Describe().c_str());
    std::fflush(stdout);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    while (!gStop) pause();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "corvalink-sim: %s\n", e.what());
    return 1;
  }
  return 0;
}

#include "cli/NetworkCommand.h"

#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>

#include "cli/CliSession.h"
#include "cli/XmlDump.h"
#include "core/network/Adaptors.h"
#include "core/network/Traffic.h"
#include "cli/TerminalText.h"

namespace qgm::cli {
namespace {

constexpr const char* kHelp =
    "usage: qgm-cli network [--json] [--watch SECONDS] [--adapter NAME]\n"
    "\n"
    "Lists the network adapters the Network tab offers (loopback and adapters\n"
    "without an IPv4 address left out) with their LAN address, default\n"
    "gateway, hardware address and byte counters.\n"
    "\n"
    "  --adapter NAME         only this adapter (exit 1 when it is not there)\n"
    "  --watch SECONDS        sample the adapter (--adapter, else the stored\n"
    "                         choice, else the first) once a second for that\n"
    "                         long and print the in and out speeds as the\n"
    "                         Network tab shows them, in its stored unit;\n"
    "                         Ctrl+C stops early\n"
    "  --json                 print JSON (with --watch, one object per line)\n";

volatile std::sig_atomic_t interrupted = 0;

// One line a second for `seconds` seconds, each tick a second after the
// previous one was due (so a slow tick does not shift the rest).
int Watch(TAdaptor& adaptor, int seconds, bool json, bool inBytes) {
  const char* unit = inBytes ? "kB/s" : "kbit/s";
  ReadCounters(adaptor);
  interrupted = 0;
  std::signal(SIGINT, [](int) { interrupted = 1; });
  auto due = std::chrono::steady_clock::now();
  for (int tick = 1; tick <= seconds && !interrupted; ++tick) {
    due += std::chrono::seconds(1);
    // Short sleeps so that Ctrl+C is seen within a tenth of a second.
    while (!interrupted && std::chrono::steady_clock::now() < due)
      std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
          std::chrono::milliseconds(100), due - std::chrono::steady_clock::now()));
    if (interrupted) break;
    const TTrafficSample s = SampleTraffic(adaptor, inBytes);
    std::string line;
    if (json) {
      line = "{\"second\":" + std::to_string(tick) +
             ",\"adapter\":" + JsonStringUtf8(adaptor.Name) +
             ",\"inBytes\":" + std::to_string(s.InBytes) +
             ",\"outBytes\":" + std::to_string(s.OutBytes) + ",\"in\":" + JsonStringUtf8(s.InText) +
             ",\"out\":" + JsonStringUtf8(s.OutText) + ",\"unit\":" + JsonStringUtf8(unit) +
             ",\"step\":" + (s.Step ? "true" : "false") + "}\n";
    } else {
      line = std::to_string(tick) + "  " + adaptor.Name + "  in " + s.InText + "  out " +
             s.OutText + " " + unit + (s.Step ? "" : "  (counters jumped)") + "\n";
    }
    WriteOutput(line, json);
    std::fflush(stdout);
  }
  std::signal(SIGINT, SIG_DFL);
  return 0;
}

}  // namespace

int RunNetworkCommand(int argc, char** argv) {
  bool json = false;
  std::optional<std::string> only, watch;
  if (const int done = ParseCommandOptions(argc, argv, kHelp, {{"--json", &json}},
                                           {{"--adapter", &only}, {"--watch", &watch}});
      done >= 0)
    return done;
  int seconds = 0;
  if (watch) {
    const char* end = watch->data() + watch->size();
    const auto [stop, error] = std::from_chars(watch->data(), end, seconds);
    if (error != std::errc() || stop != end || seconds < 1 || seconds > 86400) {
      Say(stderr, "qgm-cli: --watch wants whole seconds from 1 to 86400, not %s\n",
                   watch->c_str());
      return 2;
    }
  }
  TAdaptors adaptors;
  adaptors.Append(ListAdaptors());
  if (only && adaptors.IndexOf(*only) < 0) {
    Say(stderr, "qgm-cli: no adapter %s\n", only->c_str());
    return 1;
  }
  if (watch) {
    const TSettings stored = LoadStoredSettings(false);  // the adapter and the unit
    int index = only ? adaptors.IndexOf(*only) : -1;
    if (index < 0) index = adaptors.IndexOf(stored.NetworkAdaptor);
    if (index < 0 && adaptors.Count() > 0) index = 0;
    if (index < 0) {
      Say(stderr, "qgm-cli: no network adapter to watch\n");
      return 1;
    }
    return Watch(adaptors.Items(index), seconds, json, stored.SpeedInBytes);
  }
  std::string out = json ? "[" : "";
  bool first = true;
  for (int i = 0; i < adaptors.Count(); ++i) {
    TAdaptor& a = adaptors.Items(i);
    if (only && a.Name != *only) continue;
    ReadCounters(a);
    std::string address, gateway, mac;
    GetLanAddresses(a.Name, address, gateway);
    GetMacAddress(a.Name, mac);
    if (json) {
      out += std::string(first ? "" : ",") + "{\"name\":" + JsonStringUtf8(a.Name) +
             ",\"address\":" + JsonStringUtf8(address) + ",\"gateway\":" + JsonStringUtf8(gateway) +
             ",\"mac\":" + JsonStringUtf8(mac) + ",\"inOctets\":" + std::to_string(a.InOctets) +
             ",\"outOctets\":" + std::to_string(a.OutOctets) + "}";
    } else {
      out += a.Name + "  address " + (address.empty() ? "-" : address) + "  gateway " +
             (gateway.empty() ? "-" : gateway) + "  mac " + (mac.empty() ? "-" : mac) + "  in " +
             std::to_string(a.InOctets) + "  out " + std::to_string(a.OutOctets) + "\n";
    }
    first = false;
  }
  if (json) out += "]\n";
  WriteOutput(out, json);
  return 0;
}

}  // namespace qgm::cli

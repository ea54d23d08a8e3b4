#include "cli/NetworkCommand.h"

#include <cstdio>
#include <optional>
#include <string>

#include "cli/CliSession.h"
#include "cli/XmlDump.h"
#include "core/network/Adaptors.h"
#include "core/util/CodePage.h"

namespace qgm::cli {
namespace {

constexpr const char* kHelp =
    "usage: qgm-cli network [--json] [--adapter NAME]\n"
    "\n"
    "Lists the network adapters the Network tab offers (loopback and adapters\n"
    "without an IPv4 address left out) with their LAN address, default\n"
    "gateway, hardware address and byte counters.\n"
    "\n"
    "  --adapter NAME         only this adapter (exit 1 when it is not there)\n"
    "  --json                 print JSON\n";

std::string Json(const std::string& text) {
  return JsonString(Utf8ToUtf16(text));
}

}  // namespace

int RunNetworkCommand(int argc, char** argv) {
  bool json = false;
  std::optional<std::string> only;
  if (const int done =
          ParseCommandOptions(argc, argv, kHelp, {{"--json", &json}}, {{"--adapter", &only}});
      done >= 0)
    return done;
  TAdaptors adaptors;
  adaptors.Append(ListAdaptors());
  if (only && adaptors.IndexOf(*only) < 0) {
    std::fprintf(stderr, "qgm-cli: no adapter %s\n", only->c_str());
    return 1;
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
      out += std::string(first ? "" : ",") + "{\"name\":" + Json(a.Name) +
             ",\"address\":" + Json(address) + ",\"gateway\":" + Json(gateway) +
             ",\"mac\":" + Json(mac) + ",\"inOctets\":" + std::to_string(a.InOctets) +
             ",\"outOctets\":" + std::to_string(a.OutOctets) + "}";
    } else {
      out += a.Name + "  address " + (address.empty() ? "-" : address) + "  gateway " +
             (gateway.empty() ? "-" : gateway) + "  mac " + (mac.empty() ? "-" : mac) + "  in " +
             std::to_string(a.InOctets) + "  out " + std::to_string(a.OutOctets) + "\n";
    }
    first = false;
  }
  if (json) out += "]\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace qgm::cli

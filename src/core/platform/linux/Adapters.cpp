#include "core/platform/Adapters.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstdlib>

#include "core/platform/FileIo.h"
#include "core/platform/linux/NetInfo.h"

namespace qgm {

namespace {

// Each interface's first IPv4 address, in the system's order; loopback
// left out, or put last.
std::vector<std::pair<std::string, std::string>> Ipv4Addresses(bool withLoopback) {
  std::vector<std::pair<std::string, std::string>> list, loopback;
  ifaddrs* all = nullptr;
  if (getifaddrs(&all) != 0) return list;
  for (ifaddrs* a = all; a; a = a->ifa_next) {
    if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET) continue;
    const bool isLoopback = (a->ifa_flags & IFF_LOOPBACK) != 0;
    if (isLoopback && !withLoopback) continue;
    auto& into = isLoopback ? loopback : list;
    const std::string name = a->ifa_name;
    if (std::any_of(into.begin(), into.end(), [&](const auto& p) { return p.first == name; }))
      continue;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr, text,
              sizeof text);
    into.emplace_back(name, text);
  }
  freeifaddrs(all);
  list.insert(list.end(), loopback.begin(), loopback.end());
  return list;
}

std::string SysFile(const std::string& name, const std::string& file) {
  // An adapter name is a single path element.
  if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") return {};
  return ReadWholeFile("/sys/class/net/" + name + "/" + file).value_or(std::string());
}

}  // namespace

std::vector<std::string> AdapterNames(bool withLoopback) {
  std::vector<std::string> names;
  for (const auto& [name, address] : Ipv4Addresses(withLoopback))
    if (IsRealIpv4(address)) names.push_back(name);
  return names;
}

bool AdapterCounters(const std::string& name, uint64_t& inOctets, uint64_t& outOctets) {
  const std::string rx = SysFile(name, "statistics/rx_bytes"),
                    tx = SysFile(name, "statistics/tx_bytes");
  if (rx.empty() || tx.empty()) return false;
  inOctets = std::strtoull(rx.c_str(), nullptr, 10);
  outOctets = std::strtoull(tx.c_str(), nullptr, 10);
  return true;
}

bool AdapterLanAddresses(const std::string& name, std::string& address, std::string& gateway) {
  for (const auto& [iface, ip] : Ipv4Addresses(true)) {
    if (iface != name) continue;
    address = ip;
    gateway = DefaultGatewayOf(ReadWholeFile("/proc/net/route").value_or(std::string()), name);
    return true;
  }
  return false;
}

bool AdapterMacAddress(const std::string& name, std::string& mac) {
  mac = HardwareAddress(SysFile(name, "address"));
  return !mac.empty();
}

}  // namespace qgm

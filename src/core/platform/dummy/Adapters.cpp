#include "core/platform/Adapters.h"

#include "core/platform/dummy/DummyPlatform.h"

namespace qgm {

// The record's adapters (eth0 and wlan0 unless a test says otherwise),
// whose counters play back its script, and loopback when asked for.
std::vector<std::string> AdapterNames(bool withLoopback) {
  auto& r = dummy::Record();
  std::lock_guard lock(r.Lock);
  std::vector<std::string> names = r.Adapters;
  if (withLoopback) names.push_back("lo");
  return names;
}

bool AdapterCounters(const std::string& name, uint64_t& inOctets, uint64_t& outOctets) {
  auto& r = dummy::Record();
  std::lock_guard lock(r.Lock);
  auto& script = r.Counters[name];
  if (script.empty()) return false;
  inOctets = script.front().first;
  outOctets = script.front().second;
  if (script.size() > 1) script.erase(script.begin());  // the last reading stays
  return true;
}

bool AdapterLanAddresses(const std::string& name, std::string& address, std::string& gateway) {
  if (name == "eth0") {
    address = "192.168.1.20";
    gateway = "192.168.1.1";
    return true;
  }
  if (name == "wlan0" || name == "lo") {
    address = name == "lo" ? "127.0.0.1" : "10.0.0.7";
    gateway.clear();
    return true;
  }
  return false;
}

bool AdapterMacAddress(const std::string& name, std::string& mac) {
  mac = name == "eth0" ? "00:1A:2B:3C:4D:5E" : "";  // wlan0 stands for a tunnel
  return !mac.empty();
}

}  // namespace qgm

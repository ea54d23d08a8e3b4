#pragma once
// The computer's network adapters: which ones to offer, their byte
// counters, their local address, default gateway and hardware address.
// Every failure simply gives no data.

#include <cstdint>
#include <string>
#include <vector>

namespace qgm {

// The adapters with a real IPv4 address ("0.0.0.0" is none), in the
// system's order; loopback adapters left out, or with `withLoopback` put
// after the others (the demo's provider lives there).
std::vector<std::string> AdapterNames(bool withLoopback = false);
// The received and sent byte counters of an adapter; false when it has none.
bool AdapterCounters(const std::string& name, uint64_t& inOctets, uint64_t& outOctets);
// The adapter's first IPv4 address and its default gateway ("" when it has
// none); false when the adapter is not there.
bool AdapterLanAddresses(const std::string& name, std::string& address, std::string& gateway);
// Upper-case hexadecimal pairs joined by ":"; false (and "") for an adapter
// without a hardware address, such as a tunnel.
bool AdapterMacAddress(const std::string& name, std::string& mac);

}  // namespace qgm

#pragma once
// The text formats behind the Linux adapter source, parsed apart from the
// files so tests can give their own.

#include <string>
#include <string_view>

namespace qgm {

// The default gateway of `iface` from /proc/net/route ("" when none): the
// first route to 0.0.0.0 through it with a gateway, its address written
// little-endian in hexadecimal.
std::string DefaultGatewayOf(std::string_view procNetRoute, std::string_view iface);
// A hardware address as /sys/class/net/<if>/address has it, upper-cased;
// "" for an empty or all-zero address.
std::string HardwareAddress(std::string_view sysAddress);
// A real IPv4 address: digits and dots only, at least 7 characters, and
// not all zeros ("0.0.0.0" is none).
bool IsRealIpv4(std::string_view address);

}  // namespace qgm

#include "core/platform/linux/NetInfo.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <sstream>

namespace qgm {

std::string DefaultGatewayOf(std::string_view procNetRoute, std::string_view iface) {
  std::istringstream in{std::string(procNetRoute)};
  std::string line;
  std::getline(in, line);  // the column titles
  while (std::getline(in, line)) {
    std::istringstream row(line);
    std::string name, destination, gateway;
    unsigned flags = 0;
    if (!(row >> name >> destination >> gateway >> std::hex >> flags)) continue;
    constexpr unsigned kRouteGateway = 0x2;
    if (name != iface || destination != "00000000" || !(flags & kRouteGateway)) continue;
    const uint32_t g = static_cast<uint32_t>(std::stoul(gateway, nullptr, 16));
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", g & 0xFF, (g >> 8) & 0xFF, (g >> 16) & 0xFF,
                  g >> 24);
    return text;
  }
  return {};
}

std::string HardwareAddress(std::string_view sysAddress) {
  std::string mac;
  bool nonZero = false;
  for (char c : sysAddress) {
    if (c == '\n' || c == '\r' || c == ' ') continue;
    if (c != ':' && c != '0') nonZero = true;
    mac += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return nonZero ? mac : std::string();
}

bool IsRealIpv4(std::string_view address) {
  if (address.size() < 7) return false;
  bool real = false;
  for (char c : address) {
    if (c != '.' && (c < '0' || c > '9')) return false;
    if (c != '.' && c != '0') real = true;
  }
  return real;
}

}  // namespace qgm

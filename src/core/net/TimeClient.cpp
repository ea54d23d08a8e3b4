#include "core/net/TimeClient.h"

#include <chrono>

#include "core/net/NetErrors.h"

namespace qgm {

namespace {
// Seconds from 1 January 1900 to 1 January 1970, both UTC.
constexpr int64_t kProtocolToUnix = 2208988800LL;
}  // namespace

TTimeClient::TTimeClient(TNetContext& context) : connection_(context) {}

TDateTime TTimeClient::FromProtocolSeconds(uint32_t seconds, int64_t extraSeconds) {
  // The 32-bit count wraps on 7 February 2036; a count below 2^31 (before
  // 1968 otherwise) is read as after the wrap.
  const int64_t era = seconds < 0x80000000u ? int64_t{1} << 32 : 0;
  const int64_t unix = era + static_cast<int64_t>(seconds) - kProtocolToUnix + extraSeconds;
  // The local zone's offset (daylight saving included when in force) turns
  // the UTC count into local time.
  return FromTimePoint(std::chrono::system_clock::time_point(std::chrono::seconds(unix)));
}

TDateTime TTimeClient::DateTime() {
  const auto start = std::chrono::steady_clock::now();
  try {
    connection_.Connect(Host, Port, ReadTimeoutMs, false);
    const std::string bytes = connection_.ReadBytes(4, WaitTimeoutMs);
    const auto roundTrip = std::chrono::steady_clock::now() - start;
    connection_.Close();
    const uint32_t seconds = (static_cast<uint32_t>(static_cast<unsigned char>(bytes[0])) << 24) |
                             (static_cast<uint32_t>(static_cast<unsigned char>(bytes[1])) << 16) |
                             (static_cast<uint32_t>(static_cast<unsigned char>(bytes[2])) << 8) |
                             static_cast<uint32_t>(static_cast<unsigned char>(bytes[3]));
    const int64_t halfTrip =
        std::chrono::duration_cast<std::chrono::seconds>(roundTrip).count() / 2;
    return FromProtocolSeconds(seconds, halfTrip);
  } catch (const ENetError&) {
    connection_.Close();
    return 0;
  }
}

}  // namespace qgm

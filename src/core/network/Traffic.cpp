#include "core/network/Traffic.h"

#include <algorithm>

#include "core/util/Format.h"
#include "core/util/Money.h"

namespace qgm {

int ScaleForPosition(int position) {
  return kTrafficScales[static_cast<size_t>(std::clamp(18 - position, 1, 17))];
}

int ScaleDecimals(int scale) {
  if (scale % 1000 == 0) return 0;
  if (scale % 100 == 0) return 1;
  if (scale % 10 == 0) return 2;
  return 3;
}

std::string TrafficCaption(int scaleIn, int scaleOut) {
  const int di = ScaleDecimals(scaleIn), dout = ScaleDecimals(scaleOut);
  if (di > 0 && dout > 0)
    return Format("%s (%1.0d/%1.0d kbps) ", {" Current Traffic", scaleIn, scaleOut});
  return Format("%s (%1.*n/%1.*n mbps) ",
                {" Current Traffic", di, static_cast<long double>(scaleIn) / 1000, dout,
                 static_cast<long double>(scaleOut) / 1000});
}

int BarHeight(int64_t bytes, int height, int scale, bool inBar) {
  const uint32_t clamped = static_cast<uint32_t>(std::clamp<int64_t>(bytes, 0, 268435455));
  const uint32_t kbits = clamped * 8u / 1000u;
  const int64_t bar = RoundHalfEven(static_cast<long double>(kbits) * height / scale);
  if (bar > INT32_MAX || bar < INT32_MIN) {
    throw ELanGraphBarHeight("LanGraphBarHeight error - " +
                             Format("%d, %d, %s, ", {bytes, height, inBar ? "True" : "False"}));
  }
  return bar < 0 ? 0 : static_cast<int>(std::min<int64_t>(bar, height));
}

std::optional<std::pair<int, int>> AutoScalePositions(const std::string& planSpeed) {
  if (planSpeed.size() <= 1) return std::nullopt;
  if (planSpeed.rfind("24", 0) == 0) return std::make_pair(3, 12);
  switch (planSpeed[0]) {
    case '1':
      return std::make_pair(11, 14);
    case '2':
      return std::make_pair(14, 16);
    case '5':
      return std::make_pair(13, 15);
    case 'S':
      return std::make_pair(13, 13);
    default:
      return std::nullopt;
  }
}

TTrafficSample CompareCounters(uint64_t oldIn, uint64_t oldOut, uint64_t newIn, uint64_t newOut,
                               bool inBytes) {
  TTrafficSample s;
  s.InBytes = static_cast<int64_t>(newIn - oldIn);
  s.OutBytes = static_cast<int64_t>(newOut - oldOut);
  const int64_t m = inBytes ? 1 : 8;
  // A counter that went backwards shows no speed rather than a huge one.
  auto speed = [m](int64_t bytes) {
    return Format("%1.0n", {static_cast<long double>(bytes < 0 ? 0 : bytes) * m / 1000});
  };
  s.InText = speed(s.InBytes);
  s.OutText = speed(s.OutBytes);
  constexpr int64_t kLimit = int64_t{1} << 31;
  s.Step = s.InBytes >= 0 && s.OutBytes >= 0 && s.InBytes < kLimit && s.OutBytes < kLimit;
  return s;
}

TTrafficSample SampleTraffic(TAdaptor& adaptor, bool inBytes) {
  const uint64_t oldIn = adaptor.InOctets, oldOut = adaptor.OutOctets;
  ReadCounters(adaptor);
  return CompareCounters(oldIn, oldOut, adaptor.InOctets, adaptor.OutOctets, inBytes);
}

}  // namespace qgm

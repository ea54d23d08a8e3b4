#pragma once
// The Network tab's traffic arithmetic: the scale table and the track-bar
// positions, the graph's caption, the bar heights, and one sample of an
// adapter's counters.

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "core/network/Adaptors.h"

namespace qgm {

// kbit/s, indexed 1..17 (index 0 unused).
inline constexpr std::array<int, 18> kTrafficScales = {0,    64,    128,   256,   384,   512,
                                                       1000, 1500,  2000,  3000,  4500,  6000,
                                                       8000, 12000, 18000, 24000, 56000, 100000};
inline constexpr int kStartScaleIn = 1500, kStartScaleOut = 256;

// The scale a track-bar position selects: the top (1) is the largest.
int ScaleForPosition(int position);
// 0 for whole Mbit/s, 1 for tenths, 2 for hundredths, else 3.
int ScaleDecimals(int scale);
// " Current Traffic (1500/256 kbps) " or " Current Traffic (24/1 mbps) ".
std::string TrafficCaption(int scaleIn, int scaleOut);

class ELanGraphBarHeight : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
// The bar for `bytes` in one second on a graph `height` high at `scale`
// kbit/s: 0..height.
int BarHeight(int64_t bytes, int height, int scale, bool inBar);

// The track-bar positions (in, out) a plan speed text asks for, if any.
std::optional<std::pair<int, int>> AutoScalePositions(const std::string& planSpeed);

// One tick of the sampler.
struct TTrafficSample {
  int64_t InBytes = 0;  // over the last second
  int64_t OutBytes = 0;
  std::string InText;  // "%1.0n" of the speed in the chosen unit
  std::string OutText;
  bool Step = false;  // the graph moves (no counter went backwards or jumped)
};
// Reads the adapter's counters afresh and compares them with the ones it
// held; `inBytes` chooses kBytes/s over kbits/s.
TTrafficSample SampleTraffic(TAdaptor& adaptor, bool inBytes);
// The same from two readings, for tests and replays.
TTrafficSample CompareCounters(uint64_t oldIn, uint64_t oldOut, uint64_t newIn, uint64_t newOut,
                               bool inBytes);

}  // namespace qgm

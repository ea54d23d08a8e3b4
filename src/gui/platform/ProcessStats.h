#pragma once
// What the process has used, for the start-up benchmark.

namespace qgm::gui {

struct TProcessStats {
  double CpuMs = 0;         // user + system time so far
  double SinceStartMs = 0;  // since the process started
  long PeakRssKib = 0;      // the most memory it has held
  long PrivateKib = 0;      // memory no other process shares, now
};

TProcessStats ReadProcessStats();

}  // namespace qgm::gui

#include "gui/platform/ProcessStats.h"

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace qgm::gui {
namespace {

std::string ReadAll(const char* file) {
  std::ifstream in(file);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Milliseconds since the process started, from /proc.
double SinceProcessStartMs() {
  const std::string text = ReadAll("/proc/self/stat");
  const auto close = text.rfind(')');
  if (close == std::string::npos) return -1;
  // Field 22 (starttime) counts clock ticks since boot; fields from 3 on
  // follow the ")".
  size_t pos = close + 2;
  for (int field = 3; field < 22; ++field) pos = text.find(' ', pos) + 1;
  const double startTicks = std::stod(text.substr(pos, text.find(' ', pos) - pos));
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return (now.tv_sec + now.tv_nsec / 1e9 - startTicks / sysconf(_SC_CLK_TCK)) * 1000.0;
}

// Private_Clean + Private_Dirty of the whole process.
long PrivateKib() {
  std::istringstream in(ReadAll("/proc/self/smaps_rollup"));
  std::string line;
  long sum = 0;
  while (std::getline(in, line)) {
    // "Private_Clean:       1234 kB"
    if (line.rfind("Private_Clean:", 0) == 0 || line.rfind("Private_Dirty:", 0) == 0)
      sum += std::stol(line.substr(line.find(':') + 1));
  }
  return sum;
}

}  // namespace

TProcessStats ReadProcessStats() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  TProcessStats s;
  s.CpuMs = (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
            (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
  s.SinceStartMs = SinceProcessStartMs();
  s.PeakRssKib = u.ru_maxrss;
  s.PrivateKib = PrivateKib();
  return s;
}

}  // namespace qgm::gui

#include "gui/app/Measure.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <sys/resource.h>
#include <time.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace qgm::gui {
namespace {

double CpuMs() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
         (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

// Milliseconds since the process started, from /proc.
double SinceProcessStartMs() {
  std::ifstream stat("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
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

}  // namespace

void MeasureStartAndIdle(QWidget* context, int idleSeconds, int settleSeconds) {
  QTimer::singleShot(0, context, [context, idleSeconds, settleSeconds] {
    std::printf("startup_ms %.1f\n", SinceProcessStartMs());
    std::fflush(stdout);
    QTimer::singleShot(settleSeconds * 1000, context, [context, idleSeconds] {
      const double cpu = CpuMs();
      QTimer::singleShot(idleSeconds * 1000, context, [cpu] {
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        std::printf("idle_cpu_ms %.1f\npeak_rss_kib %ld\n", CpuMs() - cpu, u.ru_maxrss);
        std::fflush(stdout);
        QApplication::exit(0);
      });
    });
  });
}

}  // namespace qgm::gui

#include "gui/app/Measure.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

#include "gui/platform/ProcessStats.h"

namespace qgm::gui {

void MeasureStartAndIdle(QWidget* context, int idleSeconds, int settleSeconds) {
  QTimer::singleShot(0, context, [context, idleSeconds, settleSeconds] {
    std::printf("startup_ms %.1f\n", ReadProcessStats().SinceStartMs);
    std::fflush(stdout);
    QTimer::singleShot(settleSeconds * 1000, context, [context, idleSeconds] {
      const double cpu = ReadProcessStats().CpuMs;
      QTimer::singleShot(idleSeconds * 1000, context, [cpu] {
        const TProcessStats s = ReadProcessStats();
        std::printf("idle_cpu_ms %.1f\npeak_rss_kib %ld\nprivate_kib %ld\n", s.CpuMs - cpu,
                    s.PeakRssKib, s.PrivateKib);
        std::fflush(stdout);
        QApplication::exit(0);
      });
    });
  });
}

}  // namespace qgm::gui

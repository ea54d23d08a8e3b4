#pragma once
// Start-up and idle figures of a running program, for the benchmark that
// compares the tray program with a minimal Qt tray program.

class QWidget;

namespace qgm::gui {

// Once the event loop runs: prints "startup_ms" (since the process began);
// after `settleSeconds` more (time for a first update) measures the CPU used
// over `idleSeconds` and prints "idle_cpu_ms" and "peak_rss_kib", and quits.
void MeasureStartAndIdle(QWidget* context, int idleSeconds, int settleSeconds = 0);

}  // namespace qgm::gui

#pragma once
// The update cycle's clock and timers on Qt.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

#include "core/util/Timing.h"

namespace qgm::gui {

class TQtClock : public IClock {
 public:
  TQtClock() { elapsed_.start(); }
  TDateTime Now() const override { return NowLocal(); }
  int64_t TickMs() const override { return elapsed_.elapsed(); }

 private:
  QElapsedTimer elapsed_;
};

// A precise timer, so the hourly update and the one-second countdown keep
// time (Qt's default coarse timers may fire up to 5 % late).
class TQtTimer : public ITimer {
 public:
  explicit TQtTimer(std::function<void()> onTick);
  void SetInterval(int ms) override;
  void Start() override { timer_.start(); }
  void Stop() override { timer_.stop(); }
  bool Running() const override { return timer_.isActive(); }

 private:
  QTimer timer_;
};

class TQtTimerFactory : public ITimerFactory {
 public:
  std::unique_ptr<ITimer> MakeTimer(std::function<void()> onTick) override {
    return std::make_unique<TQtTimer>(std::move(onTick));
  }
  // The program's own, for windows made without one.
  static TQtTimerFactory& Shared();
};

}  // namespace qgm::gui

#pragma once
// Time as the program's controllers see it: a clock and timers behind
// interfaces, so tests run hours of the program's life in milliseconds and
// the desktop program puts Qt's timers behind them.

#include <cstdint>
#include <functional>
#include <memory>

#include "core/util/DateTime.h"

namespace qgm {

class IClock {
 public:
  virtual ~IClock() = default;
  virtual TDateTime Now() const = 0;   // local date and time
  virtual int64_t TickMs() const = 0;  // a steady millisecond count
};

class ITimer {
 public:
  virtual ~ITimer() = default;
  // Sets the interval; a running timer starts its wait afresh.
  virtual void SetInterval(int ms) = 0;
  virtual void Start() = 0;
  virtual void Stop() = 0;
  virtual bool Running() const = 0;
};

// Makes timers: the program's run on its event loop, tests' are fired by
// hand.
class ITimerFactory {
 public:
  virtual ~ITimerFactory() = default;
  // A stopped timer that calls `onTick` each time its interval passes.
  virtual std::unique_ptr<ITimer> MakeTimer(std::function<void()> onTick) = 0;
};

}  // namespace qgm

#pragma once
// Time as the program's controllers see it: a clock and timers behind
// interfaces, so tests run hours of the program's life in milliseconds and
// the desktop program puts Qt's timers behind them.

#include <cstdint>

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

}  // namespace qgm

#pragma once
// A clock and timers the test moves by hand.

#include "core/util/Timing.h"

namespace qgm::test {

class FakeClock : public IClock {
 public:
  TDateTime Now() const override { return now; }
  int64_t TickMs() const override { return tick; }
  void Advance(int64_t ms) {
    tick += ms;
    now += static_cast<double>(ms) / kMsPerDay;
  }
  TDateTime now = EncodeDate(2026, 12, 8) + EncodeTime(9, 0, 0);
  int64_t tick = 1000000;
};

class FakeTimer : public ITimer {
 public:
  void SetInterval(int ms) override { interval = ms; }
  void Start() override { running = true; }
  void Stop() override { running = false; }
  bool Running() const override { return running; }
  int interval = 1000;
  bool running = false;
};

}  // namespace qgm::test

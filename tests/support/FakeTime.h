#pragma once
// A clock and timers the test moves by hand.

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

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
  FakeTimer() = default;
  explicit FakeTimer(std::function<void()> tick, std::vector<FakeTimer*>* list = nullptr)
      : onTick(std::move(tick)), list_(list) {
    if (list_) list_->push_back(this);
  }
  ~FakeTimer() override {
    if (list_) std::erase(*list_, this);
  }
  FakeTimer(const FakeTimer&) = delete;
  FakeTimer& operator=(const FakeTimer&) = delete;
  void SetInterval(int ms) override { interval = ms; }
  void Start() override { running = true; }
  void Stop() override { running = false; }
  bool Running() const override { return running; }
  // The interval has passed: a running timer ticks.
  void Fire() {
    if (running && onTick) onTick();
  }
  int interval = 1000;
  bool running = false;
  std::function<void()> onTick;

 private:
  std::vector<FakeTimer*>* list_ = nullptr;
};

// Keeps track of the timers it made and that still exist; the test fires
// them.
class FakeTimerFactory : public ITimerFactory {
 public:
  std::unique_ptr<ITimer> MakeTimer(std::function<void()> onTick) override {
    return std::make_unique<FakeTimer>(std::move(onTick), &made);
  }
  // Fires every running timer whose interval is `ms` (copy of the list: a
  // tick may make new timers).
  int FireAll(int ms) {
    int fired = 0;
    const auto timers = made;
    for (FakeTimer* t : timers) {
      if (std::find(made.begin(), made.end(), t) == made.end()) continue;  // gone meanwhile
      if (t->running && t->interval == ms) {
        t->Fire();
        ++fired;
      }
    }
    return fired;
  }
  std::vector<FakeTimer*> made;
};

}  // namespace qgm::test

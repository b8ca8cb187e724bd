#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "base/scheduler.h"
#include "support/fake_clock.h"

namespace corvane::testing {

// Window timers driven by a FakeClock: run_for() moves the clock forward timer by timer and hands each
// firing to `dispatch`, which may start and stop timers as the real handlers do.
class FakeScheduler final : public Scheduler {
 public:
  explicit FakeScheduler(FakeClock& clock) : clock_(clock) {}

  void start_timer(TimerId id, std::uint32_t period_ms) override {
    timers_[id] = {period_ms, clock_.process_ms() + period_ms};
    starts.push_back({id, period_ms});
  }
  void stop_timer(TimerId id) override { timers_.erase(id); }

  bool running(TimerId id) const { return timers_.count(id) != 0; }
  std::uint32_t period(TimerId id) const { return running(id) ? timers_.at(id).period : 0; }

  // Advances the clock by `ms`, firing every timer that comes due on the way, in time order.
  void run_for(std::int64_t ms, const std::function<void(TimerId)>& dispatch) {
    const std::int64_t end = clock_.process_ms() + ms;
    for (;;) {
      auto next = timers_.end();
      for (auto it = timers_.begin(); it != timers_.end(); ++it)
        if (next == timers_.end() || it->second.due < next->second.due) next = it;
      if (next == timers_.end() || next->second.due > end) break;
      const TimerId id = next->first;
      clock_.advance_ms(next->second.due - clock_.process_ms());
      next->second.due += next->second.period;
      dispatch(id);
    }
    clock_.advance_ms(end - clock_.process_ms());
  }

  struct Start {
    TimerId id;
    std::uint32_t period;
  };
  std::vector<Start> starts;

 private:
  struct Timer {
    std::uint32_t period;
    std::int64_t due;
  };
  FakeClock& clock_;
  std::map<TimerId, Timer> timers_;
};

}  // namespace corvane::testing
